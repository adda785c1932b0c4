#pragma once
// The pictures of a film, numbered as the run counts them, found by demuxing alone: frame n is the
// n-th picture in presentation order (in AVI files, the n-th sample of the video stream).
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace vantrel {

// How frames are numbered and how a decoded picture is told apart.
enum class FilmOrder : uint8_t {
    Time,    // entries sorted by presentation time; pictures are matched by it
    Sample,  // AVI: entries are the samples in file order, pictures leave the decoder in order
    Decode,  // packets without presentation times (MPEG program streams): entries in decoding
             // order, pictures leave the decoder in order
};

struct FilmIndexEntry {
    int64_t pts = 0;      // presentation time (stream time base); otherwise the entry's number
    int64_t dts = 0;      // decoding time of the picture's packet
    int64_t pos = -1;     // byte position of the packet, -1 when unknown
    int32_t picture = 0;  // the picture this frame shows (AVI: empty samples repeat the one before)
    int32_t size = 0;     // bytes in the packet
    bool key = false;     // the packet is a keyframe
    bool empty = false;   // AVI: a sample without data
};

struct FilmIndex {
    FilmOrder order = FilmOrder::Time;
    int32_t width = 0, height = 0;
    int32_t rate_num = 0, rate_den = 1;  // frames per second
    int32_t time_base_num = 0, time_base_den = 1;
    std::vector<FilmIndexEntry> entries;  // frame n is entries[n]

    [[nodiscard]] int32_t length() const { return static_cast<int32_t>(entries.size()); }
    // Number of distinct pictures (AVI: non-empty samples).
    [[nodiscard]] int32_t pictures() const { return entries.empty() ? 0 : entries.back().picture + 1; }
};

// Films longer than this many frames (about 90 hours at 30 a second) are refused.
inline constexpr int64_t kMaxFilmFrames = 10'000'000;

// Demuxes the whole video stream; `progress` receives 0..100. nullopt when the file is no film.
[[nodiscard]] std::optional<FilmIndex> build_film_index(const std::filesystem::path& file,
                                                        const std::function<void(int)>& progress = {});

}  // namespace vantrel
