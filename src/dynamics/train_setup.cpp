#include "dynamics/train_setup.hpp"

#include <algorithm>
#include <initializer_list>

#include "common/fixed_point.hpp"
#include "app/run.hpp"
#include "dynamics/handles.hpp"

namespace vantrel {

namespace {

// Room for the longest label text, so that masconupdate never allocates during a run
// (the 33 ms tick calls it at the end of a gear change).
void reserve_labels(Run& run) {
    const Strings& s = run.strings;
    size_t longest = 16;
    for (const std::string* text : {&s.forward, &s.neutral, &s.reverse, &s.neut, &s.neut2, &s.maintain, &s.hold,
                                    &s.apply, &s.hold2, &s.eb}) {
        longest = std::max(longest, text->size());
    }
    run.view.Label1.reserve(longest);
    run.view.PowerLabel.reserve(longest);
    run.view.BrakeLabel.reserve(longest);
    run.view.GearLabel.reserve(longest);
}

}  // namespace

std::optional<std::string> init_train_state(Run& run) {
    TrainParams& t = run.train;
    // The automatic brake has release, three service positions and emergency.
    if (t.brake_type == 0) t.brake_notches = 4;
    // Checked before any use: the handles start at the negated notch count.
    if (t.brake_type != 0 && t.brake_notches < 3) return std::string(kTooFewBrakeNotches);

    CoreState& c = run.core;
    c.Speed = 0;
    c.Reverser = 1;
    c.TractiveForce = 0;
    c.ResistanceForce = 0;
    c.ForceSnapshot = 0;
    c.ProjectedSpeed = 0;
    c.Wheel = WheelState::None;
    c.AdhesionBase = 3450;
    c.LineVoltage = 1500 * kFixedOne;
    c.Voltmeter = 1000 * kFixedOne;
    c.TractionCut = true;
    c.DistanceStep = 0;
    c.RemainingDistance = 0;
    c.FollowVideo = false;
    c.BcPressure = static_cast<int64_t>(t.eb_press) * kFixedOne;
    c.MrPressure = static_cast<int64_t>(t.high_air_press) * kFixedOne;
    c.ErPressure = 0;
    c.SapPressure = 0;
    c.BcGauge = 0;

    run.traction = TractionState{};
    run.brake = BrakeState{};

    reserve_labels(run);
    run.view.GearLabel = "変";
    run.view.GearLabel_visible = t.engine_type == 0;

    reset_handles(run);
    return std::nullopt;
}

}  // namespace vantrel
