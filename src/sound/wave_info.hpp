#pragma once
// A wave file's length as the mixer will play it, read from the file's header alone. The
// mixer and the channel model of recorded and headless runs share one reader, so a file
// sounds for the same time in both. The real reader lives in src/platform.
#include <cstdint>
#include <filesystem>
#include <string>
#include <variant>

namespace vantrel {

struct WaveLength {
    int64_t frames = 0;       // per channel
    int32_t sample_rate = 0;  // Hz
};

// The longest wave accepted: about 12 minutes at 44.1 kHz (64 MB as 16-bit mono), far
// beyond any cab sound or phrase. Refused by the header, before a sample is read.
inline constexpr int64_t kWaveFrameLimit = int64_t{1} << 25;
// All waves of a run together: 2^28 frames, 512 MB as the mixer keeps them (16-bit mono),
// about 100 minutes at 44.1 kHz. A real data set needs a few minutes of sound; the budget
// only stops a folder of huge files from taking the machine's memory.
inline constexpr int64_t kWaveBudgetFrames = int64_t{1} << 28;

// The frames the waves of one run hold so far, against kWaveBudgetFrames.
class WaveBudget {
public:
    [[nodiscard]] bool fits(int64_t frames) const { return frames >= 0 && frames <= kWaveBudgetFrames - used_; }
    // Counts `frames` that fit.
    void take(int64_t frames) { used_ += frames; }
    void clear() { used_ = 0; }

private:
    int64_t used_ = 0;
};

// The reason given for a wave refused by the budget.
inline constexpr const char* kWaveBudgetReason = ": the run's waves would pass 512 MB; not loaded";

class WaveInfoReader {
public:
    virtual ~WaveInfoReader() = default;
    // The length, or the reason the file cannot be played (written after the file's name).
    [[nodiscard]] virtual std::variant<WaveLength, std::string> read(const std::filesystem::path& file) = 0;
};

// Without a reader every wave counts as present and 0 frames long.
class NullWaveInfoReader final : public WaveInfoReader {
public:
    std::variant<WaveLength, std::string> read(const std::filesystem::path&) override { return WaveLength{}; }
};

}  // namespace vantrel
