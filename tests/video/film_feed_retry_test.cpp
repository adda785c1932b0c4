// A frame the decoder once failed on does not stop the film: the frames after it are made, and
// after the next jump it is asked for again.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/film_decoder.hpp"
#include "platform/film_feed.hpp"

namespace {

using namespace vantrel;
using namespace std::chrono_literals;

// 100 frames in groups of 10; frame 50 fails the first time it is decoded.
class FailsOnce final : public FilmDecoder {
public:
    int32_t length() const override { return 100; }
    QSize source_size() const override { return {16, 8}; }
    double frame_rate() const override { return 30; }
    int32_t group_start(int32_t index) const override { return index / 10 * 10; }
    bool decode(int32_t index) override {
        if (index == 50 && !failed_.exchange(true)) return false;
        last_ = index;
        return true;
    }
    bool picture(QSize size, QImage& out) override {
        out = QImage(size, QImage::Format_RGB32);
        out.fill(static_cast<uint>(last_));
        return true;
    }

private:
    std::atomic<bool> failed_{false};
    int32_t last_ = -1;
};

bool ready_within(FilmFeed& feed, int32_t n) {
    for (auto end = std::chrono::steady_clock::now() + 20s; std::chrono::steady_clock::now() < end;) {
        if (feed.nearest(n).index == n) return true;
        std::this_thread::sleep_for(1ms);
    }
    return false;
}

TEST(FilmFeedRetry, AFailedFrameIsAskedForAgainAfterAJump) {
    auto feed = make_film_feed(std::make_unique<FailsOnce>());
    ASSERT_NE(feed, nullptr);
    feed->want(50);
    EXPECT_TRUE(ready_within(*feed, 52)) << "the frames after the failed one";
    EXPECT_NE(feed->nearest(50).index, 50);
    feed->want(10);
    ASSERT_TRUE(ready_within(*feed, 10));
    std::this_thread::sleep_for(1100ms);  // standing a while, then a jump back
    feed->want(50);
    EXPECT_TRUE(ready_within(*feed, 50));
}

}  // namespace
