#pragma once
// The 100 ms step of the driving window: dynamics first, then the instruments and the
// route work in their fixed order, the commentary queue last.
namespace vantrel {

struct Run;

void Timer1Timer(Run& run);

// The Start menu command: starts or pauses the run; returns whether it now runs.
bool start1Click(Run& run);

}  // namespace vantrel
