// The film feed: the window's calls never wait on the decoder, reversing decodes a keyframe group
// once, and the pictures are the frames asked for at the size they are drawn.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <set>

#include "film_maker.hpp"
#include "platform/ffmpeg_handles.hpp"
#include "platform/film_decoder.hpp"
#include "platform/film_opener.hpp"
#include "platform/film_schedule.hpp"
#include "test_support.hpp"

namespace {

using namespace vantrel;
using namespace std::chrono_literals;

// A decoder of 300 frames in keyframe groups of 30 that records its calls; while `held`, every
// decode waits until the test lets it go.
class ScriptedDecoder final : public FilmDecoder {
public:
    struct Log {
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<int32_t> decoded;
        bool held = false;
        bool inside = false;  // a decode is waiting on `held`
    };
    explicit ScriptedDecoder(std::shared_ptr<Log> log) : log_(std::move(log)) {}
    int32_t length() const override { return 300; }
    QSize source_size() const override { return {64, 32}; }
    double frame_rate() const override { return 30; }
    int32_t group_start(int32_t index) const override { return index / 30 * 30; }
    bool decode(int32_t index) override {
        std::unique_lock lock(log_->mutex);
        log_->inside = true;
        log_->changed.notify_all();
        log_->changed.wait(lock, [&] { return !log_->held; });
        log_->inside = false;
        log_->decoded.push_back(index);
        last_ = index;
        return true;
    }
    bool picture(QSize size, QImage& out) override {
        out = QImage(size, QImage::Format_RGB32);
        out.fill(static_cast<uint>(last_));
        return true;
    }

private:
    std::shared_ptr<ScriptedDecoder::Log> log_;
    int32_t last_ = -1;
};

// Waits (up to a generous limit, for a loaded machine) until the feed has frame `n` ready.
bool ready_within(FilmFeed& feed, int32_t n) {
    for (auto end = std::chrono::steady_clock::now() + 20s; std::chrono::steady_clock::now() < end;) {
        if (feed.nearest(n).index == n) return true;
        std::this_thread::sleep_for(1ms);
    }
    return false;
}

TEST(FilmFeed, TheWindowNeverWaitsOnASlowDecoder) {
    auto log = std::make_shared<ScriptedDecoder::Log>();
    log->held = true;
    auto feed = make_film_feed(std::make_unique<ScriptedDecoder>(log));
    ASSERT_NE(feed, nullptr);
    EXPECT_EQ(feed->length(), 300);
    std::atomic<int> ready_calls{0};
    feed->set_on_ready([&] { ++ready_calls; });

    feed->want(10);
    {
        std::unique_lock lock(log->mutex);
        ASSERT_TRUE(log->changed.wait_for(lock, 20s, [&] { return log->inside; }));
    }
    // The decoder is stuck inside frame 10: the window's calls still come back.
    auto window = std::async(std::launch::async, [&] {
        for (int32_t n = 11; n < 200; ++n) {
            feed->want(n);
            if (feed->nearest(n).index != -1) return false;  // nothing is ready yet
        }
        feed->set_draw_size({128, 64});
        return feed->nearest(0).image.isNull();
    });
    ASSERT_EQ(window.wait_for(20s), std::future_status::ready) << "a call waited on the decoder";
    EXPECT_TRUE(window.get());
    EXPECT_EQ(ready_calls, 0);
    {
        std::lock_guard lock(log->mutex);
        log->held = false;
    }
    log->changed.notify_all();
    ASSERT_TRUE(ready_within(*feed, 199));
    EXPECT_GT(ready_calls, 0);
    EXPECT_EQ(feed->nearest(199).image.size(), QSize(128, 64)) << "drawn at the size set";
    feed.reset();  // joins the thread while it may be reading ahead
}

TEST(FilmFeed, ReversingDecodesEachKeyframeGroupOnceAndServesItBackwards) {
    auto log = std::make_shared<ScriptedDecoder::Log>();
    auto feed = make_film_feed(std::make_unique<ScriptedDecoder>(log));
    feed->want(150);
    ASSERT_TRUE(ready_within(*feed, 150));
    // One frame a tick, as at a walking pace: the feed reads the rate from the calls.
    for (int32_t n = 149; n >= 95; --n) {
        std::this_thread::sleep_for(33ms);
        feed->want(n);
        ASSERT_TRUE(ready_within(*feed, n)) << n;
        EXPECT_EQ(feed->nearest(n).image.pixel(0, 0) & 0xFFFFFF, static_cast<uint>(n));
    }
    std::lock_guard lock(log->mutex);
    std::set<int32_t> seen;
    for (size_t i = 0; i < log->decoded.size(); ++i) {
        const int32_t n = log->decoded[i];
        EXPECT_TRUE(seen.insert(n).second) << "frame " << n << " decoded twice";
        // Within a group the decoder only ever moves forwards.
        if (i > 0 && n / 30 == log->decoded[i - 1] / 30) {
            EXPECT_GT(n, log->decoded[i - 1]);
        }
    }
    for (int32_t n = 95; n <= 150; ++n) EXPECT_TRUE(seen.count(n)) << n;
}

// 100 frames in groups of 10; frame 50 fails the first time it is decoded.
class FailsOnce final : public FilmDecoder {
public:
    int32_t length() const override { return 100; }
    QSize source_size() const override { return {16, 8}; }
    double frame_rate() const override { return 30; }
    int32_t group_start(int32_t index) const override { return index / 10 * 10; }
    bool decode(int32_t index) override { return index != 50 || failed_.exchange(true); }
    bool picture(QSize size, QImage& out) override {
        out = QImage(size, QImage::Format_RGB32);
        return true;
    }

private:
    std::atomic<bool> failed_{false};
};

// A frame the decoder once failed on does not stop the film: the frames after it are made, and
// after the next jump it is asked for again.
TEST(FilmFeed, AFailedFrameIsAskedForAgainAfterAJump) {
    auto feed = make_film_feed(std::make_unique<FailsOnce>());
    ASSERT_NE(feed, nullptr);
    feed->want(50);
    EXPECT_TRUE(ready_within(*feed, 52)) << "the frames after the failed one";
    EXPECT_NE(feed->nearest(50).index, 50);
    feed->want(10);
    ASSERT_TRUE(ready_within(*feed, 10));
    std::this_thread::sleep_for(1100ms);  // standing a while, then a jump back
    feed->want(50);
    EXPECT_TRUE(ready_within(*feed, 50));
}

// The run tells the feed its motion as the logic counts it (frames a tick and the accumulator's
// fraction): speeding up from 1 to 4 frames a tick, every tick's picture is a new one (a plan by a
// whole stride showed 2.5 frames a tick as 100, 103, 103, 106, ...); a standing train has the first
// frames of either direction ready before it moves.
TEST(FilmFeed, FollowsTheMotionTheRunTells) {
    auto log = std::make_shared<ScriptedDecoder::Log>();
    auto feed = make_film_feed(std::make_unique<ScriptedDecoder>(log));
    constexpr int32_t kFilmed = 60;  // km/h at which the film moves a frame a tick
    int32_t frame = 0, accumulator = 0, presented = -1;
    for (int32_t kmh = kFilmed; frame < 280; kmh = std::min(4 * kFilmed, kmh + 3)) {
        accumulator += kmh;
        frame += accumulator / kFilmed;
        accumulator %= kFilmed;
        feed->set_motion(static_cast<double>(kmh) / kFilmed, static_cast<double>(accumulator) / kFilmed);
        feed->want(frame);
        FilmPicture shown;
        for (auto end = std::chrono::steady_clock::now() + 20s; std::chrono::steady_clock::now() < end;) {
            shown = feed->nearest(frame);
            // A picture of its own for this tick: one near the frame that the tick before did not show.
            if (shown.index > presented && std::abs(shown.index - frame) <= 1) break;
            std::this_thread::sleep_for(1ms);
        }
        ASSERT_GT(shown.index, presented) << "at frame " << frame << ", " << kmh << " km/h";
        presented = shown.index;
    }

    feed->set_motion(0, 0);
    feed->want(150);
    for (int32_t n : {150, 149, 130, 151, 170}) EXPECT_TRUE(ready_within(*feed, n)) << n;
    // Reversing from there: the first frames are on hand before the decoder hears of it.
    feed->set_motion(-0.2, 0);
    feed->want(149);
    EXPECT_EQ(feed->nearest(149).index, 149);
    EXPECT_EQ(feed->nearest(140).index, 140);
}

// A film of 2000 frames with a keyframe every 1000 (as long-GOP camera films have) that takes a
// millisecond for each frame it decodes, from the last one onwards or else from the keyframe.
class LongGroupDecoder final : public FilmDecoder {
public:
    struct Log {
        std::mutex mutex;
        std::vector<int32_t> decoded;
        size_t size() {
            const std::lock_guard lock(mutex);
            return decoded.size();
        }
    };
    explicit LongGroupDecoder(std::shared_ptr<Log> log) : log_(std::move(log)) {}
    int32_t length() const override { return 2000; }
    QSize source_size() const override { return {64, 32}; }
    double frame_rate() const override { return 30; }
    int32_t group_start(int32_t index) const override { return index / 1000 * 1000; }
    bool decode(int32_t index) override {
        const bool onwards = last_ >= group_start(index) && last_ < index;
        std::this_thread::sleep_for(std::chrono::milliseconds(index - (onwards ? last_ : group_start(index) - 1)));
        const std::lock_guard lock(log_->mutex);
        log_->decoded.push_back(index);
        last_ = index;
        return true;
    }
    bool picture(QSize size, QImage& out) override {
        out = QImage(size, QImage::Format_RGB32);
        return true;
    }

private:
    std::shared_ptr<Log> log_;
    int32_t last_ = -1;
};

// A train at four times the filming speed whose told rate wavers (3.9 and 4 frames a tick, as the
// filmed speed changes along the line): the plan a second ahead shifts by a frame or two, and the
// decoder must not go back for the shifted frames it has passed, each a seek to the keyframe and
// hundreds of pictures decoded again while the train's own frames wait.
TEST(FilmFeed, AFastTrainDoesNotSendTheDecoderBackToAKeyframe) {
    auto log = std::make_shared<LongGroupDecoder::Log>();
    auto feed = make_film_feed(std::make_unique<LongGroupDecoder>(log));
    ASSERT_NE(feed, nullptr);
    feed->set_motion(0, 0);
    feed->want(300);
    // Standing, the thread makes the first frames either way; it is done once it stays idle.
    for (size_t before = 0; before == 0 || log->size() != before;) {
        before = log->size();
        std::this_thread::sleep_for(300ms);
    }
    const size_t standing = log->size();
    for (int32_t tick = 1, frame = 300; frame < 900; ++tick) {
        frame += 4;
        feed->set_motion(tick % 2 == 0 ? 4.0 : 3.9, 0);
        feed->want(frame);
        std::this_thread::sleep_for(10ms);
    }
    feed.reset();  // joins the thread: the log is complete
    const std::vector<int32_t> moving(log->decoded.begin() + static_cast<std::ptrdiff_t>(standing), log->decoded.end());
    ASSERT_FALSE(moving.empty());
    for (size_t i = 1; i < moving.size(); ++i) EXPECT_GT(moving[i], moving[i - 1]) << "decode " << i;
}

// The picture index built on a worker from a slow stand-in input: the caller gets control back
// at once, hears the progress from the worker, and a cancel ends the build at its next step.
TEST(FilmOpener, BuildsTheIndexOffTheCallersThreadAndCanBeCancelled) {
    struct Input {
        std::mutex mutex;
        std::condition_variable changed;
        int percent = -1;
        bool go = false;
        bool left = false;  // the build was left
    };
    const auto slow = [](std::shared_ptr<Input> in) {
        return [in](const std::filesystem::path&, const std::function<void(int)>& progress) {
            struct Leaving {
                std::shared_ptr<Input> in;
                ~Leaving() {
                    const std::lock_guard lock(in->mutex);
                    in->left = true;
                    in->changed.notify_all();
                }
            } leaving{in};
            for (int percent = 0; percent <= 100; ++percent) {
                progress(percent);
                std::unique_lock lock(in->mutex);
                in->percent = percent;
                in->changed.notify_all();
                in->changed.wait_for(lock, 20s, [&] { return in->go; });
            }
            return std::unique_ptr<FilmDecoder>(std::make_unique<ScriptedDecoder>(std::make_shared<ScriptedDecoder::Log>()));
        };
    };
    const auto reached = [](Input& in, auto done) {
        std::unique_lock lock(in.mutex);
        return in.changed.wait_for(lock, 20s, [&] { return done(); });
    };

    auto held = std::make_shared<Input>();
    std::atomic<int> heard{-1};
    FilmOpener cancelled("film.avi", [&](int percent) { heard = percent; }, slow(held));
    ASSERT_TRUE(reached(*held, [&] { return held->percent == 0; }));
    EXPECT_FALSE(cancelled.finished()) << "the build waits on its input, the caller does not";
    EXPECT_EQ(heard, 0);
    cancelled.cancel();
    {
        const std::lock_guard lock(held->mutex);
        held->go = true;
    }
    held->changed.notify_all();
    EXPECT_EQ(cancelled.take(), nullptr);
    EXPECT_TRUE(held->left);
    EXPECT_LT(held->percent, 100) << "cancelled at the next step, not at the end";

    auto quick = std::make_shared<Input>();
    quick->go = true;
    FilmOpener opened("film.avi", {}, slow(quick));
    const auto feed = opened.take();
    ASSERT_NE(feed, nullptr);
    EXPECT_EQ(feed->length(), 300);
    EXPECT_TRUE(opened.finished());
}

TEST(FilmSchedule, PlansTheWantedFrameThenTheWayAhead) {
    const auto group = [](int32_t n) { return n / 30 * 30; };
    const auto plan = [](int32_t wanted, int direction, double step, int32_t ahead, double phase = 0, double trend = 0) {
        return FilmSchedule{wanted, 300, direction, step, phase, trend, ahead};
    };
    struct Case {
        const char* name;
        FilmSchedule schedule;
        std::set<int32_t> ready;
        int32_t next;
    };
    const Case cases[] = {
        {"the wanted frame first", plan(100, 1, 1, 8), {}, 100},
        {"then the next ahead", plan(100, 1, 1, 8), {100, 101}, 102},
        {"at twice the speed every second frame", plan(100, 1, 2, 8), {100, 102}, 104},
        {"below the filming speed every frame", plan(100, 1, 0.3, 8), {100}, 101},
        {"two and a half frames a tick, past half a frame", plan(100, 1, 2.5, 8, 0.5), {100, 103}, 105},
        {"speeding up, the steps grow", plan(100, 1, 2, 8, 0, 0.5), {100, 102, 104}, 107},
        {"nothing past the end", plan(298, 1, 1, 8), {298, 299}, -1},
        {"all planned frames ready", plan(100, 1, 1, 2), {100, 101, 102}, -1},
        {"no frame before the film", plan(-5, 1, 1, 8), {}, -1},
        {"backwards from the group's start", plan(100, -1, 1, 40), {}, 90},
        {"backwards, a batch is half the plan", plan(100, -1, 1, 4), {}, 98},
        {"backwards, the next group down", plan(100, -1, 1, 40), {90, 91, 92, 93, 94, 95, 96, 97, 98, 99, 100}, 69},
        {"backwards, only the frames planned", plan(100, -1, 3, 40), {}, 91},
        {"backwards, half the plan still ready", plan(100, -1, 1, 10), {100, 99, 98, 97, 96, 95}, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(next_film_frame(c.schedule, [&](int32_t n) { return c.ready.count(n) > 0; }, group), c.next)
            << c.name;
    }
}

TEST(FilmFeed, ShowsTheFramesOfARealFilmAtTheDrawSize) {
    av_log_set_level(AV_LOG_QUIET);
    test::TempDir dir;
    setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
    ASSERT_TRUE(test::write_film(dir / "film.mp4", "-c:v libx264 -preset ultrafast -g 60 -bf 2", 200));
    EXPECT_EQ(open_film_feed(dir / "missing.mp4"), nullptr);
    auto feed = open_film_feed(dir / "film.mp4");
    ASSERT_NE(feed, nullptr);
    EXPECT_EQ(feed->length(), 200);
    EXPECT_EQ(feed->source_size(), QSize(test::kVideoWidth, test::kVideoHeight));
    const auto shown = [&](int32_t n) {
        const QImage image = feed->nearest(n).image.convertToFormat(QImage::Format_RGB32);
        FrameImage frame{image.width(), image.height(), {}};
        for (int y = 0; y < image.height(); ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
            frame.pixels.insert(frame.pixels.end(), row, row + image.width());
        }
        return test::shown_index(frame);
    };
    for (int32_t n : {0, 1, 2, 3, 10, 70, 69, 68, 150, 149, 5, 199}) {
        feed->want(n);
        ASSERT_TRUE(ready_within(*feed, n)) << n << " shows " << feed->nearest(n).index;
        EXPECT_EQ(shown(n), n);
    }
    feed->set_draw_size({320, 192});
    EXPECT_FALSE(feed->nearest(199).image.isNull()) << "the last picture stays until one at the new size is ready";
    feed->want(120);
    ASSERT_TRUE(ready_within(*feed, 120));
    EXPECT_EQ(feed->nearest(120).image.size(), QSize(320, 192));
    feed->set_draw_size({});
    feed->want(121);
    ASSERT_TRUE(ready_within(*feed, 121));
    EXPECT_EQ(shown(121), 121) << "an empty size is the film's own";
}

// Films this large decode on as many FFmpeg threads as the machine spares (frame threads hold
// pictures back): still the frame asked.
TEST(FilmFeed, LargeFilmsDecodedOnThreadsAreFrameExact) {
    av_log_set_level(AV_LOG_QUIET);
    test::TempDir dir;
    setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
    ASSERT_TRUE(test::write_film(dir / "hd.mkv",
                                 "-vf scale=1280:768 -c:v libx264 -preset ultrafast -g 24 -bf 3 -x264-params bframes=3:b-adapt=0",
                                 60));
    auto feed = open_film_feed(dir / "hd.mkv");
    ASSERT_NE(feed, nullptr);
    feed->set_draw_size({test::kVideoWidth, test::kVideoHeight});
    for (int32_t n : {0, 1, 2, 30, 31, 59, 23, 22, 24, 47, 10}) {
        feed->want(n);
        ASSERT_TRUE(ready_within(*feed, n)) << n;
        const QImage image = feed->nearest(n).image;
        FrameImage frame{image.width(), image.height(), {}};
        for (int y = 0; y < image.height(); ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
            frame.pixels.insert(frame.pixels.end(), row, row + image.width());
        }
        EXPECT_EQ(test::shown_index(frame), n);
    }
}

}  // namespace
