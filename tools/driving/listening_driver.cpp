#include "driving/listening_driver.hpp"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "app/run.hpp"
#include "app/scheduler.hpp"
#include "app/timer1.hpp"
#include "app/virtual_run.hpp"
#include "driving/driven_run.hpp"
#include "common/fixed_point.hpp"
#include "input/keyboard.hpp"
#include "route/signal_codes.hpp"
#include "sound/sim_sound.hpp"
#include "speech/announcer.hpp"

namespace vantrel::driving {
namespace {

using speech::Kind;
using speech::Utterance;

// The numbers in a text, in order ("300メートル先 制限60キロ" gives 300, 60).
std::vector<double> numbers_in(std::string_view text) {
    std::vector<double> out;
    for (size_t i = 0; i < text.size();) {
        if (text[i] < '0' || text[i] > '9') {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < text.size() && ((text[j] >= '0' && text[j] <= '9') || text[j] == '.')) ++j;
        out.push_back(std::strtod(std::string(text.substr(i, j - i)).c_str(), nullptr));
        i = j;
    }
    return out;
}

// Everything the driver knows: what it heard, and what it did.
class ListeningDriver {
public:
    using Press = std::function<void(int64_t, char)>;
    explicit ListeningDriver(Press press) : press_(std::move(press)) {}

    void hear(const Utterance& u) {
        switch (u.kind) {
            case Kind::speed:
                speed_ = u.value;
                break;
            case Kind::limit:
                limit_ = static_cast<int>(u.value);
                break;
            case Kind::limit_ahead: {
                // The limit is the spoken number that is not the distance.
                const auto n = numbers_in(u.text);
                double limit = 0;
                for (double x : n)
                    if (x != u.value) limit = x;
                if (n.size() == 1) limit = n[0];
                if (limit > 0) {
                    next_limit_ = static_cast<int>(limit);
                    next_limit_m_ = u.value;
                } else {
                    next_limit_ = 0;
                }
                break;
            }
            case Kind::signal:
                aspect_ = aspect_of(static_cast<int32_t>(u.value));
                break;
            case Kind::stop_distance:
                stop_m_ = u.value;
                break;
            case Kind::stopped:
                if (u.value != 0) stop_m_ = -u.value;
                break;
            case Kind::time:
                margin_s_ = u.value;
                break;
            case Kind::ats:
                if (static_cast<int>(u.value) == speech::kAtsAlarm) ats_alarm_ = true;
                break;
            case Kind::vigilance:
                if (u.value == 1) vigilance_alarm_ = true;
                break;
            case Kind::doors:
                doors_open_ = u.value != 0;
                if (!doors_open_) closing_ = false;
                break;
            case Kind::handles:
                handle_ = u.value;
                break;
            case Kind::overspeed:
                overspeed_ = true;
                break;
            case Kind::station:
                break;
        }
    }

