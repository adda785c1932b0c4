#pragma once
// The desktop's speech service (Qt TextToSpeech; speech-dispatcher on Linux) behind the
// voice's engine interface.
#include <functional>
#include <memory>
#include <string>

#include <QLocale>
#include <QStringList>

#include "speech/voice.hpp"

class QTextToSpeech;

namespace vantrel {

class QtSpeechEngine final : public speech::SpeechEngine {
public:
    // `finished` runs whenever the service becomes ready for the next utterance.
    QtSpeechEngine(const QLocale& locale, std::function<void()> finished);
    ~QtSpeechEngine() override;

    [[nodiscard]] bool available() const override;
    [[nodiscard]] bool speaking() const override;
    void say(const std::string& text) override;

    // The voices of the locale; the one named is used when present.
    [[nodiscard]] QStringList voices() const;
    void set_voice(const QString& name);
    void set_rate(double rate);  // -1 slow .. 1 fast
    [[nodiscard]] QString error_text() const;

private:
    std::unique_ptr<QTextToSpeech> tts_;
    // From say() until the service is ready again: its own state changes only later.
    bool busy_ = false;
};

}  // namespace vantrel
