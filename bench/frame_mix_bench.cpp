// The cost of one mixed film picture on the window thread: two frames blended, and four
// averaged (motion blur), at the draw sizes of a 2x window (960 x 480) and of a full HD screen.
#include <benchmark/benchmark.h>

#include <array>

#include "platform/frame_mix.hpp"

namespace {

using namespace vantrel;

QImage grey_picture(int width, int height, int level) {
    QImage p(width, height, QImage::Format_RGB32);
    p.fill(QColor(level, 255 - level, level / 2));
    return p;
}

void BM_MixTwoFrames(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    const QImage a = grey_picture(w, h, 40), b = grey_picture(w, h, 200);
    QImage out;
    int weight = 1;
    for (auto _ : state) {
        mix_pictures(a, b, weight, out);
        weight = weight % 255 + 1;
        benchmark::DoNotOptimize(out.constBits());
    }
    state.SetBytesProcessed(state.iterations() * a.sizeInBytes() * 3);
}
BENCHMARK(BM_MixTwoFrames)->Args({960, 480})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

void BM_AverageFourFrames(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    const std::array<QImage, 4> frames{grey_picture(w, h, 10), grey_picture(w, h, 90), grey_picture(w, h, 170),
                                       grey_picture(w, h, 250)};
    QImage out;
    for (auto _ : state) {
        average_pictures(frames, out);
        benchmark::DoNotOptimize(out.constBits());
    }
    state.SetBytesProcessed(state.iterations() * frames[0].sizeInBytes() * 5);
}
BENCHMARK(BM_AverageFourFrames)->Args({960, 480})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

}  // namespace
