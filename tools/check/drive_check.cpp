#include "check/drive_check.hpp"

#include <memory>
#include <sstream>
#include <variant>

#include "app/run.hpp"
#include "app/report_writers.hpp"
#include "app/run_report.hpp"
#include "app/run_setup.hpp"
#include "app/scheduler.hpp"
#include "app/timer1.hpp"
#include "app/virtual_run.hpp"
#include "cab/header_picture_loader.hpp"
#include "check/route_checks.hpp"
#include "driving/careful_driver.hpp"
#include "dynamics/motion.hpp"
#include "input/keyboard.hpp"
#include "platform/wave_file.hpp"
#include "route/stations.hpp"
#include "sound/sim_sound.hpp"
#include "vantrel_sim/script.hpp"

namespace vantrel::check {
namespace {

constexpr int64_t kAfterLastMs = 5000;

struct Replay {
    RunReportData report;
    int32_t frame = 0;  // where the run ended
    std::optional<double> metres;
};

// The careful driver's inputs replayed as the runner would, with the run report watching.
std::optional<Replay> replay(const std::filesystem::path& dir, const std::string& train,
                                    const std::string& route, int32_t frames, const driving::DriveScript& drive) {
    std::istringstream in(drive.script);
    auto commands = sim::parse_script(in, "careful driver");
    if (!commands) return std::nullopt;
    auto run = std::make_unique<Run>();
    SndfileWaveInfoReader wave_lengths;  // the mixer's own reading of a wave's length
    sim::SimSoundChannels sound(wave_lengths);
    NullFrameSource video(frames);
    run->attach(sound);
    run->attach(video);
    const PathResolver resolver(dir);
    HeaderPictureLoader pictures;
    if (load_run(*run, RunFiles{train, route, "vantrel.dat"}, resolver, pictures)) return std::nullopt;
    RunReport report;
    report.begin(*run);
    Scheduler scheduler;
    auto observe = [&](int64_t) { report.observe(*run); };
    // The driver gives only starts and keys.
    for (const sim::ScriptCommand& c : commands.value()) {
        run_virtual_until(scheduler, *run, sound, c.time_ms - 1, observe);
        sound.set_time(c.time_ms);
        if (std::holds_alternative<sim::StartCommand>(c.action)) {
            if (start1Click(*run)) {
                scheduler.start(c.time_ms);
            } else {
                scheduler.pause();
            }
        } else if (const auto* key = std::get_if<sim::KeyCommand>(&c.action)) {
            AsciiDown(*run, key->key);
        }
        drain_posted(*run);
    }
    const int64_t last = commands.value().empty() ? 0 : commands.value().back().time_ms;
    run_virtual_until(scheduler, *run, sound, std::max(drive.end_ms, last) + kAfterLastMs, observe);
    return Replay{report.result(), run->core.Frame, metres_at(run->route, run->core.Frame)};
}

}  // namespace

bool check_drive(ProblemSink& sink, const std::filesystem::path& dir, const std::string& train,
                 const std::string& route, int32_t frames) {
    const std::string with = "with " + train;
    const driving::DriveScript drive = driving::derive_drive(dir, train, route, frames);
    if (drive.script.empty()) {
        if (!drive.error.empty()) sink.warning("drive.incomplete", route, 0, drive.error, with);
        return false;
    }
    const auto replayed = replay(dir, train, route, frames, drive);
    if (!replayed) return false;  // the files themselves are reported by the readers
    if (!drive.error.empty())
        sink.add(Problem{Severity::Warning, "drive.incomplete", route, 0, replayed->frame, replayed->metres,
                         drive.error, with, {}});
    const RunReportData* report = &replayed->report;

    auto note = [&](std::string code, std::size_t station, std::optional<int32_t> frame, std::string message) {
        Problem p{Severity::Warning, std::move(code), route, sink.line_of("[Station]", station), frame, {},
                  std::move(message), with, {}};
        sink.add(std::move(p));
    };
    for (std::size_t i = 0; i < report->stations.size(); ++i) {
        const StationReport& s = report->stations[i];
        if (s.missed) note("drive.stop.missed", i, std::nullopt, s.name + ": not stopped at");
        if (s.stop && s.arrival && !s.inside_platform) {
            const std::string by = s.stop_error_cm ? " (" + std::to_string(*s.stop_error_cm) + " cm)" : "";
            note("drive.stop.outside", i, std::nullopt, s.name + ": stopped outside the platform" + by);
        }
        if (s.arrival && s.scheduled_arrival && seconds_late(*s.arrival, *s.scheduled_arrival) >= kOnTimeSeconds)
            note("drive.late", i, std::nullopt,
                 s.name + ": " + (s.stop ? "arrived " : "passed ") + clock_text(*s.arrival) + ", due " +
                     clock_text(*s.scheduled_arrival));
    }
    for (const EmergencyReport& e : report->emergencies) {
        const char* what = e.kind == EmergencyKind::Ats ? "ATS" : "vigilance";
        Problem p{Severity::Warning,
                  e.kind == EmergencyKind::Ats ? "drive.emergency.ats" : "drive.emergency.vigilance",
                  route,
                  0,
                  e.frame,
                  static_cast<double>(e.metres),
                  std::string(what) + " emergency brake at " + clock_text(e.time),
                  with,
                  {}};
        sink.add(std::move(p));
    }
    return true;
}

}  // namespace vantrel::check