    void decide(int64_t t) {
        if (!calibrated_) return calibrate(t);
        dead_reckon();
        if (ats_alarm_) {
            // Brake at least a notch, then confirm.
            if (handle_ >= 0) handle_to(t, -1);
            key(t, ' ');
            ats_alarm_ = false;
        }
        if (vigilance_alarm_ || t - last_key_ > 30000) {
            key(t, ' ');
            vigilance_alarm_ = false;
        }
        ask(t);
        if (doors_open_) {
            handle_to(t, -std::max(1, max_brake_ / 2));
            // One-man: the driver closes the doors once the timetable says to go.
            if (t - last_time_ask_ >= 2000) {
                key(t, speech::kKeyTime);
                last_time_ask_ = t;
            }
            if (margin_s_ < -1 && !closing_) {
                key(t, '7');
                closing_ = true;
            }
            opened_here_ = true;
            return;
        }
        const double v = speed_;
        const double remaining = stop_m_ - 1.0;
        if (stop_m_ > 50) opened_here_ = false;
        // Standing at the stop point with the doors still shut (one-man): open them.
        if (!opened_here_ && v == 0 && stop_m_ < 30 && stop_m_ > -30) {
            handle_to(t, -std::max(1, max_brake_ / 2));
            key(t, '7');
            opened_here_ = true;
            return;
        }
        const double full = per_notch_ * max_brake_;  // km/h/s at the last service notch
        const double rate = full * 0.45;             // what the driver plans with
        double allowed = limit_ > 0 ? limit_ - 7.0 : 40.0;
        if (next_limit_ > 0 && next_limit_ < limit_)
            allowed = std::min(allowed, std::sqrt(std::pow(next_limit_ - 5.0, 2) + 7.2 * rate * std::max(0.0, next_limit_m_ - 30)));
        if (aspect_ == Aspect::R || aspect_ == Aspect::YY) allowed = std::min(allowed, 25.0);
        if (aspect_ == Aspect::Y) allowed = std::min(allowed, 45.0);
        const bool stopping = remaining < 1500;
        if (stopping) allowed = std::min(allowed, std::sqrt(std::max(0.0, 7.2 * rate * remaining)));
        int want = 0;
        const double need = v * v / (7.2 * std::max(0.5, remaining));
        if (stopping && remaining < 400 && need > rate * 0.5) {
            want = -std::clamp(static_cast<int>(std::ceil(need / full * max_brake_ * 1.1)), 1, max_brake_);
        } else if (v > allowed + 2 || overspeed_) {
            want = -std::clamp(static_cast<int>((v - allowed) / 3) + 1, 1, max_brake_);
        } else if (v < allowed - 6) {
            want = stopping && remaining < 60 ? 1 : max_power_;
        }
        if (stopping && remaining < 1.5 && v < 3) want = -max_brake_;
        overspeed_ = false;
        learn(t, v);
        handle_to(t, want);
    }

private:
    void key(int64_t t, char c) {
        press_(t, c);
        last_key_ = t;
    }

    // Finds the handle's ends by moving it and listening: up to full power, down to the
    // last service notch.
    void calibrate(int64_t t) {
        key(t, speech::kKeyHandles);
        for (int guard = 0; guard < 16; ++guard) {
            const double before = handle_;
            key(t, '8');
            key(t, speech::kKeyHandles);
            if (handle_ == before) break;
        }
        max_power_ = std::max(1, static_cast<int>(handle_));
        for (int guard = 0; guard < 40; ++guard) {
            const double before = handle_;
            key(t, '2');
            key(t, speech::kKeyHandles);
            if (handle_ == before) break;
        }
        max_brake_ = std::max(1, static_cast<int>(-handle_));
        calibrated_ = true;
        handle_to(t, -std::max(1, max_brake_ / 2));
    }

    // Moves the handle key by key, listening to where it went.
    void handle_to(int64_t t, int want) {
        for (int guard = 0; guard < 16 && handle_ != want; ++guard) {
            const double before = handle_;
            key(t, handle_ < want ? '8' : '2');
            key(t, speech::kKeyHandles);
            if (handle_ == before) break;
        }
    }

    // Asks for what it cannot hear by itself: the speed often, near the stop every step.
    void ask(int64_t t) {
        const bool near = stop_m_ < 150;
        if (t - last_speed_ask_ >= (near ? 100 : 500)) {
            key(t, speech::kKeySpeed);
            last_speed_ask_ = t;
        }
        if (t - last_limit_ask_ >= 2000) {
            key(t, speech::kKeyLimit);
            last_limit_ask_ = t;
        }
        const int64_t every = stop_m_ < 40 ? 100 : stop_m_ < 600 ? 1000 : 3000;
        if (t - last_station_ask_ >= every) {
            key(t, speech::kKeyStation);
            last_station_ask_ = t;
        }
    }

    // Between answers the distances run down with the speed.
    void dead_reckon() {
        const double m = speed_ * 0.1 / 3.6;
        stop_m_ -= m;
        next_limit_m_ -= m;
    }

