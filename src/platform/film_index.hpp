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

// A stretch of the file whose times run on from the one before (recordings joined with `cat`
// start again at their own times). The index counts times on one line: a packet's time plus the
// offset of the piece it lies in.
struct FilmPiece {
    int64_t pos = 0;     // byte position of the piece's first packet
    int64_t offset = 0;  // added to the times of its packets
};

struct FilmIndex {
    FilmOrder order = FilmOrder::Time;
    int32_t width = 0, height = 0;
    int32_t rate_num = 0, rate_den = 1;  // frames per second
    int32_t time_base_num = 0, time_base_den = 1;
    std::vector<FilmIndexEntry> entries;  // frame n is entries[n]
    // Keyframes before the first frame that are decoded but never shown (the group a lossless cut
    // starts in), in decoding order.
    std::vector<FilmIndexEntry> lead;
    // Time order: the pieces by position when the times start again somewhere; empty otherwise.
    std::vector<FilmPiece> pieces;

    [[nodiscard]] int32_t length() const { return static_cast<int32_t>(entries.size()); }
    // Number of distinct pictures (AVI: non-empty samples).
    [[nodiscard]] int32_t pictures() const { return entries.empty() ? 0 : entries.back().picture + 1; }
    // The offset of the piece holding byte `pos` (0 without pieces or position).
    [[nodiscard]] int64_t offset_at(int64_t pos) const;
};

// Films longer than this many frames (about 90 hours at 30 a second) are refused.
inline constexpr int64_t kMaxFilmFrames = 10'000'000;

// Demuxes the whole video stream; `progress` receives 0..100. nullopt when the file is no film.
[[nodiscard]] std::optional<FilmIndex> build_film_index(const std::filesystem::path& file,
                                                        const std::function<void(int)>& progress = {});

}  // namespace vantrel
