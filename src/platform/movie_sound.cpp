#include "platform/movie_sound.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/ffmpeg_handles.hpp"
#include "platform/openal_mixer.hpp"

namespace vantrel {

namespace {

constexpr int kMaxRate = 384000;

// Appends one decoded frame mixed down to mono 16-bit, up to `limit` samples in all;
// formats other than the plain PCM ones are skipped.
void append_mono(const AVFrame& f, std::vector<int16_t>& out, size_t limit) {
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
    for (int i = 0; i < f.nb_samples && out.size() < limit; ++i) {
        double sum = 0;
        for (int ch = 0; ch < channels; ++ch) sum += sample(ch, i);
        const double v = std::clamp(sum / channels * 32768.0, -32768.0, 32767.0);
        out.push_back(static_cast<int16_t>(v == v ? std::nearbyint(v) : 0.0));
    }
}

// Seconds from the stream's time base; nullopt without a time.
std::optional<double> seconds_of(int64_t pts, AVRational base) {
    if (pts == AV_NOPTS_VALUE) return std::nullopt;
    return static_cast<double>(pts) * av_q2d(base);
}

}  // namespace

std::optional<MonoWave> decode_movie_sound(const std::filesystem::path& movie, double seconds, std::stop_token stop) {
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, movie.string().c_str(), nullptr, nullptr) < 0) return std::nullopt;
    const ff::InputContext format(raw);
    int stream = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    // Probing the streams decodes a little of each: only when the header leaves the sound's
    // format open.
    if (stream >= 0) {
        const AVCodecParameters* p = format->streams[stream]->codecpar;
        if (p->sample_rate <= 0 || p->ch_layout.nb_channels <= 0) {
            if (avformat_find_stream_info(format.get(), nullptr) < 0) return std::nullopt;
            stream = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        }
    }
    if (stream < 0) return std::nullopt;
    // The pictures' packets are read for the first one's time only, never decoded.
    const int video = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const bool wanted = static_cast<int>(i) == stream || static_cast<int>(i) == video;
        format->streams[i]->discard = wanted ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    }
    const AVStream* track = format->streams[stream];
    const AVCodec* codec = avcodec_find_decoder(track->codecpar->codec_id);
    if (!codec) return std::nullopt;
    const ff::CodecContext decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), track->codecpar) < 0 ||
        avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return std::nullopt;
    const int rate = decoder->sample_rate;
    if (rate <= 0 || rate > kMaxRate) return std::nullopt;

    MonoWave wave;
    wave.sample_rate = rate;
    seconds = std::max(0.0, seconds);
    const auto limit = static_cast<size_t>(seconds * rate);
    std::optional<double> first_picture = video < 0 ? std::optional<double>(0.0) : std::nullopt;  // s
    std::optional<double> first_sound;  // s
    // Decoded until the wanted span is in, counted from the first picture once its time is
    // known; a sound track far ahead of the pictures stops at twice the span.
    auto needed = [&] {
        const double lead = first_picture && first_sound ? std::max(0.0, *first_picture - *first_sound) : seconds;
        return limit + static_cast<size_t>(std::min(lead, seconds) * rate);
    };
    const ff::Packet packet = ff::make_packet();
    const ff::Frame frame = ff::make_frame();
    auto drain = [&] {
        while (avcodec_receive_frame(decoder.get(), frame.get()) >= 0) {
            if (!first_sound) first_sound = seconds_of(frame->best_effort_timestamp, track->time_base).value_or(0.0);
            append_mono(*frame, wave.samples, needed());
            av_frame_unref(frame.get());
        }
    };
    while (wave.samples.size() < needed() && !stop.stop_requested() && av_read_frame(format.get(), packet.get()) >= 0) {
        if (packet->stream_index == video && !first_picture) {
            const int64_t t = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            first_picture = seconds_of(t, format->streams[video]->time_base);
        }
        if (packet->stream_index == stream && avcodec_send_packet(decoder.get(), packet.get()) >= 0) drain();
        av_packet_unref(packet.get());
    }
    if (stop.stop_requested()) return std::nullopt;
    avcodec_send_packet(decoder.get(), nullptr);
    drain();
    if (wave.samples.empty()) return std::nullopt;
    // Placed against the first picture: a later sound starts with silence, an earlier one
    // loses what comes before the picture.
    const double offset = std::clamp(first_sound.value_or(0.0) - first_picture.value_or(0.0), -seconds, seconds);
    const auto shift = std::min(wave.samples.size(), static_cast<size_t>(std::fabs(offset) * rate));
    if (offset > 0) wave.samples.insert(wave.samples.begin(), shift, int16_t{0});
    if (offset < 0) wave.samples.erase(wave.samples.begin(), wave.samples.begin() + static_cast<std::ptrdiff_t>(shift));
    wave.samples.resize(std::min(wave.samples.size(), limit));
    return wave;
}

MovieSound::MovieSound(std::filesystem::path movie, std::unique_ptr<OpenAlMixer> mixer) : mixer_(std::move(mixer)) {
    if (!mixer_ || !mixer_->initialised()) return;  // nothing would be heard
    decoder_ = std::jthread([this, movie = std::move(movie)](std::stop_token stop) {
        auto track = decode_movie_sound(movie, kMovieSoundSeconds, stop);
        const std::lock_guard lock(mutex_);
        track_ = std::move(track);
        decoded_ = true;
    });
}

MovieSound::~MovieSound() {
    decoder_.request_stop();
    if (decoder_.joinable()) decoder_.join();
}

void MovieSound::update() {
    update_at(std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count());
}

void MovieSound::update_at(double elapsed_seconds) {
    if (started_ || !decoded_) return;
    std::optional<MonoWave> track;
    {
        const std::lock_guard lock(mutex_);
        track = std::move(track_);
        track_.reset();
    }
    started_ = true;
    if (!track) return;  // no sound track
    const double length = static_cast<double>(track->samples.size()) / track->sample_rate;
    if (elapsed_seconds >= length) return;  // the movie has gone past its sound
    const int wave = mixer_->load_samples(track->samples, track->sample_rate);
    mixer_->assign(0, wave);
    mixer_->play_from(0, elapsed_seconds);
}

}  // namespace vantrel
