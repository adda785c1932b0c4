#include "platform/ffmpeg_frame_reader.hpp"

#include <algorithm>
#include <optional>

#include "platform/ffmpeg_handles.hpp"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace vantrel {

namespace {

constexpr int kMaxSide = 16384;
// Seeks tried for one frame before giving up on it (each lands one keyframe further back).
constexpr int kMaxSeeks = 8;
// Without a seek index: how far ahead a target may lie and still be reached by decoding on.
constexpr int64_t kStraightWithoutIndex = 60;

bool is_full_range(const AVFrame& frame) {
    switch (frame.format) {
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUVJ422P:
    case AV_PIX_FMT_YUVJ444P:
    case AV_PIX_FMT_YUVJ440P:
    case AV_PIX_FMT_YUVJ411P:
        return true;
    default:
        return frame.color_range == AVCOL_RANGE_JPEG;
    }
}

// The full-range formats are the limited-range layouts with another range flag; naming the
// layout and passing the range keeps swscale from guessing.
AVPixelFormat plain_layout(int format) {
    switch (format) {
    case AV_PIX_FMT_YUVJ420P: return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P: return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P: return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P: return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P: return AV_PIX_FMT_YUV411P;
    default: return static_cast<AVPixelFormat>(format);
    }
}

}  // namespace

struct FfmpegFrameReader::Impl {
    ff::InputContext format;
    ff::CodecContext decoder;
    AVStream* stream = nullptr;
    ff::Frame decoded = ff::make_frame();
    ff::Packet packet = ff::make_packet();
    ff::ScaleContext scale;
    int scale_width = 0, scale_height = 0, scale_format = -1;
    bool scale_full_range = false;

    int width = 0, height = 0;
    int32_t frame_count = -1;
    AVRational rate{0, 1};      // frames per second
    int64_t start_time = 0;     // stream time base

    // Decoder position: index of the frame it gave last, -1 when it must seek first.
    int64_t position = -1;
    bool input_ended = false;   // end of file sent to the decoder
    std::optional<int64_t> first_packet;  // index of the first packet read after the last seek
    std::optional<int64_t> last_packet;   // index of the last packet read
    bool decode_order_times = false;      // packets come without presentation times (AVI)
    // Frames from here on cannot be decoded (the file ends early): the last frame is reused.
    int64_t decodable_end = INT64_MAX;

    ff::Frame shown = ff::make_frame();  // the picture handed out last (a reference, not a copy)
    int64_t last_index = -1;

