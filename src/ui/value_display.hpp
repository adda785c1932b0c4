#pragma once
// TForm3, "Value Display": the running train's physical quantities as numbers and bars.
// Keys pressed here drive the train as in the driving window.
#include <array>
#include <functional>

#include <QLabel>
#include <QProgressBar>
#include <QWidget>

namespace vantrel {

struct Run;

class ValueDisplay final : public QWidget {
public:
    explicit ValueDisplay(QWidget* parent = nullptr);

    // Rewrites every field from the run (the driving window calls it only while shown).
    void update_values(const Run& run);
    // Where key presses and wheel turns go (the open driving window), or nothing.
    void set_input_target(std::function<void(QEvent*)> target) { target_ = std::move(target); }
    [[nodiscard]] QLabel* field(const char* name) const { return findChild<QLabel*>(name); }
    [[nodiscard]] QProgressBar* bar(int i) const { return bars_[static_cast<size_t>(i)]; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QLabel* add_row(int column, int row, const char* caption, const char* name, const char* initial);

    std::array<QProgressBar*, 3> bars_{};
    std::function<void(QEvent*)> target_;
};

}  // namespace vantrel
