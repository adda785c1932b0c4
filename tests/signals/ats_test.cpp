#include <gtest/gtest.h>

#include "route/ats.hpp"
#include "route/signals.hpp"
#include "signals/signal_fixture.hpp"

namespace vantrel::test {
namespace {

TEST(CabSignalAts, OneLampPerAspectAndCodeOneLightsNone) {
    vantrel::Run run;
    RecordingSound sound;
    setup_train(run, sound, 2);
    run.route.signals.push_back(block_signal(0, 0, 1000, "中継"));
    run.route.signals.push_back(block_signal(4, 1000, 2000));
    run.route.signals.push_back(block_signal(4, 2000, 3000));
    run.route.signals.push_back(block_signal(4, 3000, 4000));
    size_values(run);
    run.video.PrecedingFrame = 3500;  // beyond signal 2: it shows stop, signal 1 raw 2, repeater 0 raw 2

    run.view.Lamp_G = true;
    run.core.Frame = 500;
    signal_aspects(run);
    signal_ahead(run);
    EXPECT_EQ(run.ats.CurrentSignalCode, 1);
    EXPECT_FALSE(run.view.Lamp_G || run.view.Lamp_YG || run.view.Lamp_Y || run.view.Lamp_YY || run.view.Lamp_R);
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"stop 13", "play 13"}));
    EXPECT_FALSE(run.view.SignalLabel_visible);
    EXPECT_EQ(run.view.SignalLabel, "中継");
    EXPECT_EQ(run.view.SignalImage, -1);

    run.core.Frame = 1500;
    signal_aspects(run);
    signal_ahead(run);
    EXPECT_EQ(run.ats.CurrentSignalCode, 15);
    EXPECT_TRUE(run.view.Lamp_Y);
    run.core.Frame = 2500;
    signal_aspects(run);
    signal_ahead(run);
    EXPECT_TRUE(run.view.Lamp_R);
    EXPECT_FALSE(run.view.Lamp_Y);
    EXPECT_EQ(sound.calls.size(), 6u);  // the bell at each change of aspect
}

TEST(CabSignalAts, BrakesOverTheAspectSpeedAndHoldsAtStopEvenStanding) {
    vantrel::Run run;
    RecordingSound sound;
    setup_train(run, sound, 2);
    run.ats.CurrentSignalCode = 15;  // Y: 45 km/h
    run.core.Speed = kmh(45);
    cab_signal_ats(run);
    EXPECT_FALSE(run.core.AtsBrake);
    run.core.Speed = kmh(45.01);
    cab_signal_ats(run);
    EXPECT_TRUE(run.core.AtsBrake);
    EXPECT_TRUE(run.ats.CabSignalBrake);
    run.core.Speed = kmh(40);
    cab_signal_ats(run);
    EXPECT_FALSE(run.core.AtsBrake);
    EXPECT_FALSE(run.ats.CabSignalBrake);

    // Any aspect, even none, above [Speed_G].
    run.ats.CurrentSignalCode = kNone;
    run.core.Speed = kmh(111);
    cab_signal_ats(run);
    EXPECT_TRUE(run.core.AtsBrake);

    // Stop code: braked at standstill; the driver's own full service brake takes over.
    run.core.AtsBrake = false;
    run.ats.CabSignalBrake = false;
    run.ats.CurrentSignalCode = 13;
    run.core.Speed = 0;
    run.core.BrakeHandle = -7;  // strongest service notch of [Brake] 8
    cab_signal_ats(run);
    EXPECT_FALSE(run.core.AtsBrake);
    run.core.BrakeHandle = -6;
    cab_signal_ats(run);
    EXPECT_TRUE(run.core.AtsBrake);
    cab_signal_ats(run);
    EXPECT_TRUE(run.ats.CabSignalBrake);

    run.train.ats_type = 0;  // another ATS type leaves it alone
    run.ats.CurrentSignalCode = 16;
    cab_signal_ats(run);
    EXPECT_TRUE(run.core.AtsBrake);
}

