#include "app/report_writers.hpp"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "route/stations.hpp"

namespace vantrel {
namespace {

std::string fixed1(long double v) {
    char b[48];
    std::snprintf(b, sizeof b, "%.1Lf", v);
    return b;
}

// `pattern` with %1 and %2 replaced.
std::string fill_in(const std::string& pattern, const std::string& one, const std::string& two = "") {
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && (pattern[i + 1] == '1' || pattern[i + 1] == '2')) {
            out += pattern[++i] == '1' ? one : two;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string seconds_text(int32_t seconds, const ReportWords& w) {
    const int32_t s = std::abs(seconds);
    if (s < 60) return fill_in(w.seconds, std::to_string(s));
    char b[8];
    std::snprintf(b, sizeof b, "%02d", s % 60);
    return fill_in(w.minutes, std::to_string(s / 60), b);
}

// "定時", "1分05秒遅れ" or "20秒早い" against a scheduled time, in the whole seconds the clocks show.
std::string judgement(int32_t actual, int32_t planned, const ReportWords& w) {
    const int32_t d = seconds_late(actual, planned);
    if (std::abs(d) < kOnTimeSeconds) return w.on_time;
    return fill_in(d > 0 ? w.late : w.early, seconds_text(d, w));
}

std::string against(const std::optional<int32_t>& actual, const std::optional<int32_t>& planned) {
    if (!actual || !planned) return "";
    return " (予定 " + clock_text(*planned) + " " + judgement(*actual, *planned, ReportWords{}) + ")";
}

std::string stop_error_text(int32_t cm, const ReportWords& w) {
    if (cm == 0) return "0 cm";
    return fill_in(cm > 0 ? w.overrun : w.short_of, std::to_string(std::abs(cm)));
}

std::string emergency_name(EmergencyKind k) { return k == EmergencyKind::Ats ? "ATS" : "EB"; }

std::string place(int32_t frame, long double metres) {
    return "フレーム " + std::to_string(frame) + " (" + fixed1(metres) + " m)";
}

std::string html_escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace

int32_t seconds_late(int32_t actual, int32_t planned) {
    constexpr int32_t kTicksPerSecond = 30;
    return actual / kTicksPerSecond - planned / kTicksPerSecond;
}

std::string json_string(std::string_view s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char b[8];
            std::snprintf(b, sizeof b, "\\u%04x", c);
            out += b;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string terminal_text(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        // C1 controls arrive as U+0080..U+009F, whose UTF-8 lead byte is 0xC2.
        const bool c1 = c == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) < 0xA0 &&
                        static_cast<unsigned char>(s[i + 1]) >= 0x80;
        if (c < 0x20 || c == 0x7F || c1) {
            const unsigned code = c1 ? static_cast<unsigned char>(s[++i]) : c;
            char b[8];
            std::snprintf(b, sizeof b, "\\x%02x", code);
            out += b;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

namespace {

std::string json_time(const std::optional<int32_t>& t) { return t ? json_string(clock_text(*t)) : "null"; }

std::string station_line(const StationReport& s, bool first) {
    std::string line = terminal_text(s.name) + (s.stop ? " 停車" : " 通過");
    if (!s.stop) {
        if (s.arrival) return line + " " + clock_text(*s.arrival) + against(s.arrival, s.scheduled_arrival);
        return line + " --:--:--";
    }
    if (s.arrival) {
        line += " 着 " + clock_text(*s.arrival) + against(s.arrival, s.scheduled_arrival);
    } else if (s.missed) {
        return line + " 停車せず";
    } else if (!first) {
        return line + " --:--:--";
    }
    if (s.stop_error_cm) line += " 停止位置 " + stop_error_text(*s.stop_error_cm, ReportWords{});
    if (!s.inside_platform) line += " ホーム外";
    if (s.departure) line += " 発 " + clock_text(*s.departure) + against(s.departure, s.scheduled_departure);
    return line;
}

std::string overspeed_line(const OverspeedReport& o) {
    return "制限 " + std::to_string(o.limit) + " km/h を " + std::to_string(o.over_by) + " km/h 超過 " +
           fixed1(o.duration / 30.0L) + " 秒 " + clock_text(o.time) + " " + place(o.frame, o.metres);
}

}  // namespace

std::string report_text(const RunReportData& r) {
    std::string t = "運転記録: " + terminal_text(r.line_name) +
                    (r.train.empty() ? "" : " (" + terminal_text(r.train) + ")") + "\n";
    t += "駅:\n";
    for (size_t i = 0; i < r.stations.size(); ++i) t += "  " + station_line(r.stations[i], i == 0) + "\n";
    t += "非常制動:" + std::string(r.emergencies.empty() ? " なし" : "") + "\n";
    for (const EmergencyReport& e : r.emergencies)
        t += "  " + emergency_name(e.kind) + " " + clock_text(e.time) + " " + place(e.frame, e.metres) + "\n";
    t += "速度超過:" + std::string(r.overspeed.empty() ? " なし" : "") + "\n";
    for (const OverspeedReport& o : r.overspeed) t += "  " + overspeed_line(o) + "\n";
    return t;
}

std::string report_html(const RunReportData& r, const ReportWords& w) {
    auto cell = [](const std::string& s) { return "<td>" + html_escape(s) + "</td>"; };
    auto head = [](const std::string& s) { return "<th>" + html_escape(s) + "</th>"; };
    auto time_cell = [&](const std::optional<int32_t>& t) { return cell(t ? clock_text(*t) : ""); };
    std::string h = "<!DOCTYPE html>\n<html lang=\"" + html_escape(w.language) +
                    "\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + html_escape(w.title) + " " +
                    html_escape(r.line_name) +
                    "</title>\n<style>\nbody{font-family:sans-serif;margin:2em;color:#222}\n"
                    "table{border-collapse:collapse;margin-bottom:1.5em}\n"
                    "th,td{border:1px solid #999;padding:.3em .7em;text-align:left}\nth{background:#e8ecf2}\n"
                    ".late{color:#b00}.ok{color:#070}\n</style>\n</head>\n<body>\n<h1>" +
                    html_escape(w.title) + "</h1>\n<p>" + html_escape(r.line_name) +
                    (r.train.empty() ? "" : " / " + html_escape(r.train)) + "</p>\n";
    h += "<h2>" + html_escape(w.stations) + "</h2>\n<table>\n<tr>" + head(w.station) + head(w.kind) +
         head(w.scheduled_arrival) + head(w.arrival) + head(w.judgement) + head(w.scheduled_departure) +
         head(w.departure) + head(w.judgement) + head(w.stop_position) + "</tr>\n";
    auto judged = [&](const std::optional<int32_t>& a, const std::optional<int32_t>& p) {
        if (!a || !p) return std::string("<td></td>");
        const std::string j = judgement(*a, *p, w);
        return "<td class=\"" + std::string(j == w.on_time ? "ok" : "late") + "\">" + html_escape(j) + "</td>";
    };
    for (size_t i = 0; i < r.stations.size(); ++i) {
        const StationReport& s = r.stations[i];
        std::string stop;
        if (s.stop_error_cm) stop = stop_error_text(*s.stop_error_cm, w);
        if (!s.inside_platform) stop += " " + w.outside_platform;
        if (s.missed) stop = w.missed;
        h += "<tr>" + cell(s.name) + cell(s.stop ? w.stop : w.pass) + time_cell(s.scheduled_arrival) +
             time_cell(s.arrival) + judged(s.arrival, s.scheduled_arrival) +
             time_cell(s.stop ? s.scheduled_departure : std::nullopt) + time_cell(s.departure) +
             judged(s.departure, s.scheduled_departure) +
             (s.missed || !s.inside_platform ? "<td class=\"late\">" + html_escape(stop) + "</td>" : cell(stop)) +
             "</tr>\n";
    }
    h += "</table>\n<h2>" + html_escape(w.emergencies) + "</h2>\n";
    if (r.emergencies.empty()) {
        h += "<p>" + html_escape(w.none) + "</p>\n";
    } else {
        h += "<table>\n<tr>" + head(w.emergency_kind) + head(w.time) + head(w.frame) + head(w.distance) + "</tr>\n";
        for (const EmergencyReport& e : r.emergencies)
            h += "<tr>" + cell(emergency_name(e.kind)) + cell(clock_text(e.time)) + cell(std::to_string(e.frame)) +
                 cell(fixed1(e.metres)) + "</tr>\n";
        h += "</table>\n";
    }
    h += "<h2>" + html_escape(w.overspeed) + "</h2>\n";
    if (r.overspeed.empty()) {
        h += "<p>" + html_escape(w.none) + "</p>\n";
    } else {
        h += "<table>\n<tr>" + head(w.limit) + head(w.over_by) + head(w.duration) + head(w.time) + head(w.frame) +
             head(w.distance) + "</tr>\n";
        for (const OverspeedReport& o : r.overspeed)
            h += "<tr>" + cell(std::to_string(o.limit)) + cell(std::to_string(o.over_by)) +
                 cell(fixed1(o.duration / 30.0L)) + cell(clock_text(o.time)) + cell(std::to_string(o.frame)) +
                 cell(fixed1(o.metres)) + "</tr>\n";
        h += "</table>\n";
    }
    return h + "</body>\n</html>\n";
}

std::string report_json(const RunReportData& r) {
    std::string j = "{\"stations\": [";
    for (size_t i = 0; i < r.stations.size(); ++i) {
        const StationReport& s = r.stations[i];
        j += std::string(i ? ", " : "") + "{\"name\": " + json_string(s.name) + ", \"stop\": " +
             (s.stop ? "true" : "false") + ", \"scheduled_arrival\": " + json_time(s.scheduled_arrival) +
             ", \"arrival\": " + json_time(s.arrival) + ", \"departure\": " + json_time(s.departure) +
             ", \"stop_error_cm\": " + (s.stop_error_cm ? std::to_string(*s.stop_error_cm) : "null") +
             ", \"scheduled_departure\": " + json_time(s.stop ? s.scheduled_departure : std::nullopt) +
             ", \"missed\": " + (s.missed ? "true" : "false") +
             ", \"inside_platform\": " + (s.inside_platform ? "true" : "false") + "}";
    }
    j += "], \"emergencies\": [";
    for (size_t i = 0; i < r.emergencies.size(); ++i) {
        const EmergencyReport& e = r.emergencies[i];
        j += std::string(i ? ", " : "") + "{\"kind\": " +
             (e.kind == EmergencyKind::Ats ? "\"ats\"" : "\"vigilance\"") + ", \"time\": " + json_time(e.time) +
             ", \"frame\": " + std::to_string(e.frame) + ", \"metres\": " + fixed1(e.metres) + "}";
    }
    j += "], \"overspeed\": [";
    for (size_t i = 0; i < r.overspeed.size(); ++i) {
        const OverspeedReport& o = r.overspeed[i];
        j += std::string(i ? ", " : "") + "{\"limit\": " + std::to_string(o.limit) +
             ", \"over_by\": " + std::to_string(o.over_by) + ", \"seconds\": " + fixed1(o.duration / 30.0L) +
             ", \"time\": " + json_time(o.time) + ", \"frame\": " + std::to_string(o.frame) +
             ", \"metres\": " + fixed1(o.metres) + "}";
    }
    return j + "]}\n";
}

std::string write_report(const RunReportData& report, ReportFormat format) {
    switch (format) {
        case ReportFormat::Text: return report_text(report);
        case ReportFormat::Json: return report_json(report);
        case ReportFormat::Html: break;
    }
    return report_html(report);
}

ReportFormat report_format_for(const std::string& file_name) {
    std::string lower = file_name;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    auto ends = [&](const std::string& ext) {
        return lower.size() >= ext.size() && lower.compare(lower.size() - ext.size(), ext.size(), ext) == 0;
    };
    if (ends(".json")) return ReportFormat::Json;
    if (ends(".txt")) return ReportFormat::Text;
    return ReportFormat::Html;
}

}  // namespace vantrel
