#include "platform/film_decoder.hpp"

#include "platform/ffmpeg_frame_reader.hpp"

namespace vantrel {

namespace {

class FfmpegFilmDecoder final : public FilmDecoder {
public:
    bool open(const std::filesystem::path& file, const std::function<void(int)>& progress) {
        return reader_.open(file, progress, 0) && reader_.length() > 0;
    }
    int32_t length() const override { return reader_.length(); }
    QSize source_size() const override { return {reader_.width(), reader_.height()}; }
    double frame_rate() const override { return reader_.frame_rate(); }
    int32_t group_start(int32_t index) const override { return reader_.group_start(index); }
    bool decode(int32_t index) override { return reader_.decode(index); }
    bool picture(QSize size, QImage& out) override {
        if (size.isEmpty()) return false;
        // Converted straight to the size it is drawn at, in one pass.
        out = QImage(size, QImage::Format_RGB32);
        if (out.isNull()) return false;
        return reader_.convert(out.bits(), static_cast<int>(out.bytesPerLine()), size.width(), size.height());
    }

private:
    FfmpegFrameReader reader_;
};

}  // namespace

std::unique_ptr<FilmDecoder> open_ffmpeg_film_decoder(const std::filesystem::path& file,
                                                      const std::function<void(int)>& progress) {
    auto decoder = std::make_unique<FfmpegFilmDecoder>();
    if (!decoder->open(file, progress)) return nullptr;
    return decoder;
}

}  // namespace vantrel
