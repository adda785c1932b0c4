#pragma once
// Films of the demo pack: a line's video rendered on two threads and encoded in order,
// and the opening movie with its sound track.
#include <QImage>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "demo_data/film_renderer.hpp"

namespace vantrel::demo {

// Renders frames 0 .. frames-1 into an AVI (MPEG-4 part 2, keyframe every 30, no
// B-frames). Every `thumb_every`-th frame is kept, scaled to 160 x 80, for the contact sheet.
// Returns an empty string on success, else the error.
[[nodiscard]] std::string write_line_film(const FilmRenderer& renderer, int32_t frames,
                                          const std::filesystem::path& file, int thumb_every,
                                          std::vector<QImage>& thumbs);

// About ten seconds along line 1 with the title, and music, at 320 x 240.
[[nodiscard]] std::string write_opening_movie(const LineScene& line, const Film& film,
                                              const std::filesystem::path& file, std::vector<QImage>& thumbs);

}  // namespace vantrel::demo
