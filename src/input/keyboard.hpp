#pragma once
// Keyboard and mouse wheel: the character keys, the virtual keys and the wheel.
#include <cstdint>

namespace vantrel {

struct Run;

enum class VirtualKey : int32_t {
    Enter = 13,
    F1 = 112, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
    ScrollLock = 145,
};

void AsciiDown(Run& run, char key);
void keydowns(Run& run, VirtualKey key, bool shift_only);
void WheelD(Run& run);  // towards power
void WheelU(Run& run);  // towards brake
// Handles the inputs posted to the window during the last event, in order.
void drain_posted(Run& run);

}  // namespace vantrel
