#include "check/report.hpp"

#include <algorithm>
#include <cstdio>
#include <set>

#include "app/report_writers.hpp"

namespace vantrel::check {
namespace {

int count(const std::vector<Problem>& problems, Severity s) {
    return static_cast<int>(
        std::count_if(problems.begin(), problems.end(), [&](const Problem& p) { return p.severity == s; }));
}

// The route's messages already end with the line read, which is often the detail.
std::string full_message(const Problem& p) {
    if (p.detail.empty() || p.message.ends_with(p.detail)) return p.message;
    return p.message + ": " + p.detail;
}

// Copies valid UTF-8; a byte that does not belong to a sequence becomes U+FFFD (file
// names read from disk may be in any encoding).
std::string valid_utf8(const std::string& s) {
    std::string out;
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        bool ok = len != 0 && i + len <= s.size();
        for (std::size_t k = 1; ok && k < len; ++k) ok = (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        if (ok) {
            out.append(s, i, len);
            i += len;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

std::string json_text(const std::string& raw) { return json_string(valid_utf8(raw)); }

// Printed: valid UTF-8 with no control byte that a terminal would act on.
std::string printable(const std::string& raw) { return terminal_text(valid_utf8(raw)); }

std::string summary(const std::vector<Problem>& problems) {
    std::set<std::string> files;
    for (const Problem& p : problems) files.insert(p.file);
    const int e = count(problems, Severity::Error), w = count(problems, Severity::Warning);
    auto plural = [](int n, const char* word) { return std::to_string(n) + " " + word + (n == 1 ? "" : "s"); };
    return plural(e, "error") + ", " + plural(w, "warning") + " in " + plural(static_cast<int>(files.size()), "file") +
           "\n";
}

}  // namespace

std::string text_report(const std::vector<Problem>& problems, std::optional<PairCount> pairs) {
    std::string out;
    const std::string* file = nullptr;
    for (const Problem& p : problems) {
        if (!file || *file != p.file) {
            file = &p.file;
            out += printable(p.file) + "\n";
        }
        out += "  ";
        if (p.line > 0) out += "line " + std::to_string(p.line) + ": ";
        out += p.severity == Severity::Error ? "error " : "warning ";
        out += p.code;
        if (p.frame) {
            out += " (frame " + std::to_string(*p.frame);
            if (p.metres) {
                char buf[32];
                std::snprintf(buf, sizeof buf, ", %.1f m", *p.metres);
                out += buf;
            }
            out += ")";
        }
        out += ": " + printable(full_message(p)) + "\n";
        if (!p.hint.empty()) out += "    hint: " + p.hint + "\n";
    }
    if (pairs) {
        out += std::to_string(pairs->checked) + (pairs->checked == 1 ? " pair" : " pairs") +
               " of a train and a route checked, ";
        out += pairs->drive ? std::to_string(pairs->driven) + " driven\n" : "none driven (--drive drives them)\n";
    }
    return out + summary(problems);
}

std::string json_report(const std::vector<Problem>& problems, std::optional<PairCount> pairs) {
    std::string out = "{\"errors\": " + std::to_string(count(problems, Severity::Error)) +
                      ", \"warnings\": " + std::to_string(count(problems, Severity::Warning)) + ", \"problems\": [";
    for (std::size_t i = 0; i < problems.size(); ++i) {
        const Problem& p = problems[i];
        if (i > 0) out += ", ";
        out += "{\"severity\": ";
        out += p.severity == Severity::Error ? "\"error\"" : "\"warning\"";
        out += ", \"code\": " + json_text(p.code) + ", \"file\": " + json_text(p.file);
        out += ", \"line\": " + (p.line > 0 ? std::to_string(p.line) : std::string("null"));
        out += ", \"frame\": " + (p.frame ? std::to_string(*p.frame) : std::string("null"));
        out += ", \"message\": " + json_text(full_message(p)) + ", \"hint\": " + json_text(p.hint) + "}";
    }
    out += "]";
    if (pairs)
        out += ", \"pairs\": " + std::to_string(pairs->checked) + ", \"driven\": " + std::to_string(pairs->driven);
    return out + "}\n";
}

int exit_status(const std::vector<Problem>& problems) {
    if (count(problems, Severity::Error) > 0) return 2;
    return problems.empty() ? 0 : 1;
}

}  // namespace vantrel::check
