#include "check/media.hpp"

#include <variant>

#include "platform/ffmpeg_frame_reader.hpp"
#include "platform/wave_file.hpp"

namespace vantrel::check {

void Media::check_wave(ProblemSink& sink, const std::string& file, int line, const std::string& name) {
    if (name.find_first_not_of(" \t") == std::string::npos) return;
    const auto path = resolver_.resolve(name);
    if (!path) {
        sink.warning("wave.missing", file, line, "not found: " + name);
        return;
    }
    auto [it, fresh] = wave_errors_.try_emplace(*path);
    if (fresh) {
        auto wave = read_mono_wave(*path);
        if (auto* reason = std::get_if<std::string>(&wave)) it->second = reason->empty() ? "unreadable" : *reason;
    }
    if (!it->second.empty()) sink.warning("wave.unreadable", file, line, name + ": " + it->second);
    const auto spelling = spelling_problem(resolver_, name);
    if (!spelling.empty()) sink.warning(std::string(spelling), file, line, name);
}

std::optional<int32_t> Media::check_film(ProblemSink& sink, const std::string& file, int line,
                                         const std::string& name) {
    const auto path = resolver_.resolve(name);
    if (!path) {
        sink.warning("film.missing", file, line, "not found: " + name);
        return std::nullopt;
    }
    auto [it, fresh] = film_frames_.try_emplace(*path, -1);
    if (fresh) {
        FfmpegFrameReader reader;
        if (reader.open(*path)) it->second = reader.length();
    }
    if (it->second <= 0) {
        sink.warning("film.unreadable", file, line, name);
        return std::nullopt;
    }
    const auto spelling = spelling_problem(resolver_, name);
    if (!spelling.empty()) sink.warning(std::string(spelling), file, line, name);
    return it->second;
}

}  // namespace vantrel::check
