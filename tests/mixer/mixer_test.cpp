// The OpenAL mixer measured through its loopback device.
#include <gtest/gtest.h>

#include "mixer_fixture.hpp"

namespace vantrel::test {
namespace {

TEST_F(MixerFixture, FrequencyRatioRepitchesAndVolumeAttenuatesInHundredthsOfADecibel) {
    const int wave = load("tone.wav", {});
    mixer->assign(0, wave);
    mixer->play_looping(0);
    const auto plain = render(0.5);
    EXPECT_NEAR(dominant_frequency(plain, mixer->rate()), 441, 5);

    mixer->set_frequency_ratio(0, 2.0);
    EXPECT_NEAR(dominant_frequency(render(0.5), mixer->rate()), 882, 8);

    // -600 is -6 dB: 10^(-600/2000) = 0.501 of the amplitude.
    mixer->set_frequency_ratio(0, 1.0);
    mixer->set_volume(0, -600);
    render(0.05);  // the device fades to a new gain
    const auto quiet = render(0.5);
    EXPECT_NEAR(rms(quiet) / rms(plain), 0.501, 0.01);
    // Outside -10000 .. 0 the device keeps the volume it had.
    mixer->set_volume(0, 500);
    render(0.05);
    EXPECT_NEAR(rms(render(0.5)) / rms(plain), 0.501, 0.01);
    mixer->set_volume(0, -10001);
    render(0.05);
    EXPECT_NEAR(rms(render(0.5)) / rms(plain), 0.501, 0.01);

    // Ratios the device cannot take are held to its range: the channel keeps sounding.
    for (double ratio : {0.0, -1.0, 1e9}) {
        mixer->set_frequency_ratio(0, ratio);
        render(0.05);
        EXPECT_EQ(mixer->status(0), kStatusLooping) << ratio;
    }
}

TEST_F(MixerFixture, OneWaveSoundsOnTwoChannelsIndependently) {
    const int wave = load("tone.wav", {});
    mixer->assign(3, wave);
    mixer->play_looping(3);
    const double one = rms(render(0.5));
    mixer->assign(4, wave);
    mixer->play_looping(4);
    mixer->play_looping(3);  // both from the start: in phase
    mixer->play_looping(4);
    EXPECT_NEAR(rms(render(0.5)) / one, 2.0, 0.05);  // in phase: twice the amplitude

    mixer->stop(3);
    EXPECT_EQ(mixer->status(3), kStatusStopped);
    EXPECT_EQ(mixer->status(4), kStatusLooping);
    EXPECT_NEAR(rms(render(0.5)) / one, 1.0, 0.03);
}

TEST_F(MixerFixture, PlayRunsOnceFromTheStartAndLoopingRunsPastTheEnd) {
    const int wave = load("short.wav", {.seconds = 0.2});
    mixer->assign(7, wave);
    EXPECT_EQ(mixer->status(7), kStatusStopped);
    mixer->play(7);
    EXPECT_EQ(mixer->status(7), kStatusPlaying);
    render(0.15);
    mixer->play(7);  // restarts: another 0.2 s from here
    render(0.15);
    EXPECT_EQ(mixer->status(7), kStatusPlaying);
    render(0.1);
    EXPECT_EQ(mixer->status(7), kStatusStopped);
    EXPECT_LT(rms(render(0.1)), 0.001);

    mixer->play_looping(7);
    render(0.5);
    EXPECT_EQ(mixer->status(7), kStatusLooping);
    EXPECT_GT(rms(render(0.1)), 0.1);
    mixer->stop(7);
    EXPECT_EQ(mixer->status(7), kStatusStopped);
    EXPECT_LT(rms(render(0.1)), 0.001);
}

TEST_F(MixerFixture, AllChannelsUpTo255ExistAnd256IsRefusedWithTheRangeMessage) {
    const int wave = load("short.wav", {.seconds = 0.2});
    for (int ch = 0; ch < kChannelCount; ++ch) mixer->assign(ch, wave);
    mixer->play(255);
    mixer->play(0);
    EXPECT_EQ(mixer->status(255), kStatusPlaying);
    EXPECT_EQ(mixer->status(0), kStatusPlaying);
    // Every channel can sound at once.
    for (int ch = 0; ch < kChannelCount; ++ch) mixer->play_looping(ch);
    render(0.3);
    for (int ch = 0; ch < kChannelCount; ++ch) EXPECT_EQ(mixer->status(ch), kStatusLooping) << ch;

    for (int bad : {256, -1}) {
        testing::internal::CaptureStderr();
        mixer->assign(bad, wave);
        mixer->play(bad);
        EXPECT_EQ(mixer->status(bad), kStatusStopped);
        const std::string message = testing::internal::GetCapturedStderr();
        const std::string line = "チャンネル番号" + std::to_string(bad) + "は無効です、0～255の範囲で指定してください\n";
        EXPECT_EQ(message, line + line + line);
    }
}

TEST_F(MixerFixture, WavesOfEveryPcmKindLoadAndAnUnreadableFileLeavesItsChannelSilent) {
    // 8-bit unsigned and a stereo file mixed down to mono (the tone on one side: half).
    const int u8 = load("u8.wav", {.format = SF_FORMAT_WAV | SF_FORMAT_PCM_U8});
    const int stereo = load("stereo.wav", {.channels = 2});
    const int mono = load("mono.wav", {});
    ASSERT_GE(u8, 0);
    ASSERT_GE(stereo, 0);
    const int waves[] = {mono, u8, stereo};
    double level[3] = {};
    for (int i = 0; i < 3; ++i) {
        mixer->assign(0, waves[i]);
        mixer->play_looping(0);
        level[i] = rms(render(0.3));
    }
    EXPECT_NEAR(level[1] / level[0], 1.0, 0.02);
    EXPECT_NEAR(level[2] / level[0], 0.5, 0.02);

    write_bytes(dir / "bad.wav", "RIFF....WAVEjunk");
    testing::internal::CaptureStderr();
    EXPECT_EQ(mixer->load_wave(dir / "bad.wav"), -1);
    EXPECT_EQ(mixer->load_wave(dir / "bad.wav"), -1);
    EXPECT_EQ(mixer->load_wave(dir / "missing.wav"), -1);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log.find("bad.wav"), log.rfind("bad.wav")) << log;  // once per file
    EXPECT_NE(log.find("missing.wav" "が、見つかりません"), std::string::npos) << log;

