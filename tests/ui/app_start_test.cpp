// The programs as a player and an author start them: run as processes in bare temporary
// folders with their own XDG places, offscreen.
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include "common/program_info.hpp"
#include "demo_data/demo_data.hpp"
#include "ui_fixture.hpp"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

QString program(const char* name) { return QString(VANTREL_BIN_DIR) + "/" + name; }
QString shown(const fs::path& p) { return QString::fromStdString(p.string()); }

// Every XDG place inside `tmp`, so no set or setting of the machine is found.
QProcessEnvironment bare_environment(const TempDir& tmp) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", shown(tmp / "home"));
    env.insert("XDG_DATA_HOME", shown(tmp / "data"));
    env.insert("XDG_DATA_DIRS", shown(tmp / "system"));
    env.insert("XDG_CONFIG_HOME", shown(tmp / "config"));
    return env;
}

// Waits up to `seconds` for `done`, then ends the program as the desktop does at log-out
// (it runs until its window closes).
template <typename Done>
bool wait_then_end(QProcess& p, Done done, int seconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < seconds * 1000 && p.state() != QProcess::NotRunning) p.waitForFinished(100);
    const bool ok = done();
    p.terminate();
    if (!p.waitForFinished(10000)) p.kill();
    p.waitForFinished(5000);
    return ok;
}

// How authors try a train and route: a folder with only the string file, the pair and their
// pictures is no data set, and the driving window opens in it at once.
TEST(AppStart, TrainAndRouteOpenTheDrivingWindowInABareFolder) {
    TempDir tmp;
    const fs::path pair = tmp / "pair";
    ASSERT_EQ(demo::write_demo_data(pair), "");
    QProcess p;
    p.setProcessEnvironment(bare_environment(tmp));
    p.setWorkingDirectory(shown(pair));
    const fs::path trace = tmp / "trace.csv", events = tmp / "events.csv", view = tmp / "view.jsonl";
    p.start(program("vantrel"), {"--train", demo::kTrainFile, "--route", demo::kRouteFile, "--trace", shown(trace),
                                 "--events", shown(events), "--view", shown(view)});
    EXPECT_TRUE(wait_then_end(p, [&] { return fs::exists(trace) && fs::exists(view); }, 60));
    // Ended by the signal as by closing its window: the outputs written whole, status 0.
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    const std::string rows = slurp(trace), views = slurp(view);
    EXPECT_TRUE(rows.starts_with("t_ms,")) << rows;
    EXPECT_TRUE(slurp(events).starts_with("t_ms,channel,operation,value\n")) << slurp(events);
    // One view line for each step the trace has a row of.
    EXPECT_EQ(std::count(views.begin(), views.end(), '\n'), std::count(rows.begin(), rows.end(), '\n') - 1) << views;
    EXPECT_TRUE(views.empty() || views.starts_with("{")) << views;
    // Without a sound card: our one line, none of the sound libraries' own.
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_FALSE(err.contains("ALSA lib")) << err.toStdString();
    EXPECT_FALSE(err.contains("AL lib")) << err.toStdString();
}

// A remembered set that breaks (its title pictures gone) no longer stops every start: the
// start goes back to the chooser and the set is forgotten, so it is not started again.
TEST(AppStart, ARememberedSetThatBreaksIsForgotten) {
    TempDir tmp;
    const fs::path broken = tmp / "packs" / "broken";
    write_bytes(broken / "vantrel.dat", "[Path]\r\n");
    write_cp932(broken / "operation.dat", "操作説明\n");
    fs::create_directories(broken / "image" / "title");
    const fs::path settings = tmp / "config" / "Vantrel" / "Vantrel.conf";
    write_bytes(settings, "[data_set]\nlast_chosen=" + broken.string() + "\nlast_found=" + broken.string() + "\n");
    QProcess p;
    p.setProcessEnvironment(bare_environment(tmp));
    p.setWorkingDirectory(shown(tmp.path()));
    p.start(program("vantrel"));
    const bool forgotten = wait_then_end(p, [&] { return slurp(settings).find("last_chosen") == std::string::npos; }, 60);
    EXPECT_TRUE(forgotten) << slurp(settings) << p.readAllStandardError().toStdString();
    EXPECT_EQ(p.exitCode(), 0);  // the chooser was waiting; the signal ended it as its Quit would
}

// A relative XDG_CONFIG_HOME is invalid: the settings go under $HOME/.config, not into
// the current folder.
TEST(AppStart, ARelativeConfigHomeIsIgnored) {
    TempDir tmp;
    const fs::path set = tmp / "data" / "vantrel" / "only";
    ASSERT_EQ(demo::write_demo_data(set), "");
    fs::create_directories(set / "image" / "title");
    for (int i = 1; i <= 9; ++i) {
        QImage title(64, 48, QImage::Format_RGB32);
        title.fill(Qt::darkBlue);
        title.save(shown(set / "image" / "title" / ("0" + std::to_string(i) + ".jpg")), "JPG");
    }
    write_cp932(set / "operation.dat", "操作説明\n");
    fs::create_directories(tmp / "work");
    QProcessEnvironment env = bare_environment(tmp);
    env.insert("XDG_CONFIG_HOME", "relcfg");
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(shown(tmp / "work"));
    p.start(program("vantrel"));
    const fs::path wanted = tmp / "home" / ".config" / "Vantrel" / "Vantrel.conf";
    const fs::path stray = tmp / "work" / "relcfg";
    const bool written = wait_then_end(p, [&] { return fs::exists(wanted) || fs::exists(stray); }, 60);
    EXPECT_TRUE(written) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(fs::exists(wanted));
    EXPECT_FALSE(fs::exists(stray));
}

// Every program answers --help on standard output with status 0, and --version with the
// package's version; without a sound device the libraries add nothing to standard error.
TEST(AppStart, EveryProgramAnswersHelpAndVersion) {
    TempDir tmp;
    for (const char* name : {"vantrel", "vantrel-sim", "vantrel-frames", "vantrel-check", "vantrel-speedtable",
                             "vantrel-demo-data"}) {
        for (const char* option : {"--help", "--version"}) {
            QProcess p;
            p.setProcessEnvironment(bare_environment(tmp));
            p.setWorkingDirectory(shown(tmp.path()));
            p.start(program(name), {option});
            ASSERT_TRUE(p.waitForFinished(20000)) << name;
            const std::string out = p.readAllStandardOutput().toStdString();
            EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << name << " " << option;
            EXPECT_EQ(p.exitCode(), 0) << name << " " << option;
            EXPECT_EQ(p.readAllStandardError().toStdString(), "") << name << " " << option;
            if (std::string_view(option) == "--help") {
                EXPECT_TRUE(out.starts_with("usage: " + std::string(name) + " ")) << out;
            } else {
                EXPECT_EQ(out, std::string(name) + " " + std::string(program_version()) + "\n");
            }
        }
    }
}

}  // namespace
}  // namespace vantrel::test
