#pragma once
// The three ATS variants and the driver's confirm and reset.
namespace vantrel {

struct Run;

void cab_signal_ats(Run& run);  // [ATS_Type] 2
void alarm_ats(Run& run);       // [ATS_Type] 0
void pattern_ats(Run& run);     // [ATS_Type] 1
void ats_confirm(Run& run);     // space key
void ats_reset(Run& run);       // "r" key: only in emergency at standstill

}  // namespace vantrel
