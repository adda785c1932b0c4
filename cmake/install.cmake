# What `cmake --install` lays down: the programs, their manual pages, the desktop entry,
# the AppStream metadata and the icons, all under the application id. The rules run at
# the end of the top directory, so tools added anywhere in CMakeLists.txt are seen.
include(GNUInstallDirs)
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)  # installing does not build every test first
set(VANTREL_APP_ID io.github.vantrel.Vantrel)

# Icon sizes drawn from the one SVG at build time (rsvg-convert, librsvg2-bin).
find_program(VANTREL_RSVG_CONVERT rsvg-convert)
set(VANTREL_ICON_SIZES 16 32 48 64 128 256)
if(VANTREL_RSVG_CONVERT)
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
else()
  message(STATUS "rsvg-convert not found: only the SVG icon is installed")
endif()

# The metainfo's release list, taken from debian/changelog (the version's one home).
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
file(STRINGS ${CMAKE_SOURCE_DIR}/debian/changelog entries REGEX "^(vantrel \\(| -- )")
set(VANTREL_RELEASES "")
set(release "")
foreach(line IN LISTS entries)
  if(line MATCHES "^vantrel \\(([^)]+)\\)")
    set(release ${CMAKE_MATCH_1})
  elseif(release AND line MATCHES "^ -- .*  [A-Za-z]+, ([0-9]+) ([A-Za-z]+) ([0-9]+) ")
    set(day ${CMAKE_MATCH_1})
    set(year ${CMAKE_MATCH_3})
    list(FIND months ${CMAKE_MATCH_2} month)
    math(EXPR month "${month} + 1")
    if(month LESS 10)
      set(month 0${month})
    endif()
    string(LENGTH "${day}" digits)
    if(digits EQUAL 1)
      set(day 0${day})
    endif()
    string(APPEND VANTREL_RELEASES "    <release version=\"${release}\" date=\"${year}-${month}-${day}\"/>\n")
    set(release "")
  endif()
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/packaging/${VANTREL_APP_ID}.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/${VANTREL_APP_ID}.metainfo.xml @ONLY)

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
  install(FILES ${CMAKE_BINARY_DIR}/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
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
