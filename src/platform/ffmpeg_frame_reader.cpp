#include "platform/ffmpeg_frame_reader.hpp"

#include <algorithm>
#include <optional>
#include <thread>
#include <utility>

#include "platform/film_converter.hpp"
#include "platform/film_index_cache.hpp"
#include "platform/film_input.hpp"

namespace vantrel {

namespace {

// Films this large decode on several threads (frame threads add a little delay to each seek,
// which smaller films do not need to pay).
constexpr int64_t kThreadedPixels = 1280 * 720;
// Keyframes tried one further back each when a seek gives a first picture after the target.
constexpr int kMaxSeekBacks = 3;
// After a byte seek, packets read before one carries a decoding time the index knows.
constexpr int kMaxUnsyncedPackets = 64;
// How far from the entry sought to look for the entry of the first timed packet.
constexpr int32_t kSyncReach = 4096;
// Seeks in a row that had to fall back to reading from the start before the reader stops trying them.
constexpr int kMaxFailedSeeks = 2;

}  // namespace

struct FfmpegFrameReader::Impl {
    std::filesystem::path file;
    FilmInput input;
    ff::CodecContext decoder;
    int threads_pending = 1;  // the threads open() asked for: started at the first decode
    FilmIndex index;
    std::vector<int32_t> keys;  // frames whose packet is a keyframe, ascending
    bool byte_seek = false;     // containers without a seek index (MPEG-TS, MPEG-PS)
    // Packets without times (FilmOrder::Decode) are counted: the entry of the last packet read,
    // -1 until a packet after a seek matched the entry the seek went to, -2 at the file's start.
    int32_t cursor = -1;
    int32_t sync_entry = 0;
    int sync_skipped = 0;
    int64_t sample_origin = 0;  // AVI: the dts of sample 0
    int64_t piece_offset = 0;   // the offset of the piece the last packet read lies in
    int failed_seeks = 0;       // seeks in a row that landed nowhere; past kMaxFailedSeeks, read from the start

    ff::Frame scratch = ff::make_frame();
    ff::Frame latest = ff::make_frame();  // the decoder's last picture
    ff::Frame shown = ff::make_frame();   // the picture handed out last (a reference, not a copy)
    ff::Packet packet = ff::make_packet();
    FilmConverter converter;

    int32_t position = -1;       // picture number of `latest`, -1 when the decoder must seek first
    int32_t sent_picture = -1;   // AVI: picture of the last packet sent
    bool input_ended = false;    // end of file sent to the decoder
    int32_t drained = 0;         // pictures received since then
    int32_t awaited = -1;        // after a seek: the keyframe entry decoding starts at
    FilmIndexEntry awaited_at;   // its entry (or the keyframe before the first frame)
    bool landed_late = false;    // the seek went past `awaited`
    int32_t shown_frame = -1;
    int32_t shown_picture = -1;
    // While decoding onwards to this picture, pictures before it that nothing refers to are not
    // decoded at all (the train passes them at speed); -1 decodes everything.
    int32_t skip_below = -1;
    // The last frame that could not be decoded and its group: later frames of that group fail at
    // once (a damaged group is not decoded again for each), until a picture elsewhere was decoded.
    int32_t failed_frame = -1;
    int32_t failed_group = -1;

    [[nodiscard]] bool is_open() const { return input.stream != nullptr; }

    [[nodiscard]] int32_t picture_of_frame(int32_t frame) const {
        return index.entries[static_cast<size_t>(frame)].picture;
    }

    [[nodiscard]] int32_t key_at_or_before(int32_t frame) const {
        const auto it = std::upper_bound(keys.begin(), keys.end(), frame);
        return it == keys.begin() ? keys.front() : *std::prev(it);
    }

    // Picture number of a packet or decoded frame by its presentation time (FilmOrder::Time).
    [[nodiscard]] std::optional<int32_t> picture_at(int64_t pts) const {
        const auto it = std::lower_bound(index.entries.begin(), index.entries.end(), pts,
                                         [](const FilmIndexEntry& e, int64_t t) { return e.pts < t; });
        if (it == index.entries.end() || it->pts != pts) return std::nullopt;
        return static_cast<int32_t>(it - index.entries.begin());
    }

