#pragma once
// The film on the video surface: after every event of the run the feed is asked for the
// wanted frame and the nearest ready picture is drawn, at most once per frame period on the
// scheduler's clock; a picture refused by that gate is drawn when the period has passed.
// The window thread never waits on the decoder. Between two frames the picture is a mix of
// the frame and its neighbour in the direction of travel; above the filming speed the frames
// passed in a tick may be averaged (motion blur).
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <ostream>

#include <QObject>
#include <QTimer>

#include "platform/film_feed.hpp"
#include "platform/frame_mix.hpp"

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

    // One line per picture drawn, `frame,<n>,<wall_ms>,<neighbour>,<weight>` (the weight of
    // the neighbour mixed in, 0..1; a whole frame is its own neighbour at 0). nullptr: none.
    void set_timing_log(std::ostream* out) { timing_ = out; }
    // How a train between two frames is shown (from the next picture on).
    void set_mix(FilmMix mix) { mix_ = mix; }
    [[nodiscard]] FilmMix mix() const { return mix_; }
    // Above the filming speed, the frames passed in a tick averaged (at most 4) when the film
    // has them all ready; otherwise the frame alone.
    void set_motion_blur(bool on);
    [[nodiscard]] bool motion_blur() const { return motion_blur_; }
    // After every tick, step and input: asks for the run's frame and draws what is ready.
    void after_event();
    // Redraw: the wanted frame as soon as the film has it, running or not.
    void redraw();
    // The surface's pixels changed (zoom, screen): pictures are asked at the new size and
    // the frame on show is drawn again.
    void resize();
    // The picture is drawn again at the next chance (the run starts or resumes).
    void forget_presented() { shown_ = {}; }
    // The run paused: a moment later the exact frame is asked and drawn (at speed the
    // decoder may have served a neighbour; a standing train gets its very frame).
    void paused();
    // The window closes: nothing more is drawn.
    void stop();
    [[nodiscard]] int frames_drawn() const { return frames_drawn_; }
    // The frame on show (-1 before the first).
    [[nodiscard]] int32_t presented() const { return presented_; }

private:
    // What a picture is made of: `frame`, mixed with `neighbour` by `weight` (of kMixOne), or
    // averaged with the `count` - 1 frames before it down to `neighbour`.
    struct Shown {
        int32_t frame = -1;
        int32_t neighbour = -1;
        int weight = 0;
        int count = 1;
        bool operator==(const Shown&) const = default;
    };
    struct Plan {
        Shown shown;
        std::array<QImage, 4> pictures;  // the frame first
    };

    void want();
    void present(int64_t now_ms);
    void ready();
    // A picture past `on_show` towards the train's frame `wanted`, or `on_show` when none is near.
    FilmPicture onward(FilmPicture on_show, int32_t wanted);
    // The picture for `picture` (the film's nearest to the wanted frame) at the run's place.
    Plan plan(const FilmPicture& picture);
    void draw(const Plan& plan, int64_t now_ms);

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
    int32_t drawn_for_ = -1;        // the run's frame when the run's picture was last drawn
    Shown shown_;                   // and what its picture was made of
    FilmMix mix_ = FilmMix::Blend;
    bool motion_blur_ = false;
    int direction_ = 1;              // of travel, kept while the train stands
    std::array<QImage, 2> mixed_;    // mixed in turns, so the one on show is never written
    size_t next_mixed_ = 0;
    int64_t presented_at_ = -1000;  // scheduler ms of that presentation
    int32_t redraw_wanted_ = -1;    // a redraw waits for this frame
    int frames_drawn_ = 0;
    bool stopped_ = false;
};

}  // namespace vantrel
