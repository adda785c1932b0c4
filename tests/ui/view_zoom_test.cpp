// The driving window at a zoom: controls keep their layout places, the back button and
// the wheel still work; F11 and Esc switch full screen without taking the logic's keys.
#include <fstream>
#include <sstream>

#include <QSignalSpy>
#include <QTest>

#include "app/run.hpp"
#include "common/fixed_point.hpp"
#include "ui/cab_screen.hpp"
#include "ui/drive_session.hpp"
#include "ui_fixture.hpp"

namespace vantrel::test {
namespace {

using ViewZoomTest = UiTest;

TEST_F(ViewZoomTest, ControlsKeepTheirLayoutPlacesAndBackStillCloses) {
    auto w = open_window();
    ASSERT_TRUE(w);
    w->show();
    w->set_zoom(2);
    CabScreen& screen = w->screen();
    EXPECT_EQ(w->centralWidget()->size(), QSize(1280, 880));
    EXPECT_EQ(QSettings().value("view/zoom").toDouble(), 2.0);
    // Label4 stands at 542, 130, 98 x 40 in the layout.
    const QRect label = screen.label("Label4")->geometry();
    EXPECT_EQ(label, QRect(1084, 260, 196, 80));
    EXPECT_EQ(screen.to_layout(label.topLeft()), QPointF(542, 130));
    EXPECT_EQ(screen.unten()->pixel_size(), QSize(960, 480));
    // A place the logic sets is a layout place: the stop marker's top.
    w->run().view.stopline_top = 100;
    w->screen().mirror(w->run().view);
    EXPECT_EQ(screen.lamp("stopline")->geometry().topLeft(), QPoint(960, 200));
    // 1.5 rounds by edges: neighbours stay neighbours.
    w->set_zoom(1.5);
    EXPECT_EQ(screen.label("Label3")->geometry().bottom() + 1, screen.label("digi_speed")->geometry().top() - 3);

    // The wheel turns the handle at any zoom; the back button closes the window.
    w->set_zoom(3);
    const int32_t brake = w->run().core.BrakeHandle;
    QWheelEvent up(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(screen.unten(), &up);
    EXPECT_EQ(w->run().core.BrakeHandle, std::max(brake - 1, -w->run().train.brake_notches));
    QSignalSpy closed(w.get(), &DrivingWindow::closed);
    QTest::mouseClick(screen.back(), Qt::LeftButton, {}, screen.back()->rect().center());
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(ViewZoomTest, F11SwitchesFullScreenShiftF11AndEscReachTheLogic) {
    const auto record = data_dir() / "zoom_keys.txt";
    DriveRequest request;
    request.record = record.string();
    auto w = open_window(demo::kTrainFile, demo::kRouteFile, request);
    ASSERT_TRUE(w);
    w->show();
    w->item("start1")->trigger();
    QTest::keyClick(w.get(), Qt::Key_F11);
    EXPECT_TRUE(w->zoom().full_screen);
    EXPECT_TRUE(w->item("full_screen")->isChecked());
    QTest::qWait(50);
    // Letterboxed: the cab as large as the room allows, centred in it.
    const QWidget* canvas = w->centralWidget();
    const QWidget* client = w->screen().unten()->parentWidget();
    const double factor = std::min(canvas->width() / 640.0, canvas->height() / 440.0);
    EXPECT_DOUBLE_EQ(w->screen().scale(), factor);
    EXPECT_LE(std::abs(client->geometry().center().x() - canvas->rect().center().x()), 1);
    EXPECT_LE(std::abs(client->geometry().center().y() - canvas->rect().center().y()), 1);
    // Shift+F11 is the key table's: it slows the train and leaves full screen alone.
    w->run().core.Speed = 50 * kFixedOne;
    QTest::keyClick(w.get(), Qt::Key_F11, Qt::ShiftModifier);
    EXPECT_TRUE(w->zoom().full_screen);
    EXPECT_EQ(w->run().core.Speed, 40 * kFixedOne);
    // Esc leaves full screen and is typed as a character too.
    QTest::keyClick(w.get(), Qt::Key_Escape);
    EXPECT_FALSE(w->zoom().full_screen);
    EXPECT_FALSE(QSettings().value("view/full_screen").toBool());
    w->close();
    std::ifstream in(record);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("vk shift+F11"), std::string::npos) << text.str();
    EXPECT_EQ(text.str().find("vk F11"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("key 0x1b"), std::string::npos) << text.str();
}

}  // namespace
}  // namespace vantrel::test
