#pragma once
// Headless runs in virtual time: every tick and step due up to a time, the sound model told
// each one's time first and the characters they posted handled after each.
#include <cstdint>

#include "app/run.hpp"
#include "app/scheduler.hpp"
#include "app/timer1.hpp"
#include "dynamics/motion.hpp"
#include "input/keyboard.hpp"
#include "sound/sim_sound.hpp"

namespace vantrel {

// `after_step(t)` sees the run after each step, before its posted characters are handled.
template <class AfterStep>
void run_virtual_until(Scheduler& scheduler, Run& run, sim::SimSoundChannels& sound, int64_t until_ms,
                       AfterStep&& after_step) {
    scheduler.run_until(
        until_ms,
        [&](int64_t t) {
            sound.set_time(t);
            MMTimer1Timer(run);
            drain_posted(run);
        },
        [&](int64_t t) {
            sound.set_time(t);
            Timer1Timer(run);
            after_step(t);
            drain_posted(run);
        });
}

inline void run_virtual_until(Scheduler& scheduler, Run& run, sim::SimSoundChannels& sound, int64_t until_ms) {
    run_virtual_until(scheduler, run, sound, until_ms, [](int64_t) {});
}

}  // namespace vantrel
