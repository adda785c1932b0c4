#include "speedtable/xml_scanner.hpp"

#include <algorithm>
#include <charconv>

namespace vantrel::speedtable {
namespace {

constexpr size_t kMaxDepth = 256;

bool space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view local(std::string_view name) {
    const size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

void append_utf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Entities decoded; an unknown one is kept as it stands.
std::string decode(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const size_t semi = s[i] == '&' ? s.find(';', i) : std::string_view::npos;
        if (semi == std::string_view::npos || semi - i > 10) {
            out += s[i];
            continue;
        }
        const std::string_view e = s.substr(i + 1, semi - i - 1);
        static constexpr std::pair<std::string_view, char> kNamed[] = {
            {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
        const auto named = std::find_if(std::begin(kNamed), std::end(kNamed), [&](const auto& n) { return n.first == e; });
        uint32_t code = 0;
        bool number = false;
        if (e.size() > 1 && e[0] == '#') {
            const bool hex = e[1] == 'x';
            const std::string_view digits = e.substr(hex ? 2 : 1);
            const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
            number = ec == std::errc() && end == digits.data() + digits.size() && code > 0 && code <= 0x10FFFF &&
                     !(code >= 0xD800 && code <= 0xDFFF);
        }
        if (named != std::end(kNamed)) {
            out += named->second;
        } else if (number) {
            append_utf8(out, code);
        } else {
            out += s.substr(i, semi - i + 1);
        }
        i = semi;
    }
    return out;
}

}  // namespace

int64_t XmlScanner::line() const {
    return 1 + std::count(text_.begin(), text_.begin() + static_cast<std::ptrdiff_t>(std::min(at_, text_.size())), '\n');
}

std::optional<std::string> XmlScanner::attribute(std::string_view key) const {
    for (const auto& [k, v] : attributes_)
        if (local(k) == key) return decode(v);
    return std::nullopt;
}

XmlScanner::Token XmlScanner::fail(std::string message) {
    error_ = std::move(message);
    return Token::Error;
}

XmlScanner::Token XmlScanner::next() {
    if (!error_.empty()) return Token::Error;
    if (close_empty_) {
        close_empty_ = false;
        open_.pop_back();
        return Token::End;
    }
    for (;;) {
        if (at_ >= text_.size()) {
            if (!open_.empty()) return fail("the file ends inside <" + std::string(open_.back()) + ">");
            if (!root_seen_) return fail("no XML element");
            return Token::Done;
        }
        const std::string_view rest = text_.substr(at_);
        if (rest[0] != '<') {
            const size_t end = std::min(rest.find('<'), rest.size());
            const std::string_view raw = rest.substr(0, end);
            at_ += end;
            if (open_.empty()) {
                if (std::all_of(raw.begin(), raw.end(), space) || (at_ == end && raw == "\xEF\xBB\xBF")) continue;
                return fail("text outside the root element");
            }
            decoded_ = decode(raw);
            return Token::Text;
        }
        auto skip_past = [&](std::string_view close) {
            const size_t end = rest.find(close);
            if (end == std::string_view::npos) return false;
            at_ += end + close.size();
            return true;
        };
        if (rest.substr(0, 4) == "<!--") {
            if (!skip_past("-->")) return fail("unclosed comment");
        } else if (rest.substr(0, 9) == "<![CDATA[") {
            const size_t end = rest.find("]]>");
            if (end == std::string_view::npos) return fail("unclosed CDATA section");
            if (open_.empty()) return fail("CDATA outside the root element");
            decoded_.assign(rest.substr(9, end - 9));
            at_ += end + 3;
            return Token::Text;
        } else if (rest.substr(0, 2) == "<?") {
            if (!skip_past("?>")) return fail("unclosed processing instruction");
        } else if (rest.substr(0, 2) == "<!") {
            // A DOCTYPE, with an internal subset in brackets when it has one.
            const size_t bracket = rest.find('['), close = rest.find('>');
            if (bracket != std::string_view::npos && bracket < close) {
                if (!skip_past("]>")) return fail("unclosed DOCTYPE");
            } else if (!skip_past(">")) {
                return fail("unclosed DOCTYPE");
            }
        } else if (rest.substr(0, 2) == "</") {
            return end_tag();
        } else {
            return start_tag();
        }
    }
}

XmlScanner::Token XmlScanner::start_tag() {
    size_t i = at_ + 1;
    const size_t name_from = i;
    while (i < text_.size() && !space(text_[i]) && text_[i] != '>' && text_[i] != '/') ++i;
    if (i == name_from) return fail("a tag without a name");
    if (open_.empty() && root_seen_) return fail("a second root element");
    const std::string_view name = text_.substr(name_from, i - name_from);
    attributes_.clear();
    for (;;) {
        while (i < text_.size() && space(text_[i])) ++i;
        if (i >= text_.size()) return fail("unclosed tag <" + std::string(name) + ">");
        if (text_[i] == '>' || (text_[i] == '/' && i + 1 < text_.size() && text_[i + 1] == '>')) break;
        const size_t key_from = i;
        while (i < text_.size() && !space(text_[i]) && text_[i] != '=' && text_[i] != '>' && text_[i] != '/') ++i;
        const std::string_view key = text_.substr(key_from, i - key_from);
        while (i < text_.size() && space(text_[i])) ++i;
        if (key.empty() || i >= text_.size() || text_[i] != '=') return fail("a malformed attribute in <" + std::string(name) + ">");
        for (++i; i < text_.size() && space(text_[i]);) ++i;
        if (i >= text_.size() || (text_[i] != '"' && text_[i] != '\'')) return fail("an attribute value without quotes");
        const size_t close = text_.find(text_[i], i + 1);
        if (close == std::string_view::npos) return fail("an unclosed attribute value");
        attributes_.emplace_back(key, text_.substr(i + 1, close - i - 1));
        i = close + 1;
    }
    if (open_.size() >= kMaxDepth) return fail("elements nested too deep");
    close_empty_ = text_[i] == '/';
    at_ = i + (close_empty_ ? 2 : 1);
    open_.push_back(name);
    root_seen_ = true;
    name_ = local(name);
    return Token::Start;
}

XmlScanner::Token XmlScanner::end_tag() {
    const size_t close = text_.find('>', at_);
    if (close == std::string_view::npos) return fail("an unclosed end tag");
    std::string_view name = text_.substr(at_ + 2, close - at_ - 2);
    while (!name.empty() && space(name.back())) name.remove_suffix(1);
    if (open_.empty() || open_.back() != name)
        return fail("</" + std::string(name) + "> closes " + (open_.empty() ? "nothing" : "<" + std::string(open_.back()) + ">"));
    open_.pop_back();
    at_ = close + 1;
    name_ = local(name);
    return Token::End;
}

}  // namespace vantrel::speedtable
