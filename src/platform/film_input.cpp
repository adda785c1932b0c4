#include "platform/film_input.hpp"

#include <cstring>

namespace vantrel {

FilmInput open_film_input(const std::filesystem::path& file) {
    FilmInput input;
    // A pipe or a device named as the video would block or never end.
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return input;
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, file.string().c_str(), nullptr, nullptr) < 0) return input;
    input.format.reset(raw);
    if (avformat_find_stream_info(input.format.get(), nullptr) < 0) return FilmInput{};
    AVStream* chosen = nullptr;
    for (unsigned i = 0; i < input.format->nb_streams; ++i) {
        AVStream* s = input.format->streams[i];
        const bool video = s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && (s->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0;
        if (video && chosen == nullptr) {
            chosen = s;
        } else {
            s->discard = AVDISCARD_ALL;
        }
    }
    if (chosen == nullptr) return FilmInput{};
    const AVCodecParameters& par = *chosen->codecpar;
    if (par.width <= 0 || par.height <= 0 || par.width > kMaxFilmSide || par.height > kMaxFilmSide) return FilmInput{};
    if (chosen->time_base.num <= 0 || chosen->time_base.den <= 0) return FilmInput{};
    input.stream = chosen;
    return input;
}

bool numbers_samples(const AVFormatContext& format) {
    return format.iformat != nullptr && std::strcmp(format.iformat->name, "avi") == 0;
}

}  // namespace vantrel
