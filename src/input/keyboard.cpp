#include "input/keyboard.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "common/fixed_point.hpp"
#include "app/run.hpp"
#include "dynamics/handles.hpp"
#include "route/ats.hpp"
#include "route/commentary.hpp"
#include "route/route_sounds.hpp"
#include "route/stations.hpp"
#include "route/vigilance.hpp"

namespace vantrel {

namespace {

constexpr int kClientHeight = 440;   // client area of the driving window under its menu bar
constexpr int kMaxPostedPerDrain = 64;  // guards against inputs that keep posting inputs

constexpr std::array<std::string_view, 5> kGearNames{"変", "直1", "直2", "直3", "直4"};

[[nodiscard]] bool rounds_to_zero(int64_t speed) { return round_int(real(speed)) == 0; }

// Lever towards power with the release sound of its brake step.
void lever_power_with_sound(Run& run) {
    if (!lever_towards_power(run)) return;
    const TrainParams& t = run.train;
    if (t.brake_type != 0 || (run.core.BrakeHandle == 0 && run.core.BcPressure != 0))
        start_unless_playing(run.sound(), t.sound_br1);
}

void set_reverser_key(Run& run, int32_t r) {
    run.core.Reverser = r;
    run.view.Lamp_Fwd = r == 1;
    run.view.Lamp_Bck = r == -1;
    masconupdate(run);
}

void release_all(Run& run) {
    CoreState& k = run.core;
    const TrainParams& t = run.train;
    if (k.BrakeHandle < 0 && (t.brake_type != 0 || k.BcPressure != 0)) start_unless_playing(run.sound(), t.sound_br2);
    k.HoldPosition = false;
    k.BrakeHandle = 0;
    k.PowerHandle = 0;
    mark_handles_changed(run);
}

void emergency(Run& run) {
    CoreState& k = run.core;
    const TrainParams& t = run.train;
    k.HoldPosition = false;
    if (k.BrakeHandle != -t.brake_notches && !k.AtsEmergency) restart(run.sound(), t.sound_eb);
    k.BrakeHandle = -t.brake_notches;
    k.PowerHandle = 0;
    mark_handles_changed(run);
}

[[nodiscard]] bool gear_keys_apply(const Run& run) {
    return run.train.engine_type == 0 && run.train.gear_manual == 1 && run.core.PowerNotch == 0;
}

void change_gear(Run& run, int32_t by) {
    run.traction.target_gear += by;
    run.traction.gear_changing = true;
    masconupdate(run);
}

// The rows of the key table, in their order; a character may match several.
void key_table(Run& run, char key) {
    CoreState& k = run.core;
    const TrainParams& t = run.train;
    SoundChannels& snd = run.sound();
    const bool one_lever = t.handle_type == 0;
    const bool two_handles = t.handle_type == 1;
    const bool one_man = run.route.one_man == 1;

    if (key == 'z' && one_lever) lever_power_with_sound(run);
    if (key == 'a' && one_lever) (void)lever_towards_brake(run);
    if (key == 'q' && one_lever) lever_to_emergency(run);
    if (key == 'z' && two_handles) power_up(run);
    if (key == 'a' && two_handles) power_down(run);
    if (key == ',' && two_handles) {
        if (brake_release_step(run) && (t.brake_type != 0 || k.BrakeHandle == 0))
            start_unless_playing(snd, t.sound_br1);
    }
    if (key == '.' && two_handles) {
        (void)brake_apply_step(run);
        if (t.brake_type == 0 && k.BrakeHandle < -2 && k.BcPressure != 0) start_unless_playing(snd, t.sound_br1);
    }
    if (key == '/' && two_handles) {
        if (brake_to_emergency(run)) restart(snd, t.sound_eb);
    }
    if (key == '8') lever_power_with_sound(run);
    if (key == '2') {
        if (lever_towards_brake(run) && t.brake_type == 0 && k.BrakeHandle < -2) start_unless_playing(snd, t.sound_br1);
    }
    if (key == '5') release_all(run);
    if (key == '0') emergency(run);
    masconupdate(run);

    if (key == '3') restart(snd, t.sound_horn);
    if (key == '6') restart(snd, t.sound_horn2);
    if (key == '4') restart(snd, t.buzzer[0]);
    if (key == '1') restart(snd, t.buzzer[1]);
    if ((key == 'd' || key == '7') && one_man) Door_operate(run);
    if (key == 'r' && k.BrakeHandle == -t.brake_notches && rounds_to_zero(k.Speed)) {
        ats_reset(run);
        run.traction.target_gear = 0;
    }
    if (key == ' ') ats_confirm(run);
    if (key == '1' && one_man) announce_next(run);
    if (key == '-' && one_man) announce_back(run);
    const auto gear_count = static_cast<int32_t>(t.gears.size());
    if (key == 's' && gear_keys_apply(run) && run.traction.target_gear < gear_count - 1) change_gear(run, 1);
    if (key == 'x' && gear_keys_apply(run) && run.traction.target_gear > 0) change_gear(run, -1);
}

void show_gear(Run& run) {
    const int32_t g = run.traction.target_gear;
    if (g >= 0 && g < static_cast<int32_t>(kGearNames.size())) run.view.GearLabel = kGearNames[static_cast<size_t>(g)];
}

// A test key held down for hours stops the clock or the frame at the end of its range.
int32_t shifted(int32_t value, int32_t by) {
    const int64_t v = static_cast<int64_t>(value) + by;
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

void test_keys(Run& run, VirtualKey key) {
    CoreState& k = run.core;
    switch (key) {
        case VirtualKey::F1: k.FollowVideo = true; break;
        case VirtualKey::F2: k.FollowVideo = false; break;
        case VirtualKey::F11:
            if (k.Speed > 10 * kFixedOne) k.Speed -= 10 * kFixedOne;
            break;
        case VirtualKey::F12:
            if (k.Speed < 1000 * kFixedOne) k.Speed += 10 * kFixedOne;
            break;
        case VirtualKey::F10: k.ClockTicks = shifted(k.ClockTicks, 900); break;
        case VirtualKey::F9: k.ClockTicks = shifted(k.ClockTicks, -900); break;
        case VirtualKey::F8: k.Frame = shifted(k.Frame, 1000); break;
        case VirtualKey::F7: k.Frame = shifted(k.Frame, -1000); break;
        case VirtualKey::F6: k.Frame = shifted(k.Frame, 100); break;
        case VirtualKey::F5: k.Frame = shifted(k.Frame, -100); break;
        default: break;
    }
}

void timetable_card_keys(Run& run, VirtualKey key) {
    const int height = run.route.card.height;
    int& top = run.view.card_top;
    if (key == VirtualKey::F3 && height > kClientHeight && top == 0) top = kClientHeight - height;
    if (key == VirtualKey::F2 && height > kClientHeight && top < 0) top = 0;
    if (key == VirtualKey::F1) {
        if (kClientHeight < height) {
            const bool far_half = run.core.Frame > static_cast<long double>(run.video.length) / 2.0L;
            top = far_half ? kClientHeight - height : 0;
        }
        run.keys.card_wanted = !run.keys.card_wanted;
    }
}

}  // namespace

void AsciiDown(Run& run, char key) {
    driver_action(run);
    if (run.keys.keypad_swap) {
        if (key == '2')
            key = '8';
        else if (key == '8')
            key = '2';
    }
    if (run.waiting_for_start) return;

    if (std::llabs(run.core.Speed) <= kFixedOne) {
        if (key == 'f') set_reverser_key(run, 1);
        if (key == 'b') set_reverser_key(run, -1);
        if (key == 'n') set_reverser_key(run, 0);
    }
    key_table(run, key);
    show_gear(run);
}

void keydowns(Run& run, VirtualKey key, bool shift_only) {
    if (key == VirtualKey::ScrollLock) run.keys.keypad_swap = !run.keys.keypad_swap;
    if (key == VirtualKey::Enter) commentary_request(run);
    if (shift_only) test_keys(run, key);
    if (key == VirtualKey::F5) {
        if (!run.view.value_display_visible) {
            run.view.value_display_visible = true;
            return;
        }
        run.view.value_display_visible = false;
    }
    timetable_card_keys(run, key);
}

void WheelD(Run& run) {
    driver_action(run);
    lever_power_with_sound(run);
    masconupdate(run);
}

void WheelU(Run& run) {
    driver_action(run);
    const bool stepped = lever_towards_brake(run, true);
    if (stepped && run.core.BrakeHandle == -run.train.brake_notches && run.core.ErPressure > 0)
        start_unless_playing(run.sound(), run.train.sound_eb);
    masconupdate(run);
}

void drain_posted(Run& run) {
    size_t handled = 0;
    while (handled < run.posted.size() && handled < static_cast<size_t>(kMaxPostedPerDrain)) {
        const PostedInput input = run.posted[handled];  // a copy: handling may post more
        ++handled;
        if (!input.virtual_key) {
            AsciiDown(run, static_cast<char>(input.code));
        } else {
            const auto key = static_cast<VirtualKey>(input.code);
            keydowns(run, key, false);
            if (key == VirtualKey::Enter) AsciiDown(run, '\r');  // a real Enter types a character too
        }
    }
    run.posted.erase(run.posted.begin(), run.posted.begin() + static_cast<std::ptrdiff_t>(handled));
}

}  // namespace vantrel
