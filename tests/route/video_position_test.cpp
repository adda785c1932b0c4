#include <gtest/gtest.h>

#include <vector>

#include "app/run.hpp"
#include "dynamics/video_position.hpp"
#include "route/route_start.hpp"

using namespace vantrel;

namespace {

// Four segments of 100 frames at 60 km/h: 5556 cm each (120 x 100 / 2.16 = 5555.6).
void four_segments(Run& run) {
    run.route.speed_units = {
        {0, 100, 60, 60, 5556}, {100, 200, 60, 60, 11112}, {200, 300, 60, 60, 16668}, {300, 400, 60, 60, 22224}};
}

std::vector<int32_t> frames_over(Run& run, int ticks) {
    std::vector<int32_t> out;
    for (int i = 0; i < ticks; ++i) {
        advance_video(run);
        out.push_back(run.core.Frame);
    }
    return out;
}

}  // namespace

TEST(VideoPosition, AdvancesFramesInProportionToTheFilmedSpeed) {
    vantrel::Run run;
    four_segments(run);
    run.core.Frame = 10;
    run.video.FilmedSpeed = 60;

    run.core.Speed = 30 * 10000;  // half the filmed speed: every second tick
    EXPECT_EQ(frames_over(run, 6), (std::vector<int32_t>{10, 11, 11, 12, 12, 13}));
    run.core.Speed = 90 * 10000;  // one and a half: 1, 2, 1, 2 ...
    EXPECT_EQ(frames_over(run, 4), (std::vector<int32_t>{14, 16, 17, 19}));
    run.core.Speed = -60 * 10000;  // backwards one frame a tick
    EXPECT_EQ(frames_over(run, 2), (std::vector<int32_t>{18, 17}));
    run.core.Speed = 4000;  // 0.4 km/h rounds to 0
    EXPECT_EQ(frames_over(run, 200).back(), 17);
    EXPECT_EQ(run.video.accumulator, 0);
}

TEST(VideoPosition, InterpolatesTheFilmedSpeedAndStartsFromZero) {
    vantrel::Run run;
    run.route.speed_units = {{0, 1000, 60, 90, 69444}, {1000, 1002, 60, 61, 69500}};
    run.core.Frame = 500;
    run.core.Speed = 0;
    advance_video(run);  // FilmedSpeed 0 becomes 1 before the division; nothing moves at rest
    EXPECT_EQ(run.core.Frame, 500);
    EXPECT_EQ(run.video.FilmedSpeed, 75);
    run.core.Frame = 1001;
    advance_video(run);
    EXPECT_EQ(run.video.FilmedSpeed, 60);  // 60.5 rounds to even
    run.core.Frame = 5000;  // outside every segment the last value stays
    advance_video(run);
    EXPECT_EQ(run.video.FilmedSpeed, 60);
}

TEST(VideoPosition, ResynchronisesDistanceWhenEnteringAnotherSegment) {
    vantrel::Run run;
    four_segments(run);
    run.core.Frame = 299;
    run.video.FilmedSpeed = 60;
    run.video.segment = 2;
    run.core.Speed = 60 * 10000;
    run.core.Distance = 16000;
    advance_video(run);
    EXPECT_EQ(run.core.Frame, 300);
    EXPECT_EQ(run.video.segment, 3);
    EXPECT_EQ(run.core.Distance, 16668);  // segment 2's end distance
    run.core.Distance = 17000;
    advance_video(run);  // same segment: left alone
    EXPECT_EQ(run.core.Distance, 17000);

    // After a jump (segment -1) the first lookup only takes note of the segment.
    run.video.segment = -1;
    run.core.Frame = 150;
    run.core.Distance = 8000;
    advance_video(run);
    EXPECT_EQ(run.video.segment, 1);
    EXPECT_EQ(run.core.Distance, 8000);

    // Start-up: segment 0, standing in segment 3 -> the first tick moves Distance there.
    run.video.segment = 0;
    run.core.Speed = 0;
    run.core.Frame = 350;
    run.core.Distance = 0;
    advance_video(run);
    EXPECT_EQ(run.core.Distance, 16668);
    run.core.Frame = 50;  // back into segment 0, which starts at 0
    advance_video(run);
    EXPECT_EQ(run.core.Distance, 0);
}

TEST(VideoPosition, PrecedingTrainStepsByFrameRateAndLeavesAtTheVideoEnd) {
    vantrel::Run run;
    run.route.frame_rate = 15;  // 30 div 15 = every second tick
    run.video.length = 503;
    run.video.PrecedingFrame = 500;
    std::vector<int32_t> seen;
    for (int i = 0; i < 8; ++i) {
        ++run.core.ClockTicks;
        advance_preceding_train(run);
        seen.push_back(run.video.PrecedingFrame);
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{500, 501, 501, 502, 502, 503, 503, 0}));
    advance_preceding_train(run);  // 0: no preceding train, stays 0
    EXPECT_EQ(run.video.PrecedingFrame, 0);

    // Without a video (length -1) any preceding train is dropped at once, even off-step.
    run.video.length = -1;
    run.video.PrecedingFrame = 700;
    run.core.ClockTicks = 1;
    advance_preceding_train(run);
    EXPECT_EQ(run.video.PrecedingFrame, 0);

    // A rate of 0 in a table not read from a file steps every tick rather than dividing by 0.
    run.route.frame_rate = 0;
    run.video.length = 1000;
    run.video.PrecedingFrame = 10;
    advance_preceding_train(run);
    EXPECT_EQ(run.video.PrecedingFrame, 11);
}

