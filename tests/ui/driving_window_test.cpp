// The driving window: start-up, menus, keys reaching the logic, loading failures.
#include <QMenu>
#include <QTest>

#include "app/run.hpp"
#include "common/fixed_point.hpp"
#include "ui/cab_screen.hpp"
#include "ui/drive_session.hpp"
#include "ui_fixture.hpp"

namespace vantrel::test {
namespace {

using DrivingWindowTest = UiTest;

TEST_F(DrivingWindowTest, StartsUpInOrderWithItsStatusTextsAndCaptions) {
    auto w = open_window();
    ASSERT_TRUE(w) << (errors.empty() ? "" : errors.front());
    EXPECT_TRUE(errors.empty());
    const std::vector<std::string> expected{"設定ファイルを読み込んでいます", "運転台を描画しています",
                                            "DirectSoundオブジェクトを作成しています", "サウンドを読み込んでいます",
                                            "環境をセットアップしています"};
    EXPECT_EQ(statuses, expected);
    EXPECT_EQ(w->centralWidget()->size(), QSize(640, 440));
    // The string file replaces the built-in captions.
    EXPECT_EQ(w->item("start1")->text().toStdString(), "運転開始(&S)");
    EXPECT_EQ(w->move_menu()->title().toStdString(), "駅へ移動(&M)");
    EXPECT_EQ(w->item("menu_d1")->text().toStdString(), "操作説明(&H)");
    EXPECT_EQ(w->item("COM11")->text().toStdString(), "標準/QXマスコン(&N)");
    EXPECT_FALSE(w->item("D1")->isEnabled());
    EXPECT_EQ(w->screen().label("Label1")->text().toStdString(), "前進");
    EXPECT_EQ(w->screen().label("CarsLabel")->text().toStdString(), w->run().view.CarsLabel);
}

TEST_F(DrivingWindowTest, StartCaptionNamesTheNextAction) {
    auto w = open_window();
    ASSERT_TRUE(w);
    QAction* start = w->item("start1");
    start->trigger();
    EXPECT_EQ(start->text().toStdString(), "一時停止(&S)");
    EXPECT_TRUE(w->session().running());
    start->trigger();
    EXPECT_EQ(start->text().toStdString(), "運転再開(&S)");
    EXPECT_FALSE(w->session().running());
}

TEST_F(DrivingWindowTest, MoveMenuListsTheStoppingStationsButTheLast) {
    auto w = open_window();
    ASSERT_TRUE(w);
    const auto& stations = w->run().route.stations;
    std::vector<std::string> expected;
    for (size_t i = 0; i + 1 < stations.size(); ++i)
        if (stations[i].type == 0 || stations[i].type == 2) expected.push_back("Sta" + std::to_string(i) + " " + stations[i].name);
    std::vector<std::string> items;
    for (QAction* a : w->move_menu()->actions()) items.push_back(a->objectName().toStdString() + " " + a->text().toStdString());
    EXPECT_EQ(items, expected);
    ASSERT_FALSE(items.empty());

    // Choosing one sets the train down there, in emergency braking.
    QAction* last = w->move_menu()->actions().back();
    last->trigger();
    EXPECT_EQ(w->run().core.BrakeHandle, -w->run().train.brake_notches);
    EXPECT_EQ(w->screen().label("Label4")->text().toStdString(), w->run().view.Label4);
}

TEST_F(DrivingWindowTest, KeysMoveTheHandlesAndChangeTheLabels) {
    auto w = open_window();
    ASSERT_TRUE(w);
    w->show();
    vantrel::Run& run = w->run();
    // Before the start only the wheel moves the handles.
    QTest::keyClick(w.get(), 'z');
    EXPECT_EQ(run.core.PowerHandle, 0);
    w->item("start1")->trigger();
    const int32_t brake = run.core.BrakeHandle;
    const std::string brake_label = w->screen().label("BrakeLabel")->text().toStdString();
    QTest::keyClick(w.get(), '5');  // release all
    EXPECT_EQ(run.core.BrakeHandle, 0);
    if (brake != 0) {
        EXPECT_NE(w->screen().label("BrakeLabel")->text().toStdString(), brake_label);
    }
    QTest::keyClick(w.get(), 'z');
    EXPECT_EQ(run.core.PowerHandle, 1);
    EXPECT_EQ(w->screen().label("PowerLabel")->text().toStdString(), run.view.PowerLabel);
    EXPECT_EQ(run.view.PowerLabel, "P1");
    // Scroll Lock swaps the keypad: "8" then brakes instead of powering.
    QTest::keyClick(w.get(), Qt::Key_ScrollLock);
    QTest::keyClick(w.get(), '8');
    EXPECT_EQ(run.core.PowerHandle, 0);
    // F5 shows the value display, which forwards its keys to the driving window.
    QTest::keyClick(w.get(), Qt::Key_F5);
    EXPECT_TRUE(values.isVisible());
    QTest::keyClick(&values, '2');  // swapped: towards power
    EXPECT_EQ(run.core.PowerHandle, 1);
    QTest::keyClick(&values, Qt::Key_F5);
    EXPECT_FALSE(values.isVisible());
    // Hidden by its own close button, the first F5 shows it again.
    QTest::keyClick(w.get(), Qt::Key_F5);
    ASSERT_TRUE(values.isVisible());
    values.close();
    ASSERT_FALSE(values.isVisible());
    QTest::keyClick(w.get(), Qt::Key_F5);
    EXPECT_TRUE(values.isVisible());
    values.hide();
}

TEST_F(DrivingWindowTest, ControlCharactersResetTheVigilanceCounter) {
    auto w = open_window();
    ASSERT_TRUE(w);
    w->show();
    w->item("start1")->trigger();
    struct Case {
        const char* name;
        int key;
        Qt::KeyboardModifiers mods;
    };
    for (const Case c : {Case{"Esc", Qt::Key_Escape, Qt::NoModifier}, {"Backspace", Qt::Key_Backspace, Qt::NoModifier},
                         {"Tab", Qt::Key_Tab, Qt::NoModifier}, {"Ctrl+Q", Qt::Key_Q, Qt::ControlModifier}}) {
        w->run().ats.vigilance_counter = 40;
        QTest::keyClick(w.get(), static_cast<Qt::Key>(c.key), c.mods);
        EXPECT_EQ(w->run().ats.vigilance_counter, 0) << c.name;
    }
}

TEST_F(DrivingWindowTest, WheelStepsTheHandleEvenBeforeTheStart) {
    auto w = open_window();
    ASSERT_TRUE(w);
    vantrel::Run& run = w->run();
    const int32_t before = run.core.BrakeHandle;
    QWheelEvent up(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w.get(), &up);
    EXPECT_EQ(run.core.BrakeHandle, std::max(before - 1, -run.train.brake_notches));
}

TEST_F(DrivingWindowTest, ValueDisplayShowsTheRunsQuantities) {
    auto w = open_window();
    ASSERT_TRUE(w);
    vantrel::Run& run = w->run();
    run.core.Speed = 123456;           // 12.3456 km/h
    run.core.Gradient = 1000 * 10000;  // 1000 per mille: bars reduced by cos 45 degrees
    run.core.AdhesionCoefficient = 3000;
    run.core.Distance = 123456;  // cm
    values.update_values(run);
    EXPECT_EQ(values.field("Label1")->text().toStdString(), "12.3 km/h");
    EXPECT_EQ(values.field("Label27")->text().toStdString(), "1000 Permil");
    EXPECT_EQ(values.field("Label8")->text().toStdString(), "0.30");
    EXPECT_EQ(values.field("Label35")->text().toStdString(), "1235 m");
    const long double limit_p = std::nearbyintl(0.3L * real(run.train.mt) * 1000.0L * 9.8L);
    EXPECT_EQ(values.field("Label9")->text().toStdString(), QString::number(static_cast<double>(limit_p), 'f', 0).toStdString() + " N");
    EXPECT_NEAR(values.bar(1)->value(), static_cast<double>(limit_p) * 0.70710678, 1.0);
}

TEST_F(DrivingWindowTest, LoadingFailuresGiveTheMessageAndNoWindow) {
    auto missing = open_window("no_such_train.dat");
    EXPECT_FALSE(missing);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].starts_with("車両ファイルに誤りがあります")) << errors[0];

    // A panel picture that cannot be found is named in the message.
    auto text = read_cp932_lines(data_dir() / demo::kTrainFile);
    ASSERT_TRUE(text);
    std::string joined;
    for (const std::string& line : *text) joined += (line == "Image\\Panel.bmp" ? "Image\\Gone.bmp" : line) + "\n";
    write_cp932(data_dir() / "train_gone.dat", joined);
    errors.clear();
    EXPECT_FALSE(open_window("train_gone.dat"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Image\\Gone.bmpが見つかりません");
}

}  // namespace
}  // namespace vantrel::test
