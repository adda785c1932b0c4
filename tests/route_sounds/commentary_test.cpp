#include <gtest/gtest.h>

#include <algorithm>

#include "common/fixed_point.hpp"
#include "app/run.hpp"
#include "recording_sound.hpp"
#include "route/commentary.hpp"
#include "route/event_hook.hpp"

using namespace vantrel;
using vantrel::test::RecordingSound;
using Calls = std::vector<std::string>;

namespace {

// Phrase slot s holds wave 1000 + s; slots 0 .. 17 carry phrase number 0, slot 18 + k number k.
struct CommentaryTest : ::testing::Test {
    vantrel::Run run;
    RecordingSound snd;
    void SetUp() override {
        run.attach(snd);
        for (int s = 0; s < 140; ++s) {
            run.commentary.phrase_waves.push_back(1000 + s);
            run.commentary.phrase_numbers.push_back(s < 18 ? 0 : s - 18);
        }
        run.commentary.sign_waves = {700, 701, 702};
    }
    // The waiting waves, head first.
    std::vector<int> queued() const {
        const auto& q = run.commentary.queue;
        return {q.begin(), std::find(q.begin(), q.end(), kNoWave)};
    }
};

}  // namespace

TEST_F(CommentaryTest, QueueKeepsTwelveInOrderAndDropsAPhraseOnlyAfterItPlayed) {
    for (int w = 1; w <= 13; ++w) kanko_queue_add(run, w);
    EXPECT_EQ(queued(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));  // the 13th is lost

    kanko_queue_play(run);
    EXPECT_EQ(snd.calls, (Calls{"assign 254 1", "play 254"}));
    snd.clear();
    kanko_queue_play(run);  // still speaking: the head stays
    EXPECT_EQ(snd.calls, (Calls{}));
    EXPECT_EQ(queued().size(), 12u);

    snd.set_status(kCommentaryChannel, kStatusStopped);
    kanko_queue_play(run);
    EXPECT_EQ(snd.calls, (Calls{"assign 254 2", "play 254"}));
    kanko_queue_add(run, 99);  // joins the end while 2 speaks
    EXPECT_EQ(queued().front(), 2);
    EXPECT_EQ(queued().back(), 99);
    EXPECT_EQ(queued().size(), 12u);
}

TEST_F(CommentaryTest, AWaveThatFailedToLoadPassesSilently) {
    kanko_queue_add(run, -1);
    kanko_queue_add(run, 5);
    kanko_queue_play(run);
    EXPECT_EQ(snd.status(kCommentaryChannel), kStatusStopped);
    snd.clear();
    kanko_queue_play(run);
    EXPECT_EQ(snd.calls, (Calls{"assign 254 5", "play 254"}));
}

TEST_F(CommentaryTest, SignalRequestQueuesNumberedPhrasesAspectAndLinkedPhrases) {
    run.ats.CurrentSignalCode = 4;  // Y
    run.ats.commentary_number = 3;  // slot 21
    run.ats.signal_index = 2;
    run.route.signal_kanko = {{.index = 2, .kind = 0, .value = 30}, {.index = 1, .kind = 0, .value = 31},
                              {.index = 2, .kind = 1, .value = 66}, {.index = 2, .kind = 1, .value = 67},
                              {.index = 2, .kind = 2, .value = 40}};
    commentary_request(run);
    // kanko_add(1): 30; the slot of phrase 3; aspect Y (slot 2); kanko_add(2): 66 plain,
    // 121 + 67, 121 + 40.
    EXPECT_EQ(queued(), (std::vector<int>{1030, 1021, 1002, 1066, 1121, 1067, 1121, 1040}));
    EXPECT_FALSE(run.commentary.end_flag);
}

TEST_F(CommentaryTest, CommentaryNumberZeroFillsTheQueueWithTheFixedSlots) {
    run.ats.CurrentSignalCode = 0;
    run.ats.commentary_number = 0;
    commentary_request(run);
    EXPECT_EQ(queued(), (std::vector<int>{1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011}));
}

TEST_F(CommentaryTest, PhraseNinetyFiveEndsTheCommentaryWithTheStopSound) {
    run.train.sound_stop = 7;
    run.ats.signal_index = 0;
    run.route.signal_kanko = {{.index = 0, .kind = 1, .value = 95}, {.index = 0, .kind = 1, .value = 97}};
    kanko_add(run, 2);
    EXPECT_EQ(queued(), (std::vector<int>{1121, 1095, 1121, 1097}));
    ASSERT_TRUE(run.commentary.end_flag);

    for (int i = 0; i < 4; ++i) {
        kanko_queue_play(run);
        snd.set_status(kCommentaryChannel, kStatusStopped);
    }
    snd.clear();
    kanko_queue_play(run);  // the last phrase is done: the queue is empty
    EXPECT_EQ(snd.calls, (Calls{"stop 7", "loop 7"}));
    EXPECT_FALSE(run.commentary.end_flag);
    snd.clear();
    kanko_queue_play(run);
    EXPECT_EQ(snd.calls, (Calls{}));
}