    // Picture number of a decoded frame; nullopt for pictures the index does not know.
    std::optional<int32_t> picture_of(const AVFrame& frame) {
        if (index.order != FilmOrder::Time) {
            // Without presentation times: a picture leaves the decoder `has_b_frames` packets
            // after its own, so it is the picture of the packet that far back.
            // At the end the pictures held back come out one by one.
            const int32_t held = input_ended ? ++drained : 0;
            // Frame threads hold one packet more each.
            const int threads = (decoder->active_thread_type & FF_THREAD_FRAME) != 0 ? decoder->thread_count - 1 : 0;
            int32_t picture = sent_picture - decoder->has_b_frames - threads + held;
            if (picture <= position) picture = position + 1;
            if (picture < 0 || picture >= index.pictures()) return std::nullopt;
            return picture;
        }
        return picture_at(frame.pts != AV_NOPTS_VALUE ? frame.pts : frame.best_effort_timestamp);
    }

    // How much of this packet the decoder may leave out. Only where pictures are matched by their
    // times: elsewhere they are numbered by counting what leaves the decoder, which a left-out
    // picture would shift. Each packet carries its own setting into FFmpeg's frame threads.
    [[nodiscard]] AVDiscard discard_for(const AVPacket& p) const {
        if (skip_below < 0 || index.order != FilmOrder::Time || p.pts == AV_NOPTS_VALUE) return AVDISCARD_DEFAULT;
        const auto picture = picture_at(p.pts);
        return picture && *picture < skip_below ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
    }

    // The entry of a packet just read in an order without times (-1 unknown); counts Decode packets.
    int32_t entry_of(const AVPacket& p) {
        if (index.order == FilmOrder::Sample) {
            if (p.dts == AV_NOPTS_VALUE) return -1;
            const int64_t sample = p.dts - sample_origin;
            return sample >= 0 && sample < index.length() ? static_cast<int32_t>(sample) : -1;
        }
        if (cursor >= 0 || cursor == -2) {
            cursor = std::max(cursor + 1, 0);
        } else if (const int32_t found = entry_at(p); found >= 0) {
            cursor = found;
        } else if (++sync_skipped > kMaxUnsyncedPackets) {
            landed_late = true;  // the packets after the seek do not line up with the index
        }
        return cursor < index.length() ? cursor : -1;
    }

    // After a byte seek, packets are counted from the first that starts where an entry near the
    // one sought starts and is as large. Sizes alone are alike too often, and times mislead: the
    // piece of a picture before the first whole one carries the times of the next packet, and the
    // times the demuxer then counts on from it are one picture off.
    [[nodiscard]] int32_t entry_at(const AVPacket& p) const {
        if (p.pos < 0) return -1;
        const int32_t low = std::max(0, sync_entry - kSyncReach);
        const int32_t high = std::min(index.length() - 1, sync_entry + kSyncReach);
        for (int32_t n = low; n <= high; ++n) {
            const FilmIndexEntry& e = index.entries[static_cast<size_t>(n)];
            if (e.pos == p.pos && e.size == p.size) return n;
        }
        return -1;
    }

    // True when this packet is the keyframe awaited after a seek; sets `landed_late` when it is past it.
    bool is_awaited(const AVPacket& p, int32_t entry) {
        if (index.order != FilmOrder::Time) {
            if (entry > awaited) landed_late = true;
            return entry == awaited;
        }
        const FilmIndexEntry& e = awaited_at;
        if (p.pts != AV_NOPTS_VALUE && p.pts == e.pts) return true;
        if (p.pts == AV_NOPTS_VALUE && p.dts != AV_NOPTS_VALUE && p.dts == e.dts) return true;
        if (p.dts != AV_NOPTS_VALUE && p.dts > e.dts) landed_late = true;
        return false;
    }

