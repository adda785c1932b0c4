#include "dynamics/motion.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/fixed_point.hpp"
#include "app/run.hpp"
#include "dynamics/air_brake.hpp"
#include "dynamics/handles.hpp"
#include "dynamics/traction.hpp"
#include "dynamics/video_position.hpp"

namespace vantrel {

namespace {

constexpr long double kGravity = 9.8L;            // m/s^2
constexpr int64_t kVoltmeterStep = 100 * kFixedOne;  // V per 100 ms

// Speed change in one 100 ms step (km/h x 10000) from a force (N x 10000): the
// acceleration in m/s^2 times 3.6 km/h/s times 0.1 s. A train of no mass does not move.
int64_t speed_change(int64_t force, int64_t tons) {
    const long double m = real(tons);
    if (m == 0) return 0;
    return round_store(real(force) / (m * 1000.0L) * 3.6L / 10.0L * 10000.0L);
}

// Shoe friction, rising as the speed falls.
long double shoe_friction(long double v) { return 0.32L * (0.01L * v + 1) / (0.05L * v + 1); }

// The voltmeter follows the line voltage by 100 V per step.
void voltmeter_step(CoreState& c) {
    if (c.Voltmeter < c.LineVoltage) c.Voltmeter = std::min(c.Voltmeter + kVoltmeterStep, c.LineVoltage);
    if (c.Voltmeter > c.LineVoltage) c.Voltmeter = std::max(c.Voltmeter - kVoltmeterStep, c.LineVoltage);
}

void traction_block(Run& run) {
    CoreState& c = run.core;
    if (!c.TractionCut && !c.AtsBrake && !c.AtsEmergency) {
        electric_effort(run);
        diesel_gear_selection(run);
        diesel_effort(run);
        gear_change_wait(run);
        power_delay_step(run);
        if (c.Reverser == 0) c.TractiveForce = 0;
        if (c.Reverser == -1) c.TractiveForce = -c.TractiveForce;
    }
    c.ForceSnapshot = c.TractiveForce;
}

}  // namespace

void MMTimer1Timer(Run& run) {
    CoreState& c = run.core;
    c.TractiveForce = 0;
    c.ResistanceForce = 0;

    if (c.LineVoltage > 0 && c.Speed < static_cast<int64_t>(run.train.max_speed) * kFixedOne) traction_block(run);

    brake_pressure_step(run);
    brake_delay_steps(run);

    if (run.has_route) advance_video(run);

    if (c.Speed != 0) {
        c.DistanceStep = static_cast<long double>(c.Speed) / 36000.0L * 33333.0L / 10000.0L;
        c.Distance += c.DistanceStep;
    }
    c.RemainingDistance = c.TargetDistance - c.Distance;

    // Bounded start times give a day of driving ample room; only the clock test key
    // can carry the clock to its limit, where it stops rather than wrap.
    if (c.ClockTicks < std::numeric_limits<int32_t>::max()) c.ClockTicks += 1;

    if (c.FollowVideo) c.Speed = static_cast<int64_t>(run.video.FilmedSpeed) * kFixedOne;

    if (run.has_route) advance_preceding_train(run);
}

void dynamics_step(Run& run) {
    CoreState& c = run.core;
    const TrainParams& t = run.train;
    const long double v = real(c.Speed);
    const long double av = std::fabs(v);
    const long double tons = real(t.tons);
    const int64_t fade = static_cast<int64_t>(t.lose_elec) * kFixedOne;

    // 1. Effective brake rate.
    c.EffectiveBrakeRate = t.brake_rate;
    if (0 < c.Speed && c.Speed < fade) {
        c.EffectiveBrakeRate = round_store(static_cast<long double>(t.brake_rate) * shoe_friction(v) /
                                           shoe_friction(static_cast<long double>(t.lose_elec)));
    }
    if (c.Speed < 3 * kFixedOne) c.EffectiveBrakeRate = round_store(static_cast<long double>(c.EffectiveBrakeRate) / 2);

    // 2. Brake force; the regenerative share shows on the ammeter. A standing train
    // keeps it aside: it holds the train against what would start it (below).
    long double standing_brake = 0;  // N x 10000
    if (c.BcPressure > 0 && t.eb_press > 0) {
        const long double f = real(c.EffectiveBrakeRate) * real(c.BcPressure) / t.eb_press / 3.6L * tons * 1000.0L;
        if (c.Speed > 0) c.TractiveForce = round_store(static_cast<long double>(c.TractiveForce) - f * 10000.0L);
        if (c.Speed < 0) c.TractiveForce = round_store(static_cast<long double>(c.TractiveForce) + f * 10000.0L);
        if (c.Speed == 0) standing_brake = f * 10000.0L;
        if (c.Speed > fade && c.BrakeNotch != -t.brake_notches && !c.AtsEmergency) c.ForceSnapshot = c.TractiveForce;
    }

    // 3. Adhesion.
    c.AdhesionCoefficient = round_store(static_cast<long double>(c.AdhesionBase) * (1 + 0.05L * av) / (1 + 0.1L * av));
    const long double adhesion = real(c.AdhesionCoefficient);

    // 4. Gradient force.
    const long double g = real(c.Gradient);
    const long double slope = std::sqrt(g * g + 1000.0L * 1000.0L);
    c.ResistanceForce =
        round_store(static_cast<long double>(c.ResistanceForce) - tons * 1000.0L * kGravity * g / slope * 10000.0L);

    // 5. Wheel state.
    const long double cos = 1000.0L / slope;
    const long double tf = static_cast<long double>(c.TractiveForce);
    const long double mt = real(t.mt);
    if (c.PowerHandle > 0 && tf > cos * adhesion * mt * 1000.0L * kGravity * 10000.0L) {
        c.TractiveForce = round_store(0.5L * adhesion * mt * 1000.0L * kGravity * 10000.0L);
        c.Wheel = WheelState::Racing;
    } else if (c.BrakeHandle < 0 && -tf > cos * adhesion * tons * 1000.0L * kGravity * 10000.0L) {
        c.TractiveForce = round_store(-adhesion * tons * 1000.0L * kGravity * 10000.0L);
        c.Wheel = WheelState::Sliding;
    } else {
        c.Wheel = WheelState::Normal;
    }

    // 6. Starting resistance, 8 kgf/t at standstill fading out at 8 km/h.
    if (av < 8) {
        const long double r = (8 - av) * kGravity * tons * 10000.0L;
        if (c.Speed > 0) c.ResistanceForce = round_store(static_cast<long double>(c.ResistanceForce) - r);
        if (c.Speed < 0) c.ResistanceForce = round_store(static_cast<long double>(c.ResistanceForce) + r);
    }

    // 7. Running resistance against the direction of motion.
    if (av > 0.1L) {
        const long double r =
            ((1.32L + 0.0164L * av) * tons + (0.028L + 0.0078L * (t.cars - 1)) * v * v) * kGravity * 10000.0L;
        if (c.Speed > 0) c.ResistanceForce = round_store(static_cast<long double>(c.ResistanceForce) - r);
        if (c.Speed < 0) c.ResistanceForce = round_store(static_cast<long double>(c.ResistanceForce) + r);
    }

    // 8. The hold position cancels the net push on a down grade.
    if (c.ResistanceForce > 0 && c.HoldPosition && c.Gradient < 0)
        c.TractiveForce = round_store(static_cast<long double>(c.TractiveForce) - c.ResistanceForce);

    // A standing train held by its brake: the brake takes up the net force up to its own
    // size. If it holds, the train stays exactly where it is; if not, it starts with
    // what is left over.
    if (c.Speed == 0 && standing_brake > 0) {
        const long double net = static_cast<long double>(c.TractiveForce) + static_cast<long double>(c.ResistanceForce);
        if (std::fabs(net) <= standing_brake) {
            c.TractiveForce = 0;
            voltmeter_step(c);
            return;
        }
        const long double tf = static_cast<long double>(c.TractiveForce);
        c.TractiveForce = round_store(net > 0 ? tf - standing_brake : tf + standing_brake);
    }

    // 9 and 10. Stop detection: a moving train whose brakes would carry it through
    // zero within this step, forwards or backwards, stops exactly there, with no
    // resistance added after.
    const int64_t d_tractive = speed_change(c.TractiveForce, t.tons);
    const int64_t d_resistance = speed_change(c.ResistanceForce, t.tons);
    c.ProjectedSpeed = round_store(static_cast<long double>(c.Speed) + d_tractive + d_resistance);
    const long double abs_tf = std::fabs(static_cast<long double>(c.TractiveForce));
    const long double abs_rf = std::fabs(static_cast<long double>(c.ResistanceForce));
    const bool opposes = (c.TractiveForce < 0 && c.Speed > 0) || (c.TractiveForce > 0 && c.Speed < 0);
    const bool stops = c.Speed != 0 && opposes && abs_rf < abs_tf &&
                       static_cast<long double>(c.Speed) * static_cast<long double>(c.ProjectedSpeed) <= 0;
    if (stops) {
        c.Speed = 0;
        c.TractiveForce = 0;
    } else {
        // 11. Speed integration.
        // In extended precision, exact for every int64; a sum beyond it saturates.
        c.Speed = round_store(static_cast<long double>(c.Speed) + d_resistance);
        c.Speed = round_store(static_cast<long double>(c.Speed) + d_tractive);
    }

    voltmeter_step(c);
}

}  // namespace vantrel
