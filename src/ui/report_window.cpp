#include "ui/report_window.hpp"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/run.hpp"
#include "ui/drive_session.hpp"
#include "ui/driving_window.hpp"

namespace vantrel {

ReportWindow::ReportWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("report_window");
    setWindowTitle(tr("運転記録"));
    resize(760, 520);
    auto* layout = new QVBoxLayout(this);
    page_ = new QTextBrowser(this);
    page_->setObjectName("report_page");
    layout->addWidget(page_);
    auto* buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    buttons->addStretch();
    auto* html = new QPushButton(tr("HTMLで保存(&H)..."), this);
    html->setObjectName("save_html");
    auto* json = new QPushButton(tr("JSONで保存(&J)..."), this);
    json->setObjectName("save_json");
    auto* close = new QPushButton(tr("閉じる"), this);
    buttons->addWidget(html);
    buttons->addWidget(json);
    buttons->addWidget(close);
    connect(html, &QPushButton::clicked, this, [this] { save_as(ReportFormat::Html); });
    connect(json, &QPushButton::clicked, this, [this] { save_as(ReportFormat::Json); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

void ReportWindow::show_report(const RunReportData& report) {
    report_ = report;
    page_->setHtml(QString::fromStdString(report_html(report_)));
    show();
    raise();
    activateWindow();
}

bool ReportWindow::save(const QString& file, ReportFormat format) {
    const std::string text = write_report(report_, format);
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) || !out.flush()) {
        QMessageBox::warning(this, windowTitle(), tr("%1 に保存できませんでした: %2").arg(file, out.errorString()));
        return false;
    }
    return true;
}

void ReportWindow::save_as(ReportFormat format) {
    const bool json = format == ReportFormat::Json;
    const QString file = QFileDialog::getSaveFileName(this, tr("運転記録を保存"), json ? "report.json" : "report.html",
                                                      json ? tr("JSON (*.json)") : tr("HTML (*.html *.htm)"));
    if (!file.isEmpty()) save(file, format);
}

namespace {

// Lives as long as its driving window; the report window is its child window.
class ReportHook final : public QObject {
public:
    ReportHook(DrivingWindow& window, Run& run) : QObject(&window), window_(window), run_(run) {
        report_.begin(run_);
    }

    void stepped() {
        report_.observe(run_);
        if (report_.finished() && !shown_at_end_) {
            shown_at_end_ = true;
            show();
        }
    }

    void show() {
        if (!view_) view_ = new ReportWindow(&window_);
        view_->show_report(report_.result());
    }

    void closed() {
        if (!run_.waiting_for_start) show();  // nothing to report of a drive never started
    }

private:
    DrivingWindow& window_;
    Run& run_;
    RunReport report_;
    ReportWindow* view_ = nullptr;  // a child of the driving window
    bool shown_at_end_ = false;
};

}  // namespace

void attach_run_report(DrivingWindow& window, QMenu& menu, Run& run, DriveSession& session) {
    auto* hook = new ReportHook(window, run);
    QAction* item = menu.addAction(QObject::tr("運転記録(&K)"));
    item->setObjectName("report1");
    QObject::connect(item, &QAction::triggered, hook, [hook] { hook->show(); });
    QObject::connect(&session, &DriveSession::stepped, hook, [hook] { hook->stepped(); });
    QObject::connect(&window, &DrivingWindow::closed, hook, [hook] { hook->closed(); });
}

}  // namespace vantrel
