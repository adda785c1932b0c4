#include "ui/cab_speech.hpp"

#include <iostream>

#include <QAction>
#include <QFile>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "app/run.hpp"
#include "platform/qt_speech_engine.hpp"
#include "ui/drive_session.hpp"
#include "ui/speech_settings_dialog.hpp"

namespace vantrel {
namespace {

// The speech follows the language of the windows' own texts.
speech::Language speech_language() {
    return QLocale().language() == QLocale::English ? speech::Language::English : speech::Language::Japanese;
}

}  // namespace

CabSpeech::CabSpeech(QMainWindow& window, QMenuBar& bar, Run& run, DriveSession& session, const SpeechSetup* setup)
    : QObject(&window), run_(run), session_(session), announcer_(speech_language()) {
    if (setup && !setup->log_file.empty()) {
        log_.open(setup->log_file, std::ios::binary | std::ios::app);
        if (!log_) std::cerr << "vantrel: cannot write " << setup->log_file << "\n";
    }
    QMenu* menu = bar.addMenu(tr("音声案内(&A)"));
    menu->setObjectName("speech_menu");
    toggle_ = menu->addAction(tr("音声案内を使う (K)"));
    toggle_->setObjectName("speech_on");
    toggle_->setCheckable(true);
    connect(toggle_, &QAction::toggled, this, [this](bool checked) {
        if (checked != on_) set_on(checked);
    });
    QAction* settings = menu->addAction(tr("音声案内の設定(&S)..."));
    settings->setObjectName("speech_settings");
    connect(settings, &QAction::triggered, this, &CabSpeech::open_settings);
    connect(&session, &DriveSession::stepped, this, &CabSpeech::after_step);
    connect(&session, &DriveSession::typed, this, &CabSpeech::typed);
    // --speak switches it on for this start only; the menu and the key remember.
    if ((setup && setup->speak) || load_speech_preferences().on) apply(true);
}

CabSpeech::~CabSpeech() = default;

void CabSpeech::set_engine(speech::SpeechEngine& engine) {
    engine_ = &engine;
    voice_ = std::make_unique<speech::Voice>(engine);
}

void CabSpeech::engine_finished() {
    if (voice_) voice_->pump();
}

void CabSpeech::set_on(bool on) {
    apply(on);
    SpeechPreferences p = load_speech_preferences();
    p.on = on;
    save_speech_preferences(p);
}

void CabSpeech::apply(bool on) {
    on_ = on;
    if (on && !engine_) {
        // The service is started only when speech is first wanted.
        qt_engine_ = std::make_unique<QtSpeechEngine>(QLocale(), [this] { engine_finished(); });
        const SpeechPreferences p = load_speech_preferences();
        if (!p.voice.isEmpty()) qt_engine_->set_voice(p.voice);
        qt_engine_->set_rate(p.rate);
        set_engine(*qt_engine_);
    }
    if (on) {
        voice_->check();
        flush();
    }
    if (!on && voice_) voice_->clear();
    if (toggle_->isChecked() != on) toggle_->setChecked(on);
}

void CabSpeech::after_step() {
    const int64_t t = session_.event_ms();
    announcer_.observe(run_, t);
    flush();
    if (!on_) return;
    if (const auto pitch = aid_.observe(run_, t)) beep(*pitch);
}

void CabSpeech::typed(char c) {
    if (c == kSpeechToggleKey) {
        set_on(!on_);
        return;
    }
    if (announcer_.request(run_, c, session_.event_ms())) flush();
}

void CabSpeech::flush() {
    for (speech::Utterance& u : announcer_.take()) {
        if (log_.is_open()) log_ << speech::log_line(u) << std::flush;
        if (on_ && voice_) voice_->push(std::move(u));
    }
    if (voice_ && voice_->take_missing_notice()) {
        const QString why = qt_engine_ ? qt_engine_->error_text() : QString();
        std::cerr << "vantrel: no speech service" << (why.isEmpty() ? std::string() : " (" + why.toStdString() + ")")
                  << "; the cab stays silent\n";
    }
}

void CabSpeech::beep(double pitch) {
    if (beep_channel_ == -2) {
        beep_channel_ = speech::spare_channel(run_);
        const QString file = beep_dir_.filePath("stop_aid.wav");
        QFile out(file);
        const std::string bytes = speech::beep_wave_file(22050);
        if (beep_channel_ >= 0 && beep_dir_.isValid() && out.open(QIODevice::WriteOnly) &&
            out.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size())) {
            out.close();
            run_.sound().assign(beep_channel_, run_.sound().load_wave(file.toStdString()));
        } else {
            beep_channel_ = -1;
        }
    }
    if (beep_channel_ < 0) return;
    run_.sound().set_frequency_ratio(beep_channel_, pitch);
    restart(run_.sound(), beep_channel_);
}

void CabSpeech::open_settings() {
    SpeechPreferences p = load_speech_preferences();
    QStringList voices;
    if (qt_engine_) voices = qt_engine_->voices();
    SpeechSettingsDialog dialog(voices, p, qobject_cast<QWidget*>(parent()));
    if (dialog.exec() != QDialog::Accepted) return;
    p = dialog.chosen();
    p.on = on_;
    save_speech_preferences(p);
    if (qt_engine_) {
        if (!p.voice.isEmpty()) qt_engine_->set_voice(p.voice);
        qt_engine_->set_rate(p.rate);
    }
}

}  // namespace vantrel
