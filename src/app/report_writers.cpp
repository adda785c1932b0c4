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

std::string seconds_text(int32_t seconds) {
    const int32_t s = std::abs(seconds);
    if (s < 60) return std::to_string(s) + "秒";
    char b[32];
    std::snprintf(b, sizeof b, "%d分%02d秒", s / 60, s % 60);
    return b;
}

// "定時", "1分05秒遅れ" or "20秒早い" against a scheduled time.
std::string judgement(int32_t actual, int32_t planned) {
    const int32_t d = seconds_late(actual, planned);
    if (std::abs(d) < kOnTimeSeconds) return "定時";
    return seconds_text(d) + (d > 0 ? "遅れ" : "早い");
}

std::string against(const std::optional<int32_t>& actual, const std::optional<int32_t>& planned) {
    if (!actual || !planned) return "";
    return " (予定 " + clock_text(*planned) + " " + judgement(*actual, *planned) + ")";
}

std::string stop_error_text(int32_t cm) {
    if (cm == 0) return "0 cm";
    return std::to_string(std::abs(cm)) + " cm " + (cm > 0 ? "行き過ぎ" : "手前");
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
    if (s.stop_error_cm) line += " 停止位置 " + stop_error_text(*s.stop_error_cm);
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

std::string report_html(const RunReportData& r) {
    auto cell = [](const std::string& s) { return "<td>" + html_escape(s) + "</td>"; };
    auto time_cell = [&](const std::optional<int32_t>& t) { return cell(t ? clock_text(*t) : ""); };
    std::string h =
        "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n<title>運転記録 " +
        html_escape(r.line_name) +
        "</title>\n<style>\nbody{font-family:sans-serif;margin:2em;color:#222}\n"
        "table{border-collapse:collapse;margin-bottom:1.5em}\n"
        "th,td{border:1px solid #999;padding:.3em .7em;text-align:left}\nth{background:#e8ecf2}\n"
        ".late{color:#b00}.ok{color:#070}\n</style>\n</head>\n<body>\n<h1>運転記録</h1>\n<p>" +
        html_escape(r.line_name) + (r.train.empty() ? "" : " / " + html_escape(r.train)) + "</p>\n";
    h += "<h2>駅</h2>\n<table>\n<tr><th>駅</th><th>種別</th><th>着 (予定)</th><th>着・通過</th><th>判定</th>"
         "<th>発 (予定)</th><th>発</th><th>判定</th><th>停止位置</th></tr>\n";
    auto judged = [&](const std::optional<int32_t>& a, const std::optional<int32_t>& p) {
        if (!a || !p) return std::string("<td></td>");
        const std::string j = judgement(*a, *p);
        return "<td class=\"" + std::string(j == "定時" ? "ok" : "late") + "\">" + j + "</td>";
    };
    for (size_t i = 0; i < r.stations.size(); ++i) {
        const StationReport& s = r.stations[i];
        std::string stop;
        if (s.stop_error_cm) stop = stop_error_text(*s.stop_error_cm);
        if (!s.inside_platform) stop += " ホーム外";
        if (s.missed) stop = "停車せず";
        h += "<tr>" + cell(s.name) + cell(s.stop ? "停車" : "通過") + time_cell(s.scheduled_arrival) +
             time_cell(s.arrival) + judged(s.arrival, s.scheduled_arrival) +
             time_cell(s.stop ? s.scheduled_departure : std::nullopt) + time_cell(s.departure) +
             judged(s.departure, s.scheduled_departure) +
             (s.missed || !s.inside_platform ? "<td class=\"late\">" + html_escape(stop) + "</td>" : cell(stop)) +
             "</tr>\n";
    }
    h += "</table>\n<h2>非常制動</h2>\n";
    if (r.emergencies.empty()) {
        h += "<p>なし</p>\n";
    } else {
        h += "<table>\n<tr><th>種類</th><th>時刻</th><th>フレーム</th><th>距離 (m)</th></tr>\n";
        for (const EmergencyReport& e : r.emergencies)
            h += "<tr>" + cell(emergency_name(e.kind)) + cell(clock_text(e.time)) + cell(std::to_string(e.frame)) +
                 cell(fixed1(e.metres)) + "</tr>\n";
        h += "</table>\n";
    }
    h += "<h2>速度超過</h2>\n";
    if (r.overspeed.empty()) {
        h += "<p>なし</p>\n";
    } else {
        h += "<table>\n<tr><th>制限 (km/h)</th><th>超過 (km/h)</th><th>時間 (秒)</th><th>時刻</th><th>フレーム</th>"
             "<th>距離 (m)</th></tr>\n";
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
