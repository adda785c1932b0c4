#include "platform/film_feed.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <limits>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include "platform/film_decoder.hpp"
#include "platform/film_opener.hpp"
#include "platform/film_schedule.hpp"

namespace vantrel {

namespace {

using Clock = std::chrono::steady_clock;

// Converted frames kept, whatever the film: at most this many bytes, and at most kMaxKept frames.
constexpr int64_t kCacheBytes = 256LL * 1024 * 1024;
constexpr int32_t kMaxKept = 600;
// Presentations a second: the train's rate in frames a second over this is the stride.
constexpr double kPresentationsPerSecond = 30.0;
// How far ahead to prepare, in seconds of travel (at least kMinAhead presentations).
constexpr double kAheadSeconds = 1.0;
constexpr int32_t kMinAhead = 8;
// A standing train has this many frames ready each way: a start, or reversing on a film whose
// keyframes are far apart, shows its first frames at once.
constexpr int32_t kStandingAhead = 24;
// The trend of the train's rate is measured over at least this long, and forgotten after kTrendStale.
constexpr auto kTrendWindow = std::chrono::milliseconds(300);
constexpr auto kTrendStale = std::chrono::seconds(2);
// At most this many frames a tick, per tick (a train at 4x speeding up by the filming speed
// every 3 s): a wrong trend spaces the far frames apart and leaves gaps when the train gets there.
constexpr double kMaxTrend = 0.01;
constexpr int32_t kMaxAhead = kMaxKept / 2;
// Presentations ahead that the plan of a moving train is sure of to a frame.
constexpr size_t kSureAhead = 8;
// The decoder yields to the window thread, whose ticks must not be late: a film that cannot keep
// up drops frames instead.
constexpr int kDecoderNice = 5;
// Without a new frame for this long the train is taken to stand.
constexpr auto kStandingAfter = std::chrono::milliseconds(500);

class ThreadedFilmFeed final : public FilmFeed {
public:
    explicit ThreadedFilmFeed(std::unique_ptr<FilmDecoder> decoder)
        : decoder_(std::move(decoder)),
          length_(decoder_->length()),
          source_(decoder_->source_size()),
          rate_(decoder_->frame_rate()),
          draw_(source_),
          thread_([this] { run(); }) {}

