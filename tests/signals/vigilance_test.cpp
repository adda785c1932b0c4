#include <gtest/gtest.h>

#include "route/vigilance.hpp"
#include "signals/signal_fixture.hpp"

namespace vantrel::test {
namespace {

TEST(Vigilance, BellFrom601AndEmergencyAt651OnlyWhileMoving) {
    vantrel::Run run;
    RecordingSound sound;
    setup_train(run, sound, 0);
    run.train.eb = 1;
    run.core.Speed = kmh(1);  // standing or creeping: no growth
    for (int i = 0; i < 700; ++i) vigilance_step(run);
    EXPECT_EQ(run.ats.vigilance_counter, 0);

    run.core.Speed = kmh(1.01);
    for (int i = 0; i < 600; ++i) vigilance_step(run);
    EXPECT_TRUE(sound.calls.empty());
    EXPECT_FALSE(run.view.Lamp_EB);
    vigilance_step(run);
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"stop 15", "play 15"}));
    EXPECT_TRUE(run.view.Lamp_EB);
    vigilance_step(run);  // still ringing: not restarted
    EXPECT_EQ(sound.calls.size(), 2u);
    sound.set_status(kEbRing, kStatusStopped);
    vigilance_step(run);  // ran out: rung again
    EXPECT_EQ(sound.calls.size(), 4u);

    for (int i = 604; i < 651; ++i) vigilance_step(run);
    EXPECT_FALSE(run.core.AtsEmergency);
    vigilance_step(run);
    EXPECT_TRUE(run.core.AtsEmergency);
    EXPECT_EQ(run.ats.vigilance_counter, 0);
    EXPECT_FALSE(is_playing(sound, kEbRing));

    // A driver action silences it.
    for (int i = 0; i < 610; ++i) vigilance_step(run);
    EXPECT_TRUE(run.view.Lamp_EB);
    driver_action(run);
    EXPECT_EQ(run.ats.vigilance_counter, 0);
    EXPECT_FALSE(run.view.Lamp_EB);
    EXPECT_FALSE(is_playing(sound, kEbRing));
}

TEST(Vigilance, OffWithoutTheDeviceAndForTheRestOfTheRunAfterFollowVideo) {
    vantrel::Run run;
    RecordingSound sound;
    setup_train(run, sound, 0);
    run.core.Speed = kmh(60);
    vigilance_step(run);
    EXPECT_EQ(run.ats.vigilance_counter, 0);  // [EB] 0

    run.train.eb = 1;
    vigilance_step(run);
    EXPECT_EQ(run.ats.vigilance_counter, 1);
    run.core.FollowVideo = true;
    vigilance_step(run);
    run.core.FollowVideo = false;
    vigilance_step(run);
    EXPECT_EQ(run.ats.vigilance_counter, 1);
    EXPECT_TRUE(run.ats.vigilance_off);
}

}  // namespace
}  // namespace vantrel::test
