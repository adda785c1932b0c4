// The train's own sounds on a recording channel layer: running-sound bands, motor
// sounds, the diesel engine, brake squeal, loading and unloading.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "app/run.hpp"
#include "common/fixed_point.hpp"
#include "recording_sound.hpp"
#include "sound/sound_loader.hpp"
#include "sound/train_sounds.hpp"
#include "test_support.hpp"

namespace vantrel::test {
namespace {

using Calls = std::vector<std::string>;

// Thirteen running bands on 0 .. 12; the motor entries each test sets sit on 240 ..
struct TrainSoundsTest : ::testing::Test {
    vantrel::Run run;
    RecordingSound snd;
    void SetUp() override {
        run.attach(snd);
        run.drive_sound_count = 13;
        run.train.engine_type = 1;
        run.train.lose_elec = 80;
        run.train.sound_squeak = 24;
    }
    void speed(long double kmh) { run.core.Speed = round_store(kmh * kFixedOne); }
    void playing(std::initializer_list<int> channels) {
        for (int ch : channels) snd.set_status(ch, kStatusLooping);
    }
};

// The volume of a level of `percent` of full, as the logic computes it.
int volume_of(long double percent) { return round_int(2000.0L * std::log10(percent / 100.0L)); }

TEST_F(TrainSoundsTest, RunningSoundCrossFadesTheTwoBandsAroundTheSpeed) {
    struct Case {
        long double kmh;
        std::vector<int> playing;
        Calls calls;
    };
    const Case cases[] = {
        // Standing: band 0 at full, band 1 at -40 dB (weight 0 counts as 1).
        {0, {}, {"stop 0", "loop 0", "stop 1", "loop 1", "vol 0 0", "vol 1 -4000"}},
        // Between bands both near -6 dB; the bands outside are stopped.
        {45, {3, 4, 5, 6}, {"stop 3", "stop 6", "vol 4 -602", "vol 5 -602"}},
        {-45, {4, 5}, {"vol 4 -602", "vol 5 -602"}},
        // Band 1 does not stop band 0 at 10 km/h, but does above it.
        {10, {0, 1, 2, 3}, {"stop 3", "vol 1 0", "vol 2 -4000"}},
        {11, {0, 1, 2}, {"stop 0", "vol 1 -92", "vol 2 -2000"}},
        // 119 km/h: weights 10 and 90; nothing above band 12 is touched.
        {119, {10, 11, 12, 13}, {"stop 10", "vol 11 -2000", "vol 12 -92"}},
        // 120 km/h and above: the bands keep what they were doing.
        {120, {11, 12}, {}},
    };
    for (const Case& c : cases) {
        snd.state.fill(kStatusStopped);
        for (int ch : c.playing) snd.set_status(ch, kStatusLooping);
        snd.clear();
        speed(c.kmh);
        train_sounds_step(run);
        EXPECT_EQ(snd.calls, c.calls) << c.kmh << " km/h";
    }
}

TEST_F(TrainSoundsTest, MotorSoundFollowsTheSpeedWindowAndTheEnvelopes) {
    run.train.motor_sounds = {
        {.file = "m0.wav", .mode = 0, .start_speed = 0, .end_speed = 70, .start_ratio = 0.5, .end_ratio = 1.6,
         .start_loudness = 40, .end_loudness = 100},
        {.file = "m1.wav", .mode = 1, .start_speed = 0, .end_speed = 70, .start_ratio = 1, .end_ratio = 1,
         .start_loudness = 50, .end_loudness = 50},
    };
    reset_train_sounds(run);
    snd.quiet_channel = 0;  // leave the running bands out (only 0 and 1 at these speeds)
    playing({1, 240, 241});

    // Power at 35 km/h: halfway through the window, ratio 1.05, loudness 70; the power
    // entry's envelope jumps to 100, the brake entry's stays at 1; common 1 + 20.
    speed(35);
    run.core.PowerNotch = 1;
    snd.clear();
    train_sounds_step(run);
    EXPECT_TRUE(snd.called("freq 240 1.0500"));
    EXPECT_TRUE(snd.called("vol 240 " + std::to_string(volume_of(70.0L * 100 * 21 / 10000))));
    EXPECT_TRUE(snd.called("vol 241 " + std::to_string(volume_of(50.0L * 1 * 21 / 10000))));

    // Coasting: the power envelope falls by 10 to 16 or below, the common one by 10 to
    // 15 or below; the common one first rises to 81 + 20 = 101 under power.
    for (int i = 0; i < 4; ++i) train_sounds_step(run);
    EXPECT_EQ(run.train_sounds.common_envelope, 101);
    run.core.PowerNotch = 0;
    struct Tick {
        long double envelope, common;
    };
    const Tick coast[] = {{90, 91}, {80, 81}, {70, 71}, {60, 61}, {50, 51}, {40, 41},
                          {30, 31}, {20, 21}, {10, 11}, {10, 11}};
    for (const Tick& t : coast) {
        snd.clear();
        train_sounds_step(run);
        EXPECT_TRUE(snd.called("vol 240 " + std::to_string(volume_of(70 * t.envelope * t.common / 10000))))
            << t.envelope;
    }

    // Outside the window (bounds strict): loudness 1 and the pitch left as it was.
    for (long double kmh : {0.0L, 70.0L, -5.0L}) {
        speed(kmh);
        snd.clear();
        train_sounds_step(run);
        EXPECT_FALSE(snd.called("freq 240 1.0500")) << kmh;
        EXPECT_EQ(snd.count("vol 240 " + std::to_string(volume_of(1 * 10 * 11 / 10000.0L))), 1) << kmh;
    }
    // Braking wakes the brake entry; every motor channel keeps looping.
    run.core.BrakeNotch = -2;
    snd.finish(241);
    snd.clear();
    train_sounds_step(run);
    EXPECT_TRUE(snd.called("loop 241"));
    EXPECT_EQ(run.train_sounds.motor_envelope[1], 100);
}

TEST_F(TrainSoundsTest, DieselEngineIdlesByDoorStateAndFollowsLevelAndRevolutions) {
    run.train.engine_type = 0;
    run.train.engine_sound = {30, 31, 32};  // engine, idle doors closed, idle doors open
    auto engine_calls = [&] {  // the calls on channels 30 .. 32
        Calls out;
        for (const auto& c : snd.calls) {
            const auto channel = std::stoi(c.substr(c.find(' ') + 1));
            if (channel >= 30 && channel <= 32) out.push_back(c);
        }
        return out;
    };
    run.core.TractionCut = false;
    run.traction.EngineLevel = 50;
    run.traction.EngineRev = 100;
    train_sounds_step(run);
    EXPECT_EQ(engine_calls(), (Calls{"stop 31", "stop 32", "loop 31", "vol 30 -602", "stop 30", "loop 30",
                                     "freq 30 1.0000"}));
    // Idle already running: only the engine's level and pitch. Level 0 is silence.
    snd.clear();
    run.traction.EngineLevel = 0;
    train_sounds_step(run);
    EXPECT_EQ(engine_calls(), (Calls{"vol 30 -10000", "freq 30 1.0000"}));
    // Doors open: the other idle sound takes over.
    snd.clear();
    run.core.TractionCut = true;
    train_sounds_step(run);
    EXPECT_EQ(engine_calls(), (Calls{"stop 31", "stop 32", "loop 32", "vol 30 -10000", "freq 30 1.0000"}));
}

TEST_F(TrainSoundsTest, SquealRisesWithBrakeCylinderPressureAndFadesOut) {
    struct Case {
        long double kmh;
        int32_t brake_notch;
        long double kpa;
        int32_t volume_before;
        Calls calls;
    };
    const Case cases[] = {
        // Braking between 3 km/h and [Lose_elec]: looping at -500 x 500 / p.
        {30, -3, 500, 0, {"stop 24", "loop 24", "vol 24 -500"}},
        {30, -3, 50, 0, {"stop 24", "loop 24", "vol 24 -5000"}},
        // From 45 km/h it falls by 100 a step, then the pressure sets it while below
        // [Lose_elec] (80); above that the fall alone remains.
        {60, -3, 500, -300, {"stop 24", "loop 24", "vol 24 -400", "vol 24 -500"}},
        {85, -3, 500, -300, {"vol 24 -400"}},
        // Released: falls by 100, stopped once below -5000.
        {30, 0, 0, -4900, {"vol 24 -5000"}},
        {30, 0, 0, -5000, {"vol 24 -5100", "stop 24"}},
        // Standing with the brake on: falls by 1000.
        {0, -3, 500, -4500, {"vol 24 -5500", "stop 24"}},
        // Between 1 and 3 km/h: not restarted, but its volume follows the pressure.
        {2, -3, 250, -4500, {"vol 24 -1000"}},
        // No pressure: nothing to set.
        {30, -1, 0, -700, {"stop 24", "loop 24"}},
    };
    for (const Case& c : cases) {
        snd.state.fill(kStatusStopped);
        if (c.brake_notch == 0 || c.kmh < 3) snd.set_status(24, kStatusLooping);
        run.train_sounds.squeal_volume = c.volume_before;
        speed(c.kmh);
        run.core.BrakeNotch = c.brake_notch;
        run.core.BcPressure = round_store(c.kpa * kFixedOne);
        snd.clear();
        squeal_step(run);
        EXPECT_EQ(snd.calls, c.calls) << c.kmh << " km/h, notch " << c.brake_notch;
    }
}

TEST_F(TrainSoundsTest, LoadingAssignsInChannelOrderRefusesMoreThan256AndUnloadStopsThem) {
    TempDir dir;
    const PathResolver resolver(dir.path().string());
    run.train.drive_sounds = {"r0.wav", "", "r2.wav"};
    run.route.sound_data = {"s0.wav"};
    run.train.motor_sounds = {{.file = "m0.wav"}};
    ASSERT_EQ(load_sounds(run, resolver), std::nullopt);
    EXPECT_EQ(run.drive_sound_count, 3);
    EXPECT_TRUE(snd.called("assign 0 500"));
    EXPECT_TRUE(snd.called("assign 1 -1"));  // an empty name loads nothing
    EXPECT_TRUE(snd.called("assign 2 501"));
    EXPECT_TRUE(snd.called("assign 3 502"));
    EXPECT_TRUE(snd.called("assign 240 503"));
    EXPECT_EQ(run.train_sounds.motor_envelope, std::vector<long double>{1.0L});

    snd.clear();
    unload_train_sounds(run);
    EXPECT_EQ(snd.calls, (Calls{"stop 0", "stop 1", "stop 2", "stop 3", "stop 240", "stop 255"}));

    const std::string overflow = "DirectSoundの割り当てに失敗しました。256チャンネルを超えています。";
    run.train.motor_sounds.resize(16);
    EXPECT_EQ(load_sounds(run, resolver), std::nullopt);  // 240 .. 255
    run.train.motor_sounds.resize(17);
    EXPECT_EQ(load_sounds(run, resolver), overflow);
    run.train.motor_sounds.clear();
    run.train.drive_sounds.assign(100, "r.wav");
    run.route.sound_data.assign(157, "s.wav");
    EXPECT_EQ(load_sounds(run, resolver), overflow);
}

}  // namespace
}  // namespace vantrel::test
