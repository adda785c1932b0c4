#pragma once
// TForm4: the operating instructions of "operation.dat" (first line the caption) in a
// read-only memo. Keys typed here drive the train as in the driving window.
#include <filesystem>
#include <functional>

#include <QPlainTextEdit>
#include <QWidget>

namespace vantrel {

class HelpWindow final : public QWidget {
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Reads the file; false when it cannot be read.
    bool load(const std::filesystem::path& file);
    void set_input_target(std::function<void(QEvent*)> target) { target_ = std::move(target); }
    [[nodiscard]] QPlainTextEdit* memo() const { return memo_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* memo_;
    std::function<void(QEvent*)> target_;
};

}  // namespace vantrel