    ~ThreadedFilmFeed() override {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

    ThreadedFilmFeed(const ThreadedFilmFeed&) = delete;
    ThreadedFilmFeed& operator=(const ThreadedFilmFeed&) = delete;

    int32_t length() const override { return length_; }
    QSize source_size() const override { return source_; }
    double frame_rate() const override { return rate_; }

    void set_draw_size(QSize size) override {
        if (size.isEmpty()) size = source_;
        {
            std::lock_guard lock(mutex_);
            if (size == draw_) return;
            draw_ = size;
            // The picture shown last stays until one at the new size is ready (the window
            // scales it meanwhile); the rest go.
            if (const auto shown = nearest_kept(wanted_); shown != kept_.end()) {
                fallback_ = FilmPicture{shown->first, shown->second};
            }
            kept_.clear();
            ++generation_;
        }
        wake_.notify_all();
    }

    void want(int32_t index) override {
        {
            std::lock_guard lock(mutex_);
            const auto now = Clock::now();
            if (index == wanted_) {
                if (now - changed_at_ > kStandingAfter) speed_ = 0;
                return;
            }
            const double seconds = std::chrono::duration<double>(now - changed_at_).count();
            const int64_t moved = static_cast<int64_t>(index) - wanted_;
            // Against the told direction of travel is a jump too, however short.
            const bool against = told_ && per_tick_ != 0 && (moved < 0) != (per_tick_ < 0);
            if (wanted_ < 0 || seconds <= 0 || seconds > 1.0 || std::llabs(moved) > capacity() || against) {
                speed_ = 0;  // a start or a jump: no rate to go by
                jumped_ = true;
                failed_.clear();  // the reader tries them again after the jump's seek
            } else {
                const double measured = static_cast<double>(moved) / seconds;
                speed_ = speed_ == 0 ? measured : 0.7 * speed_ + 0.3 * measured;
            }
            if (!told_) direction_ = moved < 0 ? -1 : 1;
            wanted_ = index;
            changed_at_ = now;
        }
        wake_.notify_all();
    }

    void set_motion(double frames_per_tick, double phase) override {
        {
            std::lock_guard lock(mutex_);
            const auto now = Clock::now();
            // A start from standing, or reversing, is no trend to plan by.
            if (!told_ || now - trend_at_ > kTrendStale || frames_per_tick == 0 || trend_from_ == 0 ||
                (frames_per_tick < 0) != (trend_from_ < 0)) {
                trend_ = 0;
                trend_at_ = now;
                trend_from_ = frames_per_tick;
            } else if (now - trend_at_ >= kTrendWindow) {
                const double ticks = std::chrono::duration<double>(now - trend_at_).count() * kPresentationsPerSecond;
                trend_ = std::clamp((std::abs(frames_per_tick) - std::abs(trend_from_)) / ticks, -kMaxTrend, kMaxTrend);
                trend_at_ = now;
                trend_from_ = frames_per_tick;
            }
            const bool same = told_ && frames_per_tick == per_tick_;
            told_ = true;
            per_tick_ = frames_per_tick;
            phase_ = std::clamp(phase, 0.0, 1.0);
            if (frames_per_tick != 0) direction_ = frames_per_tick < 0 ? -1 : 1;
            if (same) return;
        }
        wake_.notify_all();
    }

    FilmPicture nearest(int32_t index) override {
        std::lock_guard lock(mutex_);
        const auto best = nearest_kept(index);
        if (best == kept_.end()) return fallback_;
        return FilmPicture{best->first, best->second};
    }

    void set_on_ready(std::function<void()> callback) override {
        std::lock_guard lock(mutex_);
        on_ready_ = std::move(callback);
    }

    void set_every_frame(bool on) override {
        {
            std::lock_guard lock(mutex_);
            every_frame_ = on;
        }
        wake_.notify_all();
    }

private:
    using Kept = std::map<int32_t, QImage>;

    // Frames the cache holds at the current draw size (the picture kept across a size change counts).
    [[nodiscard]] int32_t capacity() const {
        const int64_t bytes = std::max<int64_t>(1, static_cast<int64_t>(draw_.width()) * draw_.height() * 4);
        const int64_t budget = kCacheBytes - static_cast<int64_t>(fallback_.image.sizeInBytes());
        return static_cast<int32_t>(std::clamp<int64_t>(budget / bytes, 1, kMaxKept));
    }

    Kept::const_iterator nearest_kept(int32_t index) const {
        if (kept_.empty()) return kept_.end();
        const auto after = kept_.lower_bound(index);
        if (after == kept_.end()) return std::prev(after);
        if (after->first == index || after == kept_.begin()) return after;
        const auto before = std::prev(after);
        const int64_t below = static_cast<int64_t>(index) - before->first;
        const int64_t above = static_cast<int64_t>(after->first) - index;
        // Between two as near, the one the train goes towards: it is past `index` already.
        return below < above || (below == above && direction_ < 0) ? before : after;
    }

    // The train's rate now, in frames a second: as the logic tells it, else judged from the
    // calls; none once it has stood a while, whether or not the window still asks.
    [[nodiscard]] double speed() const {
        if (told_) return per_tick_ * kPresentationsPerSecond;
        return Clock::now() - changed_at_ > kStandingAfter ? 0 : speed_;
    }

    // Every frame only while the one wanted now is ready: a decoder behind the train goes for
    // that first and drops the motion blur rather than falling further behind.
    void every_frame_plan(FilmSchedule& s) const {
        if (every_frame_ && s.step > 1 && kept_.count(wanted_) > 0) s.step = 1;
    }

    FilmSchedule schedule() const {
        FilmSchedule s;
        s.wanted = wanted_;
        s.length = length_;
        s.direction = direction_;
        const double speed_now = speed();
        const int32_t half = std::max(1, capacity() / 2);
        if (told_) {
            // The frames of the coming ticks themselves, as the logic will reach them.
            s.step = std::abs(per_tick_);
            s.phase = phase_;
            s.trend = trend_;
            every_frame_plan(s);
            const auto presentations = static_cast<int32_t>(kPresentationsPerSecond * kAheadSeconds);
            s.ahead = direction_ < 0 ? half : std::min(speed_now == 0 ? kStandingAhead : presentations, half);
            return s;
        }
        // Rounded, so a train at twice the filming speed keeps a stride of 2 through small jitter.
        const double per_presentation = std::abs(speed_now) / kPresentationsPerSecond;
        const int32_t stride = std::max(1, static_cast<int32_t>(std::lround(per_presentation)));
        s.step = stride;
        every_frame_plan(s);
        if (direction_ < 0) {
            s.ahead = half;  // read in batches of half of this, each from its keyframe upwards
        } else {
            const auto travel = static_cast<int32_t>(std::abs(speed_now) * kAheadSeconds) / stride;
            s.ahead = std::min(std::max(travel, kMinAhead), half);
        }
        return s;
    }

    // Drops frames from the far ends until the cache fits: those left behind while they are more
    // than half of it (the rest make small moves back cost nothing), else those farthest ahead.
    void evict() {
        const int32_t limit = capacity();
        while (static_cast<int32_t>(kept_.size()) > limit) {
            const auto split = kept_.lower_bound(wanted_);
            const auto below = std::distance(kept_.begin(), split);
            const auto above = static_cast<std::ptrdiff_t>(kept_.size()) - below;
            const auto behind = direction_ >= 0 ? below : above;
            const bool drop_behind = behind > limit / 2 || behind == static_cast<std::ptrdiff_t>(kept_.size());
            const bool drop_low = (direction_ >= 0) == drop_behind;
            kept_.erase(drop_low ? kept_.begin() : std::prev(kept_.end()));
        }
    }

    // The next frame to make, -1 when all planned ones are ready.
    int32_t plan_next() {
        const FilmSchedule plan = schedule();
        const bool moving = speed() != 0;
        // With the train moving several frames a presentation, a neighbour within half of that
        // will do: going back for the exact frame would mean a seek, and each presentation still
        // has a picture of its own.
        const int64_t near = told_ ? std::max(0, static_cast<int32_t>(std::ceil(plan.step / 2)) - 1)
                                   : static_cast<int64_t>(plan.step) - 1;
        const auto ready = [&](int32_t n) {
            if (failed_.count(n) > 0) return true;
            const auto kept = nearest_kept(n);
            if (kept == kept_.end()) return false;
            const int64_t off = std::llabs(static_cast<int64_t>(kept->first) - n);
            // Nor, while the train moves, for a frame the decoder passed while the stride was larger.
            const bool passed = moving && plan.direction >= 0 && n < last_decoded_ && last_decoded_ - n < kMaxAhead;
            return off <= near || (passed && off <= 1);
        };
        const auto group = [&](int32_t n) { return decoder_->group_start(n); };
        if (jumped_) onward_ = false;  // where the decoder was says nothing about the new place
        jumped_ = false;
        const bool forwards = told_ && moving && plan.direction >= 0;
        const int32_t next = forwards ? reachable(plan, ready) : next_film_frame(plan, ready, group);
        if (next >= 0) onward_ = forwards;
        if (next >= 0 || moving || !told_) return next;
        // A standing train gets the first frames the other way too: reversing (or going on
        // after reversing) then starts at once, however far apart the film's keyframes are.
        FilmSchedule other = plan;
        other.direction = -plan.direction;
        other.step = 1;
        other.phase = 0;
        other.trend = 0;
        other.ahead = other.direction < 0 ? std::max(1, capacity() / 2) : kStandingAhead;
        return next_film_frame(other, ready, group);
    }

    // Frames decoded from the last one (going on) or from their keyframe (after a seek).
    [[nodiscard]] int64_t decode_cost(int32_t n) const {
        const int32_t group = decoder_->group_start(n);
        const bool goes_on = last_decoded_ >= group && last_decoded_ < n;
        return static_cast<int64_t>(n) - (goes_on ? last_decoded_ : group) + (goes_on ? 0 : 1);
    }

    // Forwards: the planned frames in order; but a decoder that is behind (the wanted frame not
    // ready) makes the first one it can make before the train is there. Chasing the wanted frame
    // it would fall further behind with every picture; this way it waits for the train ahead.
    // A neighbour that would show the same picture as the tick before does not count as ready
    // when the decoder can still make the frame in time.
    int32_t reachable(const FilmSchedule& plan, const std::function<bool(int32_t)>& ready) const {
        const std::vector<int32_t> frames = planned_film_frames(plan);
        const bool behind = !frames.empty() && !ready(frames.front());
        const auto due = [](size_t k) { return (static_cast<double>(k) + 0.5) / kPresentationsPerSecond; };
        const auto takes = [this](int64_t cost) { return static_cast<double>(cost) / decode_rate_; };
        // The first planned frame beyond the decoder still to make: going back for a frame the
        // decoder has gone past must leave time for it.
        double onward_due = std::numeric_limits<double>::infinity();
        int64_t onward_cost = 0;
        for (size_t k = 0; k < frames.size(); ++k) {
            if (frames[k] > last_decoded_ && !ready(frames[k])) {
                onward_due = due(k);
                onward_cost = decode_cost(frames[k]);
                break;
            }
        }
        int32_t previous = -1;  // the picture the entry before shows
        for (size_t k = 0; k < frames.size(); ++k) {
            const int32_t f = frames[k];
            const auto kept = nearest_kept(f);
            const int32_t shows = kept == kept_.end() ? -1 : kept->first;
            const bool have = ready(f);
            const bool repeats = have && shows != f && shows == previous;
            // A frame the decoder has gone past (the plan shifted as the train's rate wavered)
            // costs its group up to it and again up to where the decoder was: on long-GOP films
            // hundreds of pictures, while the train's own frames wait. It is made only when that
            // takes no longer than a presentation, and only near: the plan far ahead is not sure
            // to a frame.
            const bool gone_past = onward_ && f < last_decoded_ && last_decoded_ - f < kMaxAhead;
            const int64_t cost = gone_past ? last_decoded_ - decoder_->group_start(f) + 1 : decode_cost(f);
            const bool in_time = decode_rate_ > 0 && takes(cost) <= due(k) &&
                                 (!gone_past || (k < kSureAhead && takes(cost) <= 1 / kPresentationsPerSecond &&
                                                 takes(cost + onward_cost) <= onward_due));
            if (have && !(repeats && in_time)) {
                previous = shows;
                continue;
            }
            // Else the train passes it with the picture there is.
            if (gone_past && !in_time) {
                previous = shows;
                continue;
            }
            if (repeats || !behind || decode_rate_ <= 0 || k + 1 == frames.size() || in_time) return f;
            previous = -1;
        }
        return -1;
    }

    static void lower_priority() {
#ifdef __linux__
        // Each Linux thread has its own nice value; the threads FFmpeg starts from here inherit it.
        setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kDecoderNice);
#endif
    }

