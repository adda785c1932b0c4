#include "ui/frame_presenter.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/run.hpp"
#include "dynamics/video_position.hpp"
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
    const double per_tick =
        session_.running() ? std::copysign(frames_per_tick(run_), static_cast<double>(run_.core.Speed)) : 0;
    film_->set_motion(per_tick, frame_fraction(run_));
    film_->want(wanted);
}

void FramePresenter::present(int64_t now_ms) {
    if (!film_ || stopped_) return;
    // A redraw shows its frame once the film has it, whether the run runs or not.
    if (redraw_wanted_ >= 0) {
        const FilmPicture picture = film_->nearest(redraw_wanted_);
        if (picture.index == redraw_wanted_) {
            redraw_wanted_ = -1;
            draw(plan(picture), now_ms);
            return;
        }
    }
    // The picture follows the run only while it runs, at most once per frame period, and
    // only when it changed.
    if (!session_.running()) return;
    const int32_t wanted = run_.core.Frame;
    if (wanted < 0 || run_.video.length < 0) return;
    FilmPicture picture = film_->nearest(wanted);
    if (picture.index < 0 || picture.image.isNull()) return;
    if (picture.index == shown_.frame && wanted != drawn_for_) picture = onward(std::move(picture), wanted);
    const Plan next = plan(picture);
    if (next.shown == shown_) return;
    const int64_t since = now_ms - presented_at_;
    if (since < kFramePeriodMs) {
        // Refused by the gate: shown when the period has passed, unless a tick comes first.
        if (!retry_.isActive()) retry_.start(static_cast<int>(kFramePeriodMs - since));
        return;
    }
    drawn_for_ = wanted;
    draw(next, now_ms);
}

FilmPicture FramePresenter::onward(FilmPicture on_show, int32_t wanted) {
    // The train moved on, yet the picture nearest its frame is the one on show: the read-ahead
    // made neighbours of the frames the train reached (its plan shifted as the rate wavered).
    // The next picture in the direction of travel, within a tick's travel of the frame, is a
    // new picture for this tick where the frame's own would have given none.
    // The train's direction, not the side the frame lies on: a picture already ahead of the
    // frame must not send the film back.
    const int direction = run_.core.Speed != 0 ? (run_.core.Speed > 0 ? 1 : -1) : direction_;
    const auto reach = static_cast<int32_t>(std::max(1.0, std::ceil(frames_per_tick(run_))));
    for (int32_t j = 1; j <= reach; ++j) {
        FilmPicture ahead = film_->nearest(on_show.index + direction * j);
        const int32_t beyond = direction * (ahead.index - on_show.index);
        if (beyond > 0 && std::abs(ahead.index - wanted) <= reach && !ahead.image.isNull()) return ahead;
    }
    return on_show;
}

FramePresenter::Plan FramePresenter::plan(const FilmPicture& picture) {
    Plan p;
    p.shown = {picture.index, picture.index, 0, 1};
    p.pictures[0] = picture.image;
    // A neighbour served in the frame's place (the decoder behind) is shown as it is.
    if (picture.index != run_.core.Frame) return p;
    if (run_.core.Speed != 0) direction_ = run_.core.Speed > 0 ? 1 : -1;
    const double step = frames_per_tick(run_);
    const int count = motion_blur_ ? blur_frames(step) : 1;
    if (count > 1) {
        // Every frame passed in the tick, or none: a partial average would lurch.
        for (int j = 1; j < count; ++j) {
            const int32_t index = picture.index - direction_ * j;
            FilmPicture passed = film_->nearest(index);
            if (passed.index != index) return p;
            p.pictures[static_cast<size_t>(j)] = std::move(passed.image);
        }
        p.shown = {picture.index, picture.index - direction_ * (count - 1), kMixOne * (count - 1) / count, count};
        return p;
    }
    const int weight = mix_weight(mix_, frame_fraction(run_), step);
    if (weight <= 0) return p;
    const int32_t index = picture.index + direction_;
    FilmPicture neighbour = film_->nearest(index);
    // Not ready yet (or past either end of the film): the whole frame until it is.
    if (neighbour.index != index || neighbour.image.size() != picture.image.size()) return p;
    if (weight >= kMixOne) {
        p.shown = {index, index, 0, 1};
        p.pictures[0] = std::move(neighbour.image);
        return p;
    }
    p.shown = {picture.index, index, weight, 1};
    p.pictures[1] = std::move(neighbour.image);
    return p;
}

void FramePresenter::set_motion_blur(bool on) {
    motion_blur_ = on;
    // The frames between the presented ones are then made too.
    if (film_) film_->set_every_frame(on);
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

void FramePresenter::draw(const Plan& plan, int64_t now_ms) {
    retry_.stop();
    const Shown& shown = plan.shown;
    QImage* picture = nullptr;
    if (shown.count > 1 || shown.weight > 0) {
        QImage& out = mixed_[next_mixed_];
        const bool made = shown.count > 1
                              ? average_pictures(std::span(plan.pictures.data(), static_cast<size_t>(shown.count)), out)
                              : mix_pictures(plan.pictures[0], plan.pictures[1], shown.weight, out);
        if (made) {
            picture = &out;
            next_mixed_ = 1 - next_mixed_;
        }
    }
    surface_.show_frame(picture ? *picture : plan.pictures[0]);
    presented_ = shown.frame;
    shown_ = picture ? shown : Shown{shown.frame, shown.frame, 0, 1};
    presented_at_ = now_ms;
    ++frames_drawn_;
    if (timing_) {
        char line[96];
        std::snprintf(line, sizeof line, "frame,%d,%.3f,%d,%.4f\n", shown_.frame, session_.wall_ms(), shown_.neighbour,
                      static_cast<double>(shown_.weight) / kMixOne);
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
