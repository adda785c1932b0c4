#include "platform/frame_mix.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace vantrel {

namespace {

// The loops below keep to uint16 arithmetic with constant divisors, which GCC turns into
// vector multiplies (the build vectorises this file even at -O2): 255 x 256 + 128 still fits
// in 16 bits.
void mix_loop(const uint8_t* a, const uint8_t* b, uint16_t w, uint8_t* out, size_t n) {
    const auto keep = static_cast<uint16_t>(kMixOne - w);
    for (size_t i = 0; i < n; ++i)
        out[i] = static_cast<uint8_t>(static_cast<uint16_t>(a[i] * keep + b[i] * w + kMixOne / 2) >> 8);
}

// One loop per count, each over named rows, so that every one vectorises.
void average2(const uint8_t* a, const uint8_t* b, uint8_t* out, size_t n) {
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(static_cast<uint16_t>(a[i] + b[i] + 1) / 2);
}

void average3(const uint8_t* a, const uint8_t* b, const uint8_t* c, uint8_t* out, size_t n) {
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(static_cast<uint16_t>(a[i] + b[i] + c[i] + 1) / 3);
}

void average4(const uint8_t* a, const uint8_t* b, const uint8_t* c, const uint8_t* d, uint8_t* out, size_t n) {
    for (size_t i = 0; i < n; ++i)
        out[i] = static_cast<uint8_t>(static_cast<uint16_t>(a[i] + b[i] + c[i] + d[i] + 2) / 4);
}

bool same_shape(const QImage& a, const QImage& b) {
    return !a.isNull() && a.size() == b.size() && a.format() == b.format() && a.bytesPerLine() == b.bytesPerLine();
}

std::span<const uint8_t> bytes_of(const QImage& p) {
    return {p.constBits(), static_cast<size_t>(p.sizeInBytes())};
}

std::span<uint8_t> prepare(const QImage& like, QImage& out) {
    if (!same_shape(like, out)) out = QImage(like.size(), like.format());
    return {out.bits(), static_cast<size_t>(out.sizeInBytes())};  // bits() detaches a shared copy
}

}  // namespace

int mix_weight(FilmMix mode, double fraction, double step) {
    if (!(fraction > 0)) return 0;  // NaN included
    fraction = std::min(fraction, 1.0);
    double weight = 0;
    switch (mode) {
    case FilmMix::Whole:
        return 0;
    case FilmMix::Blend:
        weight = fraction;
        break;
    case FilmMix::Sharp:
        // The share of the next frame in the stretch the train covers in a tick, centred on
        // where it is, with each frame standing for the half frame either side of it.
        if (!(step > 1e-6)) {
            weight = fraction >= 0.5 ? 1 : 0;
        } else {
            weight = std::clamp((fraction + step / 2 - 0.5) / step, 0.0, 1.0);
        }
        break;
    }
    return static_cast<int>(std::lround(weight * kMixOne));
}

int blur_frames(double step) {
    if (!(step >= 1.5)) return 1;
    return static_cast<int>(std::min(4L, std::lround(step)));
}

void mix_bytes(std::span<const uint8_t> a, std::span<const uint8_t> b, int weight, std::span<uint8_t> out) {
    const size_t n = std::min({a.size(), b.size(), out.size()});
    mix_loop(a.data(), b.data(), static_cast<uint16_t>(std::clamp(weight, 0, kMixOne)), out.data(), n);
}

void average_bytes(std::span<const std::span<const uint8_t>> in, std::span<uint8_t> out) {
    if (in.empty()) return;
    std::array<const uint8_t*, 4> p{};
    size_t n = out.size();
    const size_t count = std::min<size_t>(in.size(), p.size());
    for (size_t k = 0; k < count; ++k) {
        p[k] = in[k].data();
        n = std::min(n, in[k].size());
    }
    switch (count) {
    case 1:
        std::copy_n(p[0], n, out.data());
        break;
    case 2:
        average2(p[0], p[1], out.data(), n);
        break;
    case 3:
        average3(p[0], p[1], p[2], out.data(), n);
        break;
    default:
        average4(p[0], p[1], p[2], p[3], out.data(), n);
        break;
    }
}

bool mix_pictures(const QImage& a, const QImage& b, int weight, QImage& out) {
    if (!same_shape(a, b)) return false;
    mix_bytes(bytes_of(a), bytes_of(b), weight, prepare(a, out));
    return true;
}

bool average_pictures(std::span<const QImage> pictures, QImage& out) {
    if (pictures.empty() || pictures.size() > 4) return false;
    std::array<std::span<const uint8_t>, 4> in;
    for (size_t k = 0; k < pictures.size(); ++k) {
        if (!same_shape(pictures[0], pictures[k])) return false;
        in[k] = bytes_of(pictures[k]);
    }
    average_bytes(std::span(in.data(), pictures.size()), prepare(pictures[0], out));
    return true;
}

}  // namespace vantrel
