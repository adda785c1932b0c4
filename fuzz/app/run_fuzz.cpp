// A whole run on a mutated train and route: the input is a train file, a NUL byte and
// a route file. When both are accepted the run is driven for 60 virtual seconds: start,
// release the brake, power, then the test keys and a jump to the first station.
#include <exception>
#include <memory>

#include "app/run.hpp"
#include "app/run_setup.hpp"
#include "app/scheduler.hpp"
#include "app/timer1.hpp"
#include "cab/header_picture_loader.hpp"
#include "dynamics/motion.hpp"
#include "fuzz_support.hpp"
#include "fuzz_support_messages.hpp"
#include "input/keyboard.hpp"
#include "route/stations.hpp"

namespace {

using namespace vantrel;

constexpr int64_t kRunMs = 60000;
constexpr int32_t kVideoFrames = 20000;

void check_refused(const DataError& e, std::string_view train, std::string_view route) {
    if (e.file == "fuzz_train.dat") {
        // The brake-notch refusal and the sound loader speak for the train after reading.
        if (e.line == 0) return;
        fuzz::check_refusal(e, "fuzz_train.dat", train, fuzz::kTrainMessages);
    } else {
        fuzz::check_refusal(e, "fuzz_route.dat", route, fuzz::kRouteMessages);
    }
}

void drive(Run& run) {
    Scheduler scheduler;
    auto tick = [&](int64_t) {
        MMTimer1Timer(run);
        drain_posted(run);
    };
    auto step = [&](int64_t) {
        Timer1Timer(run);
        drain_posted(run);
    };
    // What a player does in the first minute, and the test keys a player may hold.
    struct Act { int64_t at; void (*act)(Run&); };
    const Act acts[] = {
        {1000, [](Run& r) { (void)r; }},
        {2000, [](Run& r) { AsciiDown(r, '5'); }},
        {4000, [](Run& r) { AsciiDown(r, 'z'); AsciiDown(r, 'z'); AsciiDown(r, 'z'); AsciiDown(r, 'z'); }},
        {20000, [](Run& r) { for (int i = 0; i < 50; ++i) keydowns(r, VirtualKey::F8, true); }},
        {25000, [](Run& r) { for (int i = 0; i < 50; ++i) keydowns(r, VirtualKey::F10, true); }},
        {30000, [](Run& r) { AsciiDown(r, 'a'); AsciiDown(r, 'a'); }},
        {40000, [](Run& r) { StationClick(r, 0); }},
        {45000, [](Run& r) { AsciiDown(r, '5'); AsciiDown(r, 'z'); AsciiDown(r, 'z'); }},
        {50000, [](Run& r) { keydowns(r, VirtualKey::F1, true); }},
    };
    if (start1Click(run)) scheduler.start(1000);
    for (const Act& a : acts) {
        scheduler.run_until(a.at - 1, tick, step);
        a.act(run);
        drain_posted(run);
    }
    scheduler.run_until(kRunMs, tick, step);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto split = bytes.find('\0');
    if (split == std::string_view::npos) return 0;
    const std::string_view train = bytes.substr(0, split), route = bytes.substr(split + 1);
    try {
        fuzz::write_file("fuzz_train.dat", train);
        fuzz::write_file("fuzz_route.dat", route);
        const PathResolver resolver(fuzz::data_dir());
        HeaderPictureLoader pictures;
        auto run = std::make_unique<Run>();
        NullFrameSource frames(kVideoFrames);
        run->attach(frames);
        if (auto error = load_run(*run, RunFiles{"fuzz_train.dat", "fuzz_route.dat", ""}, resolver, pictures)) {
            check_refused(*error, train, route);
            return 0;
        }
        drive(*run);
    } catch (const std::exception& e) {
        fuzz::fail(e.what());
    }
    return 0;
}
