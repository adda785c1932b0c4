#pragma once
// The run report as text for a terminal, as a self-contained HTML page and as JSON.
#include <string>

#include "app/run_report.hpp"

namespace vantrel {

enum class ReportFormat { Text, Html, Json };

[[nodiscard]] std::string report_text(const RunReportData& report);
[[nodiscard]] std::string report_html(const RunReportData& report);
[[nodiscard]] std::string report_json(const RunReportData& report);
[[nodiscard]] std::string write_report(const RunReportData& report, ReportFormat format);

// JSON for a name ending in ".json", text for ".txt", HTML otherwise (letter case ignored).
[[nodiscard]] ReportFormat report_format_for(const std::string& file_name);

}  // namespace vantrel
