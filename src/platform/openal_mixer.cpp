#include "platform/openal_mixer.hpp"

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "platform/openal_handles.hpp"
#include "platform/wave_file.hpp"

namespace vantrel {
namespace {

// AL_PITCH takes any finite ratio from 0 up, but OpenAL Soft steps through a wave at most
// 255 of its samples per output sample (measured on 1.19): a pitch past that plays as that.
constexpr double kMaxStep = 255.0;
constexpr int kMinVolume = -10000;     // hundredths of a dB
constexpr int kMaxVolume = 0;

struct Wave {
    al::Buffer buffer;
    int rate = 0;  // Hz
};

struct Channel {
    al::Source source;  // none while the channel is empty
    int base_rate = 0;  // Hz, of the assigned wave
    int volume = 0;     // hundredths of a dB, as last set
    double ratio = 1.0;
};

}  // namespace

struct OpenAlMixer::Impl {
    bool loopback = false;
    int wanted_rate = 44100;  // loopback only

    // Declared so that sources go first, then buffers, then the context and the device.
    al::Device device;
    al::Context context;
    std::vector<Wave> waves;
    std::array<Channel, kChannelCount> channels;
    std::set<std::string> reported;  // files whose failure was already logged
    WaveBudget budget;               // of the waves loaded since the device opened

    ~Impl() { close(); }

    [[nodiscard]] bool initialised() const { return context != nullptr; }

    void bind() const {
        if (context && alcGetCurrentContext() != context.get()) alcMakeContextCurrent(context.get());
    }

    void close() {
        bind();
        for (Channel& c : channels) c = Channel{};
        waves.clear();
        budget.clear();
        context.reset();
        device.reset();
    }

    void open() {
        close();
        std::vector<ALCint> attributes;
        if (loopback) {
            device.reset(alcLoopbackOpenDeviceSOFT(nullptr));
            if (!device ||
                !alcIsRenderFormatSupportedSOFT(device.get(), wanted_rate, ALC_STEREO_SOFT, ALC_SHORT_SOFT)) {
                device.reset();
                return;
            }
            // Measured output: no limiter (it compresses and delays) and no HRTF.
            attributes = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_SHORT_SOFT,
                          ALC_FREQUENCY, wanted_rate, ALC_OUTPUT_LIMITER_SOFT, ALC_FALSE, ALC_HRTF_SOFT, ALC_FALSE};
        } else {
            device.reset(alcOpenDevice(nullptr));
            if (!device) return;
        }
        attributes.insert(attributes.end(), {ALC_MONO_SOURCES, kChannelCount, 0});
        context.reset(alcCreateContext(device.get(), attributes.data()));
        if (!context) {
            device.reset();
            return;
        }
        bind();
        alDistanceModel(AL_NONE);
    }

    // The channel, or nullptr after the range message.
    Channel* channel(int number) {
        if (number >= 0 && number < kChannelCount) return &channels[static_cast<size_t>(number)];
        char text[160];
        std::snprintf(text, sizeof text, "チャンネル番号%dは無効です、%d～%dの範囲で指定してください", number, 0,
                      kChannelCount - 1);
        std::cerr << text << '\n';
        return nullptr;
    }

    // The channel's source, bound to the context, or 0.
    ALuint source(int number) {
        Channel* c = channel(number);
        if (!c || !c->source) return 0;
        bind();
        return c->source.get();
    }

    void report(const std::filesystem::path& file, const std::string& reason) {
        if (reported.insert(file.string()).second) std::cerr << file.string() << reason << '\n';
    }
};

