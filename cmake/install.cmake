# What `cmake --install` lays down: the programs, their manual pages, the desktop entry,
# the AppStream metadata and the icons, all under the application id. The rules run at
# the end of the top directory, so tools added anywhere in CMakeLists.txt are seen.
include(GNUInstallDirs)
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)  # installing does not build every test first
set(VANTREL_APP_ID io.github.vantrel.Vantrel)

# Icon sizes drawn from the one SVG at build time (rsvg-convert, librsvg2-bin).
find_program(VANTREL_RSVG_CONVERT rsvg-convert)
set(VANTREL_ICON_SIZES 16 32 48 64 128 256)
if(VANTREL_RSVG_CONVERT AND NOT VANTREL_FUZZ)
  set(icon_svg ${CMAKE_SOURCE_DIR}/packaging/${VANTREL_APP_ID}.svg)
  set(icon_pngs)
  foreach(size ${VANTREL_ICON_SIZES})
    set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/apps/${VANTREL_APP_ID}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}/apps
      COMMAND ${VANTREL_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${icon_svg}
      DEPENDS ${icon_svg} VERBATIM)
    list(APPEND icon_pngs ${png})
  endforeach()
  add_custom_target(vantrel_icons ALL DEPENDS ${icon_pngs})
elseif(NOT VANTREL_FUZZ)
  message(STATUS "rsvg-convert not found: only the SVG icon is installed")
endif()

function(vantrel_install_rules)
  set(app_id ${VANTREL_APP_ID})
  set(tools vantrel-sim vantrel-demo-data vantrel-frames vantrel-check vantrel-speedtable)
  foreach(tool ${tools})
    if(TARGET ${tool})
      install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
      install(FILES ${CMAKE_SOURCE_DIR}/man/${tool}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
  endforeach()
  if(NOT TARGET vantrel)
    return()
  endif()
  install(TARGETS vantrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/man/vantrel.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/${app_id}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  if(TARGET vantrel_icons)
    foreach(size ${VANTREL_ICON_SIZES})
      install(FILES ${CMAKE_BINARY_DIR}/icons/${size}x${size}/apps/${app_id}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
  endif()
endfunction()

cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL vantrel_install_rules)