TEST_F(CommentaryTest, StationCommentaryLinksAndPostsRequests) {
    run.stations.current_station = 1;
    run.route.station_kanko = {{.index = 1, .kind = 0, .value = 50}, {.index = 1, .kind = 1, .value = 94},
                               {.index = 1, .kind = 1, .value = 95}, {.index = 1, .kind = 1, .value = 104},
                               {.index = 1, .kind = 1, .value = 117}, {.index = 1, .kind = 2, .value = 116},
                               {.index = 1, .kind = 2, .value = 1200}, {.index = 0, .kind = 0, .value = 60}};
    run.ats.CurrentSignalCode = 13;  // a stop code: no request after the arrival phrases
    kanko_station_add(run, 1);
    EXPECT_EQ(queued(), (std::vector<int>{1050}));
    EXPECT_TRUE(run.posted.empty());
    run.ats.CurrentSignalCode = 14;
    kanko_station_add(run, 1);
    ASSERT_EQ(run.posted.size(), 1u);
    EXPECT_TRUE(run.posted[0].virtual_key);
    EXPECT_EQ(run.posted[0].code, 13);

    run.commentary.queue.fill(kNoWave);
    kanko_station_add(run, 2);  // departure: 94 and 104 are linked, 95 and 117 not
    EXPECT_EQ(queued(), (std::vector<int>{1121, 1094, 1095, 1121, 1104, 1117}));

    run.commentary.queue.fill(kNoWave);
    run.posted.clear();
    kanko_station_add(run, 3);  // first power: the opening phrase, then kind 2
    // The time 1200 goes to Timekanko: at tick 0 that is 1200 ticks early, slots 7 and 15.
    EXPECT_EQ(queued(), (std::vector<int>{1101, 1121, 1116, 1007, 1015}));
    EXPECT_EQ(run.posted.size(), 1u);
}

TEST_F(CommentaryTest, MovingRequestCommentsTheSignOnceAndStandingCommentsTheSignal) {
    run.ats.CurrentSignalCode = 2;  // G
    run.ats.commentary_number = 900;  // no phrase carries it
    run.limits.other_content = 1;
    run.core.Speed = 4000;  // 0.4 km/h rounds to 0: standing
    commentary_request(run);
    EXPECT_EQ(queued(), (std::vector<int>{1004}));

    run.commentary.queue.fill(kNoWave);
    run.core.Speed = 5000;  // 0.5 rounds to 0 as well (ties to even)
    commentary_request(run);
    EXPECT_EQ(queued(), (std::vector<int>{1004}));

    run.commentary.queue.fill(kNoWave);
    run.core.Speed = 30 * kFixedOne;
    commentary_request(run);
    commentary_request(run);  // the same sign again: nothing
    EXPECT_EQ(queued(), (std::vector<int>{701}));
    run.limits.other_content = 2;
    commentary_request(run);
    run.limits.other_content = 900;  // a time check ends the request without a signal comment
    commentary_request(run);
    commentary_request(run);
    EXPECT_EQ(queued(), (std::vector<int>{701, 702}));
}

TEST_F(CommentaryTest, EventHookShowsCaptionsOnlyInCommentaryModeAndPlaysNamedWaves) {
    apply_event_text(run, "0hello");
    EXPECT_FALSE(run.view.caption_strip_visible);
    D1Click(run);
    ASSERT_TRUE(run.commentary.D1);
    apply_event_text(run, "0hello");  // unchanged text: not shown now
    EXPECT_FALSE(run.view.caption_strip_visible);
    apply_event_text(run, "0world");
    EXPECT_TRUE(run.view.caption_strip_visible);
    EXPECT_EQ(run.view.caption_strip, "world");
    apply_event_text(run, "0world");
    EXPECT_TRUE(run.view.caption_strip_visible);
    D1Click(run);
    apply_event_text(run, "0world");
    EXPECT_FALSE(run.view.caption_strip_visible);

    apply_event_text(run, "1bell.wav");
    EXPECT_EQ(snd.calls, (Calls{"load bell.wav", "assign 255 500", "play 255"}));
    snd.clear();
    event_hook_step(run);  // this system's source is silent: an empty text
    EXPECT_EQ(snd.calls, (Calls{}));
    EXPECT_EQ(run.commentary.hook_text, "");
}

TEST_F(CommentaryTest, ASlotWithoutAFileNameQueuesNothing) {
    // A blank line of the phrase list creates no wave: queueing it leaves the queue as it
    // was, unlike a file that failed to load, which waits its turn and passes silently.
    run.route.kanko_sound1.assign(18, "k.wav");
    run.route.kanko_sound1[1] = "";
    run.route.kanko_sound2 = {"p0.wav"};
    run.commentary.phrase_waves[1] = -1;
    run.commentary.phrase_waves[3] = -1;  // named but not loadable
    run.ats.CurrentSignalCode = 0;
    run.ats.commentary_number = 0;
    commentary_request(run);
    EXPECT_EQ(queued(), (std::vector<int>{1000, 1002, -1, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012}));

    run.commentary.queue.fill(kNoWave);
    run.route.other_images.resize(3);
    run.route.other_images[1].wave = "";
    run.route.other_images[2].wave = "horn.wav";
    run.commentary.sign_waves[1] = -1;
    run.core.Speed = 30 * kFixedOne;
    run.limits.other_content = 1;
    commentary_request(run);
    EXPECT_EQ(queued(), (std::vector<int>{}));
    EXPECT_EQ(run.commentary.last_sign, 1);
}
