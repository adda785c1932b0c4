#pragma once
// State owned by the keyboard handlers.
namespace vantrel {

struct KeyboardState {
    bool keypad_swap = false;
    bool card_wanted = false;  // timetable card slides in
};

}  // namespace vantrel
