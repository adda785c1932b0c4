#pragma once
// The runner's outputs: the CSV trace row after each 100 ms step and the cab view as
// one JSON object per line.
#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {
struct Run;
}

namespace vantrel::sim {

[[nodiscard]] std::string_view trace_header();
void append_trace_row(std::string& out, int64_t t_ms, const Run& run);
void append_view_json(std::string& out, int64_t t_ms, const Run& run);

}  // namespace vantrel::sim
