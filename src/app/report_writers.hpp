#pragma once
// The run report as text for a terminal, as a self-contained HTML page and as JSON.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/run_report.hpp"

namespace vantrel {

enum class ReportFormat { Text, Html, Json };

// The words of the text and the page, UTF-8: Japanese as the runner writes them; the
// windows give them in the player's language. %1, %2 stand for numbers or times.
struct ReportWords {
    std::string language = "ja";  // the page's lang attribute
    std::string title = "運転記録";
    std::string stations = "駅", station = "駅", kind = "種別", stop = "停車", pass = "通過";
    std::string scheduled_arrival = "着 (予定)", arrival = "着・通過", judgement = "判定";
    std::string scheduled_departure = "発 (予定)", departure = "発", stop_position = "停止位置";
    std::string emergencies = "非常制動", none = "なし", emergency_kind = "種類", time = "時刻";
    std::string frame = "フレーム", distance = "距離 (m)";
    std::string overspeed = "速度超過", limit = "制限 (km/h)", over_by = "超過 (km/h)", duration = "時間 (秒)";
    std::string on_time = "定時", late = "%1遅れ", early = "%1早い", seconds = "%1秒", minutes = "%1分%2秒";
    std::string overrun = "%1 cm 行き過ぎ", short_of = "%1 cm 手前", outside_platform = "ホーム外",
                missed = "停車せず";
};

[[nodiscard]] std::string report_text(const RunReportData& report);
[[nodiscard]] std::string report_html(const RunReportData& report, const ReportWords& words = {});
[[nodiscard]] std::string report_json(const RunReportData& report);
[[nodiscard]] std::string write_report(const RunReportData& report, ReportFormat format);

// Within this many seconds of the timetable counts as on time, as the cab's judgement has it.
constexpr int32_t kOnTimeSeconds = 15;

// Seconds between two clock times (ticks) as the clock shows them: whole seconds, so that a
// judgement agrees with the times printed beside it. Negative when early.
[[nodiscard]] int32_t seconds_late(int32_t actual, int32_t planned);

// A JSON string literal of `s` (quotes and control bytes escaped; other bytes as they are).
[[nodiscard]] std::string json_string(std::string_view s);

// `s` safe to print on a terminal: control bytes (C0, DEL, C1) from data files become \xNN.
[[nodiscard]] std::string terminal_text(std::string_view s);

// JSON for a name ending in ".json", text for ".txt", HTML otherwise (letter case ignored).
[[nodiscard]] ReportFormat report_format_for(const std::string& file_name);

}  // namespace vantrel
