#include "ui/value_display.hpp"

#include <cmath>

#include <QKeyEvent>

#include "app/run.hpp"
#include "common/fixed_point.hpp"

namespace vantrel {

namespace {

constexpr int kRowHeight = 20;

QString fixed(long double value, int decimals) {
    QString text = QString::number(static_cast<double>(value), 'f', decimals);
    // A value that rounds to zero shows no sign.
    if (text.startsWith('-') && text.mid(1).toDouble() == 0.0) text.remove(0, 1);
    return text;
}

}  // namespace

QLabel* ValueDisplay::add_row(int column, int row, const char* caption, const char* name, const char* initial) {
    const int x = 8 + column * 196;
    const int y = 6 + row * kRowHeight;
    auto* c = new QLabel(QString::fromUtf8(caption), this);
    c->setGeometry(x, y, 140, kRowHeight);
    auto* v = new QLabel(QString::fromUtf8(initial), this);
    v->setObjectName(name);
    v->setGeometry(x + 96, y, 88, kRowHeight);
    v->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    v->raise();
    return v;
}

ValueDisplay::ValueDisplay(QWidget* parent) : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle("Value Display");
    setFixedSize(604, 195);
    add_row(0, 0, "Speed", "Label1", "0 km/h");
    add_row(0, 1, "Accelaration", "Label6", "0 km/h/s");
    add_row(0, 2, "Slope", "Label27", "0 Permil");
    add_row(0, 3, "Wheel statement", "Label23", "Normal");
    add_row(0, 4, "Power", "Label7", "0 N");
    add_row(0, 5, "Resistance", "Label25", "0 N");
    add_row(0, 6, "Adhesive coefficient", "Label8", "0");
    add_row(0, 7, "Adhesive limit(P)", "Label9", "0 N");
    add_row(0, 8, "Adhesive limit(B)", "Label20", "0 N");
    add_row(1, 0, "BC Pressure", "Label2", "0 kPa");
    add_row(1, 1, "SAP Pressure", "Label3", "");
    add_row(1, 2, "ER Pressure", "Label4", "");
    add_row(1, 3, "MR Pressure", "Label5", "");
    add_row(1, 4, "Frame", "Label30", "0");
    add_row(1, 5, "Projected", "Label31", "0 km/h");
    add_row(1, 6, "Next station", "Label37", "");
    add_row(1, 7, "Remain", "Label33", "");
    add_row(1, 8, "Total", "Label35", "");

    auto* scale = new QLabel("Brake               0               Power", this);
    scale->setGeometry(400, 6, 196, kRowHeight);
    scale->setAlignment(Qt::AlignCenter);
    for (int i = 0; i < 3; ++i) {
        auto* bar = new QProgressBar(this);
        bar->setObjectName(QString("ProgressBar%1").arg(i + 1));
        bar->setRange(-500000, 500000);
        bar->setValue(0);
        bar->setTextVisible(false);
        bar->setGeometry(400, 34 + i * 30, 196, 18);
        bars_[static_cast<size_t>(i)] = bar;
    }
}

void ValueDisplay::update_values(const Run& run) {
    const CoreState& c = run.core;
    auto set = [this](const char* name, const QString& text) {
        QLabel* l = field(name);
        if (l->text() != text) l->setText(text);
    };
    set("Label1", fixed(real(c.Speed), 1) + " km/h");
    const long double tons = real(run.train.tons);
    const long double accel =
        tons > 0 ? (real(c.TractiveForce) + real(c.ResistanceForce)) / (tons * 1000.0L) * 3.6L : 0.0L;
    set("Label6", fixed(accel, 1) + " km/h/s");
    set("Label27", fixed(real(c.Gradient), 0) + " Permil");
    set("Label23", QString::fromUtf8(c.Wheel == WheelState::None ? "Normal" : wheel_state_text(c.Wheel).data()));
    set("Label7", fixed(real(c.TractiveForce), 0) + " N");
    set("Label25", fixed(real(c.ResistanceForce), 0) + " N");
    const long double coefficient = real(c.AdhesionCoefficient);
    set("Label8", fixed(coefficient, 2));
    const long double limit_p = std::nearbyintl(coefficient * real(run.train.mt) * 1000.0L * 9.8L);
    const long double limit_b = std::nearbyintl(-(coefficient * tons * 1000.0L * 9.8L));
    set("Label9", fixed(limit_p, 0) + " N");
    set("Label20", fixed(limit_b, 0) + " N");
    set("Label2", fixed(real(c.BcPressure), 0) + " kPa");
    set("Label3", fixed(real(c.SapPressure), 0) + " kPa");
    set("Label4", fixed(real(c.ErPressure), 0) + " kPa");
    set("Label5", fixed(real(c.MrPressure), 0) + " kPa");
    set("Label30", QString::number(c.Frame));
    set("Label31", QString::number(run.video.FilmedSpeed) + " km/h");
    set("Label37", fixed(c.TargetDistance / 100.0L, 0) + " m");
    set("Label33", fixed(c.RemainingDistance / 100.0L, 0) + " m");
    set("Label35", fixed(c.Distance / 100.0L, 0) + " m");

    const long double g = real(c.Gradient);
    const long double cosine = 1000.0L / std::sqrt(g * g + 1000000.0L);
    auto bar_value = [](long double v) {
        return static_cast<int>(std::clamp<long double>(std::nearbyintl(v), -500000.0L, 500000.0L));
    };
    bars_[0]->setValue(bar_value(real(c.TractiveForce)));
    bars_[1]->setValue(bar_value(limit_p * cosine));
    bars_[2]->setValue(bar_value(limit_b * cosine));
}

void ValueDisplay::keyPressEvent(QKeyEvent* event) {
    if (target_) {
        target_(event);
    } else {
        QWidget::keyPressEvent(event);
    }
}

void ValueDisplay::wheelEvent(QWheelEvent* event) {
    if (target_) target_(event);
}

}  // namespace vantrel
