#include "check/file_sniff.hpp"

#include <algorithm>
#include <fstream>
#include <string_view>

#include "common/data_text.hpp"

namespace vantrel::check {
namespace {

// Valid UTF-8 up to `head`'s end, a sequence cut off there included.
bool valid_utf8_head(std::string_view s, bool& multibyte) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (len == 0) return false;
        for (std::size_t k = 1; k < len && i + k < s.size(); ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        if (len > 1) multibyte = true;
        i += len;
    }
    return true;
}

Kind kind_of(const std::vector<std::string>& lines) {
    for (const auto& line : lines) {
        for (const char* key : {"[SpeedUnit]", "[Station]", "[DataName]", "[Signal]", "[LineName]", "[StartPos]"})
            if (starts_with_key(line, key)) return Kind::Route;
        for (const char* key : {"[Tons]", "[Notch]", "[Engine_Type]", "[BrakeType]", "[Handle]"})
            if (starts_with_key(line, key)) return Kind::Train;
    }
    return Kind::None;
}

// 1-based line of byte `at`, counting line ends as the readers split them.
int line_at(std::string_view text, std::size_t at) {
    return static_cast<int>(split_lines(std::string(text.substr(0, at)) + "x").size());
}

}  // namespace

FileSniff sniff_file(const std::filesystem::path& file, std::size_t limit) {
    FileSniff f;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return f;
    std::ifstream in(file, std::ios::binary);
    if (!in) return f;
    std::string head(limit, '\0');
    in.read(head.data(), static_cast<std::streamsize>(limit));
    head.resize(static_cast<std::size_t>(in.gcount()));
    f.readable = true;
    f.empty = head.find_first_not_of(" \t\r\n") == std::string::npos;
    f.bom = head.starts_with(kUtf8Bom);
    std::string_view text(head);
    if (f.bom) text.remove_prefix(kUtf8Bom.size());
    if (const auto at = text.find("\r\r\n"); at != std::string_view::npos) f.cr_cr_lf_line = line_at(text, at);

    // Split as the reader splits, so raw and read lines pair up.
    const std::vector<std::string> raw = split_lines(text);
    bool multibyte = false;
    const bool valid = valid_utf8_head(text, multibyte);
    f.utf8 = !f.bom && valid && multibyte;
    f.not_utf8 = f.bom && !valid;
    // How the program shows a garbled line is the reader's own decoding (only then: it costs).
    const DataFileText read = f.utf8 || f.not_utf8 ? decode_data_text(head) : DataFileText{};
    for (std::size_t i = 0; (f.utf8 || f.not_utf8) && i < raw.size() && i < read.lines.size(); ++i) {
        if (std::all_of(raw[i].begin(), raw[i].end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            continue;
        if (f.not_utf8 && !has_undecoded_bytes(read.lines[i])) continue;
        f.garbled_line = static_cast<int>(i) + 1;
        // Bytes that are no UTF-8 were most likely meant as CP932.
        f.meant = f.utf8 ? raw[i] : cp932_to_utf8(raw[i]);
        f.shown = read.lines[i];
        break;
    }
    // Keys are ASCII: the raw lines show them whatever the encoding.
    f.kind = kind_of(raw);
    return f;
}

}  // namespace vantrel::check
