#pragma once
// The waves of the demo pack: train sounds (running bands, motors, engine, brakes,
// compressor, horns, buzzers, doors, bells), line sounds (melodies, crossing, bridge,
// tunnel, passing train) and spoken phrases (espeak-ng when installed, tones otherwise).
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vantrel::demo {

inline constexpr int kSoundRate = 22050;

// 16-bit PCM mono; false when it cannot be written.
bool write_pcm_wave(const std::filesystem::path& file, const std::vector<float>& samples, int rate = kSoundRate);

void write_train_sounds(const std::filesystem::path& dir, std::string& failed);
void write_line_sounds(const std::filesystem::path& dir, std::string& failed);
// Writes Sound/Voice/<id>.wav for every phrase (id -> kana text; empty text: a short silence).
// Returns false when espeak-ng was not available and tones stand in.
bool write_voices(const std::filesystem::path& dir, const std::map<std::string, std::string>& phrases,
                  std::string& failed);

// The opening movie's sound track: a melody with a passing train, `seconds` long.
[[nodiscard]] std::vector<float> opening_music(double seconds, int rate);

}  // namespace vantrel::demo