    [[nodiscard]] int64_t to_index(int64_t timestamp) const {
        return av_rescale_q_rnd(timestamp - start_time, stream->time_base, av_inv_q(rate),
                                static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
    }
    [[nodiscard]] int64_t to_timestamp(int64_t index) const {
        return start_time + av_rescale_q(index, av_inv_q(rate), stream->time_base);
    }

    // Index of the frame just decoded. AVI stores only decoding times, so the best-effort time
    // of a frame is that of the packet that pushed it out of the decoder: one decoder delay late
    // when the stream has B-frames (and at the end, where no packet pushes, it is unknown).
    int64_t index_of(const AVFrame& frame) {
        const int64_t timestamp = frame.best_effort_timestamp;
        if (timestamp == AV_NOPTS_VALUE) {
            // Drained at the end: each frame stands one packet further on.
            if (decode_order_times && last_packet) return ++*last_packet - decoder->has_b_frames;
            return position + 1;
        }
        int64_t index = to_index(timestamp);
        if (decode_order_times) index -= decoder->has_b_frames;
        return index;
    }

    // Decodes the next frame into `decoded`; nullopt at the end of the stream or on a fatal error.
    std::optional<int64_t> next_frame() {
        for (;;) {
            const int received = avcodec_receive_frame(decoder.get(), decoded.get());
            if (received == 0) {
                position = index_of(*decoded);
                return position;
            }
            if (received != AVERROR(EAGAIN) || input_ended) return std::nullopt;
            const int read = av_read_frame(format.get(), packet.get());
            if (read < 0) {
                input_ended = true;
                avcodec_send_packet(decoder.get(), nullptr);
                continue;
            }
            if (packet->stream_index == stream->index) {
                if (packet->dts != AV_NOPTS_VALUE) {
                    last_packet = to_index(packet->dts);
                    if (!first_packet) first_packet = last_packet;
                }
                if (packet->pts == AV_NOPTS_VALUE && packet->dts != AV_NOPTS_VALUE) decode_order_times = true;
                // A damaged packet is skipped; the decoder resumes at the next good one.
                avcodec_send_packet(decoder.get(), packet.get());
            }
            av_packet_unref(packet.get());
        }
    }

    bool seek(int64_t index) {
        const int64_t timestamp = to_timestamp(std::max<int64_t>(index, 0));
        if (av_seek_frame(format.get(), stream->index, timestamp, AVSEEK_FLAG_BACKWARD) < 0) {
            // Before the first keyframe, or no index: back to the start.
            if (index > 0 || av_seek_frame(format.get(), stream->index, start_time, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) < 0) {
                return false;
            }
        }
        avcodec_flush_buffers(decoder.get());
        position = -1;
        input_ended = false;
        first_packet.reset();
        last_packet.reset();
        return true;
    }

    // Index of the keyframe at or before `index` in the seek index, or nullopt without one.
    [[nodiscard]] std::optional<int64_t> keyframe_before(int64_t index) const {
        const AVIndexEntry* entry =
            avformat_index_get_entry_from_timestamp(stream, to_timestamp(index), AVSEEK_FLAG_BACKWARD);
        if (entry == nullptr) return std::nullopt;
        return to_index(entry->timestamp);
    }

    // True when decoding on from the current position reaches `target` no later than a seek would.
    [[nodiscard]] bool ahead_in_group(int64_t target) const {
        if (position < 0 || target <= position) return false;
        if (const auto key = keyframe_before(target)) return *key <= position + 1;
        return target - position <= kStraightWithoutIndex;
    }

    // Leaves the decoder on frame `target` (or the first one after a gap at it).
    bool decode_to(int64_t target) {
        if (!ahead_in_group(target)) {
            int64_t seek_index = target;
            for (int attempt = 0;; ++attempt) {
                if (attempt == kMaxSeeks || !seek(seek_index)) return false;
                const auto first = next_frame();
                if (!first) return false;
                if (*first <= target) break;
                // Landed on a keyframe after the target (its packet time is earlier than its
                // picture time): try the keyframe before it.
                if (seek_index <= 0) break;
                seek_index = std::min(seek_index, first_packet.value_or(seek_index)) - 1;
            }
            if (position >= target) return true;
        }
        while (position < target) {
            if (!next_frame()) {
                position = -1;
                return false;
            }
        }
        return true;
    }

    bool convert(const AVFrame& f, FrameImage& out) {
        if (f.width <= 0 || f.height <= 0) return false;
        const bool full = is_full_range(f);
        if (!scale || f.width != scale_width || f.height != scale_height || f.format != scale_format ||
            full != scale_full_range) {
            scale.reset(sws_getContext(f.width, f.height, plain_layout(f.format), width, height, AV_PIX_FMT_RGB32,
                                       SWS_BILINEAR, nullptr, nullptr, nullptr));
            if (!scale) return false;
            const int* table = sws_getCoefficients(SWS_CS_ITU601);
            sws_setColorspaceDetails(scale.get(), table, full ? 1 : 0, table, 1, 0, 1 << 16, 1 << 16);
            scale_width = f.width;
            scale_height = f.height;
            scale_format = f.format;
            scale_full_range = full;
        }
        out.width = width;
        out.height = height;
        out.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
        uint8_t* planes[4] = {reinterpret_cast<uint8_t*>(out.pixels.data()), nullptr, nullptr, nullptr};
        const int strides[4] = {width * 4, 0, 0, 0};
        if (sws_scale(scale.get(), f.data, f.linesize, 0, f.height, planes, strides) != height) return false;
        // Without an alpha channel in the source the converter writes opaque pixels already.
        const AVPixFmtDescriptor* layout = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(f.format));
        if (layout != nullptr && (layout->flags & AV_PIX_FMT_FLAG_ALPHA) != 0) {
            for (uint32_t& pixel : out.pixels) pixel |= 0xFF000000u;
        }
        return true;
    }

    void close() {
        scale.reset();
        decoder.reset();
        format.reset();
        stream = nullptr;
        frame_count = -1;
        rate = AVRational{0, 1};
        position = -1;
        decode_order_times = false;
        decodable_end = INT64_MAX;
        if (shown) av_frame_unref(shown.get());
        last_index = -1;
    }

