// Video frames: drawn only while the run runs, at most once per 33 ms, only when changed.
#include <QTest>

#include "app/run.hpp"
#include "ui/cab_screen.hpp"
#include "ui/drive_session.hpp"
#include "ui_fixture.hpp"

namespace vantrel::test {
namespace {

// A video of `length` frames, each a flat grey, counting the frames decoded.
class CountingFrames final : public FrameSource {
public:
    explicit CountingFrames(int32_t length) : length_(length) {}
    bool open(const std::filesystem::path&) override { return true; }
    int32_t length() const override { return length_; }
    bool frame(int32_t index, FrameImage& out) override {
        ++decoded;
        out.width = 48;
        out.height = 24;
        out.pixels.assign(48 * 24, 0xFF000000u | static_cast<uint32_t>(index & 0xFF) * 0x010101u);
        return index >= 0 && index < length_;
    }
    int decoded = 0;

private:
    int32_t length_;
};

using FramesTest = UiTest;

TEST_F(FramesTest, PresentedWhileRunningAtMostOncePerPeriodAndOnlyWhenChanged) {
    auto owned = std::make_unique<CountingFrames>(100000);
    CountingFrames& frames = *owned;
    DriveRequest request;
    request.data_dir = data_dir();
    request.train = demo::kTrainFile;
    request.route = demo::kRouteFile;
    DriveHooks hooks;
    hooks.report_error = [this](const QString& text) { errors.push_back(text.toStdString()); };
    BackEnds back;
    back.sound = std::make_unique<NullSoundChannels>();
    back.video = std::move(owned);
    back.joystick = std::make_unique<NullJoystickReader>();
    auto w = DrivingWindow::open(request, std::move(hooks), std::move(back));
    ASSERT_TRUE(w) << (errors.empty() ? "" : errors.front());
    w->show();
    QTest::qWait(100);
    EXPECT_EQ(frames.decoded, 0);  // before the start: the still picture only

    w->item("start1")->trigger();
    // The frame stands still: nothing new to draw after the first presentation.
    QTest::qWait(300);
    EXPECT_LE(frames.decoded, 1);
    // Moving fast, the frame changes every tick; still at most one picture per 33 ms.
    for (int i = 0; i < 8; ++i) QTest::keyClick(w.get(), Qt::Key_F12, Qt::ShiftModifier);
    const int before = frames.decoded;
    const int64_t from = w->session().now_ms();
    QTest::qWait(600);
    const int64_t elapsed = w->session().now_ms() - from;
    const int drawn = frames.decoded - before;
    EXPECT_GT(drawn, 3);
    EXPECT_LE(drawn, elapsed / 33 + 1);

    // Paused: the run stands, nothing is drawn.
    w->item("start1")->trigger();
    const int paused = frames.decoded;
    QTest::qWait(200);
    EXPECT_EQ(frames.decoded, paused);
    // Redraw draws now, but not a frame beyond the video's end.
    w->redraw();
    EXPECT_EQ(frames.decoded, paused + 1);
    w->run().core.Frame = 100000;
    w->redraw();
    EXPECT_EQ(frames.decoded, paused + 1);
}

}  // namespace
}  // namespace vantrel::test
