#include "ui/drive_session.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "app/run.hpp"
#include "app/timer1.hpp"
#include "controllers/rx_char.hpp"
#include "dynamics/motion.hpp"
#include "route/stations.hpp"
#include "app/trace.hpp"

namespace vantrel {

namespace {

constexpr int64_t kEarlyWakeNs = 2000000;

std::string virtual_key_name(VirtualKey key) {
    if (key == VirtualKey::Enter) return "Enter";
    if (key == VirtualKey::ScrollLock) return "ScrollLock";
    return "F" + std::to_string(static_cast<int32_t>(key) - static_cast<int32_t>(VirtualKey::F1) + 1);
}

}  // namespace

DriveSession::DriveSession(Run& run, QObject* parent) : QObject(parent), run_(run) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &DriveSession::wake);
    clock_.start();
}

DriveSession::~DriveSession() { stop(); }

void DriveSession::set_time(int64_t t) {
    event_ms_ = t;
    if (time_listener_) time_listener_(t);
}

void DriveSession::set_record(std::ostream* out) {
    record_ = out;
    const JoystickControl& c = run_.joystick_control();
    const int64_t now = now_ms();
    if (std::any_of(c.calibration.begin(), c.calibration.end(), [](int32_t v) { return v != 0; })) {
        std::string line = "calibration";
        for (int32_t v : c.calibration) line += ' ' + std::to_string(v);
        write_record(now, line);
    }
    if (c.type != ControllerType::Standard || c.last_state_sum != 0)
        write_record(now, "controller " + std::to_string(static_cast<int32_t>(c.type)) + ' ' +
                              std::to_string(c.last_state_sum));
}

void DriveSession::attach_joystick(JoystickReader& device) {
    joystick_ = std::make_unique<ObservedJoystickReader>(device, [this](const JoystickState& s) { record_poll(s); });
    run_.attach(*joystick_);
}

void DriveSession::record_poll(const JoystickState& state) {
    // Only changes: the replay's reader repeats its last state at every poll.
    if (state.x == recorded_poll_.x && state.y == recorded_poll_.y && state.buttons == recorded_poll_.buttons)
        return;
    recorded_poll_ = state;
    write_record(event_ms_, "joystick " + std::to_string(state.x) + ' ' + std::to_string(state.y) + ' ' +
                            std::to_string(button_mask(state)));
}

void DriveSession::set_trace(std::ostream* out) {
    trace_ = out;
    if (trace_) *trace_ << vantrel::sim::trace_header() << "\n";
}

void DriveSession::set_timing_log(std::ostream* out) {
    timing_ = out;
    if (timing_) *timing_ << "event,due_ms,wall_ms\n";
}

void DriveSession::run_due(int64_t until_ms) {
    auto log_timing = [this](const char* what, int64_t due) {
        if (!timing_) return;
        char line[80];
        std::snprintf(line, sizeof line, "%s,%lld,%.3f\n", what, static_cast<long long>(due),
                      static_cast<double>(clock_.nsecsElapsed()) / 1e6);
        *timing_ << line;
    };
    auto tick = [&](int64_t t) {
        log_timing("tick", t);
        last_due_ms_ = t;
        set_time(t);
        MMTimer1Timer(run_);
        drain_posted(run_);
    };
    auto step = [&](int64_t t) {
        log_timing("step", t);
        last_due_ms_ = t;
        set_time(t);
        Timer1Timer(run_);
        if (trace_) {
            row_.clear();
            vantrel::sim::append_trace_row(row_, t, run_);
            trace_->write(row_.data(), static_cast<std::streamsize>(row_.size()));
        }
        if (view_) {
            row_.clear();
            vantrel::sim::append_view_json(row_, t, run_);
            view_->write(row_.data(), static_cast<std::streamsize>(row_.size()));
        }
        drain_posted(run_);
        Q_EMIT stepped();
    };
    scheduler_.run_until(until_ms, tick, step);
}

void DriveSession::wake() {
    if (stopped_) return;
    // The timer is armed a little early (it only keeps whole milliseconds and wakes up to one
    // late); the rest is slept precisely, so events run within a fraction of a millisecond.
    if (scheduler_.running() && !clock_fn_) {
        const int64_t rest_ns = scheduler_.next_due() * 1000000 - clock_.nsecsElapsed();
        if (rest_ns > kEarlyWakeNs + 1000000) {
            arm();
            return;
        }
        if (rest_ns > 0) std::this_thread::sleep_for(std::chrono::nanoseconds(rest_ns));
    }
    run_due(now_ms());
    Q_EMIT changed();
    arm();
}