    void run() {
        lower_priority();
        for (;;) {
            int32_t next = -1;
            QSize size;
            uint64_t generation = 0;
            {
                std::unique_lock lock(mutex_);
                for (;;) {
                    if (stop_) return;
                    next = plan_next();
                    if (next >= 0) break;
                    // Woken by the window's calls, and once more when a moving train has stood
                    // long enough for its exact frame to be wanted again.
                    const auto standing = changed_at_ + kStandingAfter + std::chrono::milliseconds(1);
                    if (!told_ && speed_ != 0 && standing > Clock::now()) {
                        wake_.wait_until(lock, standing);
                    } else {
                        wake_.wait(lock);
                    }
                }
                size = draw_;
                generation = generation_;
            }
            QImage picture;
            const int64_t cost = decode_cost(next);
            const auto began = Clock::now();
            const bool made = decoder_->decode(next) && decoder_->picture(size, picture);
            const double took = std::chrono::duration<double>(Clock::now() - began).count();
            if (made && took > 0) {
                const double rate = static_cast<double>(cost) / took;
                decode_rate_ = decode_rate_ <= 0 ? rate : 0.7 * decode_rate_ + 0.3 * rate;
            }
            last_decoded_ = next;
            std::function<void()> notify;
            {
                std::lock_guard lock(mutex_);
                if (generation != generation_) continue;
                if (!made) {
                    // Not decodable: asked for no more until the next jump, so the thread does not spin on it.
                    failed_.insert(next);
                    continue;
                }
                const auto before = nearest_kept(wanted_);
                const bool closer = before == kept_.end() ||
                                    std::llabs(static_cast<int64_t>(next) - wanted_) <
                                        std::llabs(static_cast<int64_t>(before->first) - wanted_);
                kept_[next] = std::move(picture);
                fallback_ = {};
                evict();
                if (closer) notify = on_ready_;
            }
            if (notify) notify();
        }
    }

