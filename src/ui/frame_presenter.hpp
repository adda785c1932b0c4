#pragma once
// The film on the video surface: after every event of the run the feed is asked for the
// wanted frame and the nearest ready picture is drawn, at most once per frame period on the
// scheduler's clock; a picture refused by that gate is drawn when the period has passed.
// The window thread never waits on the decoder.
#include <cstdint>
#include <memory>
#include <mutex>
#include <ostream>

#include <QObject>
#include <QTimer>

#include "platform/film_feed.hpp"

namespace vantrel {

struct Run;
class DriveSession;
class VideoSurface;

class FramePresenter final : public QObject {
    Q_OBJECT
public:
    // `film` may be null (no film: nothing is drawn).
    FramePresenter(FilmFeed* film, VideoSurface& surface, DriveSession& session, const Run& run,
                   QObject* parent = nullptr);
    ~FramePresenter() override;

    // One line per frame drawn, `frame,<n>,<wall_ms>` (nullptr: none).
    void set_timing_log(std::ostream* out) { timing_ = out; }
    // After every tick, step and input: asks for the run's frame and draws what is ready.
    void after_event();
    // Redraw: the wanted frame as soon as the film has it, running or not.
    void redraw();
    // The surface's pixels changed (zoom, screen): pictures are asked at the new size and
    // the frame on show is drawn again.
    void resize();
    // The picture is drawn again at the next chance (the run starts or resumes).
    void forget_presented() { --presented_; }
    // The run paused: a moment later the exact frame is asked and drawn (at speed the
    // decoder may have served a neighbour; a standing train gets its very frame).
    void paused();
    // The window closes: nothing more is drawn.
    void stop();
    [[nodiscard]] int frames_drawn() const { return frames_drawn_; }
    // The frame on show (-1 before the first).
    [[nodiscard]] int32_t presented() const { return presented_; }

private:
    void want();
    void present(int64_t now_ms);
    void ready();
    void draw(const FilmPicture& picture, int64_t now_ms);

    FilmFeed* film_;
    VideoSurface& surface_;
    DriveSession& session_;
    const Run& run_;
    std::ostream* timing_ = nullptr;
    // What the decoder's thread holds to tell this presenter of a ready picture: it may
    // outlive the presenter, which cuts it on destruction.
    struct Link {
        std::mutex mutex;
        FramePresenter* target = nullptr;
        bool posted = false;  // a notice waits in the event queue (one is enough)
    };
    std::shared_ptr<Link> link_ = std::make_shared<Link>();
    QTimer retry_;
    QTimer settle_;
    int32_t presented_ = -1;        // frame last presented
    int64_t presented_at_ = -1000;  // scheduler ms of that presentation
    int32_t redraw_wanted_ = -1;    // a redraw waits for this frame
    int frames_drawn_ = 0;
    bool stopped_ = false;
};

}  // namespace vantrel
