#include "demo_data/pack_video.hpp"

#include <QPainter>
#include <cstring>
#include <thread>

#include "demo_data/pack_pictures.hpp"
#include "demo_data/pack_sounds.hpp"
#include "platform/video_writer.hpp"

namespace vantrel::demo {
namespace {

FrameImage to_frame(const QImage& img) {
    FrameImage f;
    f.width = img.width();
    f.height = img.height();
    f.pixels.resize(static_cast<size_t>(f.width) * static_cast<size_t>(f.height));
    for (int y = 0; y < f.height; ++y)
        std::memcpy(f.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(f.width), img.constScanLine(y),
                    static_cast<size_t>(f.width) * 4);
    return f;
}

// Renders `count` frames from `start` on two threads, interleaved.
void render_batch(const std::function<void(QImage&, int32_t)>& draw, int32_t start, int32_t count,
                  std::vector<QImage>& out, int w, int h) {
    out.resize(static_cast<size_t>(count));
    auto work = [&](int32_t first) {
        for (int32_t i = first; i < count; i += 2) {
            QImage img(w, h, QImage::Format_RGB32);
            draw(img, start + i);
            out[static_cast<size_t>(i)] = std::move(img);
        }
    };
    std::thread other(work, 1);
    work(0);
    other.join();
}

std::string encode(const std::function<void(QImage&, int32_t)>& draw, int32_t frames, const std::filesystem::path& file,
                   const VideoWriterOptions& options, int thumb_every, std::vector<QImage>& thumbs,
                   const std::function<void(int32_t, VideoWriter&)>& after_frame) {
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    std::string error;
    auto writer = VideoWriter::open(file, options, error);
    if (!writer) return error.empty() ? "cannot open " + file.string() : error;
    constexpr int32_t kBatch = 24;
    std::vector<QImage> cur, next;
    render_batch(draw, 0, std::min(kBatch, frames), cur, options.width, options.height);
    for (int32_t start = 0; start < frames; start += kBatch) {
        const int32_t ahead = start + kBatch;
        std::thread bg;
        if (ahead < frames)
            bg = std::thread([&] { render_batch(draw, ahead, std::min(kBatch, frames - ahead), next, options.width, options.height); });
        bool ok = true;
        for (size_t i = 0; i < cur.size(); ++i) {
            const auto index = start + static_cast<int32_t>(i);
            if (thumb_every > 0 && index % thumb_every == 0)
                thumbs.push_back(cur[i].scaled(160, 80, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            ok = ok && writer->add_frame(to_frame(cur[i]));
            if (after_frame) after_frame(index, *writer);
        }
        if (bg.joinable()) bg.join();
        if (!ok) return "cannot encode " + file.string();
        std::swap(cur, next);
    }
    if (!writer->finish()) return "cannot finish " + file.string();
    return {};
}

}  // namespace

std::string write_line_film(const FilmRenderer& renderer, int32_t frames, const std::filesystem::path& file,
                            int thumb_every, std::vector<QImage>& thumbs) {
    VideoWriterOptions o;
    o.width = 480;
    o.height = 240;
    o.keyframe_every = 30;
    o.b_frames = 0;
    o.quality = 5;
    return encode([&](QImage& img, int32_t i) { renderer.render(img, i); }, frames, file, o, thumb_every, thumbs, {});
}

std::string write_opening_movie(const LineScene& line, const Film& film, const std::filesystem::path& file,
                                std::vector<QImage>& thumbs) {
    constexpr int kFrames = 300;
    constexpr int kRate = 22050;
    const FilmRenderer renderer(line, film, 320, 240);
    const double from = line.bridges.empty() ? 100 : line.bridges.front().from_m - 160;
    auto draw = [&](QImage& img, int32_t i) {
        const double t = i / 30.0;
        renderer.render_at(img, from + t * 24.0, t + 40, static_cast<uint32_t>(i));
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        const double fade_in = std::clamp((t - 1.5) / 1.5, 0.0, 1.0);
        const double fade_out = std::clamp((10.0 - t) / 0.8, 0.0, 1.0);
        p.setOpacity(fade_in * fade_out);
        p.fillRect(QRectF(0, 150, 320, 60), QColor(0, 0, 0, 120));
        p.setPen(QColor(255, 255, 255));
        p.setFont(pack_font(34, true));
        p.drawText(QRectF(0, 146, 320, 42), Qt::AlignCenter, "Vantrel");
        p.setFont(pack_font(13));
        p.drawText(QRectF(0, 186, 320, 20), Qt::AlignCenter, QString::fromStdString(line.name) + "・山辺線  運転席から");
        p.setOpacity(std::clamp(1.0 - t / 0.8, 0.0, 1.0));
        p.fillRect(img.rect(), Qt::black);
    };
    const std::vector<float> music = opening_music(kFrames / 30.0, kRate);
    VideoWriterOptions o;
    o.width = 320;
    o.height = 240;
    o.keyframe_every = 15;
    o.quality = 4;
    o.audio_rate = kRate;
    o.audio_channels = 1;
    auto add_sound = [&](int32_t index, VideoWriter& w) {
        const size_t per = kRate / 30, a = static_cast<size_t>(index) * per;
        std::vector<int16_t> pcm(per);
        for (size_t k = 0; k < per; ++k)
            pcm[k] = static_cast<int16_t>(a + k < music.size() ? std::lround(std::clamp(music[a + k], -1.0f, 1.0f) * 30000) : 0);
        w.add_audio(pcm);
    };
    return encode(draw, kFrames, file, o, 90, thumbs, add_sound);
}

}  // namespace vantrel::demo
