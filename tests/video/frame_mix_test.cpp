// Mixing film pictures: the weights each way of showing a train between frames gives, and the
// vectorised byte loops against a plain reference at lengths that leave loop tails.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "platform/frame_mix.hpp"

namespace vantrel {
namespace {

TEST(FrameMix, WeightsFollowTheTrainBetweenFrames) {
    struct Case {
        FilmMix mode;
        double fraction;
        double step;  // frames a tick
        int weight;   // of 256
    };
    const double nan = std::nan("");
    const Case cases[] = {
        {FilmMix::Whole, 0.5, 0.5, 0},
        {FilmMix::Blend, 0, 0.5, 0},
        {FilmMix::Blend, 0.25, 0.25, 64},
        {FilmMix::Blend, 0.75, 0.25, 192},
        {FilmMix::Blend, 1.5, 0.25, 256},  // more than a frame left (a slower segment): the next one
        {FilmMix::Blend, -0.1, 0.25, 0},
        {FilmMix::Blend, nan, 0.25, 0},
        // Sharp: the next frame's share of the tick's stretch centred on the train.
        {FilmMix::Sharp, 0, 0.25, 0},
        {FilmMix::Sharp, 0.25, 0.25, 0},
        {FilmMix::Sharp, 0.5, 0.25, 128},
        {FilmMix::Sharp, 0.75, 0.25, 256},
        {FilmMix::Sharp, 0.5, 0.5, 128},
        {FilmMix::Sharp, 0.25, 0.75, 43},  // (0.25 + 0.375 - 0.5) / 0.75 = 1/6
        {FilmMix::Sharp, 0.4, 0, 0},       // standing: the nearer frame
        {FilmMix::Sharp, 0.6, 0, 256},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.mode) << " " << c.fraction << " " << c.step);
        EXPECT_EQ(mix_weight(c.mode, c.fraction, c.step), c.weight);
    }
    const std::pair<double, int> blur[] = {{0, 1}, {1, 1}, {1.49, 1}, {1.5, 2}, {2, 2}, {3, 3}, {4, 4}, {9, 4}, {nan, 1}};
    for (const auto& [step, frames] : blur) EXPECT_EQ(blur_frames(step), frames) << step;
}

TEST(FrameMix, LoopsAgreeWithAPlainReferenceAtEveryLength) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (size_t length : {1, 15, 16, 17, 63, 64, 65, 1000}) {
        std::vector<std::vector<uint8_t>> in(4, std::vector<uint8_t>(length));
        for (auto& v : in)
            for (auto& b : v) b = static_cast<uint8_t>(byte(random));
        in[0][0] = 255;  // the extremes, where a 16-bit sum would overflow
        in[1][0] = 255;
        std::vector<uint8_t> out(length);
        for (int w : {0, 1, 77, 128, 255, 256}) {
            mix_bytes(in[0], in[1], w, out);
            for (size_t i = 0; i < length; ++i) {
                const int expected = static_cast<int>(std::floor((in[0][i] * (256.0 - w) + in[1][i] * w) / 256 + 0.5));
                ASSERT_EQ(out[i], expected) << "length " << length << " weight " << w << " at " << i;
            }
        }
        for (size_t count = 1; count <= 4; ++count) {
            std::vector<std::span<const uint8_t>> spans(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(count));
            average_bytes(spans, out);
            for (size_t i = 0; i < length; ++i) {
                double sum = 0;
                for (size_t k = 0; k < count; ++k) sum += in[k][i];
                ASSERT_EQ(out[i], static_cast<int>(std::floor(sum / static_cast<double>(count) + 0.5)))
                    << "length " << length << " count " << count << " at " << i;
            }
        }
    }
}

TEST(FrameMix, PicturesMixOnlyWhenAlikeAndNeverIntoOneStillHeld) {
    QImage a(6, 3, QImage::Format_RGB32), b(6, 3, QImage::Format_RGB32);
    a.fill(Qt::black);
    b.fill(Qt::white);
    QImage out;
    ASSERT_TRUE(mix_pictures(a, b, 128, out));
    // The picture on show shares out's pixels: mixing again must not change it.
    const QImage on_show = out;
    ASSERT_TRUE(mix_pictures(a, b, 0, out));
    EXPECT_NE(on_show, out);
    EXPECT_EQ(out, a);
    // Another size or format: refused, out untouched.
    EXPECT_FALSE(mix_pictures(a, QImage(5, 3, QImage::Format_RGB32), 128, out));
    EXPECT_FALSE(mix_pictures(a, b.convertToFormat(QImage::Format_RGB888), 128, out));
    const QImage three[] = {a, b, QImage(6, 4, QImage::Format_RGB32)};
    EXPECT_FALSE(average_pictures(three, out));
    EXPECT_EQ(out, a);
}

}  // namespace
}  // namespace vantrel