    mixer->stop(0);
    mixer->assign(5, -1);
    mixer->play(5);
    EXPECT_EQ(mixer->status(5), kStatusStopped);
    EXPECT_LT(rms(render(0.1)), 0.001);
}

TEST_F(MixerFixture, ReinitialisingDropsEveryAssignment) {
    const int wave = load("tone.wav", {});
    mixer->assign(1, wave);
    mixer->play_looping(1);
    mixer->reinitialise();
    ASSERT_TRUE(mixer->initialised());
    EXPECT_EQ(mixer->status(1), kStatusStopped);
    mixer->play_looping(1);
    EXPECT_EQ(mixer->status(1), kStatusStopped);
    EXPECT_LT(rms(render(0.1)), 0.001);
}

TEST(MixerWithoutDevice, EveryOperationIsSilent) {
    auto mixer = OpenAlMixer::open_device();
    if (mixer->initialised()) GTEST_SKIP() << "this machine has a sound device";
    EXPECT_EQ(mixer->load_wave("anything.wav"), -1);
    mixer->assign(0, 0);
    mixer->play_looping(0);
    mixer->set_volume(0, -100);
    mixer->set_frequency_ratio(0, 2.0);
    EXPECT_EQ(mixer->status(0), kStatusStopped);
    std::vector<int16_t> out(64, 7);
    mixer->render(out);
    EXPECT_EQ(out, std::vector<int16_t>(64, 0));
}

}  // namespace
}  // namespace vantrel::test
