#pragma once
// Signal aspects along the line and the signal ahead with its ATS points.
namespace vantrel {

struct Run;

void signal_aspects(Run& run);  // raw aspects with the preceding train, fixed signals
void signal_ahead(Run& run);    // display code, SignalImage / cab lamps, warning and signal points

}  // namespace vantrel
