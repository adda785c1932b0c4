#include "common/path_resolver.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "common/data_text.hpp"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> split_components(std::string_view name) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : name) {
        if (c == '\\' || c == '/') {
            if (!part.empty()) parts.push_back(std::move(part));
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(std::move(part));
    return parts;
}

bool equal_ignoring_ascii_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool valid_utf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (len == 0 || i + len > s.size()) return false;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += len;
    }
    return true;
}

// The name of a directory entry as UTF-8: as stored when it is UTF-8, else read as CP932.
std::string entry_name_utf8(const fs::path& p) {
    std::string raw = p.filename().string();
    if (valid_utf8(raw)) return raw;
    return cp932_to_utf8(raw);
}

// Matches parts[i..] below `current`. Every entry that matches a component without case
// is tried, the exact spelling first, so "Image\\x" still finds "image/x" when both
// "Image/" and "image/" exist but only one holds the file.
// Only components that exist recurse, so the depth stays within the path length the
// system accepts; `budget` bounds the folders tried, since a hostile name such as
// "a\\..\\a\\..\\" over two case spellings of "a" would otherwise try 2^n of them.
std::optional<fs::path> resolve_from(fs::path current, const std::vector<std::string>& parts, size_t i,
                                     int& budget) {
    for (; i < parts.size() && (parts[i] == "." || parts[i] == ".."); ++i)
        if (parts[i] == "..") current /= "..";
    if (i == parts.size()) return current;
    if (--budget < 0) return std::nullopt;
    const std::string& part = parts[i];
    std::error_code ec;
    const fs::path exact = current / part;
    const bool has_exact = fs::exists(exact, ec);
    if (has_exact)
        if (auto found = resolve_from(exact, parts, i + 1, budget)) return found;
    std::vector<fs::path> others;
    for (fs::directory_iterator it(current, ec), end; !ec && it != end; it.increment(ec)) {
        if (has_exact && it->path().filename() == exact.filename()) continue;
        if (equal_ignoring_ascii_case(entry_name_utf8(it->path()), part)) others.push_back(it->path());
    }
    // Directory order is the file system's own; sort so every run picks the same file.
    std::sort(others.begin(), others.end());
    for (const fs::path& candidate : others)
        if (auto found = resolve_from(candidate, parts, i + 1, budget)) return found;
    return std::nullopt;
}

}  // namespace

std::optional<fs::path> PathResolver::resolve(std::string_view name) const {
    const std::vector<std::string> parts = split_components(name);
    if (parts.empty()) return std::nullopt;
    int budget = 4096;  // folders tried; a real name needs a handful
    return resolve_from(dir_.empty() ? fs::path(".") : dir_, parts, 0, budget);
}

fs::path PathResolver::resolve_or_literal(std::string_view name) const {
    if (auto p = resolve(name)) return *p;
    return literal(name);
}

fs::path PathResolver::literal(std::string_view name) const {
    fs::path path = dir_;
    for (const std::string& part : split_components(name)) path /= part;
    return path;
}

std::string_view spelling_problem(const PathResolver& resolver, std::string_view name) {
    std::error_code ec;
    const fs::path literal = resolver.literal(name);
    if (fs::exists(literal, ec)) return {};
    const auto found = resolver.resolve(name);
    if (!found) return {};
    return equal_ignoring_ascii_case(found->string(), literal.string()) ? "name.case" : "name.encoding";
}

}  // namespace vantrel
