#pragma once
// The core run-time state shared by every part of a run, under its established names.
#include <cstdint>
#include <string_view>

namespace vantrel {

enum class WheelState { None, Normal, Racing, Sliding };

[[nodiscard]] constexpr std::string_view wheel_state_text(WheelState w) {
    switch (w) {
        case WheelState::Normal: return "Normal";
        case WheelState::Racing: return "Racing";
        case WheelState::Sliding: return "Sliding";
        case WheelState::None: break;
    }
    return "";
}

struct CoreState {
    int64_t Speed = 0;  // km/h x 10000, negative backwards
    int32_t Reverser = 1;
    int32_t PowerHandle = 0;
    int32_t BrakeHandle = 0;  // 0 released, -1 .. -(B-1) service, -B emergency
    bool HoldPosition = false;
    int32_t PowerNotch = 0, BrakeNotch = 0, SapNotch = 0;  // in force
    int64_t TractiveForce = 0;    // N x 10000
    int64_t ResistanceForce = 0;  // N x 10000
    int64_t ForceSnapshot = 0;    // N x 10000, for the ammeter
    int64_t ProjectedSpeed = 0;   // km/h x 10000
    WheelState Wheel = WheelState::None;
    int64_t AdhesionCoefficient = 0;  // x 10000
    int64_t AdhesionBase = 3450;      // x 10000
    int64_t EffectiveBrakeRate = 0;   // km/h/s x 10000
    int64_t Gradient = 0;             // per mille x 10000, positive uphill
    int64_t LineVoltage = 1500 * 10000;  // V x 10000
    int64_t Voltmeter = 1000 * 10000;    // V x 10000
    bool TractionCut = true;  // the doors-open flag
    bool AtsEmergency = false;
    bool AtsBrake = false;
    long double Distance = 0;           // cm
    long double DistanceStep = 0;       // cm in the last tick
    long double TargetDistance = 0;     // cm, next stop point
    long double RemainingDistance = 0;  // cm
    int32_t ClockTicks = 0;  // 1/30 s, 108000 per hour
    int32_t Frame = 0;
    bool FollowVideo = false;
    // Pressures, kPa x 10000.
    int64_t BcPressure = 0, BcGauge = 0, ErPressure = 0, MrPressure = 0, SapPressure = 0;
};

}  // namespace vantrel
