// The title window: the movie phase, the train choice with Shift, the return after a drive.
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "ui/title_window.hpp"
#include "ui_fixture.hpp"

namespace vantrel::test {
namespace {

using TitleWindowTest = UiTest;

TEST_F(TitleWindowTest, ChoosesTrainsWithShiftAlternatesAndReturnsAfterTheDrive) {
    TitleSetup setup;
    setup.data_dir = data_dir();
    setup.program_dir = data_dir() / "no-program-here";
    setup.report_error = [this](const QString& text) { errors.push_back(text.toStdString()); };
    setup.value_display = &values;
    setup.help = &help;
    auto title = TitleWindow::create(setup);
    ASSERT_TRUE(title);
    title->show();
    EXPECT_EQ(title->size(), QSize(320, 240));
    EXPECT_TRUE(title->movie_visible());

    // A click skips the movie; the buttons appear one by one within 0.8 s.
    QTest::mouseClick(title.get(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    EXPECT_EQ(title->size(), QSize(640, 480));
    EXPECT_FALSE(title->movie_visible());
    auto* quit = title->findChild<QPushButton*>("Quit");
    auto* badge = title->findChild<QPushButton*>("TrainC");
    EXPECT_FALSE(quit->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(quit->isVisible(), 2000);

    // Shift shows the badges; the fourth train then opens the alternate train file.
    QTest::keyPress(title.get(), Qt::Key_Shift, Qt::ShiftModifier);
    EXPECT_TRUE(badge->isVisible());
    title->choose(3);
    EXPECT_EQ(title->train_file(), "train_731.dat");
    EXPECT_EQ(title->route_file(), "line_rapid.dat");
    QTest::keyRelease(title.get(), Qt::Key_Shift, Qt::NoModifier);
    EXPECT_FALSE(badge->isVisible());
    title->choose(0);
    EXPECT_EQ(title->train_file(), "train_785.dat");
    // The demo pack lacks these trains: the error is reported, the title keeps its building look.
    EXPECT_FALSE(title->driving_window());
    EXPECT_FALSE(errors.empty());
    EXPECT_EQ(title->height(), 498);
    EXPECT_EQ(title->status_line()->text().toStdString(), "設定ファイルを読み込んでいます");

    // A train and route by name: the driving window opens, the title hides, and returns after.
    errors.clear();
    title->open_files(demo::kTrainFile, demo::kRouteFile);
    ASSERT_TRUE(title->driving_window()) << (errors.empty() ? "" : errors.front());
    EXPECT_FALSE(title->isVisible());
    title->driving_window()->close();
    QTRY_VERIFY_WITH_TIMEOUT(title->isVisible(), 2000);
    EXPECT_EQ(title->height(), 480);
}

TEST_F(TitleWindowTest, HelpWindowTakesItsCaptionFromTheFirstLine) {
    HelpWindow w;
    ASSERT_TRUE(w.load(data_dir() / "operation.dat"));
    EXPECT_EQ(w.windowTitle().toStdString(), "操作説明");
    EXPECT_EQ(w.memo()->toPlainText().toStdString(), "z: 力行\na: ブレーキ");
    EXPECT_FALSE(w.load(data_dir() / "missing.dat"));

    // A long line wraps inside the window: a vertical scroll bar only.
    TempDir dir;
    write_cp932(dir / "long.dat", "操作説明\n" + std::string(40, 'x') + " " + std::string(200, 'y') + "\n");
    ASSERT_TRUE(w.load(dir / "long.dat"));
    w.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.memo()->horizontalScrollBar()->maximum(), 0);
    EXPECT_FALSE(w.memo()->horizontalScrollBar()->isVisible());
    EXPECT_GT(w.memo()->document()->firstBlock().layout()->lineCount(), 2);
    w.hide();
}

}  // namespace
}  // namespace vantrel::test
