#pragma once
// The stopping aid for the ear: beeps from 100 m before the stop point, their interval
// shortening and their pitch rising as the point nears, silent once the train stands.
// The beep is a generated wave on a channel the run leaves free.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {
struct Run;
}

namespace vantrel::speech {

inline constexpr long double kStopAidFromCm = 10000;

struct BeepShape {
    int64_t interval_ms = 0;
    double pitch = 1;  // frequency ratio on the beep's own rate
};

// The beep for a remaining distance (cm, 0 .. 100 m): 1.5 s apart at 1.0 far out, 0.15 s
// apart at 2.0 at the point.
[[nodiscard]] BeepShape beep_shape(long double remaining_cm);

class StopAid {
public:
    // After each 100 ms step: the pitch of a beep due now, if one is.
    [[nodiscard]] std::optional<double> observe(const Run& run, int64_t ms);

private:
    std::optional<int64_t> last_beep_ms_;
};

// A short sine beep (16-bit mono at `rate` Hz) with soft edges, so it does not click.
[[nodiscard]] std::vector<int16_t> beep_samples(int rate);

// The beep as the bytes of a RIFF/WAVE file, for a mixer that loads waves from files.
[[nodiscard]] std::string beep_wave_file(int rate);

// The highest channel below the commentary's that no train or route sound uses; -1 when
// the run fills them all.
[[nodiscard]] int spare_channel(const Run& run);

}  // namespace vantrel::speech
