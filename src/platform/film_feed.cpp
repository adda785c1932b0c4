#include "platform/film_feed.hpp"

#include "platform/ffmpeg_frame_reader.hpp"

namespace vantrel {

namespace {

// Decodes on the caller's thread: a placeholder until the threaded decoder lands.
class DirectFilmFeed final : public FilmFeed {
public:
    bool open(const std::filesystem::path& file) { return reader_.open(file) && reader_.length() >= 0; }
    int32_t length() const override { return reader_.length(); }
    QSize source_size() const override { return source_; }
    double frame_rate() const override { return reader_.frame_rate(); }
    void set_draw_size(QSize size) override { draw_ = size; }
    void want(int32_t index) override {
        FrameImage image;
        if (index < 0 || !reader_.frame(index, image) || image.width <= 0 || image.height <= 0) return;
        source_ = QSize(image.width, image.height);
        QImage picture = QImage(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                                image.width * 4, QImage::Format_ARGB32)
                             .copy();
        if (!draw_.isEmpty() && draw_ != source_)
            picture = picture.scaled(draw_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        last_ = FilmPicture{index, std::move(picture)};
        if (on_ready_) on_ready_();
    }
    FilmPicture nearest(int32_t) override { return last_; }
    void set_on_ready(std::function<void()> callback) override { on_ready_ = std::move(callback); }

private:
    FfmpegFrameReader reader_;
    QSize source_, draw_;
    FilmPicture last_;
    std::function<void()> on_ready_;
};

}  // namespace

std::unique_ptr<FilmFeed> open_film_feed(const std::filesystem::path& file, const std::function<void(int)>&) {
    auto feed = std::make_unique<DirectFilmFeed>();
    if (!feed->open(file)) return nullptr;
    return feed;
}

bool FilmFrameSource::open(const std::filesystem::path& file) {
    feed_ = open_film_feed(file, progress_);
    return feed_ != nullptr;
}

}  // namespace vantrel