OpenAlMixer::OpenAlMixer(Key, std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
OpenAlMixer::~OpenAlMixer() = default;

std::unique_ptr<OpenAlMixer> OpenAlMixer::open_device() {
    auto impl = std::make_unique<Impl>();
    impl->open();
    return std::make_unique<OpenAlMixer>(Key{}, std::move(impl));
}

std::unique_ptr<OpenAlMixer> OpenAlMixer::open_loopback(int rate) {
    auto impl = std::make_unique<Impl>();
    impl->loopback = true;
    impl->wanted_rate = rate;
    impl->open();
    return std::make_unique<OpenAlMixer>(Key{}, std::move(impl));
}

bool OpenAlMixer::initialised() const { return impl_->initialised(); }

void OpenAlMixer::reinitialise() { impl_->open(); }

void OpenAlMixer::render(std::span<int16_t> out) {
    const auto frames = static_cast<ALCsizei>(out.size() / 2);
    if (!impl_->loopback || !impl_->initialised()) {
        std::fill(out.begin(), out.end(), int16_t{0});
        return;
    }
    impl_->bind();
    alcRenderSamplesSOFT(impl_->device.get(), out.data(), frames);
}

int OpenAlMixer::rate() const {
    if (!impl_->device) return 0;
    ALCint rate = 0;
    alcGetIntegerv(impl_->device.get(), ALC_FREQUENCY, 1, &rate);
    return rate;
}

int OpenAlMixer::load_wave(const std::filesystem::path& file) {
    if (!impl_->initialised()) return -1;
    // The header first: a file too long for the budget is refused before it is read.
    const auto length = read_wave_length(file);
    if (const auto* reason = std::get_if<std::string>(&length)) {
        impl_->report(file, *reason);
        return -1;
    }
    if (!impl_->budget.fits(std::get<WaveLength>(length).frames)) {
        impl_->report(file, kWaveBudgetReason);
        return -1;
    }
    auto read = read_mono_wave(file);
    if (const auto* reason = std::get_if<std::string>(&read)) {
        impl_->report(file, *reason);
        return -1;
    }
    const MonoWave& wave = std::get<MonoWave>(read);
    const int handle = load_samples(wave.samples, wave.sample_rate);
    if (handle < 0) impl_->report(file, ": the sound buffer was refused");
    return handle;
}

int OpenAlMixer::load_samples(std::span<const int16_t> samples, int rate) {
    const auto frames = static_cast<int64_t>(samples.size());
    if (!impl_->initialised() || rate <= 0 || !impl_->budget.fits(frames)) return -1;
    impl_->bind();
    alGetError();
    ALuint id = 0;
    alGenBuffers(1, &id);
    if (alGetError() != AL_NO_ERROR) return -1;
    al::Buffer buffer(id);
    alBufferData(id, AL_FORMAT_MONO16, samples.data(), static_cast<ALsizei>(samples.size() * sizeof(int16_t)), rate);
    if (alGetError() != AL_NO_ERROR) return -1;
    impl_->budget.take(frames);
    impl_->waves.push_back({std::move(buffer), rate});
    return static_cast<int>(impl_->waves.size()) - 1;
}

void OpenAlMixer::assign(int channel, int wave) {
    Channel* c = impl_->channel(channel);
    if (!c || !impl_->initialised()) return;
    impl_->bind();
    *c = Channel{};
    if (wave < 0 || wave >= static_cast<int>(impl_->waves.size())) return;
    const Wave& w = impl_->waves[static_cast<size_t>(wave)];
    alGetError();
    ALuint id = 0;
    alGenSources(1, &id);
    if (alGetError() != AL_NO_ERROR) return;  // no source left: the channel stays silent
    c->source = al::Source(id);
    c->base_rate = w.rate;
    // Heard as it is, without position or distance.
    alSourcei(id, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(id, AL_POSITION, 0, 0, 0);
    alSourcei(id, AL_BUFFER, static_cast<ALint>(w.buffer.get()));
}

void OpenAlMixer::play(int channel) {
    if (const ALuint s = impl_->source(channel)) {
        alSourceRewind(s);
        alSourcei(s, AL_LOOPING, AL_FALSE);
        alSourcePlay(s);
    }
}

void OpenAlMixer::play_looping(int channel) {
    if (const ALuint s = impl_->source(channel)) {
        alSourceRewind(s);
        alSourcei(s, AL_LOOPING, AL_TRUE);
        alSourcePlay(s);
    }
}

void OpenAlMixer::play_from(int channel, double seconds) {
    if (const ALuint s = impl_->source(channel)) {
        alSourceRewind(s);
        alSourcei(s, AL_LOOPING, AL_FALSE);
        alSourcef(s, AL_SEC_OFFSET, static_cast<ALfloat>(std::max(0.0, seconds)));
        alSourcePlay(s);
    }
}

// Pausing keeps the position, as a stopped channel does.
void OpenAlMixer::stop(int channel) {
    if (const ALuint s = impl_->source(channel)) alSourcePause(s);
}

int OpenAlMixer::status(int channel) {
    const ALuint s = impl_->source(channel);
    if (s == 0) return kStatusStopped;
    ALint state = AL_STOPPED;
    alGetSourcei(s, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING) return kStatusStopped;
    ALint looping = AL_FALSE;
    alGetSourcei(s, AL_LOOPING, &looping);
    return looping ? kStatusLooping : kStatusPlaying;
}

void OpenAlMixer::set_volume(int channel, int hundredths_db) {
    Channel* c = impl_->channel(channel);
    if (!c) return;
    c->volume = hundredths_db;
    // Out of range: stored, but the device keeps the volume it had.
    if (hundredths_db < kMinVolume || hundredths_db > kMaxVolume) return;
    if (const ALuint s = impl_->source(channel))
        alSourcef(s, AL_GAIN, static_cast<ALfloat>(std::pow(10.0, hundredths_db / 2000.0)));
}

void OpenAlMixer::set_frequency_ratio(int channel, double ratio) {
    Channel* c = impl_->channel(channel);
    if (!c) return;
    c->ratio = ratio;
    const ALuint s = impl_->source(channel);
    if (s == 0 || c->base_rate <= 0) return;
    // The wave's own rate x ratio, truncated to whole Hz, for any rate; the device is given
    // it as a ratio of that rate, held to the fastest step it takes. A ratio below 0 or not
    // a number is refused as a volume out of range is: stored, the pitch stays as it was.
    if (!(ratio >= 0)) return;
    const double max_pitch = kMaxStep * std::max(rate(), 1) / c->base_rate;
    const double pitch = std::min(std::trunc(std::min(c->base_rate * ratio, 1e12)) / c->base_rate, max_pitch);
    alSourcef(s, AL_PITCH, static_cast<ALfloat>(pitch));
}

}  // namespace vantrel