    // Number of frames when the container does not say: from the duration, or by counting packets.
    int32_t count_frames() {
        if (stream->duration > 0) return static_cast<int32_t>(std::min<int64_t>(to_index(start_time + stream->duration), INT32_MAX));
        if (format->duration > 0) {
            const int64_t frames = av_rescale_q(format->duration, AV_TIME_BASE_Q, av_inv_q(rate));
            return static_cast<int32_t>(std::min<int64_t>(frames, INT32_MAX));
        }
        int64_t count = 0;
        while (av_read_frame(format.get(), packet.get()) >= 0) {
            if (packet->stream_index == stream->index) ++count;
            av_packet_unref(packet.get());
        }
        av_seek_frame(format.get(), stream->index, start_time, AVSEEK_FLAG_BACKWARD);
        return static_cast<int32_t>(std::min<int64_t>(count, INT32_MAX));
    }

    bool open(const std::filesystem::path& file) {
        close();
        if (!decoded || !packet || !shown) return false;
        // A pipe or a device named as the video would block or never end.
        std::error_code error;
        if (!std::filesystem::is_regular_file(file, error)) return false;
        AVFormatContext* raw = nullptr;
        if (avformat_open_input(&raw, file.string().c_str(), nullptr, nullptr) < 0) return false;
        format.reset(raw);
        if (avformat_find_stream_info(format.get(), nullptr) < 0) return fail();
        for (unsigned i = 0; i < format->nb_streams; ++i) {
            AVStream* s = format->streams[i];
            const bool video = s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && (s->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0;
            if (video && stream == nullptr) {
                stream = s;
            } else {
                s->discard = AVDISCARD_ALL;
            }
        }
        if (stream == nullptr) return fail();
        const AVCodecParameters& par = *stream->codecpar;
        if (par.width <= 0 || par.height <= 0 || par.width > kMaxSide || par.height > kMaxSide) return fail();
        const AVCodec* codec = avcodec_find_decoder(par.codec_id);
        if (codec == nullptr) return fail();
        decoder.reset(avcodec_alloc_context3(codec));
        if (!decoder || avcodec_parameters_to_context(decoder.get(), &par) < 0) return fail();
        decoder->thread_count = 1;  // frame threads would add delay to every seek
        if (avcodec_open2(decoder.get(), codec, nullptr) < 0) return fail();

        width = par.width;
        height = par.height;
        rate = stream->avg_frame_rate;
        if (rate.num <= 0 || rate.den <= 0) rate = stream->r_frame_rate;
        if (rate.num <= 0 || rate.den <= 0) rate = av_inv_q(stream->time_base);
        if (rate.num <= 0 || rate.den <= 0) return fail();
        start_time = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
        const int64_t counted = stream->nb_frames > 0 ? stream->nb_frames : count_frames();
        frame_count = static_cast<int32_t>(std::clamp<int64_t>(counted, 0, INT32_MAX));
        return true;
    }

    bool fail() {
        close();
        return false;
    }

    bool frame(int32_t index, FrameImage& out) {
        if (!stream) return false;
        const bool in_range = index >= 0 && index < frame_count && index < decodable_end;
        if (in_range && index != last_index) {
            if (decode_to(index)) {
                av_frame_unref(shown.get());
                av_frame_move_ref(shown.get(), decoded.get());
                last_index = position;
            } else if (input_ended) {
                // The file ends early: every later frame is the last one that could be shown.
                decodable_end = std::min<int64_t>(decodable_end, index);
            }
        }
        if (last_index < 0) return false;
        return convert(*shown, out);
    }
};

FfmpegFrameReader::FfmpegFrameReader() : impl_(std::make_unique<Impl>()) {}

FfmpegFrameReader::~FfmpegFrameReader() = default;

bool FfmpegFrameReader::open(const std::filesystem::path& file) { return impl_->open(file); }

int32_t FfmpegFrameReader::length() const { return impl_->stream ? impl_->frame_count : -1; }

bool FfmpegFrameReader::frame(int32_t index, FrameImage& out) { return impl_->frame(index, out); }

double FfmpegFrameReader::frame_rate() const { return impl_->stream ? av_q2d(impl_->rate) : 0.0; }

}  // namespace vantrel
