// The cab's speech in the driving window, spoken through a stand-in for the desktop's
// speech service, and its settings dialog worked by keyboard alone.
#include <QComboBox>
#include <QSlider>
#include <QTest>

#include "ui/cab_speech.hpp"
#include "ui/drive_session.hpp"
#include "ui/speech_settings_dialog.hpp"
#include "ui_fixture.hpp"

namespace {

using namespace vantrel;

// Records what would be spoken; `busy` holds the service in the middle of an utterance.
class RecordingEngine final : public speech::SpeechEngine {
public:
    bool available() const override { return present; }
    bool speaking() const override { return busy; }
    void say(const std::string& text) override { said.push_back(text); }
    std::vector<std::string> said;
    bool busy = false, present = true;
};

class SpeechWindow : public test::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        QSettings().remove("speech");
    }
};

}  // namespace

TEST_F(SpeechWindow, SpeaksWhenSwitchedOnAndANewerUtteranceReplacesOneStillWaiting) {
    auto w = open_window();
    ASSERT_TRUE(w);
    CabSpeech& speech = w->speech();
    RecordingEngine engine;
    speech.set_engine(engine);
    EXPECT_FALSE(speech.on());  // off by default
    ASSERT_TRUE(w->findChild<QAction*>("speech_on"));
    ASSERT_TRUE(w->findChild<QAction*>("speech_settings"));
    DriveSession& s = w->session();
    s.start_pause();
    s.key('v');
    EXPECT_TRUE(engine.said.empty());  // off: nothing spoken
    s.key(kSpeechToggleKey);
    EXPECT_TRUE(speech.on());
    EXPECT_TRUE(QSettings().value("speech/on").toBool());  // remembered
    s.key('v');
    ASSERT_EQ(engine.said.size(), 1u);
    EXPECT_EQ(engine.said[0], "速度0キロ");
    // While the service speaks, a second speed request replaces the first still waiting.
    engine.busy = true;
    s.key('v');
    s.key('h');
    s.key('v');
    engine.busy = false;
    speech.engine_finished();
    speech.engine_finished();
    speech.engine_finished();
    ASSERT_EQ(engine.said.size(), 3u);
    EXPECT_EQ(engine.said[1], "速度0キロ");
    EXPECT_NE(engine.said[2].find("ブレーキ"), std::string::npos);
    w->findChild<QAction*>("speech_on")->trigger();
    EXPECT_FALSE(speech.on());
    s.stop();
}

TEST_F(SpeechWindow, AMissingSpeechServiceLeavesTheRunGoing) {
    auto w = open_window();
    ASSERT_TRUE(w);
    RecordingEngine engine;
    engine.present = false;
    w->speech().set_engine(engine);
    w->speech().set_on(true);
    w->session().start_pause();
    w->session().key('v');
    EXPECT_TRUE(engine.said.empty());
    EXPECT_TRUE(w->session().running());
    w->session().stop();
}

TEST_F(SpeechWindow, TheSettingsDialogIsWorkedByKeyboardAloneAndNamesItsControls) {
    test::qt_app();
    SpeechSettingsDialog dialog({"voice a", "voice b"}, SpeechPreferences{});
    dialog.show();
    for (QWidget* child : dialog.findChildren<QWidget*>())
        if (child->focusPolicy() & Qt::TabFocus) {
            EXPECT_FALSE(child->accessibleName().isEmpty()) << child->metaObject()->className();
        }
    auto* voice = dialog.findChild<QComboBox*>("speech_voice");
    ASSERT_TRUE(voice);
    QApplication::setActiveWindow(&dialog);
    voice->setFocus();
    QTest::keyClick(voice, Qt::Key_Down);
    QTest::keyClick(voice, Qt::Key_Down);
    QTest::keyClick(&dialog, Qt::Key_Tab);
    QWidget* focused = QApplication::focusWidget();
    ASSERT_EQ(focused, dialog.findChild<QSlider*>("speech_rate"));
    QTest::keyClick(focused, Qt::Key_Right);
    QTest::keyClick(focused, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosen().voice, "voice b");
    EXPECT_DOUBLE_EQ(dialog.chosen().rate, 0.1);
}
