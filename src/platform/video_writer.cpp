#include "platform/video_writer.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/ffmpeg_handles.hpp"

namespace vantrel {

struct VideoWriter::Impl {
    VideoWriterOptions options;
    ff::OutputContext format;
    ff::CodecContext video;
    ff::CodecContext audio;
    AVStream* video_stream = nullptr;
    AVStream* audio_stream = nullptr;
    ff::ScaleContext scale;
    ff::Frame picture;
    ff::Packet packet = ff::make_packet();
    int64_t frames_added = 0;
    std::vector<int16_t> pending_audio;  // interleaved samples not yet encoded
    int64_t audio_samples_sent = 0;      // per channel
    bool finished = false;
    bool failed = false;

    // Sends everything the encoder has ready to the muxer.
    bool drain(AVCodecContext* codec, AVStream* stream) {
        for (;;) {
            const int got = avcodec_receive_packet(codec, packet.get());
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
            if (got < 0) return false;
            av_packet_rescale_ts(packet.get(), codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (av_interleaved_write_frame(format.get(), packet.get()) < 0) return false;
        }
    }

    bool encode(AVCodecContext* codec, AVStream* stream, const AVFrame* frame) {
        if (avcodec_send_frame(codec, frame) < 0) return false;
        return drain(codec, stream);
    }

    // Samples per channel that belong before the end of the video frames added so far.
    [[nodiscard]] int64_t audio_due() const {
        return av_rescale(frames_added, options.audio_rate, options.frame_rate);
    }

    // Encodes pending sound up to `until` samples per channel, in chunks of at most one
    // video frame's length, so that the muxer interleaves sound and pictures closely.
    bool send_audio(int64_t until) {
        if (!audio) return true;
        const int channels = options.audio_channels;
        const int64_t chunk_max = std::max<int64_t>(1, options.audio_rate / options.frame_rate);
        size_t used = 0;
        while (audio_samples_sent < until) {
            const int64_t available = static_cast<int64_t>(pending_audio.size() - used) / channels;
            const int64_t count = std::min({chunk_max, until - audio_samples_sent, available});
            if (count <= 0) break;
            ff::Frame chunk = ff::make_frame();
            if (!chunk) return false;
            chunk->format = AV_SAMPLE_FMT_S16;
            chunk->sample_rate = options.audio_rate;
            chunk->nb_samples = static_cast<int>(count);
            if (av_channel_layout_copy(&chunk->ch_layout, &audio->ch_layout) < 0) return false;
            if (av_frame_get_buffer(chunk.get(), 0) < 0) return false;
            std::memcpy(chunk->data[0], pending_audio.data() + used,
                        static_cast<size_t>(count * channels) * sizeof(int16_t));
            chunk->pts = audio_samples_sent;
            if (!encode(audio.get(), audio_stream, chunk.get())) return false;
            audio_samples_sent += count;
            used += static_cast<size_t>(count * channels);
        }
        pending_audio.erase(pending_audio.begin(), pending_audio.begin() + static_cast<std::ptrdiff_t>(used));
        return true;
    }
};

namespace {

ff::CodecContext open_video_encoder(const VideoWriterOptions& o, bool global_header, std::string& error) {
    const bool mjpeg = o.codec == VideoWriterOptions::Codec::Mjpeg;
    const AVCodec* encoder = avcodec_find_encoder(mjpeg ? AV_CODEC_ID_MJPEG : AV_CODEC_ID_MPEG4);
    if (encoder == nullptr) {
        error = mjpeg ? "no MJPEG encoder" : "no MPEG-4 encoder";
        return {};
    }
    ff::CodecContext codec(avcodec_alloc_context3(encoder));
    if (!codec) {
        error = "out of memory";
        return {};
    }
    codec->width = o.width;
    codec->height = o.height;
    codec->time_base = AVRational{1, o.frame_rate};
    codec->framerate = AVRational{o.frame_rate, 1};
    codec->sample_aspect_ratio = AVRational{1, 1};
    // MJPEG stores full-range samples: the decoder must read them back as full range.
    codec->pix_fmt = mjpeg ? AV_PIX_FMT_YUVJ420P : AV_PIX_FMT_YUV420P;
    codec->color_range = mjpeg ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
    codec->gop_size = mjpeg ? 1 : std::max(1, o.keyframe_every);
    codec->max_b_frames = mjpeg ? 0 : std::clamp(o.b_frames, 0, 16);
    codec->flags |= AV_CODEC_FLAG_QSCALE | AV_CODEC_FLAG_BITEXACT;
    codec->global_quality = FF_QP2LAMBDA * std::clamp(o.quality, 1, 31);
    codec->thread_count = 1;  // the same input gives the same bytes
    if (global_header) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const int opened = avcodec_open2(codec.get(), encoder, nullptr);
    if (opened < 0) {
        error = "cannot open the video encoder: " + ff::error_text(opened);
        return {};
    }
    return codec;
}

ff::CodecContext open_audio_encoder(const VideoWriterOptions& o, bool global_header, std::string& error) {
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE);
    if (encoder == nullptr) {
        error = "no PCM encoder";
        return {};
    }
    ff::CodecContext codec(avcodec_alloc_context3(encoder));
    if (!codec) {
        error = "out of memory";
        return {};
    }
    codec->sample_fmt = AV_SAMPLE_FMT_S16;
    codec->sample_rate = o.audio_rate;
    codec->time_base = AVRational{1, o.audio_rate};
    av_channel_layout_default(&codec->ch_layout, o.audio_channels);
    codec->flags |= AV_CODEC_FLAG_BITEXACT;
    if (global_header) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const int opened = avcodec_open2(codec.get(), encoder, nullptr);
    if (opened < 0) {
        error = "cannot open the sound encoder: " + ff::error_text(opened);
        return {};
    }
    return codec;
}

AVStream* add_stream(AVFormatContext* format, const AVCodecContext* codec) {
    AVStream* stream = avformat_new_stream(format, nullptr);
    if (stream == nullptr) return nullptr;
    if (avcodec_parameters_from_context(stream->codecpar, codec) < 0) return nullptr;
    stream->time_base = codec->time_base;
    return stream;
}

}  // namespace

VideoWriter::VideoWriter(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

VideoWriter::~VideoWriter() { finish(); }

std::unique_ptr<VideoWriter> VideoWriter::open(const std::filesystem::path& file, const VideoWriterOptions& options,
                                               std::string& error) {
    const VideoWriterOptions& o = options;
    if (o.width <= 0 || o.height <= 0 || o.width % 2 != 0 || o.height % 2 != 0 || o.width > 8192 ||
        o.height > 8192) {
        error = "the picture size must be even and between 2 and 8192";
        return nullptr;
    }
    if (o.frame_rate <= 0 || o.frame_rate > 1000) {
        error = "the frame rate must be between 1 and 1000";
        return nullptr;
    }
    if (o.audio_rate < 0 || o.audio_rate > 384000 || (o.audio_rate > 0 && (o.audio_channels < 1 || o.audio_channels > 8))) {
        error = "the sound track needs a rate up to 384000 and 1 to 8 channels";
        return nullptr;
    }

    auto impl = std::make_unique<Impl>();
    impl->options = o;
    AVFormatContext* raw = nullptr;
    const std::string name = file.string();
    if (avformat_alloc_output_context2(&raw, nullptr, "avi", name.c_str()) < 0 || raw == nullptr) {
        error = "no AVI muxer";
        return nullptr;
    }
    impl->format.reset(raw);
    AVFormatContext* format = impl->format.get();
    format->flags |= AVFMT_FLAG_BITEXACT;
    const bool global_header = (format->oformat->flags & AVFMT_GLOBALHEADER) != 0;

    impl->video = open_video_encoder(o, global_header, error);
    if (!impl->video) return nullptr;
    impl->video_stream = add_stream(format, impl->video.get());
    if (impl->video_stream == nullptr) {
        error = "cannot add the video stream";
        return nullptr;
    }
    if (o.audio_rate > 0) {
        impl->audio = open_audio_encoder(o, global_header, error);
        if (!impl->audio) return nullptr;
        impl->audio_stream = add_stream(format, impl->audio.get());
        if (impl->audio_stream == nullptr) {
            error = "cannot add the sound stream";
            return nullptr;
        }
    }

    impl->scale.reset(sws_getContext(o.width, o.height, AV_PIX_FMT_RGB32, o.width, o.height, AV_PIX_FMT_YUV420P,
                                     SWS_BICUBIC | SWS_ACCURATE_RND | SWS_BITEXACT, nullptr, nullptr, nullptr));
    if (!impl->scale) {
        error = "cannot set up the colour conversion";
        return nullptr;
    }
    if (o.codec == VideoWriterOptions::Codec::Mjpeg) {
        // Full-range output written into yuv420p planes, which is the yuvj420p layout.
        const int* table = sws_getCoefficients(SWS_CS_ITU601);
        sws_setColorspaceDetails(impl->scale.get(), table, 1, table, 1, 0, 1 << 16, 1 << 16);
    }
    impl->picture = ff::make_frame();
    if (!impl->picture || !impl->packet) {
        error = "out of memory";
        return nullptr;
    }
    impl->picture->format = impl->video->pix_fmt;
    impl->picture->width = o.width;
    impl->picture->height = o.height;
    impl->picture->color_range = impl->video->color_range;
    if (av_frame_get_buffer(impl->picture.get(), 0) < 0) {
        error = "out of memory";
        return nullptr;
    }

    const int opened = avio_open(&format->pb, name.c_str(), AVIO_FLAG_WRITE);
    if (opened < 0) {
        error = "cannot create " + name + ": " + ff::error_text(opened);
        return nullptr;
    }
    const int header = avformat_write_header(format, nullptr);
    if (header < 0) {
        error = "cannot write the AVI header: " + ff::error_text(header);
        return nullptr;
    }
    return std::unique_ptr<VideoWriter>(new VideoWriter(std::move(impl)));
}

bool VideoWriter::add_frame(const FrameImage& image) {
    Impl& m = *impl_;
    if (m.finished || m.failed) return false;
    if (image.width != m.options.width || image.height != m.options.height ||
        image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height)) {
        return false;
    }
    // The encoder may still hold a reference to the previous picture's buffers.
    if (av_frame_make_writable(m.picture.get()) < 0) {
        m.failed = true;
        return false;
    }
    const auto* source = reinterpret_cast<const uint8_t*>(image.pixels.data());
    const uint8_t* planes[1] = {source};
    const int strides[1] = {image.width * 4};
    sws_scale(m.scale.get(), planes, strides, 0, image.height, m.picture->data, m.picture->linesize);
    m.picture->pts = m.frames_added;
    m.picture->quality = m.video->global_quality;
    if (!m.encode(m.video.get(), m.video_stream, m.picture.get())) {
        m.failed = true;
        return false;
    }
    ++m.frames_added;
    if (!m.send_audio(m.audio_due())) m.failed = true;
    return !m.failed;
}

bool VideoWriter::add_audio(std::span<const int16_t> samples) {
    Impl& m = *impl_;
    if (m.finished || m.failed || !m.audio) return false;
    if (samples.size() % static_cast<size_t>(m.options.audio_channels) != 0) return false;
    m.pending_audio.insert(m.pending_audio.end(), samples.begin(), samples.end());
    if (!m.send_audio(m.audio_due())) m.failed = true;
    return !m.failed;
}

bool VideoWriter::finish() {
    Impl& m = *impl_;
    if (m.finished) return !m.failed;
    m.finished = true;
    bool ok = !m.failed;
    if (ok) ok = m.encode(m.video.get(), m.video_stream, nullptr);
    if (ok && m.audio) {
        ok = m.send_audio(INT64_MAX) && m.encode(m.audio.get(), m.audio_stream, nullptr);
    }
    if (ok) ok = av_interleaved_write_frame(m.format.get(), nullptr) >= 0;
    if (ok) ok = av_write_trailer(m.format.get()) >= 0;
    if (avio_closep(&m.format->pb) < 0) ok = false;
    m.failed = !ok;
    return ok;
}

}  // namespace vantrel