TEST(AlarmAts, WarningRingsTheBellAndEndsInEmergencyAfterAtsTime) {
    vantrel::Run run;
    RecordingSound sound;
    setup_train(run, sound, 0);
    run.ats.AtsTarget = 998;
    run.view.Lamp_Y = true;
    alarm_ats(run);
    EXPECT_TRUE(run.ats.AtsAlarm);
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"stop 11", "stop 12", "loop 11"}));
    EXPECT_TRUE(run.view.Lamp_Ats);
    EXPECT_FALSE(run.view.Lamp_Y);
    EXPECT_EQ(run.ats.saved_target, 998);
    EXPECT_FALSE(run.core.AtsEmergency);
    EXPECT_EQ(run.ats.AtsTimer, 1);

    // The bell is not restarted while it rings; the 51st tick passes 5 s x 10.
    for (int i = 2; i <= 50; ++i) alarm_ats(run);
    EXPECT_EQ(sound.calls.size(), 3u);
    EXPECT_FALSE(run.core.AtsEmergency);
    alarm_ats(run);
    EXPECT_TRUE(run.core.AtsEmergency);
    EXPECT_TRUE(sound.called("play 14"));
    EXPECT_EQ(run.ats.AtsTimer, 0);
    sound.calls.clear();
    for (int i = 0; i < 51; ++i) alarm_ats(run);  // already latched: no second EB sound
    EXPECT_FALSE(sound.called("play 14"));

    // In the emergency notch no new alarm starts.
    vantrel::Run quiet;
    setup_train(quiet, sound, 0);
    quiet.ats.AtsTarget = 998;
    quiet.core.BrakeHandle = -8;
    alarm_ats(quiet);
    EXPECT_FALSE(quiet.ats.AtsAlarm);
}

TEST(AlarmAts, PassingAStopSignalLatchesEmergencyAtOnce) {
    vantrel::Run run;
    RecordingSound sound;
    setup_train(run, sound, 0);
    run.ats.AtsTarget = 0;
    alarm_ats(run);
    EXPECT_TRUE(run.ats.AtsAlarm);
    EXPECT_TRUE(run.core.AtsEmergency);
    EXPECT_FALSE(sound.called("play 14"));
}

TEST(AlarmAts, ConfirmWithBrakeGivesTheChimeAndNeedsStandstillAtTheWarning) {
    vantrel::Run run;
    RecordingSound sound;
    setup_train(run, sound, 0);
    run.ats.AtsTarget = 998;
    run.core.Speed = kmh(50);
    alarm_ats(run);

    ats_confirm(run);  // no brake applied: the alarm keeps ringing
    EXPECT_TRUE(run.ats.AtsAlarm);
    EXPECT_FALSE(run.ats.AtsConfirmed);

    run.core.BrakeHandle = -3;
    ats_confirm(run);
    EXPECT_FALSE(run.ats.AtsAlarm);
    EXPECT_TRUE(run.ats.AtsChime);
    EXPECT_TRUE(run.ats.AtsConfirmed);
    EXPECT_EQ(run.ats.AtsTimer, 0);
    sound.calls.clear();
    alarm_ats(run);  // the chime replaces the bell, looping with [ATS_Cnt] 0
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"stop 11", "stop 12", "loop 12"}));
    EXPECT_FALSE(run.ats.AtsChime);
    EXPECT_FALSE(run.view.Lamp_Ats);
    EXPECT_FALSE(run.ats.AtsAlarm);  // confirmed: no new alarm while the warning stands

    // At the warning the chime stops only once the train stands.
    sound.calls.clear();
    ats_confirm(run);
    EXPECT_TRUE(is_playing(sound, kAts2));
    run.core.Speed = kmh(0.4);  // rounds to 0 km/h
    ats_confirm(run);
    EXPECT_FALSE(is_playing(sound, kAts2));

    // Confirming a pending chime just drops it; with [ATS_Cnt] 1 the chime plays once.
    run.train.ats_cnt = 1;
    run.ats.AtsChime = true;
    run.ats.AtsAlarm = true;
    ats_confirm(run);
    EXPECT_FALSE(run.ats.AtsChime);
    EXPECT_FALSE(run.ats.AtsAlarm);
    run.ats.AtsChime = true;
    sound.calls.clear();
    alarm_ats(run);
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"stop 11", "stop 12", "play 12"}));
}

