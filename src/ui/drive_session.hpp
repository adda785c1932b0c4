#pragma once
// The run of one driving window in wall-clock time: one precise single-shot timer wakes at
// the scheduler's next due time and runs every due tick and step in order. Inputs are
// stamped with the same clock, so a recorded drive replays exactly in the headless runner.
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "app/scheduler.hpp"
#include "controllers/controller_state.hpp"
#include "controllers/joystick_script.hpp"
#include "input/keyboard.hpp"

namespace vantrel {

struct Run;

class DriveSession final : public QObject {
    Q_OBJECT
public:
    explicit DriveSession(Run& run, QObject* parent = nullptr);
    ~DriveSession() override;

    [[nodiscard]] Run& run() { return run_; }
    [[nodiscard]] int64_t now_ms() const { return clock_fn_ ? clock_fn_() : clock_.elapsed(); }
    [[nodiscard]] bool running() const { return scheduler_.running(); }
    // The scheduler time of the latest tick, step or input: a tick's is its due time.
    [[nodiscard]] int64_t event_ms() const { return event_ms_; }
    // When the next tick or step falls due (scheduler ms); -1 while the run stands.
    [[nodiscard]] int64_t next_due_ms() const { return scheduler_.running() ? scheduler_.next_due() : -1; }
    // The wall clock of the timing log, finer than a millisecond.
    [[nodiscard]] double wall_ms() const { return static_cast<double>(clock_.nsecsElapsed()) / 1e6; }

    // The player's inputs; each is followed by the inputs it posted.
    void start_pause();
    void key(char c);
    void virtual_key(VirtualKey key, bool shift_only);  // Enter also types its character
    void wheel(bool up);                                // up: towards brake
    void station(int32_t index);
    // A chunk received from the serial master controller.
    void serial(std::string_view bytes);
    // The controller menu's choice.
    void controller(ControllerType type);
    // The joystick the run's steps poll (through the recorder).
    void attach_joystick(JoystickReader& device);
    // Runs every event due by now (an input does this first, so its stamp keeps the order).
    void catch_up();
    // Stops the timer for good (the window closes) and flushes the outputs.
    void stop();

    // The player's inputs as a headless-runner script (nullptr: none), starting with the
    // joystick controller's state kept from earlier runs.
    void set_record(std::ostream* out);
    // The runner's trace: a header now, one row after each step.
    void set_trace(std::ostream* out);
    // The runner's view: the cab view as one JSON line after each step.
    void set_view(std::ostream* out) { view_ = out; }
    // One line per tick and step: its due time and the wall time it ran at.
    void set_timing_log(std::ostream* out);
    // Told the scheduler time before each tick, step and input (a clocked sound layer).
    void set_time_listener(std::function<void(int64_t)> f) { time_listener_ = std::move(f); }
    // Replaces the wall clock (screenshots, fast-forward): the timer then stays off and the
    // owner advances the run with catch_up().
    void set_clock(std::function<int64_t()> clock) { clock_fn_ = std::move(clock); }

Q_SIGNALS:
    void changed();  // after every event: the cab view may differ
    void stepped();  // after each 100 ms step
    void typed(char c);  // after a character has gone to AsciiDown

private:
    void wake();
    void arm();
    void run_due(int64_t until_ms);
    [[nodiscard]] int64_t input_ms() const;  // an input's stamp: after every event already run
    void begin_input(int64_t now);
    void end_input();
    void write_record(int64_t now, const std::string& command);
    void set_time(int64_t t);
    void record_poll(const JoystickState& state);

    Run& run_;
    Scheduler scheduler_;
    QTimer timer_;
    QElapsedTimer clock_;
    std::ostream* record_ = nullptr;
    std::ostream* trace_ = nullptr;
    std::ostream* view_ = nullptr;
    std::ostream* timing_ = nullptr;
    std::function<void(int64_t)> time_listener_;
    std::unique_ptr<ObservedJoystickReader> joystick_;
    JoystickState recorded_poll_;  // the state the replay's reader gives now
    std::function<int64_t()> clock_fn_;
    std::string row_;
    int64_t event_ms_ = 0;  // of the event running
    int64_t last_due_ms_ = -1;  // due time of the last tick or step run
    bool stopped_ = false;
};

}  // namespace vantrel
