#pragma once
// A loopback mixer with test waves written by libsndfile, and measurements of what it
// renders: the level and the dominant frequency of the left channel.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <numbers>
#include <vector>

#include "platform/openal_mixer.hpp"
#include "test_support.hpp"

namespace vantrel::test {

struct Tone {
    int rate = 22050;         // Hz
    double frequency = 441;   // Hz
    double seconds = 1.0;
    double amplitude = 0.5;   // of full scale
    int channels = 1;         // stereo: the tone on the left, silence on the right
    int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
};

inline void write_tone(const std::filesystem::path& file, const Tone& t) {
    SF_INFO info{};
    info.samplerate = t.rate;
    info.channels = t.channels;
    info.format = t.format;
    SNDFILE* f = sf_open(file.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
    const auto frames = static_cast<size_t>(t.seconds * t.rate);
    std::vector<double> data(frames * static_cast<size_t>(t.channels), 0.0);
    for (size_t i = 0; i < frames; ++i)
        data[i * static_cast<size_t>(t.channels)] =
            t.amplitude * std::sin(2 * std::numbers::pi * t.frequency * static_cast<double>(i) / t.rate);
    sf_writef_double(f, data.data(), static_cast<sf_count_t>(frames));
    sf_close(f);
}

struct MixerFixture : ::testing::Test {
    TempDir dir;
    std::unique_ptr<OpenAlMixer> mixer = OpenAlMixer::open_loopback(44100);

    void SetUp() override { ASSERT_TRUE(mixer->initialised()); }

    int load(const std::string& name, const Tone& t) {
        write_tone(dir / name, t);
        return mixer->load_wave(dir / name);
    }
    // The left channel of the next `seconds` of the mix.
    std::vector<double> render(double seconds) {
        std::vector<int16_t> stereo(2 * static_cast<size_t>(seconds * mixer->rate()));
        mixer->render(stereo);
        std::vector<double> left(stereo.size() / 2);
        for (size_t i = 0; i < left.size(); ++i) left[i] = stereo[2 * i] / 32768.0;
        return left;
    }
};

inline double rms(const std::vector<double>& x) {
    double sum = 0;
    for (double v : x) sum += v * v;
    return x.empty() ? 0 : std::sqrt(sum / static_cast<double>(x.size()));
}

// Frequency from the rising zero crossings, with a little hysteresis against dither.
inline double dominant_frequency(const std::vector<double>& x, int rate) {
    int rising = 0;
    bool below = false;
    for (double v : x) {
        if (v < -0.01) below = true;
        if (below && v > 0.01) {
            ++rising;
            below = false;
        }
    }
    return rising * static_cast<double>(rate) / static_cast<double>(x.size());
}

// Amplitude of the `frequency` component (Goertzel), for a whole number of its periods.
inline double tone_amplitude(const std::vector<double>& x, double frequency, int rate) {
    const double w = 2 * std::numbers::pi * frequency / rate;
    const double coeff = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (double v : x) {
        const double s0 = v + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
    return 2 * std::sqrt(std::max(power, 0.0)) / static_cast<double>(x.size());
}

}  // namespace vantrel::test
