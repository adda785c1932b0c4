#pragma once
// Loads the train's and the route's waves and assigns them to their channels: running
// sounds on 0 .., route sounds after them, motor sounds on 240 ..; the commentary
// phrases and sign sounds are loaded for the commentary queue.
#include <optional>
#include <string>
#include <string_view>

#include "common/path_resolver.hpp"

namespace vantrel {

struct Run;

inline constexpr int kMotorChannel = 240;
inline constexpr std::string_view kTooManyChannels = "DirectSoundの割り当てに失敗しました。256チャンネルを超えています。";

// Returns the program's message when the waves need more than 256 channels.
[[nodiscard]] std::optional<std::string> load_sounds(Run& run, const PathResolver& resolver);

}  // namespace vantrel
