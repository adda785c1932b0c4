#pragma once
// The film as the windows draw it: they ask for frame n and take the nearest ready picture,
// never waiting on the decoder, which runs on a thread of its own.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include <QImage>
#include <QSize>

#include "dynamics/frame_source.hpp"

namespace vantrel {

struct FilmPicture {
    int32_t index = -1;  // the frame this picture is; -1 with a null image when none is ready
    QImage image;        // at the draw size
};

class FilmFeed {
public:
    virtual ~FilmFeed() = default;
    // Number of frames (the index's picture count), -1 without a film.
    [[nodiscard]] virtual int32_t length() const = 0;
    [[nodiscard]] virtual QSize source_size() const = 0;
    [[nodiscard]] virtual double frame_rate() const = 0;
    // The size pictures are drawn at, in device pixels; an empty size keeps the film's own.
    virtual void set_draw_size(QSize size) = 0;
    // The frame the run wants now; returns at once.
    virtual void want(int32_t index) = 0;
    // The train's motion as the logic has it: frames it moves a tick (negative backwards, 0
    // standing) and how far it is past the wanted frame towards the next (0..1). The read-ahead
    // follows it; without it the rate is judged from the calls to want().
    virtual void set_motion(double frames_per_tick, double phase) {
        (void)frames_per_tick;
        (void)phase;
    }
    // The ready picture nearest to `index` (exact when it is ready); returns at once.
    [[nodiscard]] virtual FilmPicture nearest(int32_t index) = 0;
    // Called, on the decoder's thread, each time a newly decoded picture became ready.
    virtual void set_on_ready(std::function<void()> callback) = 0;
    // Makes every frame the train passes, not only one a presentation (for motion blur).
    virtual void set_every_frame(bool) {}
};

// Opens a film and starts its decoder; nullptr when the file is no film. `progress` receives
// 0..100 while the picture index is built (not called when it comes from the cache).
[[nodiscard]] std::unique_ptr<FilmFeed> open_film_feed(const std::filesystem::path& file,
                                                       const std::function<void(int)>& progress = {});

// The run's video as the logic sees it (its length), with the feed the windows draw from.
// Pictures come only through the feed: frame() gives none.
class FilmFrameSource final : public FrameSource {
public:
    bool open(const std::filesystem::path& file) override;
    [[nodiscard]] int32_t length() const override { return feed_ ? feed_->length() : -1; }
    bool frame(int32_t, FrameImage&) override { return false; }
    // The open film's feed, nullptr without one.
    [[nodiscard]] FilmFeed* feed() const { return feed_.get(); }
    // Receives the index's progress (0..100), on the worker thread that builds it, during the next open.
    void set_progress(std::function<void(int)> progress) { progress_ = std::move(progress); }
    // The index is built on a worker thread; meanwhile `waiting` runs on the caller's thread with
    // a test of whether the film is open, returning once it is, or false to give the film up.
    // Without it the caller simply waits.
    using Waiting = std::function<bool(const std::function<bool()>& finished)>;
    void set_waiting(Waiting waiting) { waiting_ = std::move(waiting); }

private:
    std::unique_ptr<FilmFeed> feed_;
    std::function<void(int)> progress_;
    Waiting waiting_;
};

}  // namespace vantrel
