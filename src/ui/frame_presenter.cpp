#include "ui/frame_presenter.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/run.hpp"
#include "common/fixed_point.hpp"
#include "ui/cab_widgets.hpp"
#include "ui/drive_session.hpp"

namespace vantrel {

namespace {

constexpr int64_t kFramePeriodMs = 33;  // frames are presented at most this often
constexpr int64_t kPaintRoomMs = 4;     // no picture is drawn this close before a tick
constexpr int kSettleMs = 600;          // longer than the decoder takes to see a train standing

}  // namespace

FramePresenter::FramePresenter(FilmFeed* film, VideoSurface& surface, DriveSession& session, const Run& run,
                               QObject* parent)
    : QObject(parent), film_(film), surface_(surface), session_(session), run_(run) {
    retry_.setSingleShot(true);
    retry_.setTimerType(Qt::PreciseTimer);
    connect(&retry_, &QTimer::timeout, this, [this] { present(session_.now_ms()); });
    settle_.setSingleShot(true);
    connect(&settle_, &QTimer::timeout, this, [this] {
        if (!session_.running()) redraw();
    });
    if (!film_) return;
    // The decoder tells of each new picture on its own thread: one notice at a time is
    // queued to this thread, which then takes whatever is ready.
    link_->target = this;
    film_->set_on_ready([link = link_] {
        const std::lock_guard lock(link->mutex);
        if (!link->target || link->posted) return;
        link->posted = true;
        QMetaObject::invokeMethod(link->target, &FramePresenter::ready, Qt::QueuedConnection);
    });
    film_->set_draw_size(surface_.pixel_size());
    want();  // the decoder reads ahead from the start position before the run starts
}

FramePresenter::~FramePresenter() {
    const std::lock_guard lock(link_->mutex);
    link_->target = nullptr;
}

void FramePresenter::after_event() {
    want();
    // A tick's presentation is timed by its due time, so ticks 33 ms apart never refuse
    // each other's frames whatever their work took.
    present(session_.event_ms());
}

void FramePresenter::want() {
    // Asked after every event, running or not (a paused run gets its start or a jump's frame
    // ready), with the train's own rate: the read-ahead makes the frames of the coming ticks.
    if (!film_ || stopped_) return;
    const int32_t wanted = run_.core.Frame;
    if (wanted < 0) return;
    const double filmed = std::max(1, run_.video.FilmedSpeed);
    const double kmh = session_.running() ? std::round(static_cast<double>(run_.core.Speed) / kFixedOne) : 0;
    film_->set_motion(kmh / filmed, run_.video.accumulator / filmed);
    film_->want(wanted);
}

void FramePresenter::present(int64_t now_ms) {
    if (!film_ || stopped_) return;
    // A redraw shows its frame once the film has it, whether the run runs or not.
    if (redraw_wanted_ >= 0) {
        const FilmPicture picture = film_->nearest(redraw_wanted_);
        if (picture.index == redraw_wanted_) {
            redraw_wanted_ = -1;
            draw(picture, now_ms);
            return;
        }
    }
    // The frame follows the run only while it runs, at most once per frame period, and
    // only when it changed.
    if (!session_.running()) return;
    const int32_t wanted = run_.core.Frame;
    if (wanted < 0 || run_.video.length < 0) return;
    const FilmPicture picture = film_->nearest(wanted);
    if (picture.index < 0 || picture.image.isNull() || picture.index == presented_) return;
    const int64_t since = now_ms - presented_at_;
    if (since < kFramePeriodMs) {
        // Refused by the gate: shown when the period has passed, unless a tick comes first.
        if (!retry_.isActive()) retry_.start(static_cast<int>(kFramePeriodMs - since));
        return;
    }
    draw(picture, now_ms);
}

void FramePresenter::ready() {
    {
        const std::lock_guard lock(link_->mutex);
        link_->posted = false;
    }
    // Drawing takes a few milliseconds: a picture that arrives just before a tick is drawn
    // right after that tick rather than holding it up.
    const int64_t now = session_.now_ms();
    if (session_.running() && session_.next_due_ms() - now < kPaintRoomMs && redraw_wanted_ < 0) {
        // Should the tick not come (a clock that stands), the timer still draws it.
        if (!retry_.isActive()) retry_.start(static_cast<int>(kPaintRoomMs + 1));
        return;
    }
    present(now);
}

void FramePresenter::draw(const FilmPicture& picture, int64_t now_ms) {
    retry_.stop();
    surface_.show_frame(picture.image);
    presented_ = picture.index;
    presented_at_ = now_ms;
    ++frames_drawn_;
    if (timing_) {
        char line[64];
        std::snprintf(line, sizeof line, "frame,%d,%.3f\n", picture.index, session_.wall_ms());
        *timing_ << line;
    }
}

void FramePresenter::redraw() {
    const int32_t frame = run_.core.Frame;
    if (!film_ || stopped_ || frame < 0 || frame >= run_.video.length) return;
    // Asked again even when it was the last frame asked: the decoder then knows the train
    // stands there and decodes that very frame rather than a neighbour.
    redraw_wanted_ = frame;
    film_->want(frame);
    present(session_.now_ms());
}

void FramePresenter::resize() {
    if (!film_ || stopped_) return;
    film_->set_draw_size(surface_.pixel_size());
    if (presented_ < 0) return;
    redraw_wanted_ = presented_;
    film_->want(presented_);
}

void FramePresenter::paused() {
    if (film_ && !stopped_) settle_.start(kSettleMs);
}

void FramePresenter::stop() {
    stopped_ = true;
    retry_.stop();
    settle_.stop();
}

}  // namespace vantrel
