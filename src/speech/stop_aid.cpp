#include "speech/stop_aid.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "app/run.hpp"
#include "common/fixed_point.hpp"
#include "sound/sound_loader.hpp"

namespace vantrel::speech {

BeepShape beep_shape(long double remaining_cm) {
    const double f = std::clamp(static_cast<double>(remaining_cm / kStopAidFromCm), 0.0, 1.0);
    return BeepShape{static_cast<int64_t>(std::lround(150 + 1350 * f)), 2.0 - f};
}

std::optional<double> StopAid::observe(const Run& run, int64_t ms) {
    const CoreState& c = run.core;
    const long double r = c.RemainingDistance;
    const bool moving = round_int(real(c.Speed)) != 0;
    if (c.TargetDistance <= 0 || r <= 0 || r > kStopAidFromCm || !moving) {
        last_beep_ms_.reset();
        return std::nullopt;
    }
    const BeepShape shape = beep_shape(r);
    if (last_beep_ms_ && ms - *last_beep_ms_ < shape.interval_ms) return std::nullopt;
    last_beep_ms_ = ms;
    return shape.pitch;
}

std::vector<int16_t> beep_samples(int rate) {
    const int n = std::max(1, rate * 60 / 1000);  // 60 ms
    const int edge = std::max(1, n / 6);
    std::vector<int16_t> out(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double gain = std::min({1.0, static_cast<double>(i) / edge, static_cast<double>(n - 1 - i) / edge});
        const double s = std::sin(2 * std::numbers::pi * 880.0 * i / rate);
        out[static_cast<size_t>(i)] = static_cast<int16_t>(std::lround(s * gain * 12000));
    }
    return out;
}

std::string beep_wave_file(int rate) {
    const auto samples = beep_samples(rate);
    const auto data = static_cast<uint32_t>(samples.size() * 2);
    std::string out;
    auto u32 = [&out](uint32_t v) {
        for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i) & 0xff);
    };
    auto u16 = [&out](uint32_t v) {
        out += static_cast<char>(v & 0xff);
        out += static_cast<char>(v >> 8 & 0xff);
    };
    out += "RIFF";
    u32(36 + data);
    out += "WAVEfmt ";
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(static_cast<uint32_t>(rate));
    u32(static_cast<uint32_t>(rate) * 2);
    u16(2);
    u16(16);
    out += "data";
    u32(data);
    for (int16_t s : samples) u16(static_cast<uint16_t>(s));
    return out;
}

int spare_channel(const Run& run) {
    const int used_low = run.drive_sound_count + static_cast<int>(run.route.sound_data.size());
    const int motor_end = kMotorChannel + static_cast<int>(run.train.motor_sounds.size());
    for (int ch = kCommentaryChannel - 1; ch >= used_low; --ch) {
        if (ch >= kMotorChannel && ch < motor_end) continue;
        return ch;
    }
    return -1;
}

}  // namespace vantrel::speech