TEST(RouteStart, SetsTheStartStateFromTheRoute) {
    vantrel::Run run;
    run.route.line_name = "東都急行線";
    run.route.start_pos = 100;
    run.route.start_time = 972000;
    run.route.pre_time = 60;
    run.route.stations.resize(3);
    run.route.stations[0].name = "渋谷";
    run.route.sounds.resize(4);
    run.route.signals.resize(5);
    run.stations.flags.assign(1, StationFlags{true, true, true});
    run.route_sounds.trigger_played.assign(7, true);
    run.core.TractionCut = false;
    run.stations.door_command = false;
    run.ats.AtsTarget = 45;
    run.ats.CurrentSignalCode = 4;
    run.limits.other_content = 3;
    run.view.OtherImage = 3;
    run.video = {5, 60, 2, 0, -1};
    run.core.Distance = 1234;

    apply_route_start(run);
    EXPECT_EQ(run.core.Frame, 100);
    EXPECT_EQ(run.core.ClockTicks, 972000);
    EXPECT_EQ(run.video.PrecedingFrame, 1900);  // 60 s x 30 + 100
    EXPECT_EQ(run.view.Label4, "渋谷");
    EXPECT_TRUE(run.core.TractionCut);
    EXPECT_TRUE(run.stations.door_command);
    ASSERT_EQ(run.stations.flags.size(), 3u);
    EXPECT_FALSE(run.stations.flags[0].marker_shown);
    EXPECT_EQ(run.route_sounds.trigger_played, std::vector<bool>(4, false));
    EXPECT_EQ(run.ats.signal_value.size(), 5u);
    EXPECT_EQ(run.ats.CurrentSignalCode, 999);
    EXPECT_EQ(run.ats.last_drawn_code, 999);
    EXPECT_EQ(run.ats.commentary_number, 999);
    EXPECT_EQ(run.ats.signal_index, 999);
    EXPECT_EQ(run.ats.AtsTarget, 999);
    EXPECT_EQ(run.limits.other_content, 999);
    EXPECT_EQ(run.view.OtherImage, -1);
    EXPECT_EQ(run.video.accumulator, 0);
    EXPECT_EQ(run.video.FilmedSpeed, 0);
    EXPECT_EQ(run.video.segment, 0);
    EXPECT_EQ(run.core.Distance, 0);
    EXPECT_EQ(run.view.caption, "東都急行線");
    EXPECT_TRUE(run.has_route);

    // A caption already replaced is kept; a route without stations shows no name.
    vantrel::Run other;
    other.view.caption = "運転中";
    other.view.Label4 = "x";
    apply_route_start(other);
    EXPECT_EQ(other.view.caption, "運転中");
    EXPECT_EQ(other.view.Label4, "");
}

TEST(VideoPosition, HalfKilometresPerHourRoundToEven) {
    vantrel::Run run;
    run.route.speed_units = {{0, 1000, 10, 10, 9259}};
    run.core.Frame = 50;
    run.video.FilmedSpeed = 10;
    run.core.Speed = 25000;  // 2.5 km/h counts 2 a tick: 2, 4, 6, 8, 10 -> one frame on the fifth
    EXPECT_EQ(frames_over(run, 5), (std::vector<int32_t>{50, 50, 50, 50, 51}));
    run.core.Speed = -35000;  // -3.5 km/h counts 4: 4, 8, 12 -> back one frame, 2 left over
    EXPECT_EQ(frames_over(run, 3), (std::vector<int32_t>{51, 51, 50}));
    EXPECT_EQ(run.video.accumulator, 2);
}

TEST(VideoPosition, AFilmedSpeedBelowOneIsKeptAsOne) {
    vantrel::Run run;  // no segment: nothing sets FilmedSpeed back
    run.core.Frame = 10;
    advance_video(run);  // at rest: accumulator 0 >= FilmedSpeed 0
    EXPECT_EQ(run.video.FilmedSpeed, 1);
    run.core.Speed = 30000;  // 3 km/h against 1: three frames a tick
    EXPECT_EQ(frames_over(run, 2), (std::vector<int32_t>{13, 16}));
}

TEST(VideoPosition, OverlappingSegmentsLastMatchWinsAndResynchronisesEachTick) {
    vantrel::Run run;
    run.route.speed_units = {{0, 200, 60, 60, 11111}, {100, 300, 30, 30, 16667}};
    run.core.Frame = 150;
    run.video.segment = 1;
    run.video.FilmedSpeed = 30;
    run.core.Distance = 14000;
    // Segment 0 matches first (index 0, Distance 0), then segment 1 (Distance 11111).
    advance_video(run);
    EXPECT_EQ(run.video.segment, 1);
    EXPECT_EQ(run.video.FilmedSpeed, 30);
    EXPECT_EQ(run.core.Distance, 11111);
    run.core.Distance = 14000;
    advance_video(run);  // still in both: snaps back again
    EXPECT_EQ(run.core.Distance, 11111);
}
