#include "common/data_text.hpp"

#include <iconv.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <memory>

namespace vantrel {
namespace {

struct IconvCloser {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle open_iconv(const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return IconvHandle{};
    return IconvHandle{cd};
}

// Converts with iconv; on an invalid sequence calls `bad` with the remaining input and
// the output so far, and lets it decide how many bytes to skip (0 = give up).
template <class OnBad>
bool convert(iconv_t cd, std::string_view in, std::string& out, OnBad bad) {
    char* src = const_cast<char*>(in.data());
    size_t src_left = in.size();
    char buffer[1024];
    while (src_left > 0) {
        char* dst = buffer;
        size_t dst_left = sizeof buffer;
        const size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            const size_t skip = bad(out, src_left);
            if (skip == 0) return false;
            src += skip;
            src_left -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    char* dst = buffer;
    size_t dst_left = sizeof buffer;
    iconv(cd, nullptr, nullptr, &dst, &dst_left);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    return true;
}

// UTF-8 as it is, with each byte of a broken sequence replaced by U+FFFD.
std::string checked_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    const IconvHandle cd = open_iconv("UTF-8", "UTF-8");
    if (!cd) return std::string(bytes);
    convert(static_cast<iconv_t>(cd.get()), bytes, out, [](std::string& o, size_t) {
        o += "\xEF\xBF\xBD";
        return size_t{1};
    });
    return out;
}

}  // namespace

std::string cp932_to_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    const IconvHandle cd = open_iconv("UTF-8", "CP932");
    if (!cd) {
        // Without a converter keep the ASCII bytes, so keys and numbers still read.
        for (unsigned char c : bytes) out += c < 0x80 ? static_cast<char>(c) : '?';
        return out;
    }
    convert(static_cast<iconv_t>(cd.get()), bytes, out, [](std::string& o, size_t) {
        o += "\xEF\xBF\xBD";  // U+FFFD for the byte that does not decode
        return size_t{1};
    });
    return out;
}

std::optional<std::string> utf8_to_cp932(std::string_view utf8) {
    const IconvHandle cd = open_iconv("CP932", "UTF-8");
    if (!cd) return std::nullopt;
    std::string out;
    if (!convert(static_cast<iconv_t>(cd.get()), utf8, out, [](std::string&, size_t) { return size_t{0}; }))
        return std::nullopt;
    return out;
}

std::vector<std::string> split_lines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\n' && c != '\r') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

DataFileText decode_data_text(std::string_view bytes) {
    DataFileText text;
    // Read as CP932 the mark would spoil the first key, so it goes and the rest is read as
    // what it says.
    if (bytes.starts_with(kUtf8Bom)) {
        bytes.remove_prefix(kUtf8Bom.size());
        text.utf8_bom = true;
    }
    // Lines are split on the raw bytes: neither CP932 nor UTF-8 uses CR or LF inside a character.
    text.lines = split_lines(bytes);
    for (auto& line : text.lines) line = text.utf8_bom ? checked_utf8(line) : cp932_to_utf8(line);
    return text;
}

std::optional<DataFileText> read_data_file_text(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return decode_data_text(bytes);
}

std::optional<std::vector<std::string>> read_cp932_lines(const std::filesystem::path& file) {
    auto text = read_data_file_text(file);
    if (!text) return std::nullopt;
    return std::move(text->lines);
}

}  // namespace vantrel
