#include "platform/film_index.hpp"

#include <algorithm>

#include "platform/film_input.hpp"

namespace vantrel {

namespace {

struct Packet {
    int64_t pts, dts, pos;
    int32_t size;
    bool key;
};

AVRational film_rate(const AVStream& stream) {
    AVRational rate = stream.avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0) rate = stream.r_frame_rate;
    if (rate.num <= 0 || rate.den <= 0) rate = av_inv_q(stream.time_base);
    return rate;
}

// A keyframe this small is the placeholder after a packed B-frame (flagged like the keyframe
// before it), no picture to start decoding at.
constexpr int32_t kMinKeyframeBytes = 16;
// At most this many samples per sample with data (a film filmed at 2 frames a second in a
// 60-frame stream has 30).
constexpr int64_t kMaxEmptyPerSample = 64;

// AVI: the samples by number; the demuxer leaves empty ones out, so they are the gaps.
// The count ends at the last sample with data: a header counting more (a file cut short) is not
// believed, and the muxers write no empty samples after the last picture.
bool number_by_sample(FilmIndex& index, const std::vector<Packet>& packets) {
    if (packets.empty()) return false;
    const int64_t first = packets.front().dts;
    int64_t last = -1;
    for (const Packet& p : packets) last = std::max(last, p.dts - first);
    const int64_t count = last + 1;
    // Gaps are dropped frames, not hours of nothing: a stray number must not make a huge index.
    if (count > static_cast<int64_t>(packets.size()) * kMaxEmptyPerSample + kMaxEmptyPerSample) return false;
    if (count > kMaxFilmFrames) return false;
    index.entries.assign(static_cast<size_t>(count), FilmIndexEntry{});
    for (FilmIndexEntry& e : index.entries) e.empty = true;
    for (const Packet& p : packets) {
        const int64_t n = p.dts - first;
        if (n < 0 || !index.entries[static_cast<size_t>(n)].empty) continue;  // a repeated number: keep the first
        index.entries[static_cast<size_t>(n)] =
            FilmIndexEntry{n, p.dts, p.pos, 0, p.size, p.key && p.size >= kMinKeyframeBytes, false};
    }
    // Pictures come out of the decoder in presentation order, one per sample with data.
    int32_t picture = -1;
    for (size_t n = 0; n < index.entries.size(); ++n) {
        FilmIndexEntry& e = index.entries[n];
        if (!e.empty) ++picture;
        e.picture = std::max(picture, 0);
        if (e.empty) e.pts = static_cast<int64_t>(n);
    }
    return picture >= 0;
}

// Packets without presentation times: pictures leave the decoder in presentation order, one a
// packet; packets are told apart by their place in the file (counted from a known position).
bool number_by_decoding(FilmIndex& index, const std::vector<Packet>& packets) {
    index.entries.clear();
    for (const Packet& p : packets) {
        const auto n = static_cast<int32_t>(index.entries.size());
        index.entries.push_back(FilmIndexEntry{n, p.dts, p.pos, n, p.size, p.key, false});
    }
    return !index.entries.empty();
}

// Other containers: the pictures sorted by presentation time.
bool number_by_time(FilmIndex& index, std::vector<Packet>& packets) {
    std::stable_sort(packets.begin(), packets.end(), [](const Packet& a, const Packet& b) { return a.pts < b.pts; });
    index.entries.clear();
    index.entries.reserve(packets.size());
    for (const Packet& p : packets) {
        // Two packets at one time cannot both be told apart by the decoder's output: keep the first.
        if (!index.entries.empty() && index.entries.back().pts == p.pts) continue;
        const auto n = static_cast<int32_t>(index.entries.size());
        index.entries.push_back(FilmIndexEntry{p.pts, p.dts, p.pos, n, p.size, p.key, false});
    }
    return !index.entries.empty();
}

}  // namespace

std::optional<FilmIndex> build_film_index(const std::filesystem::path& file, const std::function<void(int)>& progress) {
    FilmInput input = open_film_input(file);
    if (!input.stream) return std::nullopt;
    AVFormatContext& format = *input.format;
    const AVStream& stream = *input.stream;

    FilmIndex index;
    const bool by_sample = numbers_samples(format);
    bool without_times = false;
    index.width = stream.codecpar->width;
    index.height = stream.codecpar->height;
    const AVRational rate = film_rate(stream);
    if (rate.num <= 0 || rate.den <= 0) return std::nullopt;
    index.rate_num = rate.num;
    index.rate_den = rate.den;
    index.time_base_num = stream.time_base.num;
    index.time_base_den = stream.time_base.den;

    const int64_t size = format.pb != nullptr ? avio_size(format.pb) : -1;
    int reported = -1;
    std::vector<Packet> packets;
    ff::Packet packet = ff::make_packet();
    if (!packet) return std::nullopt;
    while (av_read_frame(&format, packet.get()) >= 0) {
        if (packet->stream_index == stream.index && (packet->flags & AV_PKT_FLAG_DISCARD) == 0) {
            int64_t pts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            int64_t dts = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
            if (by_sample && dts == AV_NOPTS_VALUE && !packets.empty()) dts = packets.back().dts + 1;
            if (by_sample) pts = dts;
            if (packet->pts == AV_NOPTS_VALUE && packet->dts != AV_NOPTS_VALUE) without_times = true;
            if (pts != AV_NOPTS_VALUE) {
                packets.push_back(Packet{pts, dts, packet->pos, packet->size, (packet->flags & AV_PKT_FLAG_KEY) != 0});
                if (static_cast<int64_t>(packets.size()) > kMaxFilmFrames) return std::nullopt;
            }
        }
        av_packet_unref(packet.get());
        if (progress && size > 0) {
            const int percent = static_cast<int>(std::clamp<int64_t>(avio_tell(format.pb) * 100 / size, 0, 100));
            if (percent != reported) progress(reported = percent);
        }
    }
    index.order = by_sample ? FilmOrder::Sample : without_times ? FilmOrder::Decode : FilmOrder::Time;
    const bool numbered = index.order == FilmOrder::Sample   ? number_by_sample(index, packets)
                          : index.order == FilmOrder::Decode ? number_by_decoding(index, packets)
                                                             : number_by_time(index, packets);
    if (!numbered) return std::nullopt;
    if (progress && reported != 100) progress(100);
    return index;
}

}  // namespace vantrel
