#pragma once
// Small sound synthesis helpers for the demo pack: tones, strikes, filtered noise,
// envelopes and seamless loops, on mono float buffers at 22050 Hz.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace vantrel::demo {

inline constexpr double kSynthRate = 22050;
inline constexpr double kTwoPi = 6.283185307179586;

enum class Wave { Sine, Square, Saw };

// Deterministic white noise.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed * 2654435761u + 1) {}
    double uniform() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 24);
    }
    double next() { return 2 * uniform() - 1; }

private:
    uint32_t state_;
};

inline std::vector<float> blank(double seconds) {
    return std::vector<float>(static_cast<size_t>(seconds * kSynthRate), 0.0f);
}

inline size_t at_sample(double t) { return static_cast<size_t>(std::max(0.0, t) * kSynthRate); }

// Noise low-passed by a one-pole filter (alpha 0..1); `keep` of it low-passed, the rest white.
inline void add_noise(std::vector<float>& s, Noise& n, double level, double alpha, double keep) {
    double y = 0;
    for (float& x : s) {
        const double w = n.next();
        y += alpha * (w - y);
        x += static_cast<float>(level * (keep * y / std::sqrt(std::max(alpha, 1e-4)) * 0.5 + (1 - keep) * w));
    }
}

inline double wave_value(Wave w, double phase) {
    const double f = phase - std::floor(phase);
    switch (w) {
        case Wave::Square: return f < 0.5 ? 0.7 : -0.7;
        case Wave::Saw: return 2 * f - 1;
        default: return std::sin(kTwoPi * f);
    }
}

inline void add_tone(std::vector<float>& s, double t0, double t1, double f, double level, Wave w, double vibrato = 0) {
    const size_t a = at_sample(t0), b = std::min(s.size(), at_sample(t1));
    double phase = 0;
    for (size_t i = a; i < b; ++i) {
        const double t = static_cast<double>(i) / kSynthRate;
        phase += f * (1 + (vibrato > 0 ? 0.004 * std::sin(kTwoPi * vibrato * t) : 0)) / kSynthRate;
        const double edge = std::min({1.0, (static_cast<double>(i - a)) / 200.0, static_cast<double>(b - i) / 200.0});
        s[i] += static_cast<float>(level * edge * wave_value(w, phase));
    }
}

inline void add_sweep(std::vector<float>& s, double t0, double t1, double f0, double f1, double level) {
    const size_t a = at_sample(t0), b = std::min(s.size(), at_sample(t1));
    double phase = 0;
    for (size_t i = a; i < b; ++i) {
        const double u = static_cast<double>(i - a) / static_cast<double>(std::max<size_t>(1, b - a));
        phase += (f0 + (f1 - f0) * u) / kSynthRate;
        s[i] += static_cast<float>(level * std::sin(kTwoPi * phase) * std::min(1.0, (1 - u) * 10));
    }
}

// A struck tone: sine with an exponential decay (seconds to about -60 dB / 7).
inline void add_strike(std::vector<float>& s, double t, double f, double level, double decay) {
    const size_t a = at_sample(t);
    const size_t n = std::min(s.size(), a + at_sample(decay * 7));
    for (size_t i = a; i < n; ++i) {
        const double u = static_cast<double>(i - a) / kSynthRate;
        s[i] += static_cast<float>(level * std::exp(-u / decay) * std::sin(kTwoPi * f * u) * std::min(1.0, u * 2000));
    }
}

// A low knock: a decaying low tone with a click.
inline void add_thump(std::vector<float>& s, double t, double level, double f, double length) {
    const size_t a = at_sample(t);
    const size_t n = std::min(s.size(), a + at_sample(length * 4));
    for (size_t i = a; i < n; ++i) {
        const double u = static_cast<double>(i - a) / kSynthRate;
        const double click = u < 0.004 ? (1 - u / 0.004) * 0.5 * std::sin(kTwoPi * 1800 * u) : 0;
        s[i] += static_cast<float>(level * (std::exp(-u / length) * std::sin(kTwoPi * f * u) + click));
    }
}

inline void envelope(std::vector<float>& s, double attack, double release) {
    const double n = static_cast<double>(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kSynthRate, left = (n - static_cast<double>(i)) / kSynthRate;
        s[i] *= static_cast<float>(std::min({1.0, t / std::max(attack, 1e-3), left / std::max(release, 1e-3)}));
    }
}

inline void mix(std::vector<float>& s, const std::vector<float>& other, double at) {
    const size_t a = at_sample(at);
    for (size_t i = 0; i < other.size() && a + i < s.size(); ++i) s[a + i] += other[i];
}

// A loop of `seconds` whose end runs seamlessly into its start: the generator fills a
// longer buffer and its tail is cross-faded over the head.
inline std::vector<float> make_loop(double seconds, const std::function<void(std::vector<float>&)>& fill) {
    const size_t n = at_sample(seconds), fade = std::min<size_t>(n / 4, 2205);
    std::vector<float> long_buf(n + fade, 0.0f);
    fill(long_buf);
    std::vector<float> out(long_buf.begin(), long_buf.begin() + static_cast<std::ptrdiff_t>(n));
    for (size_t i = 0; i < fade; ++i) {
        const float w = static_cast<float>(i) / static_cast<float>(fade);
        out[i] = out[i] * w + long_buf[n + i] * (1 - w);
    }
    return out;
}

}  // namespace vantrel::demo
