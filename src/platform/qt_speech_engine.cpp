#include "platform/qt_speech_engine.hpp"

#include <algorithm>

#include <QTextToSpeech>
#include <QVoice>

namespace vantrel {

QtSpeechEngine::QtSpeechEngine(const QLocale& locale, std::function<void()> finished)
    : tts_(std::make_unique<QTextToSpeech>()) {
    if (tts_->state() != QTextToSpeech::Error) tts_->setLocale(locale);
    QObject::connect(tts_.get(), &QTextToSpeech::stateChanged, tts_.get(), [this, finished](QTextToSpeech::State s) {
        if (s != QTextToSpeech::Ready && s != QTextToSpeech::Error) return;
        busy_ = false;
        if (finished) finished();
    });
}

QtSpeechEngine::~QtSpeechEngine() = default;

bool QtSpeechEngine::available() const { return tts_->state() != QTextToSpeech::Error && !tts_->engine().isEmpty(); }

bool QtSpeechEngine::speaking() const { return busy_ || tts_->state() == QTextToSpeech::Speaking; }

void QtSpeechEngine::say(const std::string& text) {
    busy_ = true;
    tts_->say(QString::fromStdString(text));
}

QStringList QtSpeechEngine::voices() const {
    QStringList names;
    if (!available()) return names;
    for (const QVoice& v : tts_->availableVoices()) names << v.name();
    return names;
}

void QtSpeechEngine::set_voice(const QString& name) {
    if (!available()) return;
    for (const QVoice& v : tts_->availableVoices())
        if (v.name() == name) tts_->setVoice(v);
}

void QtSpeechEngine::set_rate(double rate) {
    if (available()) tts_->setRate(std::clamp(rate, -1.0, 1.0));
}

QString QtSpeechEngine::error_text() const {
    if (tts_->engine().isEmpty()) return QStringLiteral("no speech engine is installed");
    return tts_->errorString();
}

}  // namespace vantrel