    std::unique_ptr<FilmDecoder> decoder_;  // used by the thread alone
    int32_t last_decoded_ = -1;             // likewise
    bool onward_ = false;                   // likewise: it was planned forwards with the moving train
    double decode_rate_ = 0;                // frames the decoder makes a second, likewise
    const int32_t length_;
    const QSize source_;
    const double rate_;

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    QSize draw_;
    uint64_t generation_ = 0;  // counts draw-size changes, so a picture of the old size is dropped
    int32_t wanted_ = -1;
    int direction_ = 1;
    double speed_ = 0;  // frames a second, signed, judged from the calls to want()
    bool told_ = false;     // the run tells its motion (set_motion): no judging
    double per_tick_ = 0;   // frames a tick, signed, as told
    double phase_ = 0;      // past the wanted frame, 0..1, as told
    double trend_ = 0;      // change of the rate's size a tick, per tick
    double trend_from_ = 0;
    Clock::time_point trend_at_ = Clock::now();
    Clock::time_point changed_at_ = Clock::now();
    Kept kept_;
    FilmPicture fallback_;  // after a change of draw size, until a picture at the new size is ready
    std::set<int32_t> failed_;
    bool jumped_ = false;  // a jump since the thread last planned
    std::function<void()> on_ready_;
    bool every_frame_ = false;

    std::thread thread_;  // last: starts once everything above is set up
};

}  // namespace

std::unique_ptr<FilmFeed> make_film_feed(std::unique_ptr<FilmDecoder> decoder) {
    if (!decoder || decoder->length() <= 0) return nullptr;
    return std::make_unique<ThreadedFilmFeed>(std::move(decoder));
}

std::unique_ptr<FilmFeed> open_film_feed(const std::filesystem::path& file, const std::function<void(int)>& progress) {
    return make_film_feed(open_ffmpeg_film_decoder(file, progress));
}

bool FilmFrameSource::open(const std::filesystem::path& file) {
    FilmOpener opener(file, progress_);
    if (waiting_ && !waiting_([&opener] { return opener.finished(); })) opener.cancel();
    feed_ = opener.take();
    return feed_ != nullptr;
}

}  // namespace vantrel
