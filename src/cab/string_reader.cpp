#include "cab/string_reader.hpp"

#include <array>
#include <string_view>

#include "common/data_text.hpp"

namespace vantrel {
namespace {

constexpr std::string_view kStringFileError = "stringファイルに誤りがあります";

struct StringKey {
    std::string_view key;
    std::string Strings::*slot;
};

// In the order the keys are tested; "[Display]" (three lines) stands between "[Move]"
// and "[Control]".
constexpr std::array<StringKey, 16> kKeysBeforeDisplay{{
    {"[Path]", &Strings::path},       {"[Forward]", &Strings::forward}, {"[Neutral]", &Strings::neutral},
    {"[Reverse]", &Strings::reverse}, {"[Stop]", &Strings::stop},       {"[Pass]", &Strings::pass},
    {"[Stop2]", &Strings::stop2},     {"[Neut]", &Strings::neut},       {"[Neut2]", &Strings::neut2},
    {"[Maintain]", &Strings::maintain}, {"[Hold]", &Strings::hold},     {"[Apply]", &Strings::apply},
    {"[Hold2]", &Strings::hold2},     {"[EB]", &Strings::eb},           {"[Start]", &Strings::start},
    {"[Move]", &Strings::move},
}};

}  // namespace

Result<Strings> read_string_file(const std::string& file, const PathResolver& resolver, ProblemSink* problems) {
    const auto path = resolver.resolve(file);
    auto lines = path ? read_cp932_lines(*path) : std::nullopt;
    if (!lines) {
        DataError error{std::string(kStringFileError), file, 0};
        if (problems) problems->error("strings.file.unreadable", file, 0, error.message);
        return error;
    }

    // Each key is tested against the line last read, so a value line that begins with a
    // later key is taken as that key. Past the end of the file a value reads as empty.
    LineCursor cursor(std::move(*lines));
    auto value = [&]() -> const std::string& {
        const std::string& text = cursor.next();
        if (problems && has_undecoded_bytes(text))
            problems->warning("text.not_cp932", file, cursor.line_number(), "shown text: " + text);
        return text;
    };
    Strings s;
    while (!cursor.at_end()) {
        cursor.next();
        for (const StringKey& k : kKeysBeforeDisplay) {
            if (starts_with_key(cursor.current(), k.key)) s.*k.slot = value();
        }
        if (starts_with_key(cursor.current(), "[Display]")) {
            for (std::string& caption : s.display) caption = value();
        }
        if (starts_with_key(cursor.current(), "[Control]")) s.control = value();
    }
    return s;
}

}  // namespace vantrel