TEST(AlarmAts, SpeedCheckLampsAndResetAtStandstillInEmergency) {
    vantrel::Run run;
    RecordingSound sound;
    setup_train(run, sound, 0);
    run.train.ats_alert = 1;
    run.ats.AtsTarget = 45;
    run.ats.AtsConfirmed = true;
    run.core.Speed = kmh(50);  // not above 45 + 5
    alarm_ats(run);
    EXPECT_FALSE(run.ats.AtsAlarm);
    EXPECT_TRUE(run.view.Lamp_Y);
    EXPECT_FALSE(run.ats.AtsConfirmed);
    run.core.Speed = kmh(50.5);
    alarm_ats(run);
    EXPECT_TRUE(run.ats.AtsAlarm);
    EXPECT_FALSE(run.view.Lamp_Y);
    run.core.BrakeHandle = -2;
    ats_confirm(run);
    alarm_ats(run);  // chime: the saved check speed relights its lamp
    EXPECT_TRUE(run.view.Lamp_Y);
    run.ats.AtsTarget = kNone;
    alarm_ats(run);
    EXPECT_FALSE(run.view.Lamp_Y || run.view.Lamp_YG || run.view.Lamp_YY || run.view.Lamp_Ats);

    // Reset: only in the emergency notch and at standstill.
    run.core.AtsEmergency = true;
    run.core.AtsBrake = true;
    run.ats.AtsAlarm = true;
    run.ats.AtsTimer = 17;
    run.core.BrakeHandle = -7;
    run.core.Speed = 0;
    ats_reset(run);
    EXPECT_TRUE(run.core.AtsEmergency);
    run.core.BrakeHandle = -8;
    run.core.Speed = kmh(0.6);
    ats_reset(run);
    EXPECT_TRUE(run.core.AtsEmergency);
    run.core.Speed = kmh(0.5);  // rounds to 0 (ties to even)
    sound.calls.clear();
    ats_reset(run);
    EXPECT_FALSE(run.core.AtsEmergency);
    EXPECT_FALSE(run.core.AtsBrake);
    EXPECT_FALSE(run.ats.AtsAlarm);
    EXPECT_FALSE(run.ats.AtsChime);
    EXPECT_EQ(run.ats.AtsTimer, 0);
    EXPECT_TRUE(run.ats.AtsConfirmed);
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"stop 11", "stop 12"}));
}

// A stop signal (type 3) 300 m ahead of Distance 0; brake rate 3 km/h/s, so a = 2.4.
// B(60) = 60 / 2.4 x (30 / 3.6) = 208.3 m, B(65) = 65 / 2.4 x (32.5 / 3.6) = 244.5 m.
void pattern_line(Run& run, RecordingSound& sound) {
    setup_train(run, sound, 1);
    run.train.brake_rate = 30000;
    run.route.signals.push_back(block_signal(3, 0, 1000));
    size_values(run);
    run.ats.signal_value[0] = 0;
    run.route.marks.push_back({30000, 0, 0});
    run.core.Speed = kmh(60);
}

