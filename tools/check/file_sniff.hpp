#pragma once
// What a data file is, judged from its head alone: its kind by the keys only a train or a
// route file has, and the root causes that make a reader report a flood of problems (line
// ends, text in another encoding than the program reads it in, nothing at all). A file of any size costs one
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
    bool bom = false;       // begins with a UTF-8 byte-order mark: read as UTF-8
    int cr_cr_lf_line = 0;  // the first line that ends CR CR LF, 0 for none
    bool utf8 = false;      // UTF-8 beyond ASCII without the mark: read as CP932, garbled
    bool not_utf8 = false;  // the mark, then bytes that are no UTF-8: read as UTF-8, garbled
    int garbled_line = 0;   // the first line the program garbles
    std::string meant;      // that line as written
    std::string shown;      // and as the program shows it
};

inline constexpr std::size_t kSniffBytes = 1 << 20;

[[nodiscard]] FileSniff sniff_file(const std::filesystem::path& file, std::size_t limit = kSniffBytes);

}  // namespace vantrel::check
