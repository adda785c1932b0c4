#pragma once
// The cab's speech in a driving window: the announcer after each step and on the request
// keys, the voice (the desktop's speech service) while speech is on, the stopping aid's
// beeps and the speech log. Its menu switches speech on and opens the settings.
#include <fstream>
#include <memory>
#include <string>

#include <QObject>
#include <QTemporaryDir>

#include "speech/announcer.hpp"
#include "speech/stop_aid.hpp"
#include "speech/voice.hpp"

class QAction;
class QMainWindow;
class QMenuBar;

namespace vantrel {

struct Run;
class DriveSession;
class QtSpeechEngine;

// Owned by the program: outlives each driving window.
struct SpeechSetup {
    bool speak = false;    // --speak: on from the start
    std::string log_file;  // --speech-log: every utterance of every drive, appended
};

inline constexpr char kSpeechToggleKey = 'k';

class CabSpeech final : public QObject {
    Q_OBJECT
public:
    CabSpeech(QMainWindow& window, QMenuBar& bar, Run& run, DriveSession& session, const SpeechSetup* setup);
    ~CabSpeech() override;

    [[nodiscard]] bool on() const { return on_; }
    // Switches speech on or off and remembers the choice (the menu item and the key).
    void set_on(bool on);
    // Replaces the desktop's speech service (tests).
    void set_engine(speech::SpeechEngine& engine);
    // The engine is ready for the next utterance.
    void engine_finished();

private:
    void after_step();
    void typed(char c);
    void flush();
    void beep(double pitch);
    void open_settings();
    void apply(bool on);

    Run& run_;
    DriveSession& session_;
    speech::Announcer announcer_;
    speech::StopAid aid_;
    std::unique_ptr<QtSpeechEngine> qt_engine_;
    speech::SpeechEngine* engine_ = nullptr;
    std::unique_ptr<speech::Voice> voice_;
    std::ofstream log_;
    QAction* toggle_ = nullptr;
    QTemporaryDir beep_dir_;
    int beep_channel_ = -2;  // -2 not set up yet, -1 none free
    bool on_ = false;
};

}  // namespace vantrel
