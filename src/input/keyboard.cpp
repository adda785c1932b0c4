#include "input/keyboard.hpp"

#include "app/run.hpp"

namespace vantrel {

void AsciiDown(Run&, char) {}
void keydowns(Run&, VirtualKey, bool) {}
void WheelD(Run&) {}
void WheelU(Run&) {}
void drain_posted(Run&) {}

}  // namespace vantrel
