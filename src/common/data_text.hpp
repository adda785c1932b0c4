#pragma once
// Reading data files: CP932 bytes decoded to UTF-8 and split into lines (LF, CRLF or CR).
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// Decodes CP932 (Shift-JIS) text to UTF-8 through iconv. Bytes that are not valid
// CP932 become U+FFFD, so a stray byte in a comment never rejects a file.
[[nodiscard]] std::string cp932_to_utf8(std::string_view bytes);

// True when decoded text holds the replacement of a byte that was not CP932.
[[nodiscard]] inline bool has_undecoded_bytes(std::string_view utf8) {
    return utf8.find("\xEF\xBF\xBD") != std::string_view::npos;
}

// Encodes UTF-8 as CP932 (used to find files spelt in CP932 on disk, and by tests
// that write real-looking data files); nullopt when a character has no CP932 form.
[[nodiscard]] std::optional<std::string> utf8_to_cp932(std::string_view utf8);

// Splits text at LF, CRLF and CR. A final line end does not start another line.
[[nodiscard]] std::vector<std::string> split_lines(std::string_view text);

// A data file's text as UTF-8 lines, and how its bytes were encoded.
struct DataFileText {
    std::vector<std::string> lines;
    // The file began with a UTF-8 byte-order mark: it was read as UTF-8, not CP932.
    bool utf8_bom = false;
};

// The mark some editors put first when they save UTF-8.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// A data file's bytes as UTF-8 lines: CP932, or UTF-8 when they start with a byte-order
// mark (which is dropped).
[[nodiscard]] DataFileText decode_data_text(std::string_view bytes);

// Reads a whole data file and decodes it as decode_data_text does. nullopt when it
// cannot be read.
[[nodiscard]] std::optional<DataFileText> read_data_file_text(const std::filesystem::path& file);

// The lines of read_data_file_text, for readers that need not know the encoding.
[[nodiscard]] std::optional<std::vector<std::string>> read_cp932_lines(const std::filesystem::path& file);

// Walks the lines of a data file the way the readers consume them.
class LineCursor {
public:
    explicit LineCursor(std::vector<std::string> lines) : lines_(std::move(lines)) {}

    [[nodiscard]] bool at_end() const { return next_ >= lines_.size(); }
    // The next line; at the end of the file an empty line, which fails as a number.
    const std::string& next() {
        if (next_ < lines_.size()) {
            current_ = lines_[next_++];
            line_ = static_cast<int>(next_);
        } else {
            current_.clear();
        }
        return current_;
    }
    [[nodiscard]] const std::string& current() const { return current_; }
    // 1-based number of the line last read (0 before the first).
    [[nodiscard]] int line_number() const { return line_; }

private:
    std::vector<std::string> lines_;
    std::size_t next_ = 0;
    std::string current_;
    int line_ = 0;
};

// True when `line` begins with `key` exactly (case-sensitive).
[[nodiscard]] inline bool starts_with_key(std::string_view line, std::string_view key) {
    return line.substr(0, key.size()) == key;
}

}  // namespace vantrel
