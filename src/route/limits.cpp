#include "route/limits.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "common/fixed_point.hpp"
#include "app/run.hpp"
#include "route/blink.hpp"

namespace vantrel {

namespace {

constexpr int32_t kTimeCheckPrompt0 = 900;
constexpr int32_t kTimeCheckPrompt1 = 901;
constexpr int kRisingSign = 1;   // SignImageList
constexpr int kFallingSign = 2;  // SignImageList

// An OtherImageList index, or none when the list has no such picture.
[[nodiscard]] int other_picture(const Run& run, int32_t index) {
    return index >= 0 && static_cast<size_t>(index) < run.route.other_images.size() ? index : -1;
}

// A SignImageList index, or none when the list has no such picture.
[[nodiscard]] int sign_picture(const Run& run, int index) {
    return index >= 0 && static_cast<size_t>(index) < run.route.sign_images.size() ? index : -1;
}

// Metres needed to brake from v down to the limit (km/h).
[[nodiscard]] long double braking_metres(long double v, long double limit, int64_t brake_rate) {
    const long double rate = real(brake_rate) * 0.6L;
    if (rate <= 0) {
        // A train without a brake rate cannot prepare: warn whenever it is too fast.
        return v > limit ? std::numeric_limits<long double>::infinity()
                         : -std::numeric_limits<long double>::infinity();
    }
    return (v - limit) / rate * ((limit + v) / 2.0L / 3.6L);
}

// Per mille with one decimal ("2.5", "-10.0"), rounded to nearest with ties to even.
[[nodiscard]] std::string gradient_text(int64_t gradient) {
    const int64_t tenths = round_store(static_cast<long double>(gradient) / 1000.0L);
    const int64_t a = std::llabs(tenths);
    return (gradient < 0 ? "-" : "") + std::to_string(a / 10) + "." + std::to_string(a % 10);
}

}  // namespace

void speed_limit_blink(Run& run) {
    if (run.limits.blinking) blink(run.window_ticks, run.view.SpeedLimitImage_visible);
}

void speed_limits_step(Run& run) {
    LimitState& ls = run.limits;
    CabView& view = run.view;
    const long double v = real(run.core.Speed);
    const int32_t frame = run.core.Frame;
    bool shown = false;
    for (const SpeedLimit& sl : run.route.speed_limits) {
        const long double ahead = sl.distance - run.core.Distance;  // cm
        if (0 < ahead && ahead < 60000) {
            const long double d = ahead / 100.0L - 100.0L;
            const long double b = braking_metres(v, sl.limit, run.train.brake_rate);
            const int64_t sign = sl.sign_frame;
            if (b > d || (sign - 100 < frame && frame < sign)) {
                if (!ls.blinking) view.SpeedLimitImage = other_picture(run, sl.picture);
                ls.blinking = true;
                shown = true;
            }
        }
        if (sl.sign_frame < frame && frame < sl.zone_end) {
            ls.blinking = false;
            view.SpeedLimitImage_visible = true;
            if (sl.limit != ls.displayed_limit) view.SpeedLimitImage = other_picture(run, sl.picture);
            ls.displayed_limit = sl.limit;
            shown = true;
        }
    }
    if (!shown) {
        view.SpeedLimitImage = -1;
        ls.displayed_limit = 0;
    }
}

void speed_checks_step(Run& run) {
    for (const SpeedCheck& sc : run.route.speed_checks) {
        const int64_t behind = static_cast<int64_t>(run.core.Frame) - sc.frame;
        if (0 < behind && behind < 10 && run.core.Speed > static_cast<int64_t>(sc.speed) * kFixedOne) {
            run.ats.AtsAlarm = true;
            run.ats.AtsChime = false;
        }
    }
}

void signs_step(Run& run) {
    LimitState& ls = run.limits;
    const int32_t frame = run.core.Frame;
    bool shown = false;
    // Whatever came up first stays until nothing is active any more.
    for (const Sign& s : run.route.signs) {
        if (s.start <= frame && frame < s.end) {
            shown = true;
            if (ls.other_content == kNone) {
                run.view.OtherImage = other_picture(run, s.picture);
                ls.other_content = s.picture;
            }
        }
    }
    for (const TimeCheck& t : run.route.time_checks) {
        if (t.from < frame && frame < t.to && run.core.Speed > kFixedOne &&
            run.core.RemainingDistance > 10000) {
            shown = true;
            if (ls.other_content == kNone) {
                run.view.OtherImage = other_picture(run, 0);
                ls.other_content = t.kind == 1 ? kTimeCheckPrompt1 : kTimeCheckPrompt0;
            }
        }
    }
    if (!shown) {
        run.view.OtherImage = -1;
        ls.other_content = kNone;
    }
}

void train_gradient_step(Run& run) {
    LimitState& ls = run.limits;
    if (std::fabs(run.core.Distance - ls.last_sample_distance) <= 2000) return;
    ls.last_sample_distance = run.core.Distance;
    // The history holds 20 samples; the train reader refuses more cars than that.
    const int n = std::clamp(run.train.cars, 1, static_cast<int>(ls.gradient_history.size()));
    auto& h = ls.gradient_history;
    std::copy_backward(h.begin(), h.begin() + n - 1, h.begin() + n);
    h[0] = round_int(real(ls.current_gradient));
    int64_t sum = 0;
    for (int k = 0; k < n; ++k) sum += h[static_cast<size_t>(k)];
    run.core.Gradient = round_store(static_cast<long double>(sum) / n * kFixedOne);
}

void gradient_display_step(Run& run) {
    LimitState& ls = run.limits;
    CabView& view = run.view;
    const auto& slopes = run.route.slopes;
    const int32_t frame = run.core.Frame;
    for (size_t i = 0; i < slopes.size(); ++i) {
        const Slope& s = slopes[i];
        if (s.start < frame && frame < s.end) {
            if (s.gradient > 0 && s.gradient != ls.current_gradient) view.SlopeImage = sign_picture(run, kRisingSign);
            if (s.gradient < 0 && s.gradient != ls.current_gradient) view.SlopeImage = sign_picture(run, kFallingSign);
            ls.current_gradient = s.gradient;
            view.SlopeText = gradient_text(s.gradient);
        }
        // Past the last record nothing follows.
        const bool last = i + 1 == slopes.size();
        const bool in_gap = s.end < frame && (last || frame < slopes[i + 1].start);
        if (in_gap && view.SlopeImage != -1) {
            view.SlopeImage = -1;
            ls.current_gradient = 0;
            view.SlopeText.clear();
        }
    }
}

}  // namespace vantrel
