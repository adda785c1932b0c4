#include <gtest/gtest.h>

#include <string>

#include "app/scheduler.hpp"

using vantrel::Scheduler;

TEST(Scheduler, TicksAndStepsFallOnTheirPhasesWithTheTickFirstOnTies) {
    Scheduler s;
    std::string order;
    s.start(1000);
    s.run_until(1330, [&](int64_t t) { order += "t" + std::to_string(t - 1000) + " "; },
                [&](int64_t t) { order += "S" + std::to_string(t - 1000) + " "; });
    // 33k and 100k from the start; 330 is only a tick, 300 both (tick first).
    EXPECT_EQ(order, "t33 t66 t99 S100 t132 t165 t198 S200 t231 t264 t297 S300 t330 ");
}

TEST(Scheduler, PauseStopsBothAndStartBeginsFreshPhases) {
    Scheduler s;
    int ticks = 0, steps = 0;
    auto tick = [&](int64_t) { ++ticks; };
    auto step = [&](int64_t) { ++steps; };
    s.run_until(500, tick, step);  // not started: nothing runs
    EXPECT_EQ(ticks + steps, 0);
    s.start(0);
    s.run_until(150, tick, step);
    EXPECT_EQ(ticks, 4);
    EXPECT_EQ(steps, 1);
    s.pause();
    s.run_until(10000, tick, step);
    EXPECT_EQ(ticks, 4);
    s.start(10010);  // phases from the new start: ticks at 10043 .., the step at 10110
    s.run_until(10109, tick, step);
    EXPECT_EQ(ticks, 7);
    EXPECT_EQ(steps, 1);
    s.run_until(10110, tick, step);
    EXPECT_EQ(steps, 2);
}

TEST(Scheduler, SimultaneousDueTimesRunTheTickBeforeTheStep) {
    Scheduler s;
    std::string order;
    s.start(0);
    s.run_until(3300, [&](int64_t t) { if (t == 3300) order += "tick "; },
                [&](int64_t t) { if (t == 3300) order += "step "; });
    EXPECT_EQ(order, "tick step ");
}
