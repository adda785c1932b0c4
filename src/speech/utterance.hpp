#pragma once
// What the cab says: one utterance per announcement, with the number it speaks, so that a
// log of them can be held against the run's trace.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel::speech {

enum class Kind {
    speed, limit, limit_ahead, signal, station, stop_distance, stopped, time,
    overspeed, ats, vigilance, doors, handles,
};

enum class Language { Japanese, English };

struct Utterance {
    int64_t ms = 0;  // run time it was decided at
    Kind kind = Kind::speed;
    double value = 0;  // the number or code spoken; metres for distances
    std::string text;
};

[[nodiscard]] std::string_view kind_name(Kind kind);
[[nodiscard]] std::optional<Kind> kind_from_name(std::string_view name);

// The value as the log writes it: whole numbers bare, others to two decimals.
[[nodiscard]] std::string value_text(double value);

// `<ms>,<kind>,<value>,<text>` and a newline; the text is the last field and may hold commas.
[[nodiscard]] std::string log_line(const Utterance& u);
// A log line read back; nullopt for anything else.
[[nodiscard]] std::optional<Utterance> parse_log_line(std::string_view line);

}  // namespace vantrel::speech
