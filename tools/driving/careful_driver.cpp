#include "driving/careful_driver.hpp"

#include <algorithm>
#include <cmath>
#include <memory>

#include "app/run.hpp"
#include "app/scheduler.hpp"
#include "app/timer1.hpp"
#include "app/virtual_run.hpp"
#include "driving/driven_run.hpp"
#include "common/fixed_point.hpp"
#include "dynamics/motion.hpp"
#include "input/keyboard.hpp"
#include "sound/sim_sound.hpp"

namespace vantrel::driving {
namespace {

// Handle position on one scale: power notches up, brake notches down, hold just below 0.
double ordinal(const Run& r) {
    if (r.core.PowerHandle > 0) return r.core.PowerHandle;
    if (r.core.BrakeHandle < 0) return r.core.BrakeHandle;
    return r.core.HoldPosition ? -0.5 : 0;
}

class Driver {
public:
    Driver(Run& run, sim::SimSoundChannels& sound) : run_(run), sound_(sound) {}

    std::string script;
    int64_t done_at = -1;

    void key(int64_t t, char c) {
        AsciiDown(run_, c);
        drain_posted(run_);
        script += std::to_string(t) + " key " + (c == ' ' ? std::string("space") : std::string(1, c)) + "\n";
        last_key_ = t;
    }

    // Moves the handle to a position (power n > 0, brake -n < 0, 0 coast) key by key.
    void handle_to(int64_t t, int want) {
        for (int guard = 0; guard < 12 && ordinal(run_) != want; ++guard) key(t, ordinal(run_) < want ? '8' : '2');
    }

    void decide(int64_t t) {
        const auto& st = run_.route.stations;
        const double v = std::fabs(real(run_.core.Speed));
        const bool one_man = run_.route.one_man == 1;
        const int brakes = run_.train.brake_type == 0 ? 4 : run_.train.brake_notches;
        // Keep the vigilance device and the ATS alarm satisfied.
        if (run_.ats.AtsAlarm && run_.core.BrakeHandle < 0) key(t, ' ');
        if (t - last_key_ > 30000) key(t, ' ');
        const int here = platform_of(run_.core.Frame);
        if (run_.core.TractionCut) {
            // Standing at a station with the doors open: hold the brake; close the doors
            // ourselves on one-man routes once the timetable says so.
            if (here >= 0 && here == last_stop_ && done_at < 0) done_at = t;
            handle_to(t, -(brakes / 2));
            if (one_man && here >= 0 && !closing_) {
                const Station& s = st[static_cast<size_t>(here)];
                const int ch = route_sound_channel(run_, s.dep_sound);
                if (run_.core.ClockTicks > s.door_close_time + 30 && sound_.status(ch) == 0) {
                    key(t, '7');
                    closing_ = true;
                }
            }
            return;
        }
        closing_ = false;
        if (done_at >= 0) return;
        // Arrived at a stop with the doors still shut (one-man): open them.
        if (one_man && here >= 0 && v < 0.5 && st[static_cast<size_t>(here)].type == 0 && here != departed_from_) {
            handle_to(t, -(brakes / 2));
            key(t, '7');
            departed_from_ = here;
            return;
        }
        if (here < 0) departed_from_ = -1;
        // The speed allowed here: the train, the line, the limits ahead and the stop point.
        const double rate = real(run_.train.brake_rate) * 0.45;  // km/h/s the driver plans with
        double allowed = std::min<double>(run_.train.max_speed - 8, run_.route.speed_g - 8);
        const long double dist = run_.core.Distance;
        for (const SpeedLimit& l : run_.route.speed_limits) {
            if (run_.core.Frame >= l.zone_end) continue;
            const double d = std::max(0.0L, (l.distance - dist) / 100);
            allowed = std::min(allowed, std::sqrt(std::pow(l.limit - 4.0, 2) + 7.2 * rate * d));
        }
        const double remaining = static_cast<double>(run_.core.RemainingDistance) / 100 - 1.0;  // metres
        const bool stopping = remaining < 1500;
        if (stopping) allowed = std::min(allowed, std::sqrt(std::max(0.0, 7.2 * rate * remaining)));
        int want = 0;
        if (stopping && remaining < 400 && v * v / (7.2 * std::max(0.5, remaining)) > rate * 0.5) {
            // Brake so that the speed runs down to 0 at the stop point.
            const double need = v * v / (7.2 * std::max(0.5, remaining));
            want = -std::clamp(static_cast<int>(std::ceil(need / real(run_.train.brake_rate) * (brakes - 1) * 1.1)), 1,
                               brakes - 1);
        } else if (v > allowed + 2) {
            want = -std::clamp(static_cast<int>((v - allowed) / 3) + 1, 1, brakes - 1);
        } else if (v < allowed - 6) {
            want = stopping && remaining < 60 ? 1 : run_.train.power_notches;
        }
        if (stopping && remaining < 1.5 && v < 3) want = -(brakes - 1);
        // Manual gears: shut off, wait for the notch to drop, change up, power again.
        const auto& gears = run_.train.gears;
        const int32_t gear = run_.traction.target_gear;
        if (run_.train.engine_type == 0 && run_.train.gear_manual == 1 && want > 0 &&
            gear + 1 < static_cast<int32_t>(gears.size()) && v > gears[static_cast<size_t>(gear)].high_speed - 3 && !run_.traction.gear_changing) {
            handle_to(t, 0);
            if (run_.core.PowerNotch == 0) key(t, 's');
            return;
        }
        handle_to(t, want);
    }

private:
    int platform_of(int32_t frame) const {
        const auto& st = run_.route.stations;
        for (size_t i = 0; i < st.size(); ++i)
            if (frame >= st[i].platform_start && frame <= st[i].platform_end) return static_cast<int>(i);
        return -1;
    }

    Run& run_;
    sim::SimSoundChannels& sound_;
    int64_t last_key_ = 0;
    bool closing_ = false;
    int departed_from_ = 0;

public:
    int last_stop_ = -1;
};

}  // namespace

DriveScript derive_drive(const std::filesystem::path& data_dir, const std::string& train, const std::string& route,
                         int32_t frames) {
    DriveScript out;
    DrivenRun driven(frames);
    if (std::string error = driven.load(data_dir, train, route); !error.empty()) {
        out.error = error;
        return out;
    }
    auto& run = driven.run;
    sim::SimSoundChannels& sound = driven.sound;
    Driver driver(*run, sound);
    for (size_t i = 0; i < run->route.stations.size(); ++i)
        if (run->route.stations[i].type != 1) driver.last_stop_ = static_cast<int>(i);
    Scheduler scheduler;
    sound.set_time(1000);
    if (start1Click(*run)) scheduler.start(1000);
    driver.script = "1000 start\n";
    for (int64_t t = 1050; t < 3600 * 1000; t += 100) {
        run_virtual_until(scheduler, *run, sound, t - 1);
        sound.set_time(t);
        driver.decide(t);
        if (driver.done_at >= 0) break;
        if (run->core.AtsEmergency) {
            out.error = "ATS emergency at frame " + std::to_string(run->core.Frame);
            break;
        }
    }
    out.script = driver.script;
    out.end_ms = driver.done_at;
    if (out.error.empty() && driver.done_at < 0) out.error = "the drive did not reach the last station";
    return out;
}

}  // namespace vantrel::driving
