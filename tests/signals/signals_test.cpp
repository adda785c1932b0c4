#include <gtest/gtest.h>

#include <vector>

#include "route/signal_codes.hpp"
#include "route/signals.hpp"
#include "signals/signal_fixture.hpp"

namespace vantrel::test {
namespace {

// Eight signals, sections of 1000 frames: 0 (type 2), 1 (type 3), 2 (type 2),
// 3 repeater, 4 (type 2), 5 repeater, 6 (type 5), 7 (type 2).
void walk_line(Run& run) {
    const int32_t types[] = {2, 3, 2, 0, 2, 0, 5, 2};
    for (int32_t i = 0; i < 8; ++i) run.route.signals.push_back(block_signal(types[i], i * 1000, i * 1000 + 1000));
    size_values(run);
}

TEST(SignalAspects, OccupiedBlockStepsUpTheSignalsInRear) {
    vantrel::Run run;
    walk_line(run);
    // Preceding train between the ends of sections 6 and 7: the block beyond signal 6.
    run.video.PrecedingFrame = 7500;
    signal_aspects(run);
    EXPECT_EQ(run.ats.signal_value, (std::vector<int32_t>{4, 6, 4, 2, 2, 0, 0, 4}));

    // Exactly on a section end the block is not yet occupied (strict on both sides).
    run.video.PrecedingFrame = 7000;
    signal_aspects(run);
    EXPECT_EQ(run.ats.signal_value, (std::vector<int32_t>{4, 4, 4, 4, 4, 4, 4, 4}));
    run.video.PrecedingFrame = 8000;
    signal_aspects(run);
    EXPECT_EQ(run.ats.signal_value, (std::vector<int32_t>{4, 4, 4, 4, 4, 4, 4, 4}));

    // Occupied just beyond signal 1: the walk stops at the first signal.
    run.video.PrecedingFrame = 2500;
    signal_aspects(run);
    EXPECT_EQ(run.ats.signal_value, (std::vector<int32_t>{2, 0, 4, 4, 4, 4, 4, 4}));

    // No preceding train: everything clear.
    run.video.PrecedingFrame = 0;
    run.ats.signal_value.assign(8, 0);
    signal_aspects(run);
    EXPECT_EQ(run.ats.signal_value, (std::vector<int32_t>{4, 4, 4, 4, 4, 4, 4, 4}));
}

TEST(SignalAspects, ShortValueTableIsNeverOverrun) {
    vantrel::Run run;
    walk_line(run);
    run.ats.signal_value.assign(3, 9);
    run.video.PrecedingFrame = 7500;
    signal_aspects(run);
    EXPECT_EQ(run.ats.signal_value, (std::vector<int32_t>{4, 6, 4}));
    run.core.Frame = 6500;  // in the section of signal 6, which has no entry: reads as clear
    run.train.ats_type = 0;
    signal_ahead(run);
    EXPECT_EQ(run.ats.CurrentSignalCode, 21);
    run.ats.signal_value.clear();
    signal_aspects(run);
    signal_ahead(run);
    EXPECT_TRUE(run.ats.signal_value.empty());
}

TEST(SignalAspects, FixedSignalsTakeTheirFixedAspect) {
    vantrel::Run run;
    walk_line(run);
    run.route.signals[2].kind = 1;  // fixed at stop until tick 5000
    run.route.signals[2].fixed_aspect = 0;
    run.route.signals[2].fixed_until = 5000;
    run.route.signals[7].kind = 2;  // always fixed at Y
    run.route.signals[7].fixed_aspect = 2;
    run.core.ClockTicks = 4999;
    signal_aspects(run);
    EXPECT_EQ(run.ats.signal_value[2], 0);
    EXPECT_EQ(run.ats.signal_value[7], 2);
    run.core.ClockTicks = 5000;  // the fixed time is over
    signal_aspects(run);
    EXPECT_EQ(run.ats.signal_value[2], 4);
    EXPECT_EQ(run.ats.signal_value[7], 2);

    // A fixed signal in front of the occupied block keeps its fixed aspect.
    run.route.signals[6].kind = 2;
    run.route.signals[6].fixed_aspect = 4;
    run.video.PrecedingFrame = 7500;
    signal_aspects(run);
    EXPECT_EQ(run.ats.signal_value[6], 4);
    EXPECT_EQ(run.ats.signal_value[4], 2);
    // And one in rear of it, which the walk from the later block reaches over.
    run.route.signals[4].kind = 2;
    run.route.signals[4].fixed_aspect = 0;
    signal_aspects(run);
    EXPECT_EQ(run.ats.signal_value[4], 0);
    EXPECT_EQ(run.ats.signal_value[3], 2);  // the walk itself goes on: repeater 3 repeats k 2
    EXPECT_EQ(run.ats.signal_value[1], 6);  // and ends at the third block signal in rear
}

TEST(SignalCodes, RawPastClearShowsClearAndNoPictureTypesUseFiveAspectCodes) {
    EXPECT_EQ(display_code(1, 4), 4);  // two-aspect signal: clear is Y
    EXPECT_EQ(display_code(7, 4), 21);
    // Third block signal in rear (raw 6): clear, never the picture of code 6.
    EXPECT_EQ(display_code(2, 6), 8);
    EXPECT_EQ(display_code(5, 6), 21);
    EXPECT_EQ(display_code(3, -1), 9);
}

TEST(SignalAhead, DrawsTheSignalOnceAndClearsItAtTheSectionEnd) {
    vantrel::Run run;
    RecordingSound sound;
    setup_train(run, sound, 0);
    walk_line(run);
    run.route.signals[1].name = "第2閉塞";
    run.route.signals[1].commentary = 7;
    run.video.PrecedingFrame = 3500;  // block beyond signal 2 occupied: signal 1 gets raw 2
    run.core.Frame = 1200;
    signal_aspects(run);
    signal_ahead(run);
    EXPECT_EQ(run.ats.signal_value[1], 10);  // four-aspect Y
    EXPECT_EQ(run.ats.CurrentSignalCode, 10);
    EXPECT_EQ(run.ats.signal_index, 1);
    EXPECT_EQ(run.ats.commentary_number, 7);
    EXPECT_EQ(run.view.SignalImage, 10);
    EXPECT_TRUE(run.view.SignalLabel_visible);
    EXPECT_EQ(run.view.SignalLabel, "第2閉塞");

    run.view.SignalImage = -1;  // same code next tick: not drawn again
    signal_aspects(run);
    signal_ahead(run);
    EXPECT_EQ(run.view.SignalImage, -1);

    // Signal point passed at Y: no restriction; then the section end clears everything.
    run.core.Frame = 2001;
    signal_aspects(run);
    signal_ahead(run);
    EXPECT_EQ(run.ats.AtsTarget, kNone);
    EXPECT_EQ(run.view.SignalImage, 6);  // section end of signal 1, then signal 2 (at stop) drawn
    EXPECT_EQ(run.ats.signal_index, 2);
    EXPECT_EQ(run.ats.commentary_number, 0);
}

TEST(SignalAhead, SectionEndClearsAndNoPictureTypesDrawNothing) {
    vantrel::Run run;
    RecordingSound sound;
    setup_train(run, sound, 1);
    run.route.signals.push_back(block_signal(6, 0, 1000, "場内"));
    run.route.signals.push_back(block_signal(2, 2000, 3000));
    size_values(run);
    run.core.Frame = 500;
    signal_aspects(run);
    signal_ahead(run);
    EXPECT_EQ(run.ats.CurrentSignalCode, 21);
    EXPECT_EQ(run.view.SignalImage, -1);
    EXPECT_FALSE(run.view.SignalLabel_visible);
    EXPECT_EQ(run.view.SignalLabel, "場内");

    run.ats.AtsConfirmed = true;
    run.core.Frame = 1009;  // 9 frames past the section end (and the signal)
    signal_ahead(run);
    EXPECT_FALSE(run.ats.AtsConfirmed);
    EXPECT_EQ(run.view.SignalLabel, "");
    EXPECT_EQ(run.ats.CurrentSignalCode, kNone);
    EXPECT_EQ(run.ats.last_drawn_code, kNone);
    EXPECT_EQ(run.ats.signal_index, kNone);

    run.ats.signal_index = 0;
    run.core.Frame = 1010;  // window of 10 frames is over
    signal_ahead(run);
    EXPECT_EQ(run.ats.signal_index, 0);
}

TEST(SignalAhead, WarningAndSignalPointsSetTheCheckSpeed) {
    vantrel::Run run;
    RecordingSound sound;
    setup_train(run, sound, 0);
    run.route.signals.push_back(block_signal(3, 0, 1000));
    run.route.signals.push_back(block_signal(3, 1000, 2000));
    run.route.signals.push_back(block_signal(3, 2000, 3000));
    size_values(run);
    run.video.PrecedingFrame = 1500;  // just past signal 0: it shows stop

    run.core.Frame = 905;  // 5 frames past the warning frame 900
    signal_aspects(run);
    signal_ahead(run);
    EXPECT_EQ(run.ats.AtsTarget, 998);
    run.core.Frame = 1010;  // within 30 frames past the signal
    signal_aspects(run);
    signal_ahead(run);
    EXPECT_EQ(run.ats.AtsTarget, 0);  // passed at stop

    // Warning point of a clear signal, or with the speed-check ATS: no warning.
    run.ats.AtsTarget = kNone;
    run.video.PrecedingFrame = 0;
    run.core.Frame = 905;
    signal_aspects(run);
    signal_ahead(run);
    EXPECT_EQ(run.ats.AtsTarget, kNone);

    // Speed-check ATS: the aspect passed gives the check speed.
    run.train.ats_alert = 1;
    run.video.PrecedingFrame = 2500;  // past signal 1: signal 0 at raw 2 (Y)
    run.core.Frame = 500;
    signal_aspects(run);
    signal_ahead(run);
    run.core.Frame = 1020;
    signal_aspects(run);
    signal_ahead(run);
    EXPECT_EQ(run.ats.AtsTarget, 45);
    run.video.PrecedingFrame = 0;
    run.core.Frame = 1500;
    signal_aspects(run);
    signal_ahead(run);
    run.core.Frame = 2001;
    signal_aspects(run);
    signal_ahead(run);
    EXPECT_EQ(run.ats.AtsTarget, kNone);  // G
}

}  // namespace
}  // namespace vantrel::test
