#include "route/signals.hpp"

#include <cstddef>
#include <cstdint>

#include "app/run.hpp"
#include "route/signal_codes.hpp"

namespace vantrel {
namespace {

// True when x lies behind the train by less than `window` frames.
[[nodiscard]] bool just_passed(int32_t frame, int32_t x, int64_t window) {
    const int64_t d = static_cast<int64_t>(frame) - x;
    return 0 < d && d < window;
}

// The block ahead of s is occupied: s shows stop and the signals in rear step up one
// aspect per block signal (repeaters repeat the block signal in front of them).
void occupy_block(AtsState& ats, const std::vector<Signal>& signals, std::size_t s) {
    set_signal_value(ats, s, 0);
    int32_t k = 0;
    for (std::size_t j = s; j-- > 0;) {
        if (signals[j].type != 0) k += 2;
        set_signal_value(ats, j, k);
        if (k >= 5) break;
    }
}

void draw_cab_lamps(CabView& v, int32_t code) {
    v.Lamp_G = v.Lamp_YG = v.Lamp_Y = v.Lamp_YY = v.Lamp_R = false;
    switch (aspect_of(code)) {
        case Aspect::G: v.Lamp_G = true; break;
        case Aspect::YG: v.Lamp_YG = true; break;
        case Aspect::Y: v.Lamp_Y = true; break;
        case Aspect::YY: v.Lamp_YY = true; break;
        case Aspect::R: v.Lamp_R = true; break;
        case Aspect::None: break;
    }
}

void draw_signal(Run& run, const Signal& sig) {
    AtsState& ats = run.ats;
    CabView& v = run.view;
    const int32_t code = ats.CurrentSignalCode;
    if (run.train.ats_type == 0 || run.train.ats_type == 1) {
        v.SignalImage = -1;
        if (sig.type < 6) {
            // A route with fewer pictures than codes draws nothing rather than overrun the list.
            if (code >= 0 && static_cast<std::size_t>(code) < run.route.signal_images.size()) v.SignalImage = code;
            v.SignalLabel_visible = true;
        }
        ats.last_drawn_code = code;
        ats.commentary_number = sig.commentary;
        v.SignalLabel = sig.name;
    } else if (run.train.ats_type == 2) {
        restart(run.sound(), run.train.sound_atc);
        v.SignalLabel_visible = false;
        v.SignalLabel = sig.name;
        ats.last_drawn_code = code;
        ats.commentary_number = sig.commentary;
        draw_cab_lamps(v, code);
    }
}

void pass_signal_point(Run& run) {
    AtsState& ats = run.ats;
    const RouteTables& r = run.route;
    const int32_t code = ats.CurrentSignalCode;
    if (run.train.ats_alert == 0) {
        ats.AtsTarget = kNone;
        if (code == 3 || code == 6 || code == 9 || code == 13 || code == 17) ats.AtsTarget = 0;
    } else if (run.train.ats_alert == 1) {
        switch (aspect_of(code)) {
            case Aspect::YY: ats.AtsTarget = r.speed_yy; break;
            case Aspect::Y: ats.AtsTarget = r.speed_y; break;
            case Aspect::YG: ats.AtsTarget = r.speed_yg; break;
            case Aspect::G:
                if (code != 2) ats.AtsTarget = kNone;  // the repeater's clear sets no speed
                break;
            default: break;
        }
    }
    ats.CurrentSignalCode = kNone;
    ats.last_drawn_code = kNone;
    ats.commentary_number = kNone;
}

void pass_section_end(Run& run) {
    AtsState& ats = run.ats;
    ats.AtsConfirmed = false;
    run.view.SignalImage = -1;
    run.view.SignalLabel.clear();
    ats.CurrentSignalCode = kNone;
    ats.last_drawn_code = kNone;
    ats.commentary_number = kNone;
    ats.signal_index = kNone;
}

}  // namespace

void signal_aspects(Run& run) {
    const std::vector<Signal>& signals = run.route.signals;
    AtsState& ats = run.ats;
    const int32_t pre = run.video.PrecedingFrame;
    const std::size_t n = signals.size();
    for (std::size_t s = 0; s < n; ++s) {
        const Signal& sig = signals[s];
        set_signal_value(ats, s, kRawClear);
        if (sig.type != 0) {
            for (std::size_t next = s + 1; next < n; ++next) {
                if (signals[next].type == 0) continue;
                if (pre != 0 && sig.section_end < pre && pre < signals[next].section_end) {
                    occupy_block(ats, signals, s);
                }
                break;
            }
        }
    }
    // Fixed signals win over the walk behind the preceding train, also where the walk
    // reaches back over them from a later block.
    for (std::size_t s = 0; s < n; ++s) {
        const Signal& sig = signals[s];
        if ((sig.kind == 1 && sig.fixed_until > run.core.ClockTicks) || sig.kind == 2) {
            set_signal_value(ats, s, sig.fixed_aspect);
        }
    }
}

void signal_ahead(Run& run) {
    const std::vector<Signal>& signals = run.route.signals;
    AtsState& ats = run.ats;
    const int32_t frame = run.core.Frame;
    for (std::size_t s = 0; s < signals.size(); ++s) {
        const Signal& sig = signals[s];
        if (sig.section_start <= frame && frame < sig.section_end) {
            const int32_t code = display_code(sig.type, signal_value_at(ats, s));
            set_signal_value(ats, s, code);
            ats.CurrentSignalCode = code;
            ats.signal_index = static_cast<int32_t>(s);
            if (code != ats.last_drawn_code) draw_signal(run, sig);
        }
        if (just_passed(frame, sig.warning, 10) && run.train.ats_type == 0 && run.train.ats_alert == 0 &&
            sig.type != 0 && aspect_of(signal_value_at(ats, s)) == Aspect::R) {
            ats.AtsTarget = 998;
        }
        if (just_passed(frame, sig.signal_frame, 30)) pass_signal_point(run);
        if (just_passed(frame, sig.section_end, 10)) pass_section_end(run);
    }
}

}  // namespace vantrel
