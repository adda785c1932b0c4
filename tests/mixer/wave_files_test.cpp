// Wave files of every kind through the mixer and through the channel model of recorded and
// headless runs, which must agree on which files play and for how long.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "mixer_fixture.hpp"
#include "platform/wave_file.hpp"
#include "sound/sim_sound.hpp"

namespace vantrel::test {
namespace {

void put16(std::string& s, uint32_t v) { s += {static_cast<char>(v), static_cast<char>(v >> 8)}; }
void put32(std::string& s, uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

struct Fmt {
    uint16_t tag = 1;  // PCM
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t block_align = 2;
    uint16_t bits = 16;
    uint32_t size = 16;           // as the chunk claims
    uint32_t data_bytes = 2000;   // as the data chunk claims
    uint32_t data_written = 2000;
};

// A RIFF/WAVE file written byte by byte, so that its header can lie.
std::string wave_bytes(const Fmt& f) {
    std::string s = "RIFF";
    put32(s, 36 + f.data_written);
    s += "WAVEfmt ";
    put32(s, f.size);
    put16(s, f.tag);
    put16(s, f.channels);
    put32(s, f.rate);
    put32(s, f.rate * f.block_align);
    put16(s, f.block_align);
    put16(s, f.bits);
    s += "data";
    put32(s, f.data_bytes);
    s += std::string(f.data_written, '\0');
    return s;
}

// A file whose data chunk claims `frames` 8-bit mono frames, sparse on disk.
void write_long_header(const std::filesystem::path& file, uint32_t frames) {
    write_bytes(file, wave_bytes({.block_align = 1, .bits = 8, .data_bytes = frames, .data_written = 0}));
    std::filesystem::resize_file(file, 44 + static_cast<uintmax_t>(frames));
}

TEST_F(MixerFixture, EveryFormatPlaysAtTheLevelOfItsSamplesAndFloatIsClipped) {
    const int reference = load("pcm16.wav", {});
    mixer->assign(0, reference);
    mixer->play_looping(0);
    const double level = rms(render(0.3));
    ASSERT_GT(level, 0.2);
    const struct {
        const char* name;
        int format;
    } kinds[] = {{"u8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8},    {"pcm24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24},
                 {"pcm32.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_32}, {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT},
                 {"double.wav", SF_FORMAT_WAV | SF_FORMAT_DOUBLE}, {"flac.wav", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
                 {"aiff.wav", SF_FORMAT_AIFF | SF_FORMAT_PCM_24}};
    for (const auto& k : kinds) {
        const int wave = load(k.name, {.format = k.format});
        ASSERT_GE(wave, 0) << k.name;
        mixer->assign(0, wave);
        mixer->play_looping(0);
        EXPECT_NEAR(rms(render(0.3)) / level, 1.0, 0.02) << k.name;
    }

    // Beyond full scale a float file is clipped, not wrapped round.
    write_tone(dir / "loud.wav", {.amplitude = 1.5, .format = SF_FORMAT_WAV | SF_FORMAT_FLOAT});
    const auto loud = std::get<MonoWave>(read_mono_wave(dir / "loud.wav"));
    EXPECT_EQ(*std::max_element(loud.samples.begin(), loud.samples.end()), 32767);
    EXPECT_EQ(*std::min_element(loud.samples.begin(), loud.samples.end()), -32768);
    // 16-bit samples come through unchanged.
    const auto exact = std::get<MonoWave>(read_mono_wave(dir / "pcm16.wav"));
    EXPECT_EQ(exact.samples[5], static_cast<int16_t>(std::lrint(0.5 * std::sin(2 * std::numbers::pi * 441 * 5 / 22050.0) * 32767)));
}

TEST_F(MixerFixture, PitchIsTheWavesOwnRateTimesTheRatioAtAnyRate) {
    const struct {
        int rate;
        double ratio;
        double tone = 500;  // Hz
    } cases[] = {{22050, 0.5}, {22050, 3.0},  {44100, 1.0},       {44100, 8.0},        {48000, 2.5},
                 {96000, 2.0}, {96000, 4.0},  {11025, 0.999},     {4000, 400.0, 5.0},  {44100, 1e9, 5.0}};
    for (const auto& c : cases) {
        const int wave = load("tone" + std::to_string(c.rate) + "_" + std::to_string(c.tone) + ".wav", {.rate = c.rate, .frequency = c.tone});
        mixer->assign(0, wave);
        mixer->play_looping(0);
        mixer->set_frequency_ratio(0, c.ratio);
        render(0.05);
        // Past the device's fastest step (255 wave samples per output sample) it plays at that step.
        const double pitch = std::min(std::trunc(c.rate * c.ratio) / c.rate, 255.0 * mixer->rate() / c.rate);
        EXPECT_NEAR(dominant_frequency(render(0.5), mixer->rate()), c.tone * pitch, 6) << c.rate << " x " << c.ratio;
    }
    // A negative ratio is refused: the channel keeps its pitch.
    mixer->assign(0, load("tone.wav", {.rate = 44100, .frequency = 500}));
    mixer->play_looping(0);
    mixer->set_frequency_ratio(0, 2.0);
    mixer->set_frequency_ratio(0, -2.0);
    render(0.05);
    EXPECT_NEAR(dominant_frequency(render(0.5), mixer->rate()), 1000, 8);
}

TEST_F(MixerFixture, AZeroLengthWaveLoadsAndEndsAtOnceInTheMixerAndTheModel) {
    const int wave = load("empty.wav", {.seconds = 0});
    ASSERT_GE(wave, 0);
    mixer->assign(2, wave);
    mixer->play(2);
    render(0.05);
    EXPECT_EQ(mixer->status(2), kStatusStopped);

    SndfileWaveInfoReader reader;
    sim::SimSoundChannels model(reader);
    model.assign(2, model.load_wave(dir / "empty.wav"));
    model.play(2);
    EXPECT_EQ(model.status(2), kStatusStopped);
}

// FLAC and AIFF named .wav: libsndfile reads them, so the model must count their length.
TEST_F(MixerFixture, MixerAndModelPlayAWaveOnceForTheSameTime) {
    SndfileWaveInfoReader reader;
    for (const int format : {SF_FORMAT_WAV | SF_FORMAT_PCM_16, SF_FORMAT_FLAC | SF_FORMAT_PCM_16,
                             SF_FORMAT_AIFF | SF_FORMAT_PCM_16, SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM}) {
        const std::string name = "half" + std::to_string(format) + ".wav";
        mixer->assign(1, load(name, {.rate = 8000, .seconds = 0.5, .format = format}));
        sim::SimSoundChannels model(reader);
        model.assign(1, model.load_wave(dir / name));
        model.set_time(0);
        model.play(1);
        mixer->play(1);
        render(0.48);
        model.set_time(480);
        EXPECT_EQ(mixer->status(1), kStatusPlaying) << format;
        EXPECT_EQ(model.status(1), kStatusPlaying) << format;
        render(0.04);
        model.set_time(520);
        EXPECT_EQ(mixer->status(1), kStatusStopped) << format;
        EXPECT_EQ(model.status(1), kStatusStopped) << format;
    }
}

TEST_F(MixerFixture, RefusedWavesSayWhyOncePerFileBeforeAnySampleIsRead) {
    write_bytes(dir / "text.wav", "これは音ではありません\r\n");
    write_bytes(dir / "empty_file.wav", "");
    write_bytes(dir / "rate0.wav", wave_bytes({.rate = 0}));
    write_bytes(dir / "bits0.wav", wave_bytes({.block_align = 0, .bits = 0}));
    write_bytes(dir / "huge_fmt.wav", wave_bytes({.size = 0xFFFFFF00u}));
    write_bytes(dir / "adpcm.wav", wave_bytes({.tag = 2, .block_align = 0, .bits = 4}));
    write_long_header(dir / "long.wav", static_cast<uint32_t>(kWaveFrameLimit + 1));
    const char* names[] = {"text.wav", "empty_file.wav", "rate0.wav", "bits0.wav", "huge_fmt.wav", "adpcm.wav", "long.wav"};

    SndfileWaveInfoReader reader;
    sim::SimSoundChannels model(reader);
    std::ostringstream errors;
    model.set_error_log(&errors);
    testing::internal::CaptureStderr();
    for (const char* name : names) {
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(model.load_wave(dir / name), -1) << name;
            EXPECT_EQ(mixer->load_wave(dir / name), -1) << name;
        }
    }
    const std::string mixer_log = testing::internal::GetCapturedStderr();
    for (const std::string& log : {errors.str(), mixer_log}) {
        for (const char* name : names) {
            const auto at = log.find(std::string(name) + ":");
            EXPECT_NE(at, std::string::npos) << name << "\n" << log;
            EXPECT_EQ(at, log.rfind(std::string(name) + ":")) << name;  // once per file
        }
    }
    EXPECT_NE(errors.str().find("long.wav: file too long"), std::string::npos);
}

// Eight waves at the frame limit fill the run's budget; the ninth is refused by its header.
TEST(WaveBudget, ARunHoldsAtMost512MegabytesOfWaves) {
    TempDir dir;
    SndfileWaveInfoReader reader;
    sim::SimSoundChannels model(reader);
    std::ostringstream errors;
    model.set_error_log(&errors);
    static_assert(kWaveBudgetFrames == 8 * kWaveFrameLimit);
    for (int i = 0; i < 9; ++i) {
        const auto file = dir / ("long" + std::to_string(i) + ".wav");
        write_long_header(file, static_cast<uint32_t>(kWaveFrameLimit));
        EXPECT_EQ(model.load_wave(file) >= 0, i < 8) << i;
    }
    EXPECT_EQ(errors.str(), (dir / "long8.wav").string() + kWaveBudgetReason + "\n");
}

}  // namespace
}  // namespace vantrel::test