    // Decodes the next picture the index knows into `latest`; nullopt at the end or when a seek
    // landed past its keyframe.
    std::optional<int32_t> next_picture() {
        for (;;) {
            const int received = avcodec_receive_frame(decoder.get(), scratch.get());
            if (received == 0) {
                const auto picture = picture_of(*scratch);
                if (!picture) {
                    av_frame_unref(scratch.get());
                    continue;
                }
                av_frame_unref(latest.get());
                av_frame_move_ref(latest.get(), scratch.get());
                return position = *picture;
            }
            if (received != AVERROR(EAGAIN) || input_ended) return std::nullopt;
            if (av_read_frame(input.format.get(), packet.get()) < 0) {
                input_ended = true;
                avcodec_send_packet(decoder.get(), nullptr);
                continue;
            }
            if (packet->stream_index == input.stream->index) {
                on_line(*packet);
                const int32_t entry = index.order == FilmOrder::Time ? -1 : entry_of(*packet);
                if (awaited >= 0 && is_awaited(*packet, entry)) awaited = -1;
                if (awaited < 0) {
                    if (entry >= 0) sent_picture = picture_of_frame(entry);
                    decoder->skip_frame = discard_for(*packet);
                    // A damaged packet is refused; the decoder resumes at the next good one.
                    avcodec_send_packet(decoder.get(), packet.get());
                } else if (landed_late) {
                    av_packet_unref(packet.get());
                    return std::nullopt;
                }
            }
            av_packet_unref(packet.get());
        }
    }

    // Joined recordings: the packet's times moved onto the index's line of times.
    void on_line(AVPacket& p) {
        if (index.pieces.empty()) return;
        if (p.pos >= 0) piece_offset = index.offset_at(p.pos);
        if (p.pts != AV_NOPTS_VALUE) p.pts += piece_offset;
        if (p.dts != AV_NOPTS_VALUE) p.dts += piece_offset;
    }

    void restart_decoder(int32_t synced_at) {
        avcodec_flush_buffers(decoder.get());
        cursor = -1;
        sync_entry = synced_at;
        sync_skipped = 0;
        position = -1;
        sent_picture = -1;
        input_ended = false;
        drained = 0;
        landed_late = false;
    }

    // The entry to seek to by byte for keyframe `key`: itself, or a packet before it (in program
    // streams only packets that start a PES have a position); -1 when none is near.
    [[nodiscard]] int32_t byte_entry(int32_t key) const {
        const FilmIndexEntry& e = index.entries[static_cast<size_t>(key)];
        for (int32_t n = key; n >= 0 && key - n < 1000; --n) {
            const FilmIndexEntry& before = index.entries[static_cast<size_t>(n)];
            if (before.pos >= 0 && before.dts <= e.dts) return n;
        }
        return -1;
    }

    // The entry decoding starts at for keyframe `key`: a cut film's first frames come from a
    // keyframe before them that is never shown.
    [[nodiscard]] FilmIndexEntry start_of(int32_t key) const {
        const FilmIndexEntry& e = index.entries[static_cast<size_t>(key)];
        if (key == keys.front() && !e.key && !index.lead.empty()) return index.lead.back();
        return e;
    }

    // Opens the file afresh, at its start: when seeking lands nowhere (wrong cue positions, an
    // index without keyframes) reading from the start still finds every picture.
    bool reopen() {
        FilmInput fresh = open_film_input(file);
        if (!fresh.stream || fresh.stream->index != input.stream->index || fresh.stream->codecpar->codec_id != input.stream->codecpar->codec_id)
            return false;
        input = std::move(fresh);
        piece_offset = 0;
        return true;
    }

