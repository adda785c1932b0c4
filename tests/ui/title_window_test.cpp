// The title window: the movie phase, the train choice with Shift, the return after a drive.
#include <QDesktopServices>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

#include <set>

#include <QTranslator>

#include "ui/app_translation.hpp"
#include "ui/serial_settings_dialog.hpp"
#include "ui/title_window.hpp"
#include "ui_fixture.hpp"

namespace vantrel::test {
namespace {

using TitleWindowTest = UiTest;

// Receives the URLs the program asks the desktop to open.
class UrlCatcher final : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls.push_back(url); }
};

std::unique_ptr<TitleWindow> make_title(const std::filesystem::path& data, std::vector<std::string>& errors) {
    TitleSetup setup;
    setup.data_dir = data;
    setup.program_dir = data / "no-program-here";
    setup.report_error = [&errors](const QString& text) { errors.push_back(text.toStdString()); };
    return TitleWindow::create(setup);
}

// While a film's index is built the window thread runs its events: the trains cannot be chosen
// again, and 中止 gives the driving window up without an error, the title ready for another choice.
TEST_F(TitleWindowTest, AFilmBeingIndexedCanBeGivenUp) {
    struct Indexing final : FrameSource {
        FilmFrameSource::Waiting waiting;
        bool open(const std::filesystem::path&) override { return waiting && waiting([] { return false; }); }
        int32_t length() const override { return -1; }
        bool frame(int32_t, FrameImage&) override { return false; }
    };
    std::vector<std::string> errors;
    TitleSetup setup;
    setup.data_dir = data_dir();
    setup.program_dir = data_dir() / "no-program-here";
    setup.report_error = [&errors](const QString& text) { errors.push_back(text.toStdString()); };
    setup.make_back_ends = [] {
        BackEnds b = make_back_ends();
        auto video = std::make_unique<Indexing>();
        b.set_waiting = [v = video.get()](FilmFrameSource::Waiting w) { v->waiting = std::move(w); };
        b.video = std::move(video);
        b.film = [] { return nullptr; };
        b.set_progress = {};
        return b;
    };
    auto title = TitleWindow::create(setup);
    ASSERT_TRUE(title);
    title->end_movie();
    bool ran = false, locked = false;
    QTimer::singleShot(50, title.get(), [&] {
        ran = true;
        locked = !title->findChild<QPushButton*>("Train2")->isEnabled();
        title->findChild<QPushButton*>("Cancel")->click();
    });
    title->open_files(demo::kTrainFile, demo::kRouteFile);
    EXPECT_TRUE(ran);
    EXPECT_TRUE(locked);
    EXPECT_EQ(title->driving_window(), nullptr);
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_TRUE(title->findChild<QPushButton*>("Train2")->isEnabled());
    EXPECT_FALSE(title->findChild<QPushButton*>("Cancel")->isVisible());
}

TEST_F(TitleWindowTest, MovieEndsAtTick1400ThenTheButtonsAppearInOrder) {
    auto title = make_title(data_dir(), errors);
    ASSERT_TRUE(title);
    title->show();
    for (int i = 0; i < 1400; ++i) title->timer_tick();
    EXPECT_TRUE(title->movie_visible());
    title->timer_tick();  // the 1401st: the counter stood at 1400
    EXPECT_FALSE(title->movie_visible());
    EXPECT_EQ(title->size(), QSize(640, 480));

    std::vector<std::string> order;  // "tick:name" as each button first shows
    std::set<std::string> seen;
    const std::vector<std::string> names{"Train1", "Train2", "Train3", "train4", "HELP", "Quit", "OpenFiles"};
    for (int tick = 1; tick <= 10; ++tick) {
        title->timer_tick();
        for (const std::string& name : names) {
            if (title->findChild<QPushButton*>(QString::fromStdString(name))->isVisible() && seen.insert(name).second)
                order.push_back(std::to_string(tick) + ":" + name);
        }
    }
    // The ending tick restarted the counter and counted itself: Train1 shows at counter 3.
    EXPECT_EQ(order, (std::vector<std::string>{"2:Train1", "3:Train2", "4:Train3", "5:train4", "6:HELP", "7:Quit",
                                               "7:OpenFiles"}));
}

TEST_F(TitleWindowTest, HelpOpensTheReadMeAndQuitClosesTheTitle) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    auto title = make_title(data_dir(), errors);
    ASSERT_TRUE(title);
    title->show();
    title->end_movie();
    for (int i = 0; i < 9; ++i) title->timer_tick();
    QTest::mouseClick(title->findChild<QPushButton*>("HELP"), Qt::LeftButton);
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.urls.size(), 1u);
    EXPECT_EQ(catcher.urls[0].toLocalFile().toStdString(),
              std::filesystem::absolute(data_dir() / "readme.html").string());
    QTest::mouseClick(title->findChild<QPushButton*>("Quit"), Qt::LeftButton);
    EXPECT_FALSE(title->isVisible());
    EXPECT_FALSE(title->driving_window());
}

