#include "dynamics/traction.hpp"

#include <cmath>
#include <cstddef>

#include "common/fixed_point.hpp"
#include "app/run.hpp"
#include "dynamics/handles.hpp"

namespace vantrel {

namespace {

constexpr int32_t kGearChangeTicks = 80;  // 2.64 s without effort

// d^n by repeated multiplication; n <= 0 gives 1. Absurd exponents (speeds no train
// reaches) fall back to powl so that the tick stays short.
long double power_of(long double d, long long n) {
    if (n > 100000) return std::pow(d, static_cast<long double>(n));
    long double r = 1;
    for (long long i = 0; i < n; ++i) r *= d;
    return r;
}

// Adds the force of acceleration a (km/h/s) of the whole train to TractiveForce.
void add_accel_force(Run& run, long double a) {
    const long double f = real(run.train.tons) * 1000.0L * a / 3.6L;  // N
    run.core.TractiveForce = round_store(static_cast<long double>(run.core.TractiveForce) + f * 10000.0L);
}

long double abs_speed(const Run& run) { return std::fabs(real(run.core.Speed)); }

const GearEntry* current_gear(const Run& run) {
    const int32_t g = run.traction.gear;
    if (g < 0 || static_cast<size_t>(g) >= run.train.gears.size()) return nullptr;
    return &run.train.gears[static_cast<size_t>(g)];
}

// (x - from) / (to - from), 0 for an empty range.
long double fraction(long double x, long double from, long double to) {
    return to == from ? 0.0L : (x - from) / (to - from);
}

}  // namespace

void electric_effort(Run& run) {
    const TrainParams& t = run.train;
    const int32_t notch = run.core.PowerNotch;
    if (t.engine_type != 1 || notch <= 0 || static_cast<size_t>(notch) > t.notches.size()) return;
    const NotchCurve& n = t.notches[static_cast<size_t>(notch) - 1];
    const long double v = abs_speed(run);
    const long double a0 = n.start_accel, a1 = n.base_accel, d = n.decay;
    const long double vb = n.base_speed, vc = n.char_speed;
    // At standstill a constant-power region (base speed 0) gives no effort rather than 0/0.
    const long double constant_power = v > 0 ? a1 * vb / v : 0.0L;
    long double a = 0;
    if (v < vb) a = a0 + (a1 - a0) * v / vb;
    if (vb <= v && v < vc) a = constant_power;
    if (v >= vc) {
        // Whole km/h, rounded half to even like every other rounding of the run.
        const auto whole = static_cast<long long>(round_half_even(v));
        TractionState& tr = run.traction;
        if (whole != tr.decay_speed || n.char_speed != tr.decay_char_speed || !(n.decay == tr.decay_base)) {
            const long double num = power_of(d, whole);
            const long double den = power_of(d, n.char_speed);
            tr.decay = den != 0 ? num / den : power_of(d, whole - static_cast<long long>(n.char_speed));
            tr.decay_speed = whole;
            tr.decay_char_speed = n.char_speed;
            tr.decay_base = n.decay;
        }
        a = constant_power * tr.decay;
    }
    add_accel_force(run, a);
}

void diesel_gear_selection(Run& run) {
    TractionState& tr = run.traction;
    if (run.train.engine_type != 0 || tr.gear_changing || run.train.gear_manual != 0) return;
    const GearEntry* g = current_gear(run);
    if (g == nullptr) return;
    // The table's ends bound the target: beyond them there is no curve to drive on.
    const int32_t top = static_cast<int32_t>(run.train.gears.size()) - 1;
    if (g->high_speed < abs_speed(run) && tr.target_gear < top) {
        tr.target_gear += 1;
        tr.gear_changing = true;
    }
    if (g->low_speed > std::fabs(real(run.core.Speed) + 5.0L) && tr.target_gear > 0) {
        tr.target_gear -= 1;
        tr.gear_changing = true;
    }
}

void diesel_effort(Run& run) {
    const TrainParams& t = run.train;
    const TractionState& tr = run.traction;
    const int32_t notch = run.core.PowerNotch;
    if (t.engine_type != 0 || tr.gear_changing || notch <= 0 || t.power_notches <= 0) return;
    const GearEntry* g = current_gear(run);
    if (g == nullptr) return;
    const long double v = abs_speed(run);
    const long double lo = g->low_speed, mid = g->mid_speed, hi = g->high_speed;
    long double a = 0;
    if (v < mid) a = g->low_accel + (mid == lo ? 0.0L : (g->mid_accel - g->low_accel) / (mid - lo) * std::fabs(v - lo));
    if (mid <= v && v < hi) {
        a = g->mid_accel + (hi == mid ? 0.0L : (g->high_accel - g->mid_accel) / (hi - mid) * std::fabs(v - mid));
    }
    if (v >= hi) a = 0;
    const long double f = real(t.tons) * 1000.0L * (tr.EngineRev / 100.0L * a) / 3.6L / t.power_notches * notch;
    run.core.TractiveForce = round_store(static_cast<long double>(run.core.TractiveForce) + f * 10000.0L);
}

void gear_change_wait(Run& run) {
    TractionState& tr = run.traction;
    if (run.train.engine_type != 0 || !tr.gear_changing) return;
    HandleState& h = run.handles;
    h.power_counter += 1;
    if (h.power_counter >= kGearChangeTicks) {
        h.power_counter = 0;
        tr.gear = tr.target_gear;
        tr.gear_changing = false;
        masconupdate(run);
    }
}

void engine_output_step(Run& run) {
    const TrainParams& t = run.train;
    TractionState& tr = run.traction;
    if (t.engine_type != 0) return;
    const int32_t notch = run.core.PowerNotch;
    if (notch != 0 && !tr.gear_changing) {
        if (tr.EngineLevel < 95) tr.EngineLevel += 5;
        const GearEntry* g = current_gear(run);
        if (g != nullptr) {
            const long double lo = g->low_speed, hi = g->high_speed;
            if (tr.gear == 0) {
                const long double cap =
                    t.power_notches > 0 ? 50.0L + 50.0L * notch / t.power_notches : 100.0L;
                if (tr.EngineRev < 96 && tr.EngineRev < cap) tr.EngineRev += 4;
                const long double signed_v = real(run.core.Speed);
                if (tr.EngineRev < 96.0L * (0.5L + 0.5L * fraction(signed_v, lo, hi)) && tr.EngineRev < cap) {
                    tr.EngineRev += 4;
                }
            } else if (tr.gear >= 1) {
                if (tr.EngineRev < 96.0L * (0.7L + 0.3L * fraction(abs_speed(run), lo, hi))) tr.EngineRev += 4;
            }
        }
    }
    if (notch == 0 || tr.gear_changing) {
        if (tr.EngineLevel > 3) tr.EngineLevel -= 3;
        if (tr.EngineRev > 50) tr.EngineRev -= 2;
    }
    // Gear fall-back: the target gear is left as it is.
    const bool slow = run.core.Speed < 25 * kFixedOne;
    if (tr.gear >= 1 && slow) tr.gear = 0;
    if (slow) tr.gear_changing = false;
}

void ammeter_step(Run& run) {
    TractionState& tr = run.traction;
    const long double m = real(run.train.tons);
    const long double a = m != 0 ? real(run.core.ForceSnapshot) / (m * 1000.0L) * 3.6L : 0.0L;
    const long double speed = real(run.core.Speed);
    if (run.core.PowerNotch > 0 && speed < 72) {
        tr.target_current = round_int(a * 6 * speed);
    } else if (run.core.PowerNotch > 0) {
        tr.target_current = round_int(a * 420);
    } else {
        tr.target_current = 0;
    }
    const long long diff = static_cast<long long>(tr.target_current) - tr.shown_current;
    const long long mag = diff < 0 ? -diff : diff;
    const int32_t step = mag > 100 ? 100 : mag > 50 ? 50 : 10;
    if (diff > 0) tr.shown_current += step;
    if (diff < 0) tr.shown_current -= step;
}

void gear_up(Run& run) {
    TractionState& tr = run.traction;
    const int32_t count = static_cast<int32_t>(run.train.gears.size());
    if (run.train.engine_type != 0 || run.train.gear_manual != 1 || run.core.PowerNotch != 0) return;
    if (tr.target_gear >= count - 1) return;
    tr.target_gear += 1;
    tr.gear_changing = true;
    masconupdate(run);
}

void gear_down(Run& run) {
    TractionState& tr = run.traction;
    if (run.train.engine_type != 0 || run.train.gear_manual != 1 || run.core.PowerNotch != 0) return;
    if (tr.target_gear <= 0) return;
    tr.target_gear -= 1;
    tr.gear_changing = true;
    masconupdate(run);
}

}  // namespace vantrel
