#include "dynamics/handles.hpp"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/fixed_point.hpp"
#include "app/run.hpp"
#include "route/commentary.hpp"

namespace vantrel {

namespace {

// Assigning into the existing buffer keeps masconupdate free of allocations once
// the labels have their capacity (the tick calls it at the end of a gear change).
void set_text(std::string& label, std::string_view text) { label.assign(text.data(), text.size()); }

// A letter followed by a decimal number ("P3", "B2").
void set_numbered(std::string& label, char letter, int32_t n) {
    char buf[16];
    buf[0] = letter;
    const auto [end, ec] = std::to_chars(buf + 1, buf + sizeof buf, n);
    (void)ec;
    label.assign(buf, static_cast<size_t>(end - buf));
}

// A picture slot index, or -1 where the image list has no such picture.
int picture(int index, size_t count) {
    return index >= 0 && static_cast<size_t>(index) < count ? index : -1;
}

std::string_view gear_name(int32_t gear) {
    switch (gear) {
        case 0: return "変";
        case 1: return "直1";
        case 2: return "直2";
        case 3: return "直3";
        case 4: return "直4";
        default: return {};
    }
}

}  // namespace

void mark_handles_changed(Run& run) {
    run.handles.power_pending = true;
    run.handles.brake_pending = true;
    run.handles.sap_pending = true;
}

bool lever_towards_power(Run& run) {
    CoreState& c = run.core;
    const TrainParams& t = run.train;
    if (c.BrakeHandle == 0 && c.PowerHandle < t.power_notches && !c.HoldPosition) c.PowerHandle += 1;
    if (c.HoldPosition) c.HoldPosition = false;
    bool braked = false;
    if (c.PowerHandle == 0 && c.BrakeHandle < 0 && !c.HoldPosition) {
        c.BrakeHandle += 1;
        if (t.hold == 1 && c.BrakeHandle == 0) c.HoldPosition = true;
        braked = true;
    }
    mark_handles_changed(run);
    return braked;
}

namespace {

// Steps 1 and 2 of the lever towards brake; the two-handle apply step drops the
// power and hold conditions of step 2. Returns whether step 2 was taken.
bool brake_notch_down(Run& run, int32_t last, bool one_lever) {
    CoreState& c = run.core;
    HandleState& h = run.handles;
    const bool hold_handle = run.train.hold == 1;
    if (c.HoldPosition) {
        c.HoldPosition = false;
        c.BrakeHandle = -1;
        h.hold_guard = true;
    }
    const bool allowed = !one_lever || (c.PowerHandle == 0 && !c.HoldPosition);
    if (!allowed || c.BrakeHandle <= last) return false;
    if (hold_handle) {
        if (c.BrakeHandle == 0) {
            c.HoldPosition = true;
        } else if (!h.hold_guard) {
            c.BrakeHandle -= 1;
        }
        h.hold_guard = false;
    } else {
        c.BrakeHandle -= 1;
    }
    return true;
}

}  // namespace

bool lever_towards_brake(Run& run, bool reach_emergency) {
    const int32_t b = run.train.brake_notches;
    const bool stepped = brake_notch_down(run, reach_emergency ? -b : 1 - b, true);
    CoreState& c = run.core;
    if (c.BrakeHandle == 0 && c.PowerHandle > 0) c.PowerHandle -= 1;
    mark_handles_changed(run);
    return stepped;
}

void lever_to_emergency(Run& run) {
    CoreState& c = run.core;
    c.HoldPosition = false;
    c.PowerHandle = 0;
    c.BrakeHandle = -run.train.brake_notches;
    mark_handles_changed(run);
}

void power_up(Run& run) {
    if (run.core.PowerHandle < run.train.power_notches) run.core.PowerHandle += 1;
    run.handles.power_pending = true;
}

void power_down(Run& run) {
    if (run.core.PowerHandle > 0) run.core.PowerHandle -= 1;
    run.handles.power_pending = true;
}

bool brake_release_step(Run& run) {
    CoreState& c = run.core;
    c.HoldPosition = false;
    bool moved = false;
    if (c.BrakeHandle < 0) {
        c.BrakeHandle += 1;
        if (run.train.hold == 1 && c.BrakeHandle == 0) c.HoldPosition = true;
        moved = true;
    }
    run.handles.brake_pending = true;
    run.handles.sap_pending = true;
    return moved;
}

bool brake_apply_step(Run& run) {
    CoreState& c = run.core;
    const int32_t before = c.BrakeHandle;
    const bool was_hold = c.HoldPosition;
    brake_notch_down(run, 1 - run.train.brake_notches, false);
    run.handles.brake_pending = true;
    run.handles.sap_pending = true;
    return c.BrakeHandle != before || c.HoldPosition != was_hold;
}

bool brake_to_emergency(Run& run) {
    CoreState& c = run.core;
    const int32_t eb = -run.train.brake_notches;
    bool moved = false;
    // Already in emergency or latched, the key does nothing at all: no delay starts either.
    if (c.BrakeHandle != eb && !c.AtsEmergency) {
        c.HoldPosition = false;
        c.BrakeHandle = eb;
        run.handles.brake_pending = true;
        run.handles.sap_pending = true;
        moved = true;
    }
    return moved;
}

void set_power_position(Run& run, int32_t n) {
    run.core.PowerHandle = std::clamp(n, 0, std::max(0, run.train.power_notches));
    run.handles.power_pending = true;
}

void set_brake_position(Run& run, int32_t n) {
    run.core.BrakeHandle = std::clamp(n, std::min(0, -run.train.brake_notches), 0);
    run.handles.brake_pending = true;
    run.handles.sap_pending = true;
}

void set_reverser(Run& run, int32_t r) {
    if (std::llabs(run.core.Speed) <= 1 * kFixedOne) run.core.Reverser = r;
}

void masconupdate(Run& run) {
    const CoreState& c = run.core;
    const TrainParams& t = run.train;
    const Strings& s = run.strings;
    CabView& v = run.view;
    const int32_t eb = -t.brake_notches;

    // 1. Brake and power labels.
    if (c.BrakeHandle == eb) set_text(v.BrakeLabel, s.eb);
    if (c.BrakeHandle == 0) set_text(v.BrakeLabel, s.neut);
    if (c.PowerHandle == 0) set_text(v.PowerLabel, s.neut2);
    if (c.PowerHandle >= 1 && c.PowerHandle <= t.power_notches) set_numbered(v.PowerLabel, 'P', c.PowerHandle);

    // 2. Service positions by brake type.
    if (t.brake_type == 1 || t.brake_type == 2) {
        if (c.BrakeHandle > eb && c.BrakeHandle < 0 && !c.HoldPosition) set_numbered(v.BrakeLabel, 'B', -c.BrakeHandle);
        if (c.HoldPosition) set_text(v.BrakeLabel, s.hold2);
    } else if (t.brake_type == 0) {
        if (c.BrakeHandle == -3) set_text(v.BrakeLabel, s.apply);
        if (c.BrakeHandle == -2) set_text(v.BrakeLabel, s.hold);
        if (c.BrakeHandle == -1) set_text(v.BrakeLabel, s.maintain);
    }

    // 3. Reverser.
    if (c.Reverser == 1) set_text(v.Label1, s.forward);
    if (c.Reverser == -1) set_text(v.Label1, s.reverse);
    if (c.Reverser == 0) set_text(v.Label1, s.neutral);

    // 4 and 5. Notch pictures; an index past the end of its list shows nothing.
    const size_t count_p = t.panel.notch_p.pictures.size();
    const size_t count_b = t.panel.notch_b.pictures.size();
    if (!c.AtsEmergency && !c.AtsBrake) {
        v.Lamp_P = picture(c.PowerHandle, count_p);
        v.Lamp_B = -1;
        const int32_t b = std::abs(c.BrakeHandle);
        if (static_cast<long long>(count_b) >= static_cast<long long>(b) - 1) {
            if (t.hold == 0) {
                v.Lamp_B = picture(b, count_b);
            } else if (t.hold == 1) {
                if (c.HoldPosition) {
                    v.Lamp_B = picture(1, count_b);
                } else {
                    v.Lamp_B = picture(b == 0 ? 0 : b + 1, count_b);
                }
            }
        }
        if (!c.TractionCut && c.PowerHandle > 0 && run.commentary.first_power) {
            run.commentary.first_power = false;
            kanko_station_add(run, 3);
        }
    }
    const int last_b = static_cast<int>(count_b) - 1;
    if (c.AtsEmergency) {
        v.Lamp_P = picture(0, count_p);
        v.Lamp_B = picture(last_b, count_b);
    }
    if (c.AtsBrake) {
        v.Lamp_P = picture(0, count_p);
        v.Lamp_B = picture(last_b - 1, count_b);
    }

    // 6. Gear label of diesel trains.
    if (t.engine_type == 0) {
        const std::string_view name = gear_name(run.traction.target_gear);
        if (!name.empty()) set_text(v.GearLabel, name);
    }

    // 7. Every handle change counts as a driver action.
    run.ats.vigilance_counter = 0;
}

void power_delay_step(Run& run) {
    HandleState& h = run.handles;
    if (!h.power_pending) return;
    h.power_counter += 1;
    if (h.power_counter >= run.train.power_delay) {
        h.power_counter = 0;
        h.power_pending = false;
        run.core.PowerNotch = run.core.PowerHandle;
    }
}

void brake_delay_steps(Run& run) {
    HandleState& h = run.handles;
    CoreState& c = run.core;
    if (h.brake_pending) {
        h.brake_counter += 1;
        if (h.brake_counter >= run.train.brake_delay) {
            h.brake_counter = 0;
            h.brake_pending = false;
            c.BrakeNotch = c.BrakeHandle;
        }
    }
    if (h.sap_pending) {
        h.sap_counter += 1;
        if (h.sap_counter >= run.train.sap_delay) {
            h.sap_counter = 0;
            h.sap_pending = false;
            c.SapNotch = c.BrakeHandle;
        }
    }
}

void reset_handles(Run& run) {
    CoreState& c = run.core;
    HandleState& h = run.handles;
    c.PowerHandle = 0;
    c.PowerNotch = 0;
    c.BrakeHandle = -run.train.brake_notches;
    c.BrakeNotch = -run.train.brake_notches;
    c.SapNotch = 0;
    c.HoldPosition = false;
    h = HandleState{};
    masconupdate(run);
}

}  // namespace vantrel
