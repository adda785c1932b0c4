#pragma once
// The opening movie's sound track through FFmpeg, written as a 16-bit mono wave file the
// mixer can load.
#include <filesystem>

namespace vantrel {

// False when the movie has no sound track or it cannot be decoded.
bool extract_movie_sound(const std::filesystem::path& movie, const std::filesystem::path& wave);

}  // namespace vantrel