TEST(PatternAts, BrakesAheadOfAStopSignalAndReleasesWhenItClears) {
    vantrel::Run run;
    RecordingSound sound;
    pattern_line(run, sound);
    pattern_ats(run);  // d = 300: 208.3 <= 290 and 244.5 <= 250
    EXPECT_EQ(run.ats.PatternState, 0);
    EXPECT_TRUE(sound.calls.empty());

    run.core.Distance = 1000;  // d = 290: 244.5 > 240
    pattern_ats(run);
    EXPECT_EQ(run.ats.PatternState, 1);
    EXPECT_TRUE(run.view.Lamp_Atsp1);
    EXPECT_FALSE(run.view.Lamp_Atsp2);
    EXPECT_FALSE(run.core.AtsBrake);
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"stop 13", "play 13"}));

    run.core.Distance = 8500;  // d = 215: 208.3 > 205
    pattern_ats(run);
    EXPECT_EQ(run.ats.PatternState, 2);
    EXPECT_EQ(run.ats.previous_pattern_state, 1);
    EXPECT_TRUE(run.core.AtsBrake);
    EXPECT_TRUE(run.view.Lamp_Atsp1 && run.view.Lamp_Atsp2);

    // Braked below the curve: the brake holds while the signal stays at stop.
    run.core.Speed = kmh(20);
    pattern_ats(run);
    EXPECT_EQ(run.ats.PatternState, 2);
    run.core.Speed = 0;
    pattern_ats(run);
    EXPECT_TRUE(run.core.AtsBrake);

    run.ats.signal_value[0] = 12;  // clear now: no target
    sound.calls.clear();
    pattern_ats(run);
    EXPECT_EQ(run.ats.PatternState, 0);
    EXPECT_FALSE(run.core.AtsBrake);
    EXPECT_FALSE(run.view.Lamp_Atsp1 || run.view.Lamp_Atsp2);
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"stop 13", "play 13"}));
}

TEST(PatternAts, TargetsOnlyWithin600mAndInTableOrder) {
    vantrel::Run run;
    RecordingSound sound;
    pattern_line(run, sound);
    run.route.marks[0].distance = 60000;  // exactly 600 m: ignored even at 150 km/h
    run.core.Speed = kmh(150);
    pattern_ats(run);
    EXPECT_EQ(run.ats.PatternState, 0);
    run.core.Distance = 1;  // 599.99 m: B(150) = 1302 m
    pattern_ats(run);
    EXPECT_EQ(run.ats.PatternState, 2);

    // A signal mark earlier in the table wins over a nearer speed limit after it.
    vantrel::Run order;
    pattern_line(order, sound);
    order.route.marks[0].distance = 50000;
    order.route.marks.push_back({10000, 40, 0});  // 40 km/h in 100 m
    order.core.Speed = kmh(60);
    pattern_ats(order);
    EXPECT_EQ(order.ats.PatternState, 0);  // 500 m to the signal is enough
    // With the signal clear the limit counts, raised to 45 km/h:
    // B(60) = 15 / 2.4 x (52.5 / 3.6) = 91.1 m > 100 - 10.
    order.ats.signal_value[0] = 4;
    pattern_ats(order);
    EXPECT_EQ(order.ats.PatternState, 2);
    order.core.Speed = kmh(44.4);  // rounds below 45
    pattern_ats(order);
    EXPECT_EQ(order.ats.PatternState, 0);

    // A mark naming no signal, a repeater and a mark behind the train never count.
    vantrel::Run odd;
    pattern_line(odd, sound);
    odd.route.marks[0].signal = 5;
    odd.route.marks.push_back({-100, 0, 0});
    odd.core.Speed = kmh(150);
    pattern_ats(odd);
    EXPECT_EQ(odd.ats.PatternState, 0);
}

TEST(PatternAts, TrainThatCannotBrakeIsBrakedAtOnce) {
    vantrel::Run run;
    RecordingSound sound;
    pattern_line(run, sound);
    run.train.brake_rate = 0;
    pattern_ats(run);
    EXPECT_EQ(run.ats.PatternState, 2);
}

}  // namespace
}  // namespace vantrel::test
