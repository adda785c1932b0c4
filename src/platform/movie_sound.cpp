#include "platform/movie_sound.hpp"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <vector>

#include "platform/ffmpeg_handles.hpp"

namespace vantrel {

namespace {

constexpr size_t kMaxSamples = 48000u * 600u;  // ten minutes at 48 kHz: the movie phase ends sooner

// One decoded frame mixed down to mono 16-bit; formats other than the plain PCM ones are skipped.
void append_mono(const AVFrame& f, std::vector<int16_t>& out) {
    const int channels = std::max(1, f.ch_layout.nb_channels);
    const auto format = static_cast<AVSampleFormat>(f.format);
    const bool planar = av_sample_fmt_is_planar(format) != 0;
    auto sample = [&](int ch, int i) -> double {
        const int plane = planar ? ch : 0;
        const int index = planar ? i : i * channels + ch;
        const uint8_t* data = f.extended_data[plane];
        switch (av_get_packed_sample_fmt(format)) {
            case AV_SAMPLE_FMT_U8: return (data[index] - 128) / 128.0;
            case AV_SAMPLE_FMT_S16: return reinterpret_cast<const int16_t*>(data)[index] / 32768.0;
            case AV_SAMPLE_FMT_S32: return reinterpret_cast<const int32_t*>(data)[index] / 2147483648.0;
            case AV_SAMPLE_FMT_FLT: return reinterpret_cast<const float*>(data)[index];
            case AV_SAMPLE_FMT_DBL: return reinterpret_cast<const double*>(data)[index];
            default: return 0;
        }
    };
    for (int i = 0; i < f.nb_samples && out.size() < kMaxSamples; ++i) {
        double sum = 0;
        for (int ch = 0; ch < channels; ++ch) sum += sample(ch, i);
        const double v = std::clamp(sum / channels, -1.0, 1.0);
        out.push_back(static_cast<int16_t>(v * 32767.0));
    }
}

void put32(std::ofstream& out, uint32_t v) {
    const char b[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
    out.write(b, 4);
}

void put16(std::ofstream& out, uint16_t v) {
    const char b[2] = {static_cast<char>(v), static_cast<char>(v >> 8)};
    out.write(b, 2);
}

bool write_wave(const std::filesystem::path& file, const std::vector<int16_t>& samples, int rate) {
    std::ofstream out(file, std::ios::binary);
    const auto bytes = static_cast<uint32_t>(samples.size() * 2);
    out.write("RIFF", 4);
    put32(out, 36 + bytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // mono
    put32(out, static_cast<uint32_t>(rate));
    put32(out, static_cast<uint32_t>(rate) * 2);
    put16(out, 2);
    put16(out, 16);
    out.write("data", 4);
    put32(out, bytes);
    for (int16_t s : samples) put16(out, static_cast<uint16_t>(s));
    return static_cast<bool>(out);
}

}  // namespace

bool extract_movie_sound(const std::filesystem::path& movie, const std::filesystem::path& wave) {
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, movie.string().c_str(), nullptr, nullptr) < 0) return false;
    const ff::InputContext format(raw);
    if (avformat_find_stream_info(format.get(), nullptr) < 0) return false;
    const int stream = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (stream < 0) return false;
    const AVCodecParameters* params = format->streams[stream]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(params->codec_id);
    if (!codec) return false;
    const ff::CodecContext decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), params) < 0 ||
        avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return false;
    const int rate = decoder->sample_rate;
    if (rate <= 0 || rate > 384000) return false;

    std::vector<int16_t> samples;
    const ff::Packet packet = ff::make_packet();
    const ff::Frame frame = ff::make_frame();
    auto drain = [&] {
        while (avcodec_receive_frame(decoder.get(), frame.get()) >= 0) {
            append_mono(*frame, samples);
            av_frame_unref(frame.get());
        }
    };
    while (av_read_frame(format.get(), packet.get()) >= 0) {
        if (packet->stream_index == stream && avcodec_send_packet(decoder.get(), packet.get()) >= 0) drain();
        av_packet_unref(packet.get());
        if (samples.size() >= kMaxSamples) break;
    }
    avcodec_send_packet(decoder.get(), nullptr);
    drain();
    return !samples.empty() && write_wave(wave, samples, rate);
}

}  // namespace vantrel
