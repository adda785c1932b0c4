#pragma once
// The run report in a window: the drive's stations, emergencies and overspeed, saved as
// an HTML page or as JSON where the player chooses. A driving window's hook feeds it.
#include <QWidget>

#include "app/report_writers.hpp"
#include "app/run_report.hpp"

class QMenu;
class QTextBrowser;

namespace vantrel {

struct Run;
class DriveSession;
class DrivingWindow;

class ReportWindow final : public QWidget {
    Q_OBJECT
public:
    explicit ReportWindow(QWidget* parent = nullptr);

    void show_report(const RunReportData& report);
    [[nodiscard]] const RunReportData& report() const { return report_; }
    // Writes the report; false after telling the player why.
    bool save(const QString& file, ReportFormat format);

    // The page's words in the player's language (Japanese without a translation).
    [[nodiscard]] static ReportWords words();

private:
    void save_as(ReportFormat format);

    RunReportData report_;
    QTextBrowser* page_ = nullptr;
};

// Watches the run of a driving window after each step and shows its report when the last
// station is reached, when the window closes after a started drive, and from a menu item.
void attach_run_report(DrivingWindow& window, QMenu& menu, Run& run, DriveSession& session);

}  // namespace vantrel
