#pragma once
// The decoding work behind a film feed: one object, used by the feed's decoder thread alone.
// Tests put a slow or scripted one in its place.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include <QImage>
#include <QSize>

#include "platform/film_feed.hpp"

namespace vantrel {

class FilmDecoder {
public:
    virtual ~FilmDecoder() = default;
    [[nodiscard]] virtual int32_t length() const = 0;
    [[nodiscard]] virtual QSize source_size() const = 0;
    [[nodiscard]] virtual double frame_rate() const = 0;
    // The first frame of the keyframe group `index` is decoded from.
    [[nodiscard]] virtual int32_t group_start(int32_t index) const = 0;
    // Decodes frame `index` (going on from the last one where that is cheaper than a seek).
    virtual bool decode(int32_t index) = 0;
    // The picture decoded last, converted to `size`.
    virtual bool picture(QSize size, QImage& out) = 0;
};

// The film through FFmpeg; nullptr when the file is no film.
[[nodiscard]] std::unique_ptr<FilmDecoder> open_ffmpeg_film_decoder(const std::filesystem::path& file,
                                                                    const std::function<void(int)>& progress = {});

// A feed whose thread runs `decoder`.
[[nodiscard]] std::unique_ptr<FilmFeed> make_film_feed(std::unique_ptr<FilmDecoder> decoder);

}  // namespace vantrel
