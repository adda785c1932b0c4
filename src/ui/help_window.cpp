#include "ui/help_window.hpp"

#include <QFontDatabase>
#include <QKeyEvent>

#include "common/data_text.hpp"

namespace vantrel {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Dialog), memo_(new QPlainTextEdit(this)) {
    setFixedSize(227, 331);
    memo_->setGeometry(0, 0, 227, 331);
    memo_->setReadOnly(true);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Long lines wrap at the window's edge: a vertical scroll bar only.
    memo_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    memo_->installEventFilter(this);
}

bool HelpWindow::load(const std::filesystem::path& file) {
    const auto lines = read_cp932_lines(file);
    if (!lines) return false;
    QStringList body;
    for (size_t i = 0; i < lines->size(); ++i) {
        const QString text = QString::fromStdString((*lines)[i]);
        if (i == 0) {
            setWindowTitle(text);
        } else {
            body << text;
        }
    }
    memo_->setPlainText(body.join('\n'));
    return true;
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == memo_ && target_ && (event->type() == QEvent::KeyPress || event->type() == QEvent::Wheel)) {
        // The memo keeps its scrolling keys; everything else drives the train.
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown)
                return false;
        } else {
            return false;  // the wheel scrolls the memo
        }
        target_(event);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vantrel
