#pragma once
// Just enough XML for a GPX log, with no library behind it: elements with their
// attributes and text, comments, processing instructions, a DOCTYPE, CDATA, the five
// named entities and character references. Malformed markup stops with an error and its
// line; nothing is read past the end of the text and the nesting depth is bounded.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantrel::speedtable {

class XmlScanner {
public:
    enum class Token { Start, End, Text, Done, Error };

    explicit XmlScanner(std::string_view text) : text_(text) {}

    Token next();
    // The local name (any "prefix:" dropped) of the element just started or ended.
    [[nodiscard]] std::string_view name() const { return name_; }
    // An attribute of the element just started, entities decoded.
    [[nodiscard]] std::optional<std::string> attribute(std::string_view key) const;
    // The text just read, entities decoded.
    [[nodiscard]] const std::string& text() const { return decoded_; }
    [[nodiscard]] const std::string& error() const { return error_; }
    // The line (from 1) where the scanner stands.
    [[nodiscard]] int64_t line() const;

private:
    Token fail(std::string message);
    Token start_tag();
    Token end_tag();

    std::string_view text_;
    size_t at_ = 0;
    std::string_view name_;
    std::vector<std::pair<std::string_view, std::string_view>> attributes_;
    std::vector<std::string_view> open_;  // elements not yet closed
    bool close_empty_ = false;            // the last start tag was "<x/>"
    bool root_seen_ = false;
    std::string decoded_;
    std::string error_;
};

}  // namespace vantrel::speedtable