    // Puts the demuxer before keyframe `key` and decodes its first picture: by byte where the
    // container has no seek index, else by time; when that lands past it or nowhere, from an
    // earlier point, and at last from the start of the file opened again.
    bool seek_to_key(int32_t key) {
        const FilmIndexEntry start = start_of(key);
        AVFormatContext* f = input.format.get();
        const int s = input.stream->index;
        const auto time_of = [&](const FilmIndexEntry& e) { return index.order == FilmOrder::Time ? std::min(e.pts, e.dts) : e.dts; };
        const int32_t by_byte = byte_seek ? byte_entry(key) : -1;
        for (int attempt = failed_seeks > kMaxFailedSeeks ? 2 : 0; attempt < 3; ++attempt) {
            int32_t synced_at = 0;
            bool moved = false;
            if (attempt < 2 && by_byte >= 0) {
                // The second time from the positioned packet before the first one's.
                synced_at = attempt == 0 ? by_byte : by_byte > 0 ? byte_entry(by_byte - 1) : -1;
                moved = synced_at >= 0 &&
                        av_seek_frame(f, -1, index.entries[static_cast<size_t>(synced_at)].pos, AVSEEK_FLAG_BYTE) >= 0;
            } else if (attempt < 2) {
                const int32_t earlier = key > 0 ? key_at_or_before(key - 1) : -1;
                const int64_t time = attempt == 0 ? time_of(start) : earlier >= 0 && earlier < key ? time_of(start_of(earlier)) : INT64_MIN;
                moved = (attempt == 0 || time != INT64_MIN) && av_seek_frame(f, s, time, AVSEEK_FLAG_BACKWARD) >= 0;
            } else {
                moved = reopen();
                f = input.format.get();
            }
            if (!moved) continue;
            restart_decoder(synced_at);
            // From the start of the file the first packet is the first entry's.
            if (attempt == 2) cursor = -2;
            awaited = key;
            awaited_at = start;
            if (next_picture()) {
                failed_seeks = attempt == 2 ? failed_seeks + 1 : 0;
                return true;
            }
        }
        awaited = -1;
        return false;
    }

    // Leaves picture `target` (of frame `frame`) in `latest`, or the first one after it when it is lost.
    bool decode_to(int32_t frame, int32_t target) {
        if (position == target) return true;
        skip_below = target;
        const bool reached = decode_onwards_to(frame, target);
        skip_below = -1;
        return reached;
    }

    bool decode_onwards_to(int32_t frame, int32_t target) {
        const int32_t key = key_at_or_before(frame);
        const bool onwards = position >= 0 && target > position && picture_of_frame(key) <= position + 1;
        if (!onwards) {
            int32_t start = key;
            for (int back = 0;; ++back) {
                if (!seek_to_key(start)) return false;
                if (position <= target || start == keys.front() || back == kMaxSeekBacks) break;
                // The keyframe's first picture comes after the target (leading pictures of an
                // open group): start one keyframe further back.
                start = key_at_or_before(start - 1);
            }
        }
        while (position < target) {
            if (!next_picture()) {
                position = -1;
                return false;
            }
        }
        return true;
    }

    void close() {
        decoder.reset();
        threads_pending = 1;
        input = FilmInput{};
        index = FilmIndex{};
        keys.clear();
        position = shown_frame = shown_picture = -1;
        awaited = -1;
        failed_frame = failed_group = -1;
        failed_seeks = 0;
        piece_offset = 0;
        if (shown) av_frame_unref(shown.get());
        if (latest) av_frame_unref(latest.get());
    }

    bool open(const std::filesystem::path& film, const std::function<void(int)>& progress, int threads) {
        close();
        if (!scratch || !latest || !shown || !packet) return false;
        auto built = film_index(film, progress);
        if (!built) return false;
        input = open_film_input(film);
        if (!input.stream) return fail();
        const AVCodecParameters& par = *input.stream->codecpar;
        if (par.width != built->width || par.height != built->height) {
            // Not what the cache said the film was: indexed again, never refused for it.
            built = film_index(film, progress, true);
            if (!built || par.width != built->width || par.height != built->height) return fail();
        }
        index = std::move(*built);
        file = film;
        int32_t first_data = -1;  // AVI: empty samples before it show its picture
        for (int32_t n = 0; n < index.length(); ++n) {
            const FilmIndexEntry& e = index.entries[static_cast<size_t>(n)];
            if (e.key && !e.empty) keys.push_back(n);
            if (!e.empty && first_data < 0) {
                sample_origin = e.dts - n;
                first_data = n;
            }
        }
        if (first_data < 0) return fail();
        // Decoding starts at the first picture, keyframe or not.
        if (keys.empty() || keys.front() > first_data) keys.insert(keys.begin(), first_data);
        byte_seek = index.order == FilmOrder::Decode || seeks_by_byte(*input.format);

        if (!open_codec(1)) return fail();
        threads_pending = threads;
        return true;
    }