void DriveSession::catch_up() {
    if (stopped_) return;
    run_due(now_ms());
    Q_EMIT changed();
    arm();
}

void DriveSession::arm() {
    if (stopped_ || !scheduler_.running() || clock_fn_) {
        timer_.stop();
        return;
    }
    const int64_t wait_ns = scheduler_.next_due() * 1000000 - clock_.nsecsElapsed() - kEarlyWakeNs;
    timer_.start(static_cast<int>(std::clamp<int64_t>(wait_ns / 1000000, 0, 1000)));
}

int64_t DriveSession::input_ms() const {
    // The wake sleeps up to an event's due time and runs it; an input that waited in the
    // queue meanwhile is handled after that event within the same millisecond. The runner
    // applies a command before the events due at its time, so such an input is stamped
    // with the next millisecond: the replay then keeps the order the drive had.
    return std::max(now_ms(), last_due_ms_ + 1);
}

void DriveSession::begin_input(int64_t now) {
    // Events due before the input's own millisecond come first; those due at it come after,
    // as the headless runner orders a script command against its timers.
    run_due(now - 1);
    set_time(now);
}

void DriveSession::end_input() {
    drain_posted(run_);
    Q_EMIT changed();
    arm();
}

void DriveSession::write_record(int64_t now, const std::string& command) {
    if (record_) *record_ << now << ' ' << command << '\n' << std::flush;
}

void DriveSession::start_pause() {
    if (stopped_) return;
    const int64_t now = input_ms();
    begin_input(now);
    write_record(now, "start");
    if (start1Click(run_)) {
        scheduler_.start(now);
    } else {
        scheduler_.pause();
    }
    end_input();
}

void DriveSession::key(char c) {
    if (stopped_) return;
    const int64_t now = input_ms();
    begin_input(now);
    if (c == ' ') {
        write_record(now, "key space");
    } else if (c == '#') {
        write_record(now, "key hash");  // '#' would start a comment in the script
    } else if (c > ' ' && c < 127) {
        write_record(now, std::string("key ") + c);
    } else {
        char code[12];
        std::snprintf(code, sizeof code, "key 0x%02x", static_cast<unsigned char>(c));
        write_record(now, code);
    }
    AsciiDown(run_, c);
    Q_EMIT typed(c);
    end_input();
}

void DriveSession::virtual_key(VirtualKey key, bool shift_only) {
    if (stopped_) return;
    const int64_t now = input_ms();
    begin_input(now);
    write_record(now, std::string("vk ") + (shift_only ? "shift+" : "") + virtual_key_name(key));
    keydowns(run_, key, shift_only);
    if (key == VirtualKey::Enter) AsciiDown(run_, '\r');
    end_input();
}

void DriveSession::wheel(bool up) {
    if (stopped_) return;
    const int64_t now = input_ms();
    begin_input(now);
    write_record(now, up ? "wheel up" : "wheel down");
    if (up) {
        WheelU(run_);
    } else {
        WheelD(run_);
    }
    end_input();
}

void DriveSession::station(int32_t index) {
    if (stopped_) return;
    const int64_t now = input_ms();
    begin_input(now);
    write_record(now, "station " + std::to_string(index));
    StationClick(run_, index);
    end_input();
}

void DriveSession::serial(std::string_view bytes) {
    if (stopped_ || bytes.empty()) return;
    const int64_t now = input_ms();
    begin_input(now);
    std::string hex = "serial ";
    for (const char b : bytes) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(b));
        hex += digits;
    }
    write_record(now, hex);
    RxChar(run_, bytes);
    end_input();
}

void DriveSession::controller(ControllerType type) {
    JoystickControl& control = run_.joystick_control();
    if (stopped_ || control.type == type) {
        control.type = type;
        return;
    }
    const int64_t now = input_ms();
    begin_input(now);
    write_record(now, "controller " + std::to_string(static_cast<int32_t>(type)));
    control.type = type;
    end_input();
}

void DriveSession::stop() {
    if (stopped_) return;
    stopped_ = true;
    timer_.stop();
    scheduler_.pause();
    if (record_) record_->flush();
    if (trace_) trace_->flush();
    if (view_) view_->flush();
    if (timing_) timing_->flush();
}

}  // namespace vantrel
