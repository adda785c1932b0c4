#pragma once
// Film pictures mixed for the window: two neighbouring frames by a weight (the train between
// them), or up to four averaged (the frames a fast train passes in one tick). Plain byte loops
// the compiler vectorises; the pictures are mixed at the size they are drawn.
#include <cstdint>
#include <span>

#include <QImage>

namespace vantrel {

// How a train between two frames is shown.
enum class FilmMix {
    Whole,  // the frame it has reached
    Blend,  // both, weighted by how far it is towards the next
    Sharp,  // whole frames, mixed only in the tick that passes the change
};

constexpr int kMixOne = 256;  // a weight of 1

// The neighbour's weight (0..kMixOne) for a train `fraction` (0..1) of the way from its frame
// to the next, moving `step` frames a tick.
[[nodiscard]] int mix_weight(FilmMix mode, double fraction, double step);

// Frames to average at `step` frames a tick: 1 (none) below 1.5, at most 4.
[[nodiscard]] int blur_frames(double step);

// Per byte: (a x (kMixOne - weight) + b x weight) / kMixOne, rounded. Spans of one length.
void mix_bytes(std::span<const uint8_t> a, std::span<const uint8_t> b, int weight, std::span<uint8_t> out);
// Per byte: the rounded mean of 2 to 4 spans of one length.
void average_bytes(std::span<const std::span<const uint8_t>> in, std::span<uint8_t> out);

// The same on pictures of one size and format; `out` is reused when it fits and nobody else
// holds it. False (and `out` untouched) when the pictures do not match.
bool mix_pictures(const QImage& a, const QImage& b, int weight, QImage& out);
bool average_pictures(std::span<const QImage> pictures, QImage& out);

}  // namespace vantrel
