// The train's sounds heard through the real mixer: the running-sound cross-fade in the
// rendered output, and the runner's --audio recording of a scripted run.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/run.hpp"
#include "common/fixed_point.hpp"
#include "demo_data/demo_data.hpp"
#include "mixer_fixture.hpp"
#include "sound/sound_loader.hpp"
#include "sound/train_sounds.hpp"
#include "vantrel_sim/sim_run.hpp"

namespace vantrel::test {
namespace {

// Band k of the running sound is a tone of 200 + 100 k Hz.
double band_frequency(int k) { return 200.0 + 100.0 * k; }

TEST_F(MixerFixture, BetweenTwoRunningBandsBothSoundAttenuatedByTheCrossFade) {
    vantrel::Run run;
    run.attach(*mixer);
    for (int k = 0; k <= 12; ++k) {
        const std::string name = "run" + std::to_string(k) + ".wav";
        write_tone(dir / name, {.frequency = band_frequency(k), .amplitude = 0.25});
        run.train.drive_sounds.push_back(name);
    }
    ASSERT_EQ(load_sounds(run, PathResolver(dir.path().string())), std::nullopt);

    // The 0.5 s windows hold whole periods of every band's tone.
    auto band_levels = [&](long double kmh) {
        run.core.Speed = round_store(kmh * kFixedOne);
        train_sounds_step(run);
        render(0.05);  // past the device's gain fade
        const auto mix = render(0.5);
        std::vector<double> level;
        for (int k = 3; k <= 6; ++k) level.push_back(tone_amplitude(mix, band_frequency(k), mixer->rate()));
        return level;
    };
    const auto at40 = band_levels(40);  // band 4 full, band 5 at -40 dB
    const double full = at40[1];
    ASSERT_GT(full, 0.05);
    EXPECT_NEAR(at40[2] / full, 0.01, 0.005);

    // 43 km/h: weights 70 and 30, so amplitudes 0.7 and 0.3 of full; 3 and 6 silent.
    const auto at43 = band_levels(43);
    EXPECT_NEAR(at43[1] / full, 0.7, 0.02);
    EXPECT_NEAR(at43[2] / full, 0.3, 0.02);
    EXPECT_LT(at43[0] / full, 0.005);
    EXPECT_LT(at43[3] / full, 0.005);

    // 56 km/h: bands 5 and 6 at 0.4 and 0.6; band 4 stopped on the way.
    const auto at56 = band_levels(56);
    EXPECT_LT(at56[1] / full, 0.005);
    EXPECT_NEAR(at56[2] / full, 0.4, 0.02);
    EXPECT_NEAR(at56[3] / full, 0.6, 0.02);
}

std::string slurp(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(SimAudio, RecordsTheScriptedRunWithoutChangingItsTraceOrEvents) {
    TempDir dir;
    ASSERT_EQ(demo::write_demo_data(dir.path()), "");
    sim::SimOptions o;
    o.data_dir = dir.path().string();
    o.train = demo::kTrainFile;
    o.route = demo::kRouteFile;
    o.strings = demo::kStringFile;
    o.frames = demo::kVideoFrames;
    o.script = (dir / demo::kScriptFile).string();
    o.seconds = 40.5;  // through the door closing and the departure
    auto run = [&](const std::string& tag, bool audio) {
        o.trace = (dir / (tag + "_trace.csv")).string();
        o.events = (dir / (tag + "_events.csv")).string();
        o.audio = audio ? (dir / "run.wav").string() : "";
        std::ostringstream out, err;
        EXPECT_EQ(sim::run_simulation(o, out, err), sim::kExitOk);
        EXPECT_EQ(err.str(), "");
    };
    run("plain", false);
    run("heard", true);
    EXPECT_EQ(slurp(dir / "heard_trace.csv"), slurp(dir / "plain_trace.csv"));
    EXPECT_EQ(slurp(dir / "heard_events.csv"), slurp(dir / "plain_events.csv"));

    // 16-bit stereo at 44100 Hz, exactly 40.5 s of frames (1786050), and not silent.
    const std::string wav = slurp(dir / "run.wav");
    ASSERT_GE(wav.size(), 44u);
    auto u32 = [&](size_t at) {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(wav[at + static_cast<size_t>(i)]);
        return v;
    };
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(u32(24), 44100u);
    EXPECT_EQ(u32(40), 1786050u * 4);
    EXPECT_EQ(wav.size(), 44u + 1786050u * 4);
    std::vector<double> left;
    for (size_t i = 44; i + 4 <= wav.size(); i += 4)
        left.push_back(static_cast<int16_t>(static_cast<unsigned char>(wav[i]) | wav[i + 1] << 8) / 32768.0);
    EXPECT_GT(rms(left), 0.01);
}

}  // namespace
}  // namespace vantrel::test
