#pragma once
// Speed limits, speed checks, signs and time-check prompt, gradient display and Gradient.
namespace vantrel {

struct Run;

void speed_limit_blink(Run& run);      // start of the 100 ms step
void speed_limits_step(Run& run);
void speed_checks_step(Run& run);
void signs_step(Run& run);             // signs and the time-check prompt
void train_gradient_step(Run& run);    // Gradient from the history
void gradient_display_step(Run& run);  // SlopeImage, SlopeText

}  // namespace vantrel
