// The driving window: start-up, menus, keys reaching the logic, loading failures.
#include <QMenu>
#include <QTest>

#include <cmath>

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

// Every tick and step redraws the window; a display closed by its own button stays closed.
TEST_F(DrivingWindowTest, ValueDisplayClosedByItsButtonStaysClosedWhileTheTrainRuns) {
    auto w = open_window();
    ASSERT_TRUE(w);
    w->show();
    w->item("start1")->trigger();
    QTest::keyClick(w.get(), Qt::Key_F5);
    ASSERT_TRUE(values.isVisible());
    values.close();
    const int64_t closed_at = w->session().event_ms();
    QTest::qWait(400);
    EXPECT_GT(w->session().event_ms(), closed_at + 300);  // ticks and steps ran
    EXPECT_FALSE(values.isVisible());
    QTest::keyClick(w.get(), Qt::Key_F5);
    QTest::qWait(150);
    EXPECT_TRUE(values.isVisible());
    QTest::keyClick(w.get(), Qt::Key_F5);
    QTest::qWait(150);
    EXPECT_FALSE(values.isVisible());
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

TEST_F(DrivingWindowTest, EachLampWidgetFollowsItsOwnFlagOfTheCabView) {
    auto w = open_window();
    ASSERT_TRUE(w);
    w->show();
    struct Entry {
        const char* name;
        bool CabView::*flag;
    };
    static constexpr Entry kLamps[] = {
        {"Lamp_Door", &CabView::Lamp_Door},   {"Lamp_Power", &CabView::Lamp_Power}, {"Lamp_Gen", &CabView::Lamp_Gen},
        {"Lamp_EB", &CabView::Lamp_EB},       {"Lamp_Air", &CabView::Lamp_Air},     {"Lamp_Ele", &CabView::Lamp_Ele},
        {"Lamp_Ats", &CabView::Lamp_Ats},     {"Lamp_Atsp1", &CabView::Lamp_Atsp1}, {"Lamp_Atsp2", &CabView::Lamp_Atsp2},
        {"Lamp_G", &CabView::Lamp_G},         {"Lamp_YG", &CabView::Lamp_YG},       {"Lamp_Y", &CabView::Lamp_Y},
        {"Lamp_YY", &CabView::Lamp_YY},       {"Lamp_R", &CabView::Lamp_R},         {"Lamp_Fwd", &CabView::Lamp_Fwd},
        {"Lamp_Bck", &CabView::Lamp_Bck},     {"Lamp_stopalert", &CabView::Lamp_stopalert},
        {"Panel2", &CabView::Panel2},
    };
    CabView view = w->run().view;
    for (const Entry& lit : kLamps) {
        for (const Entry& e : kLamps) view.*e.flag = e.flag == lit.flag;
        w->screen().mirror(view);
        for (const Entry& e : kLamps) {
            QWidget* lamp = w->screen().lamp(e.name);
            ASSERT_TRUE(lamp) << e.name;
            EXPECT_EQ(lamp->isVisible(), e.flag == lit.flag) << e.name << " with only " << lit.name << " on";
        }
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

TEST_F(DrivingWindowTest, ValueDisplayShowsEveryField) {
    vantrel::Run run;
    run.train.tons = 40 * 10000;
    run.train.mt = 20 * 10000;
    CoreState& c = run.core;
    c.Speed = 123456;                // 12.3456 km/h
    c.TractiveForce = 150000LL * 10000;
    c.ResistanceForce = -30000LL * 10000;  // (150000 - 30000) / 40000 x 3.6 = 10.8 km/h/s
    c.Gradient = -25 * 10000;
    c.Wheel = WheelState::Racing;
    c.AdhesionCoefficient = 2500;     // limits 0.25 x 20 t and 0.25 x 40 t at 9.8 m/s2
    c.BcPressure = 3456000;
    c.SapPressure = 200 * 10000;
    c.ErPressure = 490 * 10000;
    c.MrPressure = 7804000;
    c.Frame = 1234;
    run.video.FilmedSpeed = 55;
    c.TargetDistance = 123456;
    c.RemainingDistance = -5060;
    c.Distance = 98765;
    values.update_values(run);
    const std::pair<const char*, const char*> fields[] = {
        {"Label1", "12.3 km/h"},  {"Label6", "10.8 km/h/s"}, {"Label27", "-25 Permil"}, {"Label23", "Racing"},
        {"Label7", "150000 N"},   {"Label25", "-30000 N"},   {"Label8", "0.25"},        {"Label9", "49000 N"},
        {"Label20", "-98000 N"},  {"Label2", "346 kPa"},     {"Label3", "200 kPa"},     {"Label4", "490 kPa"},
        {"Label5", "780 kPa"},    {"Label30", "1234"},       {"Label31", "55 km/h"},    {"Label37", "1235 m"},
        {"Label33", "-51 m"},     {"Label35", "988 m"},
    };
    for (const auto& [name, text] : fields) EXPECT_EQ(values.field(name)->text().toStdString(), text) << name;
    // The bars: the force, then both limits times the cosine of the gradient angle.
    const long double cosine = 1000.0L / std::sqrt(625.0L + 1000000.0L);
    EXPECT_EQ(values.bar(0)->value(), 150000);
    EXPECT_EQ(values.bar(1)->value(), static_cast<int>(std::lround(49000 * cosine)));
    EXPECT_EQ(values.bar(2)->value(), static_cast<int>(std::lround(-98000 * cosine)));
    // The wheel's other states; a force beyond the bar's range is held at its end.
    c.Wheel = WheelState::Sliding;
    c.TractiveForce = -700000LL * 10000;
    values.update_values(run);
    EXPECT_EQ(values.field("Label23")->text().toStdString(), "Sliding");
    EXPECT_EQ(values.bar(0)->value(), -500000);
    c.Wheel = WheelState::Normal;
    c.Gradient = 1000 * 10000;  // 1000 per mille: the limit bars fall to cos 45 degrees
    values.update_values(run);
    EXPECT_EQ(values.field("Label23")->text().toStdString(), "Normal");
    EXPECT_EQ(values.field("Label27")->text().toStdString(), "1000 Permil");
    EXPECT_EQ(values.bar(1)->value(), static_cast<int>(std::lround(49000 * 0.70710678L)));
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
