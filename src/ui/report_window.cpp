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

ReportWords ReportWindow::words() {
    auto t = [](const QString& text) { return text.toStdString(); };
    ReportWords w;
    w.language = t(tr("ja", "the page's language code"));
    w.title = t(tr("運転記録"));
    w.stations = t(tr("駅", "heading"));
    w.station = t(tr("駅", "column"));
    w.kind = t(tr("種別"));
    w.stop = t(tr("停車"));
    w.pass = t(tr("通過"));
    w.scheduled_arrival = t(tr("着 (予定)"));
    w.arrival = t(tr("着・通過"));
    w.judgement = t(tr("判定"));
    w.scheduled_departure = t(tr("発 (予定)"));
    w.departure = t(tr("発"));
    w.stop_position = t(tr("停止位置"));
    w.emergencies = t(tr("非常制動"));
    w.none = t(tr("なし"));
    w.emergency_kind = t(tr("種類"));
    w.time = t(tr("時刻"));
    w.frame = t(tr("フレーム"));
    w.distance = t(tr("距離 (m)"));
    w.overspeed = t(tr("速度超過"));
    w.limit = t(tr("制限 (km/h)"));
    w.over_by = t(tr("超過 (km/h)"));
    w.duration = t(tr("時間 (秒)"));
    w.on_time = t(tr("定時"));
    w.late = t(tr("%1遅れ"));
    w.early = t(tr("%1早い"));
    w.seconds = t(tr("%1秒"));
    w.minutes = t(tr("%1分%2秒"));
    w.overrun = t(tr("%1 cm 行き過ぎ"));
    w.short_of = t(tr("%1 cm 手前"));
    w.outside_platform = t(tr("ホーム外"));
    w.missed = t(tr("停車せず"));
    return w;
}

void ReportWindow::show_report(const RunReportData& report) {
    report_ = report;
    page_->setHtml(QString::fromStdString(report_html(report_, words())));
    show();
    raise();
    activateWindow();
}

bool ReportWindow::save(const QString& file, ReportFormat format) {
    const std::string text = format == ReportFormat::Html ? report_html(report_, words()) : write_report(report_, format);
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