    // The brake's strength per notch, from the speed it heard while one notch held.
    void learn(int64_t t, double v) {
        const int notch = handle_ < 0 ? static_cast<int>(-handle_) : 0;
        if (notch != learn_notch_ || v < 15) {
            learn_notch_ = notch;
            learn_from_ = t;
            learn_speed_ = v;
            return;
        }
        if (notch == 0 || t - learn_from_ < 3000) return;
        const double decel = (learn_speed_ - v) / ((t - learn_from_) / 1000.0);
        const double sample = decel / notch;
        if (sample > 0.1 && sample < 2.0) per_notch_ = std::clamp(0.6 * per_notch_ + 0.4 * sample, 0.2, 1.5);
        learn_from_ = t;
        learn_speed_ = v;
    }

    Press press_;
    bool calibrated_ = false;
    int max_power_ = 1, max_brake_ = 1;
    double per_notch_ = 0.45;  // km/h/s per brake notch, until heard otherwise
    double speed_ = 0, handle_ = 0, margin_s_ = 0;
    double stop_m_ = 1e9, next_limit_m_ = 1e9;
    int limit_ = 0, next_limit_ = 0;
    Aspect aspect_ = Aspect::None;
    bool doors_open_ = true, closing_ = false, opened_here_ = true;
    bool ats_alarm_ = false, vigilance_alarm_ = false, overspeed_ = false;
    int64_t last_key_ = 0, last_speed_ask_ = -100000, last_limit_ask_ = -100000, last_station_ask_ = -100000;
    int64_t last_time_ask_ = -100000;
    int learn_notch_ = 0;
    int64_t learn_from_ = 0;
    double learn_speed_ = 0;
};

std::string key_name(char c) { return c == ' ' ? std::string("space") : std::string(1, c); }

}  // namespace

HeardDrive derive_drive_by_ear(const std::filesystem::path& data_dir, const std::string& train,
                               const std::string& route, int32_t frames) {
    HeardDrive out;
    DrivenRun driven(frames);
    if (std::string error = driven.load(data_dir, train, route); !error.empty()) {
        out.drive.error = error;
        return out;
    }
    auto& run = driven.run;
    sim::SimSoundChannels& sound = driven.sound;
    speech::Announcer announcer;
    std::string& script = out.drive.script;
    std::unique_ptr<ListeningDriver> driver;
    // What the cab says goes into the log, and the driver hears it from there.
    auto deliver = [&] {
        for (const Utterance& u : announcer.take()) {
            const std::string line = speech::log_line(u);
            out.speech_log += line;
            if (const auto heard = speech::parse_log_line(line)) driver->hear(*heard);
        }
    };
    driver = std::make_unique<ListeningDriver>([&](int64_t t, char c) {
        AsciiDown(*run, c);
        drain_posted(*run);
        announcer.request(*run, c, t);
        deliver();
        script += std::to_string(t) + " key " + key_name(c) + "\n";
    });
    // The harness, not the driver, knows where the line ends.
    int last_stop = -1;
    for (size_t i = 0; i < run->route.stations.size(); ++i)
        if (run->route.stations[i].type != 1) last_stop = static_cast<int>(i);
    Scheduler scheduler;
    sound.set_time(1000);
    if (start1Click(*run)) scheduler.start(1000);
    script = "1000 start\n";
    auto after_step = [&](int64_t ms) {
        announcer.observe(*run, ms);
        deliver();
    };
    for (int64_t t = 1050; t < 3600 * 1000; t += 100) {
        run_virtual_until(scheduler, *run, sound, t - 1, after_step);
        sound.set_time(t);
        driver->decide(t);
        const auto& st = run->route.stations;
        const int32_t f = run->core.Frame;
        if (last_stop >= 0 && run->core.TractionCut && f >= st[static_cast<size_t>(last_stop)].platform_start &&
            f <= st[static_cast<size_t>(last_stop)].platform_end && t > 5000) {
            out.drive.end_ms = t;
            break;
        }
        if (run->core.AtsEmergency) {
            out.drive.error = "ATS emergency at frame " + std::to_string(f);
            break;
        }
    }
    if (out.drive.error.empty() && out.drive.end_ms <= 0) out.drive.error = "the drive did not reach the last station";
    return out;
}

}  // namespace vantrel::driving
