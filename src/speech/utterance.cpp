#include "speech/utterance.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace vantrel::speech {
namespace {

constexpr std::array<std::string_view, 13> kNames{
    "speed", "limit", "limit_ahead", "signal", "station", "stop_distance", "stopped",
    "time", "overspeed", "ats", "vigilance", "doors", "handles",
};

}  // namespace

std::string_view kind_name(Kind kind) { return kNames[static_cast<size_t>(kind)]; }

std::optional<Kind> kind_from_name(std::string_view name) {
    for (size_t i = 0; i < kNames.size(); ++i)
        if (kNames[i] == name) return static_cast<Kind>(i);
    return std::nullopt;
}

std::string value_text(double value) {
    char buf[32];
    const double whole = std::round(value);
    if (std::fabs(value - whole) < 1e-9 && std::fabs(whole) < 1e15) {
        std::snprintf(buf, sizeof buf, "%.0f", whole == 0 ? 0.0 : whole);
    } else {
        std::snprintf(buf, sizeof buf, "%.2f", value);
        std::string out(buf);
        if (out.back() == '0') out.pop_back();
        return out;
    }
    return buf;
}

std::string log_line(const Utterance& u) {
    std::string out = std::to_string(u.ms);
    out.append(",").append(kind_name(u.kind)).append(",").append(value_text(u.value)).append(",");
    for (char c : u.text) out += (c == '\n' || c == '\r') ? ' ' : c;
    out += '\n';
    return out;
}

std::optional<Utterance> parse_log_line(std::string_view line) {
    Utterance u;
    const size_t a = line.find(',');
    if (a == std::string_view::npos) return std::nullopt;
    const size_t b = line.find(',', a + 1);
    if (b == std::string_view::npos) return std::nullopt;
    const size_t c = line.find(',', b + 1);
    if (c == std::string_view::npos) return std::nullopt;
    const auto ms = std::from_chars(line.data(), line.data() + a, u.ms);
    if (ms.ec != std::errc{} || ms.ptr != line.data() + a) return std::nullopt;
    const auto kind = kind_from_name(line.substr(a + 1, b - a - 1));
    if (!kind) return std::nullopt;
    u.kind = *kind;
    const std::string value(line.substr(b + 1, c - b - 1));
    char* end = nullptr;
    u.value = std::strtod(value.c_str(), &end);
    if (value.empty() || *end != '\0' || !std::isfinite(u.value)) return std::nullopt;
    u.text = std::string(line.substr(c + 1));
    while (!u.text.empty() && (u.text.back() == '\n' || u.text.back() == '\r')) u.text.pop_back();
    return u;
}

}  // namespace vantrel::speech
