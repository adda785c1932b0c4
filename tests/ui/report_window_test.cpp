// The run report of the driving window: the same report as the runner's for the same
// drive, shown at the close and from the menu, saved as the player chooses.
#include <QFile>
#include <QTest>

#include <fstream>
#include <sstream>

#include "app/report_writers.hpp"
#include "app/run.hpp"
#include "ui/drive_session.hpp"
#include "ui/report_window.hpp"
#include "ui_fixture.hpp"
#include "vantrel_sim/sim_run.hpp"

namespace vantrel::test {
namespace {

using ReportWindowTest = UiTest;

struct Input {
    int64_t ms;
    char key;  // 0: start
};

TEST_F(ReportWindowTest, TheWindowReportsTheDriveAsTheRunnerDoesAndSavesIt) {
    TempDir out;
    DriveRequest request;
    request.record = (out / "drive.txt").string();  // the clocked sound: a drive the runner can repeat
    auto w = open_window(demo::kTrainFile, demo::kRouteFile, request);
    ASSERT_TRUE(w);
    // The demo drive, braking 2 s late so that it stops past the platform.
    const std::vector<Input> inputs{{1000, 0},     {2000, '5'},   {28000, 'z'},  {28300, 'z'},  {28600, 'z'},
                                    {28900, 'z'},  {60000, 'a'},  {60100, 'a'},  {60200, 'a'},  {60300, 'a'},
                                    {90000, '3'},  {120000, '3'}, {155000, 'a'}, {155100, 'a'}, {155200, 'a'},
                                    {155300, 'a'}};
    int64_t now = 0;
    DriveSession& session = w->session();
    session.set_clock([&now] { return now; });
    for (const Input& in : inputs) {
        now = in.ms;
        if (in.key == 0) {
            w->item("start1")->trigger();
        } else {
            session.key(in.key);
        }
    }
    now = 240000;
    session.catch_up();
    session.stop();

    auto* view = w->findChild<ReportWindow*>("report_window");
    EXPECT_EQ(view, nullptr);  // the last station is not reached: nothing shown yet
    w->item("report1")->trigger();
    view = w->findChild<ReportWindow*>("report_window");
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());

    sim::SimOptions o;
    o.data_dir = data_dir().string();
    o.train = demo::kTrainFile;
    o.route = demo::kRouteFile;
    o.strings = demo::kStringFile;
    o.frames = w->run().video.length;
    o.script = request.record;
    o.seconds = 240;
    o.reports = {(out / "runner.json").string()};
    std::ostringstream sim_out, sim_err;
    ASSERT_EQ(sim::run_simulation(o, sim_out, sim_err), sim::kExitOk) << sim_err.str();
    std::ifstream runner(o.reports[0], std::ios::binary);
    const std::string expected((std::istreambuf_iterator<char>(runner)), std::istreambuf_iterator<char>());
    EXPECT_NE(expected.find("\"stop_error_cm\": 3"), std::string::npos) << expected;

    const QString saved = QString::fromStdString((out / "saved.json").string());
    ASSERT_TRUE(view->save(saved, ReportFormat::Json));
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), expected);

    // Closing the driving window of a started drive shows the report again.
    view->hide();
    w->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(view->isVisible());
}

}  // namespace
}  // namespace vantrel::test
