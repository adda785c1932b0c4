// Film frames: asked of the feed after each tick, drawn when ready, at most once per 33 ms
// on the scheduler's clock, a refused frame retried, and the window never waiting on the film.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>
#include <tuple>

#include <QTest>

#include "app/run.hpp"
#include "common/fixed_point.hpp"
#include "dynamics/video_position.hpp"
#include "ui/cab_screen.hpp"
#include "ui/drive_session.hpp"
#include "ui_fixture.hpp"

namespace vantrel::test {
namespace {

// A film whose pictures become ready when the test says so (or at once), as a decoder
// thread would deliver them.
class FakeFilm final : public FilmFeed {
public:
    explicit FakeFilm(int32_t length) : length_(length) {}
    int32_t length() const override { return length_; }
    QSize source_size() const override { return {1920, 1080}; }
    double frame_rate() const override { return 30; }
    void set_draw_size(QSize size) override { draw_size = size; }
    void want(int32_t index) override {
        std::function<void()> notify;
        {
            const std::lock_guard lock(mutex_);
            asked.push_back(index);
            if (!instant) return;
            for (int32_t k = 0; k <= ahead; ++k)
                if (!made || made(index + k)) ready_.insert(index + k);
            notify = on_ready_;
        }
        if (notify) notify();
    }
    FilmPicture nearest(int32_t index) override {
        const std::lock_guard lock(mutex_);
        if (ready_.empty()) return {};
        auto above = ready_.lower_bound(index);
        int32_t best = above == ready_.end() ? *ready_.rbegin() : *above;
        if (above != ready_.begin() && (above == ready_.end() || index - *std::prev(above) < *above - index))
            best = *std::prev(above);
        QImage picture(draw_size.isEmpty() ? QSize(8, 4) : draw_size, QImage::Format_RGB32);
        picture.fill(QColor(grey(best), grey(best), grey(best)));
        return {best, picture};
    }
    void set_on_ready(std::function<void()> callback) override {
        const std::lock_guard lock(mutex_);
        on_ready_ = std::move(callback);
    }
    // Makes every asked frame ready and tells so from a thread of its own.
    void deliver() {
        std::function<void()> notify;
        {
            const std::lock_guard lock(mutex_);
            ready_.insert(asked.begin(), asked.end());
            notify = on_ready_;
        }
        std::thread([notify] { if (notify) notify(); }).join();
    }

    // A new decoder: nothing ready, nothing asked.
    void forget() {
        const std::lock_guard lock(mutex_);
        ready_.clear();
        asked.clear();
    }
    // Each frame a flat grey, neighbours far apart.
    static int grey(int32_t index) { return 16 + (index % 8) * 28; }

    bool instant = true;
    int32_t ahead = 0;  // frames past the asked one made ready with it (a read-ahead)
    std::function<bool(int32_t)> made;  // which of those the read-ahead makes (all when empty)
    std::vector<int32_t> asked;
    QSize draw_size;

private:
    std::mutex mutex_;
    int32_t length_;
    std::set<int32_t> ready_;
    std::function<void()> on_ready_;
};

// The run's video for the logic: the fake film's length.
class FakeVideo final : public FrameSource {
public:
    explicit FakeVideo(FakeFilm& film) : film_(film) {}
    bool open(const std::filesystem::path&) override { return true; }
    int32_t length() const override { return film_.length(); }
    bool frame(int32_t, FrameImage&) override { return false; }

private:
    FakeFilm& film_;
};

class FramesTest : public UiTest {
protected:
    std::unique_ptr<DrivingWindow> open_on_film(DriveRequest request = {}) {
        request.data_dir = data_dir();
        request.train = demo::kTrainFile;
        request.route = demo::kRouteFile;
        DriveHooks hooks;
        hooks.report_error = [this](const QString& text) { errors.push_back(text.toStdString()); };
        BackEnds back;
        back.sound = std::make_unique<NullSoundChannels>();
        back.video = std::make_unique<FakeVideo>(film);
        back.joystick = std::make_unique<NullJoystickReader>();
        back.film = [this] { return &film; };
        auto w = DrivingWindow::open(request, std::move(hooks), std::move(back));
        if (w) w->show();
        return w;
    }
    // Starts the run on the scheduler's clock at `now`, following the film fast enough that
    // the frame changes at every tick.
    void start_fast(DrivingWindow& w) {
        w.session().set_clock([this] { return now; });
        w.item("start1")->trigger();
        w.session().virtual_key(VirtualKey::F1, true);
        for (int i = 0; i < 8; ++i) w.session().virtual_key(VirtualKey::F12, true);
    }
    // Advances the clock to `until` a millisecond at a time, waking the run as its timer
    // would; the odd ticks run a millisecond late, as on a busy window thread.
    void run_until(DrivingWindow& w, int64_t until) {
        while (now < until) {
            ++now;
            // The window wakes at due times only; an odd tick's wake comes a millisecond late.
            const int64_t t = now - kStart;
            const bool odd_tick = (t / 33) % 2 == 1;
            const bool wake = (t % 33 == 0 && !odd_tick) || (t % 33 == 1 && odd_tick) || t % 100 == 0;
            if (wake) w.session().catch_up();
        }
    }

