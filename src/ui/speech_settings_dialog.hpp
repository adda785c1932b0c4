#pragma once
// The speech settings: the voice and the speaking rate, remembered in the settings
// (speech/voice, speech/rate). Usable by keyboard alone; every control is named for
// screen readers.
#include <QDialog>
#include <QStringList>

class QComboBox;
class QSlider;

namespace vantrel {

struct SpeechPreferences {
    QString voice;      // empty: the service's default
    double rate = 0;    // -1 slow .. 1 fast
    bool on = false;
};

[[nodiscard]] SpeechPreferences load_speech_preferences();
void save_speech_preferences(const SpeechPreferences& p);

class SpeechSettingsDialog final : public QDialog {
    Q_OBJECT
public:
    SpeechSettingsDialog(const QStringList& voices, const SpeechPreferences& current, QWidget* parent = nullptr);
    [[nodiscard]] SpeechPreferences chosen() const;

private:
    QComboBox* voice_ = nullptr;
    QSlider* rate_ = nullptr;
    SpeechPreferences current_;
};

}  // namespace vantrel
