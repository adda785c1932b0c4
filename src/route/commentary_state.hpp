#pragma once
// Run-time state of the commentary: the phrase list, the queue and its flags.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

inline constexpr int kQueueSlots = 12;
inline constexpr int kNoWave = -2;  // an empty queue slot (-1 is a wave that failed to load)

struct CommentaryState {
    std::vector<int> phrase_waves;     // wave handle per phrase slot
    std::vector<int32_t> phrase_numbers;  // phrase number per slot (0 for slots 0 .. 17)
    std::vector<int> sign_waves;       // per OtherImageList entry
    std::array<int, kQueueSlots> queue{kNoWave, kNoWave, kNoWave, kNoWave, kNoWave, kNoWave,
                                       kNoWave, kNoWave, kNoWave, kNoWave, kNoWave, kNoWave};
    bool busy = false, head_playing = false, end_flag = false;
    int32_t last_sign = -1;   // none
    bool first_power = false;
    bool D1 = false;          // commentary mode check mark
    std::string hook_text;    // last text of the event hook
    int event_wave = -1;      // the spare wave slot the event hook plays on channel 255
};

}  // namespace vantrel