    // Starts the run on the scheduler's clock at `now` with the train held at `multiple` times
    // the filming speed, as vantrel-timing holds it.
    void follow(DrivingWindow& w, double multiple) {
        w.session().set_clock([this] { return now; });
        w.item("start1")->trigger();
        vantrel::Run& run = w.run();
        QObject::connect(&w.session(), &DriveSession::changed, &w, [&run, multiple] {
            run.core.Speed = std::llround(run.video.FilmedSpeed * multiple * kFixedOne);
        });
    }
    // Runs `count` ticks, each on time (and the steps due with them).
    void ticks(DrivingWindow& w, int count) {
        for (int i = 0; i < count; ++i) {
            now += 33;
            w.session().catch_up();
        }
    }
    static int grey_on_show(DrivingWindow& w) { return qRed(w.screen().unten()->grab().toImage().pixel(240, 120)); }

    static constexpr int64_t kStart = 1000;
    FakeFilm film{1000000};
    int64_t now = kStart;
};

TEST_F(FramesTest, AFrameChangingEveryTickIsPresentedEveryTickAtMostOncePerPeriod) {
    auto w = open_on_film();
    ASSERT_TRUE(w) << (errors.empty() ? "" : errors.front());
    QTest::qWait(50);
    // Before the start: the still picture only, while the decoder gets the start position ready.
    EXPECT_EQ(w->frames_drawn(), 0);
    EXPECT_EQ(std::set<int32_t>(film.asked.begin(), film.asked.end()), std::set<int32_t>{w->run().core.Frame});
    start_fast(*w);
    run_until(*w, 2000);  // up to speed
    const int drawn = w->frames_drawn();
    const int32_t from = w->run().core.Frame;
    run_until(*w, 5000);
    // Three seconds of ticks, each with a new frame: (nearly) every one drawn, 30 a second.
    EXPECT_GT(w->run().core.Frame - from, 90);
    EXPECT_GE(w->frames_drawn() - drawn, 90);
    EXPECT_LE(w->frames_drawn() - drawn, 3000 / 33 + 1);
    EXPECT_EQ(w->screen().unten()->presentations(), w->frames_drawn() + 1);  // and the still
}

TEST_F(FramesTest, ARefusedFrameIsRetriedAndASlowFilmNeverHoldsTheRun) {
    auto w = open_on_film();
    ASSERT_TRUE(w);
    start_fast(*w);
    run_until(*w, 1500);
    // The decoder falls behind: ticks go on, the last picture stays.
    film.instant = false;
    const int drawn = w->frames_drawn();
    const int32_t frame = w->run().core.Frame;
    run_until(*w, 1600);
    EXPECT_GT(w->run().core.Frame, frame);
    EXPECT_EQ(w->frames_drawn(), drawn);
    // Its pictures arrive between two ticks: the nearest is drawn at once, without a tick.
    now += 10;
    const int64_t delivered_at = now;
    film.deliver();
    QTest::qWait(20);
    EXPECT_EQ(w->frames_drawn(), drawn + 1);
    // The next tick's frame is ready at once but comes too soon after: refused, then drawn
    // when the period has passed, before the tick after it.
    film.instant = true;
    const int64_t next_tick = ((now - kStart) / 33 + 1) * 33 + kStart;
    now = next_tick;
    w->session().catch_up();
    EXPECT_EQ(w->frames_drawn(), drawn + 1);
    ASSERT_LT(next_tick, delivered_at + 33);
    ASSERT_GT(next_tick + 33, delivered_at + 34);
    now = delivered_at + 34;
    QTest::qWait(60);
    EXPECT_EQ(w->frames_drawn(), drawn + 2);
}

TEST_F(FramesTest, RedrawShowsTheWantedFrameWhenReadyAndTheZoomSetsTheDrawSize) {
    auto w = open_on_film();
    ASSERT_TRUE(w);
    EXPECT_EQ(film.draw_size, QSize(480, 240));
    w->set_zoom(2);
    EXPECT_EQ(film.draw_size, QSize(960, 480));
    w->set_zoom(1);
    start_fast(*w);
    run_until(*w, 1300);
    w->item("start1")->trigger();
    // Paused: a moment later the frame is asked again and drawn once more (the decoder may
    // have served a neighbour at speed); then nothing more is drawn by the run.
    const int at_pause = w->frames_drawn();
    const size_t asked = film.asked.size();
    QTest::qWait(800);
    EXPECT_EQ(film.asked.size(), asked + 1);
    EXPECT_EQ(w->frames_drawn(), at_pause + 1);
    const int paused = w->frames_drawn();
    // Redraw waits for the film, then draws exactly the wanted frame.
    film.instant = false;
    w->run().core.Frame += 500;
    w->redraw();
    EXPECT_EQ(w->frames_drawn(), paused);
    film.deliver();
    QTest::qWait(20);
    EXPECT_EQ(w->frames_drawn(), paused + 1);
    EXPECT_EQ(film.asked.back(), w->run().core.Frame);
    // Not a frame beyond the film's end.
    w->run().core.Frame = film.length();
    w->redraw();
    film.deliver();
    QTest::qWait(20);
    EXPECT_EQ(w->frames_drawn(), paused + 1);
}

TEST_F(FramesTest, BelowTheFilmingSpeedEveryTickShowsTheRightMixOfTheRightTwoFrames) {
    film.ahead = 2;  // the neighbour ahead is read with the frame
    for (const double multiple : {0.25, 0.5, 0.75}) {
        SCOPED_TRACE(multiple);
        film.forget();
        const TempDir dir;
        DriveRequest request;
        request.timing_log = (dir.path() / "timing.csv").string();
        auto w = open_on_film(request);
        ASSERT_TRUE(w);
        follow(*w, multiple);
        ticks(*w, 20);
        const int drawn = w->frames_drawn();
        for (int i = 0; i < 30; ++i) {
            ticks(*w, 1);
            const int32_t n = w->run().core.Frame;
            const double f = frame_fraction(w->run());
            const double expected = FakeFilm::grey(n) * (1 - f) + FakeFilm::grey(n + 1) * f;
            EXPECT_NEAR(grey_on_show(*w), expected, 1.0) << "tick " << i << " frame " << n << " fraction " << f;
        }
        EXPECT_EQ(w->frames_drawn() - drawn, 30);  // a picture every tick: 30 a second
        const int32_t n = w->run().core.Frame;
        const double f = frame_fraction(w->run());
        w.reset();
        // The timing log names what each picture was made of: each unlike the one before, the
        // last one this frame and its neighbour ahead at this weight.
        std::ifstream log(request.timing_log);
        std::vector<std::tuple<int32_t, int32_t, double>> made;
        for (std::string line; std::getline(log, line);) {
            int32_t frame = -1, neighbour = -1;
            double weight = -1;
            if (std::sscanf(line.c_str(), "frame,%d,%*f,%d,%lf", &frame, &neighbour, &weight) == 3)
                made.emplace_back(frame, neighbour, weight);
        }
        ASSERT_GE(made.size(), 30U);
        EXPECT_EQ(std::adjacent_find(made.end() - 30, made.end()), made.end());
        EXPECT_EQ(std::get<0>(made.back()), n);
        EXPECT_EQ(std::get<1>(made.back()), f > 0 ? n + 1 : n);
        EXPECT_NEAR(std::get<2>(made.back()), f, 1.0 / 256);
    }
}

// Above the filming speed the read-ahead may have made neighbours of the train's frames rather
// than the frames (its plan shifted as the train's rate wavered): where the nearest picture would
// be the one on show, the next within a tick's travel is drawn, so every tick has a new picture.
TEST_F(FramesTest, EveryTickHasANewPictureWhenTheFilmHasOnlyNeighboursOfTheFrames) {
    auto w = open_on_film();
    ASSERT_TRUE(w);
    follow(*w, 2);
    ticks(*w, 30);
    const int32_t base = w->run().core.Frame;
    // Two frames a tick against pictures 1, 2, 2, 3 and 2 frames apart: in either phase some
    // frame's nearest picture is the one the tick before showed.
    film.made = [base](int32_t f) {
        const int32_t r = ((f - base) % 10 + 10) % 10;
        return r == 0 || r == 1 || r == 3 || r == 5 || r == 8;
    };
    film.ahead = 8;
    film.forget();
    int fresh = 0;
    for (int i = 0; i < 60; ++i) {
        const int32_t before = w->presented_frame();
        ticks(*w, 1);
        fresh += w->presented_frame() != before;
    }
    EXPECT_GE(fresh, 58);
}

TEST_F(FramesTest, WholeFramesWhenChosenAndTheChoiceIsRemembered) {
    film.ahead = 2;
    {
        auto w = open_on_film();
        ASSERT_TRUE(w);
        EXPECT_TRUE(w->item("mix_blend")->isChecked());
        w->item("mix_whole")->trigger();
    }
    auto w = open_on_film();
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->item("mix_whole")->isChecked());
    follow(*w, 0.5);
    ticks(*w, 20);
    const int drawn = w->frames_drawn();
    for (int i = 0; i < 30; ++i) {
        ticks(*w, 1);
        EXPECT_EQ(grey_on_show(*w), FakeFilm::grey(w->run().core.Frame)) << "tick " << i;
    }
    EXPECT_EQ(w->frames_drawn() - drawn, 15);  // a new frame every second tick
}

TEST_F(FramesTest, MotionBlurAveragesTheFramesPassedInATickWhenTheFilmHasThemAll) {
    struct Case {
        double multiple;
        int32_t ahead;
        int averaged;  // frames in each picture
    };
    for (const Case c : {Case{2, 2, 2}, Case{6, 6, 4}, Case{2, 0, 1}}) {
        SCOPED_TRACE(c.multiple);
        film.forget();
        film.ahead = c.ahead;  // none: the decoder made only the asked frames
        auto w = open_on_film();
        ASSERT_TRUE(w);
        w->item("motion_blur")->setChecked(true);
        follow(*w, c.multiple);
        ticks(*w, 20);
        const int drawn = w->frames_drawn();
        for (int i = 0; i < 10; ++i) {
            ticks(*w, 1);
            const int32_t n = w->run().core.Frame;
            double sum = 0;
            for (int k = 0; k < c.averaged; ++k) sum += FakeFilm::grey(n - k);
            EXPECT_NEAR(grey_on_show(*w), sum / c.averaged, 0.5) << "tick " << i << " frame " << n;
        }
        EXPECT_EQ(w->frames_drawn() - drawn, 10);
    }
}

TEST_F(FramesTest, ARealFilmIsIndexedWithProgressOnTheStatusLineAndDrawn) {
    // A small film in the route's place (it starts at frame 100), indexed afresh into a cache
    // of the test's own.
    const TempDir cache;
    const QByteArray saved_cache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(cache.path().string()));
    const auto film_file = data_dir() / "Movie" / "demo.avi";
    std::filesystem::create_directories(film_file.parent_path());
    const std::string command = "ffmpeg -loglevel error -y -f lavfi -i testsrc=size=160x80:rate=30 -frames:v 300 "
                                "-c:v mpeg4 -g 15 '" + film_file.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto w = open_window();
    ASSERT_TRUE(w) << (errors.empty() ? "" : errors.front());
    const auto progress = std::find_if(statuses.begin(), statuses.end(),
                                       [](const std::string& s) { return s.starts_with("映像の索引を作成しています"); });
    ASSERT_NE(progress, statuses.end());
    EXPECT_LT(std::find(statuses.begin(), statuses.end(), "運転台を描画しています"), progress);
    EXPECT_EQ(statuses.back(), "環境をセットアップしています");
    EXPECT_EQ(w->run().video.length, 300);
    w->show();
    w->item("start1")->trigger();
    for (int i = 0; i < 100 && w->frames_drawn() == 0; ++i) QTest::qWait(20);
    EXPECT_GT(w->frames_drawn(), 0);
    w.reset();
    std::filesystem::remove(film_file);
    if (saved_cache.isEmpty()) {
        qunsetenv("XDG_CACHE_HOME");
    } else {
        qputenv("XDG_CACHE_HOME", saved_cache);
    }
}

}  // namespace
}  // namespace vantrel::test
