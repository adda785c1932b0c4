#pragma once
// The run report as text for a terminal, as a self-contained HTML page and as JSON.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/run_report.hpp"

namespace vantrel {

enum class ReportFormat { Text, Html, Json };

[[nodiscard]] std::string report_text(const RunReportData& report);
[[nodiscard]] std::string report_html(const RunReportData& report);
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
