#pragma once
// What a data file is, judged from its head alone: its kind by the keys only a train or a
// route file has, and the root causes that make a reader report a flood of problems (line
// ends, a byte-order mark, UTF-8 text, nothing at all). A file of any size costs one
// bounded read.
#include <cstddef>
#include <filesystem>
#include <string>

namespace vantrel::check {

enum class Kind { None, Train, Route };

struct FileSniff {
    bool readable = false;
    Kind kind = Kind::None;
    bool empty = false;
    bool bom = false;        // begins with a UTF-8 byte-order mark
    int cr_cr_lf_line = 0;   // the first line that ends CR CR LF, 0 for none
    bool utf8 = false;       // valid UTF-8 holding more than ASCII: CP932 readers garble it
    int utf8_line = 0;       // the first line holding such text
    std::string utf8_meant;  // that line as written
    std::string utf8_shown;  // and as a CP932 reader shows it
};

inline constexpr std::size_t kSniffBytes = 1 << 20;

[[nodiscard]] FileSniff sniff_file(const std::filesystem::path& file, std::size_t limit = kSniffBytes);

}  // namespace vantrel::check
