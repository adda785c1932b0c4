// The driving window at a zoom: controls keep their layout places, the back button and
// the wheel still work; F11 and Esc switch full screen without taking the logic's keys.
#include <fstream>
#include <sstream>

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include "app/run.hpp"
#include "common/fixed_point.hpp"
#include "ui/cab_screen.hpp"
#include "ui/drive_session.hpp"
#include "ui/title_window.hpp"
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
    // The key held down: its repeats switch nothing.
    for (int i = 0; i < 3; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_F11, Qt::NoModifier, QString(), true);
        QCoreApplication::sendEvent(w.get(), &repeat);
    }
    EXPECT_TRUE(w->zoom().full_screen);
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
    // (a tick may fall between the two and brake the train a little)
    EXPECT_NEAR(static_cast<double>(w->run().core.Speed), 40.0 * kFixedOne, 1.0 * kFixedOne);
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

// On a 1366 x 768 screen (the test runs itself again on such an offscreen screen) 2x and 3x
// would put the window off the screen: they are not offered, and a remembered 3x opens the
// driving window and the title at the largest factor that fits, the choice kept for a larger screen.
TEST_F(ViewZoomTest, OnlyTheFactorsThatFitTheScreenAreOffered) {
    if (!qEnvironmentVariableIsSet("VANTREL_SMALL_SCREEN_CHILD")) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + QtEnvironment::write_screen_config(1366, 768));
        env.insert("VANTREL_SMALL_SCREEN_CHILD", "1");
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--gtest_filter=ViewZoomTest.OnlyTheFactorsThatFitTheScreenAreOffered"});
        ASSERT_TRUE(child.waitForFinished(180000));
        const QString out = QString::fromUtf8(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
        EXPECT_TRUE(out.contains("[  PASSED  ] 1 test")) << out.toStdString();
        return;
    }
    ASSERT_EQ(QGuiApplication::primaryScreen()->size(), QSize(1366, 768));
    QSettings().setValue("view/zoom", 3.0);
    auto w = open_window();
    ASSERT_TRUE(w);
    w->show();
    QTest::qWait(20);
    EXPECT_EQ(w->screen().scale(), 1.5);
    EXPECT_LE(w->frameGeometry().height(), 768);
    const std::vector<std::pair<const char*, bool>> offered{
        {"zoom_1", true}, {"zoom_1.5", true}, {"zoom_2", false}, {"zoom_3", false}, {"zoom_0", true}};
    for (const auto& [name, shown] : offered) EXPECT_EQ(w->item(name)->isVisible(), shown) << name;
    EXPECT_TRUE(w->item("zoom_1.5")->isChecked());
    EXPECT_EQ(QSettings().value("view/zoom").toDouble(), 3.0);
    w->set_zoom(1);
    EXPECT_TRUE(w->item("zoom_1")->isChecked());
    EXPECT_EQ(w->screen().scale(), 1.0);
    w->close();

    QSettings().setValue("view/zoom", 2.0);
    TitleSetup setup;
    setup.data_dir = data_dir();
    setup.program_dir = data_dir() / "no-program-here";
    auto title = TitleWindow::create(setup);
    ASSERT_TRUE(title);
    EXPECT_EQ(title->scale(), 1.5);
}

}  // namespace
}  // namespace vantrel::test
