// The OpenAL mixer: 64 looping channels of different pitch and volume rendered through
// the loopback device ("x real time" counter: seconds of sound per wall second).
#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <unistd.h>
#include <vector>

#include "platform/openal_mixer.hpp"

namespace {

namespace fs = std::filesystem;
using namespace vantrel;

// A one-second tone of `frequency` Hz at 22050 Hz, 16-bit mono.
bool write_tone(const fs::path& file, double frequency) {
    SF_INFO info{};
    info.samplerate = 22050;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(file.c_str(), SFM_WRITE, &info);
    if (!f) return false;
    std::vector<double> data(22050);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = 0.2 * std::sin(2 * std::numbers::pi * frequency * static_cast<double>(i) / 22050.0);
    sf_write_double(f, data.data(), static_cast<sf_count_t>(data.size()));
    sf_close(f);
    return true;
}

void BM_SixtyFourLoopingChannels(benchmark::State& state) {
    const fs::path dir = fs::temp_directory_path() / ("vantrel-mixer-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    auto mixer = OpenAlMixer::open_loopback(44100);
    if (!mixer->initialised()) {
        state.SkipWithError("no loopback device");
        return;
    }
    std::vector<int> waves;
    for (int i = 0; i < 8; ++i) {
        const fs::path file = dir / ("tone" + std::to_string(i) + ".wav");
        if (!write_tone(file, 110.0 * (i + 1))) {
            state.SkipWithError("cannot write a test wave");
            return;
        }
        waves.push_back(mixer->load_wave(file));
    }
    fs::remove_all(dir);
    for (int ch = 0; ch < 64; ++ch) {
        mixer->assign(ch, waves[static_cast<size_t>(ch % 8)]);
        mixer->set_frequency_ratio(ch, 0.5 + 0.025 * ch);
        mixer->set_volume(ch, -40 * ch);
        mixer->play_looping(ch);
    }
    // One second of sound per iteration, in blocks of one 33 ms tick, as the runner renders.
    const int rate = mixer->rate();
    std::vector<int16_t> block(2 * static_cast<size_t>(rate * 33 / 1000));
    const int blocks = 1000 / 33;
    for (auto _ : state) {
        for (int b = 0; b < blocks; ++b) {
            mixer->render(block);
            benchmark::DoNotOptimize(block.data());
        }
    }
    const double seconds_per_iteration = blocks * 33 / 1000.0;
    state.counters["x_real_time"] = benchmark::Counter(
        seconds_per_iteration * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SixtyFourLoopingChannels)->Unit(benchmark::kMillisecond);

}  // namespace
