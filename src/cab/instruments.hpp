#pragma once
// The cab instruments' share of the 100 ms step: speed read-out, lamps, stop marker.
namespace vantrel {

struct Run;

void speed_readout(Run& run);     // digi_speed
void needles_step(Run& run);      // needle angles
void instruments_step(Run& run);  // needles, lamp rules and window caption
void stopline_step(Run& run);     // the stop-point indicator

}  // namespace vantrel
