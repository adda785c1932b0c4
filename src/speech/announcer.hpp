#pragma once
// Decides what the cab says: by itself after each 100 ms step (a new signal aspect, a
// lower limit ahead, overspeed, the next station on leaving, the stop-point countdown, ATS
// and vigilance warnings, the doors) and on the driver's request keys. It reads the run
// and never changes it.
#include <cstdint>
#include <optional>
#include <vector>

#include "speech/speech_texts.hpp"
#include "speech/utterance.hpp"

namespace vantrel {
struct Run;
}

namespace vantrel::speech {

// The driver's request keys: characters the cab's key table leaves free.
inline constexpr char kKeySpeed = 'v';
inline constexpr char kKeyLimit = 'l';
inline constexpr char kKeySignal = 'g';
inline constexpr char kKeyStation = 'j';
inline constexpr char kKeyTime = 't';
inline constexpr char kKeyHandles = 'h';

// Stop-point countdown, metres.
inline constexpr int32_t kCountdown[] = {500, 300, 200, 100, 50, 30, 20, 10, 5, 1};

class Announcer {
public:
    explicit Announcer(Language language = Language::Japanese) : texts_(language) {}

    // After each 100 ms step.
    void observe(const Run& run, int64_t ms);
    // A request key; false when the character asks for nothing.
    bool request(const Run& run, char key, int64_t ms);
    // The utterances decided since the last call, oldest first.
    [[nodiscard]] std::vector<Utterance> take();

private:
    void say(int64_t ms, Kind kind, double value, std::string text);
    void watch_signal(const Run& run, int64_t ms);
    void watch_limits(const Run& run, int64_t ms);
    void watch_stations(const Run& run, int64_t ms, int32_t speed);
    void watch_safety(const Run& run, int64_t ms);

    Texts texts_;
    std::vector<Utterance> out_;
    bool started_ = false;
    int32_t last_frame_ = 0;
    long double last_distance_ = 0;  // cm
    long double last_remaining_ = 0;  // cm
    long double target_ = -1;         // cm, the stop point the countdown is for
    uint32_t countdown_said_ = 0;     // bit per kCountdown entry
    bool at_point_said_ = false, stood_said_ = false;
    int32_t last_speed_ = 0;
    int32_t signal_index_ = -1, signal_code_ = -1;
    std::vector<uint8_t> limit_said_;  // per limit record: bit 0 300 m, bit 1 100 m
    std::optional<int64_t> overspeed_ms_;  // when it was last said, while it lasts
    bool doors_ = false, alarm_ = false, chime_ = false, emergency_ = false, cab_brake_ = false;
    int32_t pattern_ = 0, vigilance_ = 0;
};

}  // namespace vantrel::speech