    // A fresh decoder, on `threads` of FFmpeg's threads when the film is large (0: one core left to
    // the window, whose ticks must not wait, and at most 4).
    bool open_codec(int threads) {
        const AVCodecParameters& par = *input.stream->codecpar;
        const AVCodec* codec = avcodec_find_decoder(par.codec_id);
        if (codec == nullptr) return false;
        ff::CodecContext context(avcodec_alloc_context3(codec));
        if (!context || avcodec_parameters_to_context(context.get(), &par) < 0) return false;
        context->thread_count = 1;
        if (threads == 0) threads = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 2u, 5u)) - 1;
        if (threads > 1 && static_cast<int64_t>(par.width) * par.height >= kThreadedPixels) {
            context->thread_count = threads;
            // Pictures without times are numbered by the decoder's delay, which frame threads lengthen
            // by a packet a thread: known for AVI samples, not for program streams counted by packet.
            context->thread_type = index.order != FilmOrder::Decode ? FF_THREAD_FRAME | FF_THREAD_SLICE : FF_THREAD_SLICE;
        }
        if (avcodec_open2(context.get(), codec, nullptr) < 0) return false;
        decoder = std::move(context);
        position = -1;  // the next frame starts with a seek
        return true;
    }

    bool fail() {
        close();
        return false;
    }

    bool decode(int32_t frame) {
        if (threads_pending != 1 && is_open()) {
            // Started by the thread that decodes, so FFmpeg's threads share its priority; the
            // single-threaded decoder stays when this fails.
            open_codec(std::exchange(threads_pending, 1));
        }
        if (!is_open() || frame < 0 || frame >= index.length()) return false;
        const int32_t target = picture_of_frame(frame);
        if (target != shown_picture) {
            const int32_t group = key_at_or_before(frame);
            if (group == failed_group && frame >= failed_frame) return false;
            if (!decode_to(frame, target)) {
                // Damaged: this frame and the rest of its group; the next group is tried afresh.
                failed_frame = frame;
                failed_group = group;
                return false;
            }
            failed_group = -1;
            av_frame_unref(shown.get());
            if (av_frame_ref(shown.get(), latest.get()) < 0) return false;
            shown_picture = target;
        }
        shown_frame = frame;
        return true;
    }
};

FfmpegFrameReader::FfmpegFrameReader() : impl_(std::make_unique<Impl>()) {}

FfmpegFrameReader::~FfmpegFrameReader() = default;

bool FfmpegFrameReader::open(const std::filesystem::path& file) { return impl_->open(file, {}, 1); }

bool FfmpegFrameReader::open(const std::filesystem::path& file, const std::function<void(int)>& progress, int threads) {
    return impl_->open(file, progress, threads);
}

int32_t FfmpegFrameReader::length() const { return impl_->is_open() ? impl_->index.length() : -1; }

bool FfmpegFrameReader::frame(int32_t index, FrameImage& out) {
    if (!impl_->is_open()) return false;
    impl_->decode(index);  // outside the film or undecodable: the last picture again
    if (impl_->shown_picture < 0) return false;
    out.width = impl_->index.width;
    out.height = impl_->index.height;
    out.pixels.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
    return convert(reinterpret_cast<uint8_t*>(out.pixels.data()), out.width * 4, out.width, out.height);
}

double FfmpegFrameReader::frame_rate() const {
    return impl_->is_open() ? static_cast<double>(impl_->index.rate_num) / impl_->index.rate_den : 0.0;
}

int FfmpegFrameReader::width() const { return impl_->is_open() ? impl_->index.width : 0; }

int FfmpegFrameReader::height() const { return impl_->is_open() ? impl_->index.height : 0; }

const FilmIndex* FfmpegFrameReader::index() const { return impl_->is_open() ? &impl_->index : nullptr; }

bool FfmpegFrameReader::decode(int32_t index) { return impl_->decode(index); }

int32_t FfmpegFrameReader::current() const { return impl_->shown_picture >= 0 ? impl_->shown_frame : -1; }

bool FfmpegFrameReader::convert(uint8_t* pixels, int stride, int width, int height) {
    if (impl_->shown_picture < 0) return false;
    return impl_->converter.convert(*impl_->shown, pixels, stride, width, height);
}

int32_t FfmpegFrameReader::group_start(int32_t index) const {
    if (!impl_->is_open()) return 0;
    return impl_->key_at_or_before(std::clamp(index, 0, impl_->index.length() - 1));
}

}  // namespace vantrel
