#pragma once
// The voice: feeds a speech engine one utterance at a time from the queue, so that a newer
// utterance of a kind replaces one still waiting. The engine is the desktop's speech
// service in the windows and a recorder in the tests.
#include <string>

#include "speech/speech_queue.hpp"
#include "speech/utterance.hpp"

namespace vantrel::speech {

class SpeechEngine {
public:
    virtual ~SpeechEngine() = default;
    [[nodiscard]] virtual bool available() const = 0;  // false: no speech service
    [[nodiscard]] virtual bool speaking() const = 0;
    virtual void say(const std::string& text) = 0;
};

class Voice {
public:
    explicit Voice(SpeechEngine& engine) : engine_(engine) {}

    void push(Utterance u) {
        if (!engine_.available()) {
            missing_ = true;
            return;
        }
        queue_.push(std::move(u));
        pump();
    }
    // Notes a missing service before anything is said (speech switched on).
    void check() {
        if (!engine_.available()) missing_ = true;
    }
    // Call when the engine has finished an utterance.
    void pump() {
        if (engine_.speaking() || !engine_.available()) return;
        if (auto next = queue_.pop()) engine_.say(next->text);
    }
    // True once, the first time an utterance found no speech service: the caller says so.
    [[nodiscard]] bool take_missing_notice() {
        if (!missing_ || missing_said_) return false;
        missing_said_ = true;
        return true;
    }
    void clear() { queue_.clear(); }

private:
    SpeechEngine& engine_;
    SpeechQueue queue_;
    bool missing_ = false, missing_said_ = false;
};

}  // namespace vantrel::speech
