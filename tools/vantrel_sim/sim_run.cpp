#include "vantrel_sim/sim_run.hpp"

#include <cstdio>
#include <fstream>
#include <memory>
#include <string_view>

#include "common/fixed_point.hpp"
#include "app/run.hpp"
#include "app/report_writers.hpp"
#include "app/run_report.hpp"
#include "app/run_setup.hpp"
#include "app/scheduler.hpp"
#include "app/timer1.hpp"
#include "app/virtual_run.hpp"
#include "controllers/joystick_script.hpp"
#include "controllers/mascon_reader.hpp"
#include "controllers/rx_char.hpp"
#include "dynamics/motion.hpp"
#include "input/keyboard.hpp"
#include "platform/ffmpeg_frame_reader.hpp"
#include "platform/picture_sizes.hpp"
#include "platform/wave_file.hpp"
#include "route/stations.hpp"
#include "vantrel_sim/audio_recording.hpp"
#include "vantrel_sim/careful_drive.hpp"
#include "vantrel_sim/script.hpp"
#include "sound/sim_sound.hpp"
#include "speech/announcer.hpp"
#include "app/trace.hpp"

namespace vantrel::sim {
namespace {

constexpr std::string_view kUsage =
    "usage: vantrel-sim --train FILE [--route FILE] [--strings FILE] [--data-dir DIR]\n"
    "                   [--script FILE] [--seconds S] [--trace FILE] [--events FILE]\n"
    "                   [--view FILE] [--frames N | --video] [--audio FILE.wav]\n"
    "                   [--report FILE.html|FILE.json|FILE.txt] [--drive SCRIPT_OUT]\n"
    "                   [--drive-by-ear SCRIPT_OUT] [--speech-log FILE] [--speech-language ja|en]\n";

void apply_controller(Run& run, ScriptedJoystickReader& joystick, const ScriptAction& action) {
    JoystickControl& control = run.joystick_control();
    if (const auto* serial = std::get_if<SerialCommand>(&action)) {
        RxChar(run, serial->bytes);
    } else if (const auto* poll = std::get_if<JoystickCommand>(&action)) {
        JoystickState state{.x = poll->x, .y = poll->y, .buttons = {}};
        set_button_mask(state, poll->buttons);
        joystick.set(state);
    } else if (const auto* type = std::get_if<ControllerCommand>(&action)) {
        control.type = static_cast<ControllerType>(type->type);
        if (type->last_state_sum) control.last_state_sum = *type->last_state_sum;
    } else if (const auto* calibration = std::get_if<CalibrationCommand>(&action)) {
        control.calibration = calibration->codes;
    }
}

void apply(Run& run, Scheduler& scheduler, ScriptedJoystickReader& joystick, int64_t now,
           const ScriptAction& action) {
    if (std::holds_alternative<StartCommand>(action)) {
        if (start1Click(run)) {
            scheduler.start(now);
        } else {
            scheduler.pause();
        }
    } else if (const auto* key = std::get_if<KeyCommand>(&action)) {
        AsciiDown(run, key->key);
    } else if (const auto* vk = std::get_if<VirtualKeyCommand>(&action)) {
        keydowns(run, vk->key, vk->shift);
        if (vk->key == VirtualKey::Enter) AsciiDown(run, '\r');  // a real Enter also types a character
    } else if (const auto* wheel = std::get_if<WheelCommand>(&action)) {
        if (wheel->up) {
            WheelU(run);
        } else {
            WheelD(run);
        }
    } else if (const auto* station = std::get_if<StationCommand>(&action)) {
        StationClick(run, station->index);
    } else {
        apply_controller(run, joystick, action);
    }
    drain_posted(run);
}

// A file opened for writing, or a message naming it.
std::unique_ptr<std::ofstream> open_output(const std::string& name, std::ostream& err) {
    if (name.empty()) return nullptr;
    auto out = std::make_unique<std::ofstream>(name, std::ios::binary);
    if (!*out) {
        err << "vantrel-sim: cannot write " << name << "\n";
        return nullptr;
    }
    return out;
}

}  // namespace

int run_simulation(const SimOptions& options, std::ostream& out, std::ostream& err) {
    std::vector<ScriptCommand> commands;
    if (!options.script.empty()) {
        std::ifstream in(options.script, std::ios::binary);
        if (!in) {
            err << "vantrel-sim: cannot read script " << options.script << "\n";
            return kExitUsage;
        }
        auto parsed = parse_script(in, options.script);
        if (!parsed) {
            err << "vantrel-sim: " << parsed.error().message << " (" << parsed.error().file << ":"
                << parsed.error().line << ")\n";
            return kExitUsage;
        }
        commands = std::move(parsed.value());
    }
    auto trace = open_output(options.trace, err);
    auto events = open_output(options.events, err);
    auto view = open_output(options.view, err);
    auto speech_log = open_output(options.speech_log, err);
    if (!options.speech_log.empty() && !speech_log) return kExitUsage;
    speech::Announcer announcer(options.speech_english ? speech::Language::English : speech::Language::Japanese);
    auto write_speech = [&] {
        if (!speech_log) return;
        for (const speech::Utterance& u : announcer.take()) *speech_log << speech::log_line(u);
    };
    std::vector<std::unique_ptr<std::ofstream>> report_files;
    for (const std::string& name : options.reports)
        if (!report_files.emplace_back(open_output(name, err))) return kExitUsage;
    const bool reporting = !report_files.empty();
    if ((!options.trace.empty() && !trace) || (!options.events.empty() && !events) ||
        (!options.view.empty() && !view))
        return kExitUsage;

    std::unique_ptr<AudioRecording> audio;
    if (!options.audio.empty() && !(audio = AudioRecording::open(options.audio, err))) return kExitUsage;

    auto run = std::make_unique<Run>();
    SndfileWaveInfoReader wave_lengths;  // the mixer's own reading of a wave's length
    SimSoundChannels sound(wave_lengths);
    sound.set_error_log(&err);
    if (audio) sound.attach_device(audio->channels(), [&audio](int64_t t) { audio->advance_to(t); });
    NullFrameSource no_video(options.frames.value_or(-1));
    FfmpegFrameReader video;
    run->attach(sound);
    run->attach(options.video ? static_cast<FrameSource&>(video) : no_video);
    ScriptedJoystickReader joystick;  // the recorded polls
    run->attach(joystick);
    if (events) {
        *events << "t_ms,channel,operation,value\n";
        sound.set_event_log(events.get());
    }

    const PathResolver resolver(options.data_dir);
    const auto pictures = make_picture_size_reader();  // the program's own reader
    const RunFiles files{options.train, options.route, options.strings};
    auto error = read_mascon_if_present(run->controllers.mascon, resolver);
    if (!error) error = load_run(*run, files, resolver, *pictures);
    if (error) {
        err << error->message << "\n" << error->file << ":" << error->line << "\n";
        return kExitDataError;
    }
    if (options.video && run->has_route && video.length() < 0) {
        err << "vantrel-sim: the route's video cannot be opened; running without it\n";
    }

    RunReport report;
    if (reporting) report.begin(*run);

    long double seconds = options.seconds;
    if (!options.drive.empty()) {
        const auto drive = careful_drive(options, run->video.length, err);
        if (!drive) return kExitDataError;
        std::ifstream in(drive->script_file, std::ios::binary);
        auto parsed = parse_script(in, drive->script_file);
        if (!parsed) return kExitDataError;
        commands = std::move(parsed.value());
        // Until a little after the doors open at the last station, or the last input.
        const int64_t last = drive->end_ms > 0 ? drive->end_ms : (commands.empty() ? 0 : commands.back().time_ms);
        if (!options.seconds_given) seconds = static_cast<long double>(last + 5000) / 1000;
    }
    const auto end_ms = static_cast<int64_t>(seconds * 1000.0L);
    Scheduler scheduler;
    std::string rows;
    std::string views;
    if (trace) rows.append(trace_header()).append("\n");
    int64_t steps = 0;
    auto after_step = [&](int64_t t) {
        ++steps;
        if (trace) append_trace_row(rows, t, *run);
        if (view) append_view_json(views, t, *run);
        if (reporting) report.observe(*run);
        if (speech_log) {
            announcer.observe(*run, t);
            write_speech();
        }
        if (rows.size() > (1u << 20)) {
            trace->write(rows.data(), static_cast<std::streamsize>(rows.size()));
            rows.clear();
        }
        if (views.size() > (1u << 20)) {
            view->write(views.data(), static_cast<std::streamsize>(views.size()));
            views.clear();
        }
    };
    for (const ScriptCommand& c : commands) {
        if (c.time_ms > end_ms) break;
        run_virtual_until(scheduler, *run, sound, c.time_ms - 1, after_step);
        sound.set_time(c.time_ms);
        apply(*run, scheduler, joystick, c.time_ms, c.action);
        if (const auto* key = std::get_if<KeyCommand>(&c.action); key && speech_log) {
            announcer.request(*run, key->key, c.time_ms);
            write_speech();
        }
    }
    run_virtual_until(scheduler, *run, sound, end_ms, after_step);
    if (trace) trace->write(rows.data(), static_cast<std::streamsize>(rows.size()));
    if (view) view->write(views.data(), static_cast<std::streamsize>(views.size()));
    for (size_t i = 0; i < report_files.size(); ++i) {
        const std::string text = write_report(report.result(), report_format_for(options.reports[i]));
        report_files[i]->write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    if (audio) {
        audio->advance_to(end_ms);
        if (!audio->finish(err)) return kExitWriteError;
    }

    char summary[256];
    std::snprintf(summary, sizeof summary,
                  "vantrel-sim: %.1Lf s simulated, %lld steps; speed %d km/h, distance %.1Lf m, frame %d, clock %s",
                  seconds, static_cast<long long>(steps), round_int(real(run->core.Speed)),
                  run->core.Distance / 100, run->core.Frame, clock_text(run->core.ClockTicks).c_str());
    out << summary;
    if (run->has_route) {
        out << ", " << run->view.Label4 << ", doors " << (run->core.TractionCut ? "open" : "closed");
    }
    out << "\n";
    return kExitOk;
}

std::optional<SimOptions> parse_arguments(int argc, const char* const* argv, std::ostream& err) {
    SimOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--help" || a == "-h") {
            err << kUsage;
            return std::nullopt;
        }
        if (a == "--video") {
            o.video = true;
            continue;
        }
        if (a == "--drive-by-ear" && i + 1 < argc) {
            o.drive = argv[++i];
            o.by_ear = true;
            continue;
        }
        if (i + 1 >= argc) {
            err << "vantrel-sim: " << a << " needs a value\n" << kUsage;
            return std::nullopt;
        }
        const std::string value = argv[++i];
        if (a == "--train") o.train = value;
        else if (a == "--route") o.route = value;
        else if (a == "--strings") o.strings = value;
        else if (a == "--data-dir") o.data_dir = value;
        else if (a == "--script") o.script = value;
        else if (a == "--trace") o.trace = value;
        else if (a == "--events") o.events = value;
        else if (a == "--view") o.view = value;
        else if (a == "--audio") o.audio = value;
        else if (a == "--report") o.reports.push_back(value);
        else if (a == "--drive") o.drive = value;
        else if (a == "--speech-log") o.speech_log = value;
        else if (a == "--speech-language") {
            if (value != "ja" && value != "en") {
                err << "vantrel-sim: --speech-language takes ja or en\n";
                return std::nullopt;
            }
            o.speech_english = value == "en";
        }
        else if (a == "--seconds" || a == "--frames") {
            char* end = nullptr;
            const long double v = std::strtold(value.c_str(), &end);
            if (value.empty() || *end != '\0' || !(v >= 0) || v > 1e7L) {
                err << "vantrel-sim: bad number for " << a << ": " << value << "\n";
                return std::nullopt;
            }
            if (a == "--seconds") {
                o.seconds = v;
                o.seconds_given = true;
            } else {
                if (v != static_cast<long double>(static_cast<int32_t>(v))) {
                    err << "vantrel-sim: --frames takes a whole number\n";
                    return std::nullopt;
                }
                o.frames = static_cast<int32_t>(v);
            }
        } else {
            err << "vantrel-sim: unknown option " << a << "\n" << kUsage;
            return std::nullopt;
        }
    }
    if (o.video && o.frames) {
        err << "vantrel-sim: --frames and --video exclude each other\n" << kUsage;
        return std::nullopt;
    }
    if (!o.drive.empty() && (!o.script.empty() || (!o.frames && !o.video))) {
        err << "vantrel-sim: --drive and --drive-by-ear take no --script and need --frames or --video\n" << kUsage;
        return std::nullopt;
    }
    if (o.train.empty()) {
        err << "vantrel-sim: --train is required\n" << kUsage;
        return std::nullopt;
    }
    return o;
}

}  // namespace vantrel::sim