// A set the program found itself may be swapped for another from the title; a set named
// on the command line may not.
TEST_F(TitleWindowTest, TheSwitchButtonComesOnlyWithAHookAndCallsIt) {
    int switches = 0;
    TitleSetup setup;
    setup.data_dir = data_dir();
    setup.program_dir = data_dir() / "no-program-here";
    setup.switch_data_set = [&switches] { ++switches; };
    auto title = TitleWindow::create(setup);
    ASSERT_TRUE(title);
    title->show();
    title->end_movie();
    auto* button = title->findChild<QPushButton*>("SwitchDataSet");
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->isVisible());
    for (int i = 0; i < 9; ++i) title->timer_tick();
    ASSERT_TRUE(button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(switches, 1);
    EXPECT_EQ(make_title(data_dir(), errors)->findChild<QPushButton*>("SwitchDataSet"), nullptr);
}

TEST_F(TitleWindowTest, ABadgeClickedChoosesTheAlternateTrainOfItsButton) {
    auto title = make_title(data_dir(), errors);
    ASSERT_TRUE(title);
    title->show();
    title->end_movie();
    for (int i = 0; i < 9; ++i) title->timer_tick();
    struct Case {
        const char* badge;
        const char* train;
        const char* route;
    };
    for (const Case c : {Case{"TrainA", "train_721.dat", "line_local.dat"},
                         {"TrainB", "train_711.dat", "line_local2.dat"},
                         {"TrainC", "train_731.dat", "line_rapid.dat"}}) {
        QTest::keyPress(title.get(), Qt::Key_Shift, Qt::ShiftModifier);
        auto* badge = title->findChild<QPushButton*>(c.badge);
        ASSERT_TRUE(badge->isVisible()) << c.badge;
        QTest::mouseClick(badge, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 5));
        EXPECT_EQ(title->train_file(), c.train) << c.badge;
        EXPECT_EQ(title->route_file(), c.route) << c.badge;
        QTest::keyRelease(title.get(), Qt::Key_Shift, Qt::NoModifier);
    }
}

TEST_F(TitleWindowTest, IsWorkedByKeyboardAloneAndNamesItsButtons) {
    auto title = make_title(data_dir(), errors);
    ASSERT_TRUE(title);
    title->show();
    QApplication::setActiveWindow(title.get());
    title->setFocus();
    QTest::keyClick(title.get(), Qt::Key_Return);  // skips the movie
    EXPECT_FALSE(title->movie_visible());
    for (int tick = 0; tick < 10; ++tick) title->timer_tick();
    std::vector<std::string> reached;
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : title.get(), Qt::Key_Tab);
        QWidget* f = QApplication::focusWidget();
        ASSERT_TRUE(f);
        EXPECT_FALSE(f->accessibleName().isEmpty()) << f->objectName().toStdString();
        reached.push_back(f->objectName().toStdString());
    }
    for (const char* name : {"Train1", "train4", "HELP", "Quit", "OpenFiles"})
        EXPECT_NE(std::find(reached.begin(), reached.end(), name), reached.end()) << name;
    auto* quit = title->findChild<QPushButton*>("Quit");
    quit->setFocus();
    QTest::keyClick(quit, Qt::Key_Space);
    EXPECT_FALSE(title->isVisible());
}

TEST_F(TitleWindowTest, AddedTextsAreJapaneseWithAnEnglishTranslation) {
    auto texts = [this] {
        auto title = make_title(data_dir(), errors);
        const SerialSettingsDialog dialog{SerialSettings{}};
        return title->findChild<QPushButton*>("OpenFiles")->text().toStdString() + "|" +
               dialog.windowTitle().toStdString();
    };
    EXPECT_EQ(texts(), "車両と路線を開く...|シリアルポート");
    EXPECT_FALSE(install_translation(qt_app(), QLocale(QLocale::Japanese, QLocale::Japan)));
    EXPECT_EQ(texts(), "車両と路線を開く...|シリアルポート");
    ASSERT_TRUE(install_translation(qt_app(), QLocale(QLocale::English, QLocale::UnitedKingdom)));
    EXPECT_EQ(texts(), "Open train and route...|Serial port");
    for (QTranslator* t : qt_app().findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        std::unique_ptr<QTranslator> gone(t);
    }
    EXPECT_EQ(texts(), "車両と路線を開く...|シリアルポート");
}

TEST_F(TitleWindowTest, AMissingTitlePictureIsReportedAndNoWindowOpens) {
    TempDir empty;
    auto title = make_title(empty.path(), errors);
    EXPECT_FALSE(title);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].starts_with("image\\title\\0")) << errors[0];
    EXPECT_TRUE(errors[0].ends_with(".jpgが見つかりません")) << errors[0];
}

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

#include "title_window_test.moc"
