#pragma once
// Virtual time for the two periodic steps: started at T, ticks fall at T + 33k ms and
// steps at T + 100k ms (k >= 1); at the same millisecond the tick runs first. Pausing
// stops both; a later start begins both phases afresh from its own time.
#include <algorithm>
#include <cstdint>

namespace vantrel {

class Scheduler {
public:
    static constexpr int64_t kTickMs = 33;
    static constexpr int64_t kStepMs = 100;

    void start(int64_t now_ms) {
        running_ = true;
        next_tick_ = now_ms + kTickMs;
        next_step_ = now_ms + kStepMs;
    }
    void pause() { running_ = false; }
    [[nodiscard]] bool running() const { return running_; }
    [[nodiscard]] int64_t next_due() const { return std::min(next_tick_, next_step_); }

    // Runs every tick and step due at or before `until_ms`, in time order.
    template <class Tick, class Step>
    void run_until(int64_t until_ms, Tick&& tick, Step&& step) {
        while (running_ && next_due() <= until_ms) {
            if (next_tick_ <= next_step_) {
                const int64_t t = next_tick_;
                next_tick_ += kTickMs;
                tick(t);
            } else {
                const int64_t t = next_step_;
                next_step_ += kStepMs;
                step(t);
            }
        }
    }

private:
    bool running_ = false;
    int64_t next_tick_ = 0;
    int64_t next_step_ = 0;
};

}  // namespace vantrel
