#pragma once
// The texts the windows show when a data set's file cannot be loaded; the checker prints
// the same, so an author reads what the player will.
#include <string>
#include <string_view>

#include "common/result.hpp"

namespace vantrel {

// A file the data set needs that cannot be found or opened, by its name as written.
[[nodiscard]] inline std::string missing_file_text(std::string_view name) {
    return std::string(name) + "が見つかりません";
}

// The title window's opening movie is there but does not play.
inline constexpr std::string_view kOpeningMovieUnreadable = "オープニングムービーを開けません";

// A reader's error as shown: the picture or sound it could not load, else its message.
[[nodiscard]] inline std::string shown_error_text(const DataError& error) {
    return error.missing_file.empty() ? error.message : missing_file_text(error.missing_file);
}

}  // namespace vantrel
