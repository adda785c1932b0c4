#include "route/ats.hpp"

#include "app/run.hpp"

namespace vantrel {

void cab_signal_ats(Run&) {}
void alarm_ats(Run&) {}
void pattern_ats(Run&) {}
void ats_confirm(Run&) {}
void ats_reset(Run&) {}

}  // namespace vantrel
