#include "dynamics/air_brake.hpp"

#include <cstdlib>

#include "common/fixed_point.hpp"
#include "app/run.hpp"

namespace vantrel {

namespace {

// kPa as a fixed-point amount (x 10000), for comparisons.
constexpr long double fx(long double kpa) { return kpa * 10000.0L; }

// Moves a pressure by `kpa` and stores it rounded.
void add(int64_t& pressure, long double kpa) {
    pressure = round_store(static_cast<long double>(pressure) + fx(kpa));
}

void clamp(int64_t& pressure) {
    if (pressure < 0) pressure = 0;
}

struct Inputs {
    long double u, d, e, s;  // kPa/s, kPa/s, kPa, kPa
    int32_t b;               // brake notches, emergency included
    int32_t n, ns;           // BrakeNotch, SapNotch
    bool imposed;            // AtsEmergency or AtsBrake
};

Inputs inputs(const Run& run) {
    const TrainParams& t = run.train;
    return {static_cast<long double>(t.brake_up), static_cast<long double>(t.brake_down),
            static_cast<long double>(t.eb_press), static_cast<long double>(t.sap_press),
            t.brake_notches, run.core.BrakeNotch, run.core.SapNotch,
            run.core.AtsEmergency || run.core.AtsBrake};
}

// Brake-pipe pressure from which the cylinder may release (types 1 and gauge).
long double release_level(const Inputs& in) { return fx(in.e * (1.0L - 1.0L / in.b)); }

void automatic_brake(CoreState& c, const Inputs& in) {
    const auto emergency = [&] {
        if (c.BcPressure < fx(in.e)) {
            add(c.BcPressure, in.u / 9);
            add(c.MrPressure, -in.u / 99);
            add(c.SapPressure, -in.d / 90);
        }
        add(c.ErPressure, -in.u / 18);
        clamp(c.SapPressure);
        clamp(c.ErPressure);
    };
    if (in.imposed) {
        emergency();
        return;
    }
    switch (in.n) {
        case 0:  // release: the brake pipe recharges, the cylinder follows below it
            if (c.BcPressure < c.ErPressure) add(c.BcPressure, -in.d / 30);
            add(c.ErPressure, in.d / 75);
            clamp(c.BcPressure);
            if (c.ErPressure > fx(490)) {
                c.ErPressure = round_store(fx(490));
            } else {
                add(c.MrPressure, -in.u / 600);
            }
            break;
        case -1:  // maintain
            if (c.ErPressure < fx(490)) {
                add(c.ErPressure, in.d / 75);
                add(c.MrPressure, -in.u / 600);
            }
            break;
        case -2:  // lap
            break;
        case -3:  // apply: 2.5 times the brake-pipe reduction
            if (c.BcPressure < fx(in.e) &&
                static_cast<long double>(c.BcPressure) < (fx(490) - static_cast<long double>(c.ErPressure)) * 2.5L) {
                add(c.BcPressure, in.u / 30);
                add(c.SapPressure, -in.u / 90);
            }
            add(c.ErPressure, -in.u / 75);
            clamp(c.ErPressure);
            clamp(c.SapPressure);
            break;
        case -4:
            emergency();
            break;
        default:
            break;
    }
}

// Graded release in three bands; each test sees the value left by the one before.
void graded_release(int64_t& p, long double d, long double upper, long double lower) {
    if (p > fx(upper)) add(p, -d / 30);
    if (p > fx(lower) && p <= fx(upper)) add(p, -d / 60);
    if (p <= fx(lower)) add(p, -d / 120);
}

void straight_air_brake(CoreState& c, const Inputs& in) {
    const int32_t b = in.b;
    if (in.imposed) {
        if (c.BcPressure < fx(in.e)) {
            add(c.BcPressure, in.u / 15);
            add(c.MrPressure, -in.u / 150);
        }
        add(c.ErPressure, -in.u / 10);
        add(c.SapPressure, -in.u / 10);
        clamp(c.ErPressure);
        clamp(c.SapPressure);
    } else {
        if (-b < in.ns && in.ns < 0) {
            const long double target = fx(in.s * std::abs(in.ns) / (b - 1));
            if (c.SapPressure + fx(10) < target) add(c.SapPressure, in.u / 45);
            if (c.SapPressure > target) add(c.SapPressure, -in.d / 45);
        }
        if (-b < in.n && in.n < 0) {
            const long double target = fx(in.e * std::abs(in.n) / (b - 1));
            if (c.BcPressure + fx(10) < target) {
                add(c.BcPressure, in.u / 45);
                add(c.MrPressure, -in.u / 300);
            }
            if (c.BcPressure > target && c.ErPressure >= release_level(in)) add(c.BcPressure, -in.d / 45);
        }
        clamp(c.BcPressure);
        clamp(c.SapPressure);
        if (in.n == -b) {
            if (c.BcPressure < fx(in.e)) {
                add(c.BcPressure, in.u / 10);
                add(c.MrPressure, -in.u / 150);
            }
            add(c.ErPressure, -in.u / 10);
            add(c.SapPressure, -in.u / 10);
            clamp(c.ErPressure);
            clamp(c.SapPressure);
        }
        if (in.n == 0 && c.BcPressure > 0 && c.ErPressure >= release_level(in)) {
            graded_release(c.BcPressure, in.d, 200, 100);
            graded_release(c.SapPressure, in.d, 200, 50);
            clamp(c.BcPressure);
            clamp(c.SapPressure);
        }
    }
    // The brake pipe recharges in every position but emergency.
    if (in.n >= 1 - b) {
        add(c.ErPressure, in.d / 150);
        if (c.ErPressure > fx(500)) c.ErPressure = round_store(fx(500));
    }
}

void electric_command_brake(CoreState& c, const Inputs& in) {
    const int32_t b = in.b;
    const auto full = [&] {
        if (c.BcPressure < fx(in.e)) add(c.BcPressure, in.u / 30 * 1.3L);
    };
    if (in.imposed) {
        full();
        return;
    }
    if (-b < in.n && in.n < 0) {
        const long double target = fx(in.e * std::abs(in.n) / b);
        if (c.BcPressure + fx(10) < target) {
            add(c.BcPressure, in.u / 45);
            add(c.MrPressure, -in.u / 300);
        }
        if (c.BcPressure > target) add(c.BcPressure, -in.d / 45);
        clamp(c.BcPressure);
    }
    if (in.n == -b) full();
    if (in.n == 0 && c.BcPressure > 0) {
        int64_t& p = c.BcPressure;
        if (p >= fx(200)) add(p, -in.d / 30);
        if (p >= fx(100) && p < fx(200)) add(p, -in.d / 60);
        if (p < fx(100)) add(p, -in.d / 120);
        clamp(p);
    }
}

void gauge(Run& run, const Inputs& in) {
    CoreState& c = run.core;
    const TrainParams& t = run.train;
    if (t.mc != 1) {
        c.BcGauge = c.BcPressure;
        return;
    }
    const int64_t fade = static_cast<int64_t>(t.lose_elec) * kFixedOne;
    const bool blending = c.ErPressure >= release_level(in) && in.n != -in.b && c.Speed >= fade &&
                          (c.Speed == fade || c.BcPressure >= fx(50));
    if (!blending) {
        c.BcGauge = c.BcPressure;
        return;
    }
    if (c.BcGauge < fx(50)) add(c.BcGauge, in.u / 45);
    if (c.BcGauge > fx(50)) add(c.BcGauge, -in.u / 45);
}

}  // namespace

void brake_pressure_step(Run& run) {
    const Inputs in = inputs(run);
    // Fewer than two notches is refused at start-up; never divide by them here.
    if (in.b < 2) return;
    switch (run.train.brake_type) {
        case 0: automatic_brake(run.core, in); break;
        case 1: straight_air_brake(run.core, in); break;
        case 2: electric_command_brake(run.core, in); break;
        default: return;  // unknown types leave every pressure as it is
    }
    gauge(run, in);
}

void compressor_step(Run& run) {
    CoreState& c = run.core;
    const TrainParams& t = run.train;
    bool& on = run.brake.compressor_on;
    if (c.MrPressure < static_cast<int64_t>(t.low_air_press) * kFixedOne) {
        if (!on) {
            restart(run.sound(), t.cp_start);
            restart_looping(run.sound(), t.cp_cnt);
        }
        on = true;
    }
    if (on && c.MrPressure >= static_cast<int64_t>(t.high_air_press) * kFixedOne) {
        restart(run.sound(), t.cp_end);
        run.sound().stop(t.cp_cnt);
        on = false;
    }
    if (on) add(c.MrPressure, 0.3L);
}

}  // namespace vantrel
