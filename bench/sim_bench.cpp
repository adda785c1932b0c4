// Whole headless runs: simulated seconds per wall second ("x real time" counter).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>
#include <unistd.h>

#include "demo_data/demo_data.hpp"
#include "demo_data/large_route.hpp"
#include "vantrel_sim/sim_run.hpp"

namespace {

namespace fs = std::filesystem;
using namespace vantrel;

// The large route, written once for every benchmark and removed when the program ends.
class BenchData {
public:
    BenchData() : dir_(fs::temp_directory_path() / ("vantrel-bench-" + std::to_string(::getpid()))) {
        fs::remove_all(dir_);
        if (!demo::write_large_route(dir_, 600).empty()) std::abort();
    }
    ~BenchData() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    BenchData(const BenchData&) = delete;
    BenchData& operator=(const BenchData&) = delete;
    [[nodiscard]] const fs::path& dir() const { return dir_; }

private:
    fs::path dir_;
};

const fs::path& data_dir() {
    static const BenchData data;
    return data.dir();
}

void run(benchmark::State& state, sim::SimOptions options) {
    for (auto _ : state) {
        std::ostringstream out, err;
        if (sim::run_simulation(options, out, err) != sim::kExitOk) {
            state.SkipWithError(err.str().c_str());
            return;
        }
    }
    state.counters["x_real_time"] =
        benchmark::Counter(static_cast<double>(options.seconds) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}

// Ten virtual minutes of the demo train on level track without a route.
void BM_TenMinutesTrainOnly(benchmark::State& state) {
    sim::SimOptions o;
    o.data_dir = data_dir().string();
    o.train = demo::kTrainFile;
    o.strings = demo::kStringFile;
    o.script = (data_dir() / demo::kLargeScriptFile).string();
    o.seconds = 600;
    run(state, o);
}
BENCHMARK(BM_TenMinutesTrainOnly)->Unit(benchmark::kMillisecond);

// Ten virtual hours of the one-lever demo train at full power (a key every 30 s).
void BM_TenHoursOneLeverTrain(benchmark::State& state) {
    sim::SimOptions o;
    o.data_dir = data_dir().string();
    o.train = demo::kTrainFile;
    o.script = (data_dir() / demo::kLargeScriptFile).string();
    o.seconds = 36000;
    run(state, o);
}
BENCHMARK(BM_TenHoursOneLeverTrain)->Unit(benchmark::kMillisecond);

// The same with the trace written (to /dev/null).
void BM_TenMinutesTrainOnlyWithTrace(benchmark::State& state) {
    sim::SimOptions o;
    o.data_dir = data_dir().string();
    o.train = demo::kTrainFile;
    o.script = (data_dir() / demo::kLargeScriptFile).string();
    o.trace = "/dev/null";
    o.seconds = 600;
    run(state, o);
}
BENCHMARK(BM_TenMinutesTrainOnlyWithTrace)->Unit(benchmark::kMillisecond);

// Thirty virtual minutes on a route of 500 signals, 100 stations and 500 marks.
void BM_ThirtyMinutesLargeRoute(benchmark::State& state) {
    sim::SimOptions o;
    o.data_dir = data_dir().string();
    o.train = demo::kTrainFile;
    o.route = demo::kLargeRouteFile;
    o.strings = demo::kStringFile;
    o.script = (data_dir() / demo::kLargeScriptFile).string();
    o.frames = demo::kLargeVideoFrames;
    o.seconds = 1800;
    run(state, o);
}
BENCHMARK(BM_ThirtyMinutesLargeRoute)->Unit(benchmark::kMillisecond);

}  // namespace
