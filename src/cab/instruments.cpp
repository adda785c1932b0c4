#include "cab/instruments.hpp"

#include <algorithm>
#include <string>

#include "common/fixed_point.hpp"
#include "app/run.hpp"

namespace vantrel {

void speed_readout(Run& run) {
    run.view.digi_speed = std::to_string(round_int(real(run.core.Speed))) + "km/h";
}

namespace {

// Pressure and voltage needles: the stored value keeps its ten-thousandths.
int fixed_needle(const NeedleDef& n, int64_t stored, NeedleMemo& memo) {
    if (memo.valid && memo.stored == stored && memo.scale == n.scale && memo.zero_angle == n.zero_angle)
        return memo.angle;
    const int angle = round_int((n.scale * static_cast<long double>(stored) + n.zero_angle * 10000.0L) / 10000.0L);
    memo = {stored, n.scale, n.zero_angle, angle, true};
    return angle;
}

}  // namespace

void needles_step(Run& run) {
    const CoreState& c = run.core;
    const PanelDef& p = run.train.panel;
    CabView& v = run.view;
    // The speed needle rests at 160 km/h and above, and ignores a slight backwards creep.
    const int64_t speed = c.Speed < 0 ? -c.Speed : c.Speed;
    if (speed < 160 * kFixedOne && (c.Speed >= 0 || speed >= kFixedOne))
        v.Needle_Speed = round_int(real(speed) * p.needle_speed.scale + p.needle_speed.zero_angle);
    const int32_t current = run.traction.shown_current;
    if (current > -1500 && current < 1500)
        v.Needle_I = round_int(current * p.needle_i.scale + p.needle_i.zero_angle);
    v.Needle_V = fixed_needle(p.needle_v, c.Voltmeter, v.memo_V);
    v.Needle_BC = fixed_needle(p.needle_bc, c.BcGauge, v.memo_BC);
    v.Needle_ER = fixed_needle(p.needle_er, c.ErPressure, v.memo_ER);
    v.Needle_BP = fixed_needle(p.needle_bp, c.ErPressure, v.memo_BP);
    v.Needle_MR = fixed_needle(p.needle_mr, c.MrPressure, v.memo_MR);
    v.Needle_SAP = fixed_needle(p.needle_sap, c.SapPressure, v.memo_SAP);
}

void instruments_step(Run& run) {
    needles_step(run);
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
