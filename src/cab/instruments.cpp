#include "cab/instruments.hpp"

#include <algorithm>
#include <string>

#include "common/fixed_point.hpp"
#include "app/run.hpp"

namespace vantrel {

void speed_readout(Run& run) {
    run.view.digi_speed = std::to_string(round_int(real(run.core.Speed))) + "km/h";
}

void instruments_step(Run& run) {
    const CoreState& c = run.core;
    CabView& v = run.view;
    const int64_t lose_elec = static_cast<int64_t>(run.train.lose_elec) * kFixedOne;
    const int32_t emergency = -run.train.brake_notches;
    const bool service = c.BrakeNotch < 0 && c.BrakeNotch > emergency;
    const bool powering = !c.TractionCut && c.PowerNotch >= 1;

    v.Lamp_Power = powering;
    v.Lamp_Gen = (c.HoldPosition && c.ResistanceForce > 0 && c.Speed > lose_elec) || (service && c.Speed > lose_elec);
    if (powering) {
        v.Lamp_Ele = true;
    } else if (c.BrakeNotch >= 0 || c.BrakeHandle <= emergency) {
        v.Lamp_Ele = false;
    } else {
        v.Lamp_Ele = c.Speed > lose_elec;
    }
    v.Lamp_Air = service;
    for (size_t i = 0; i < v.Others.size(); ++i) v.Others[i] = true;

    // Gear indicator: picture gear + 1 while powering, picture 0 otherwise.
    const ImageListDef& gears = run.train.panel.gears;
    const int picture_count = static_cast<int>(gears.pictures.size());
    if (c.PowerNotch >= 1 && !run.traction.gear_changing) {
        if (run.traction.gear != v.gear_drawn) {
            const int picture = run.traction.gear + 1;
            v.Lamp_Gear = picture < picture_count ? picture : -1;
            v.gear_drawn = run.traction.gear;
        }
    } else {
        v.Lamp_Gear = picture_count > 0 ? 0 : -1;
        v.gear_drawn = -1;
    }

    // Timetable card: slides 30 pixels per tick towards where the driver wants it.
    if (!run.keys.card_wanted) {
        if (v.card_left < 640) v.card_left = std::min(v.card_left + 30, 640);
    } else {
        const int home = 640 - run.route.card.width;
        if (v.card_left > home) v.card_left = std::max(v.card_left - 30, home);
    }

    if (v.caption == "Vantrel" && run.has_route) v.caption = run.route.line_name;
}

void stopline_step(Run& run) {
    const long double r = run.core.RemainingDistance;
    if (r >= 20000) {
        run.view.stopline_top = -20;
    } else if (r > -10000) {
        run.view.stopline_top = 232 - round_int(r / 100 * 1.2L);
    } else if (r < -10000) {
        run.view.stopline_top = 366;
    }
}

}  // namespace vantrel
