#include "ui/speech_settings_dialog.hpp"

#include <algorithm>
#include <cmath>

#include <QComboBox>
#include <QPushButton>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSettings>
#include <QSlider>

namespace vantrel {

SpeechPreferences load_speech_preferences() {
    QSettings s;
    SpeechPreferences p;
    p.voice = s.value("speech/voice").toString();
    p.rate = std::clamp(s.value("speech/rate", 0.0).toDouble(), -1.0, 1.0);
    p.on = s.value("speech/on", false).toBool();
    return p;
}

void save_speech_preferences(const SpeechPreferences& p) {
    QSettings s;
    s.setValue("speech/voice", p.voice);
    s.setValue("speech/rate", p.rate);
    s.setValue("speech/on", p.on);
}

SpeechSettingsDialog::SpeechSettingsDialog(const QStringList& voices, const SpeechPreferences& current, QWidget* parent)
    : QDialog(parent), current_(current) {
    setWindowTitle(tr("音声案内の設定"));
    auto* form = new QFormLayout(this);
    voice_ = new QComboBox(this);
    voice_->setObjectName("speech_voice");
    voice_->setAccessibleName(tr("声"));
    voice_->addItem(tr("標準の声"), QString());
    for (const QString& v : voices) voice_->addItem(v, v);
    const int at = voice_->findData(current.voice);
    voice_->setCurrentIndex(at < 0 ? 0 : at);
    if (voices.isEmpty()) voice_->setToolTip(tr("音声合成サービスが見つかりません"));
    auto* voice_label = new QLabel(tr("声(&V):"), this);
    voice_label->setBuddy(voice_);
    form->addRow(voice_label, voice_);
    rate_ = new QSlider(Qt::Horizontal, this);
    rate_->setObjectName("speech_rate");
    rate_->setAccessibleName(tr("話す速さ"));
    rate_->setRange(-10, 10);
    rate_->setPageStep(2);
    rate_->setValue(static_cast<int>(std::lround(current.rate * 10)));
    auto* rate_label = new QLabel(tr("速さ(&R):"), this);
    rate_label->setBuddy(rate_);
    form->addRow(rate_label, rate_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(tr("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    voice_->setFocus();
}

SpeechPreferences SpeechSettingsDialog::chosen() const {
    SpeechPreferences p = current_;
    p.voice = voice_->currentData().toString();
    p.rate = rate_->value() / 10.0;
    return p;
}

}  // namespace vantrel
