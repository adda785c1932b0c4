#include "platform/sdl_joystick_reader.hpp"

#include <SDL.h>

namespace vantrel {

void SdlJoystickReader::SubsystemQuit::operator()(int*) const { SDL_QuitSubSystem(SDL_INIT_JOYSTICK); }

void SdlJoystickReader::JoystickClose::operator()(SDL_Joystick* j) const { SDL_JoystickClose(j); }

SdlJoystickReader::SdlJoystickReader() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The program has no SDL window, so "focus" never comes: read the device regardless.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return;  // said once at program start
    subsystem_.reset(&subsystem_token_);
    // Nobody pumps SDL's event queue; polling reads the state directly.
    SDL_JoystickEventState(SDL_IGNORE);
}

SdlJoystickReader::~SdlJoystickReader() {
    joystick_.reset();  // before the subsystem goes
}

bool SdlJoystickReader::poll(JoystickState& out) {
    out = {};
    if (!subsystem_) return false;
    SDL_JoystickUpdate();  // also detects devices added or removed since the last poll
    if (joystick_ && !SDL_JoystickGetAttached(joystick_.get())) joystick_.reset();
    if (!joystick_ && SDL_NumJoysticks() > 0) joystick_.reset(SDL_JoystickOpen(0));
    if (!joystick_) return false;

    SDL_Joystick* j = joystick_.get();
    const int axes = SDL_JoystickNumAxes(j);
    if (axes > 0) out.x = apply_dead_zone(SDL_JoystickGetAxis(j, 0));
    if (axes > 1) out.y = apply_dead_zone(SDL_JoystickGetAxis(j, 1));
    const int buttons = SDL_JoystickNumButtons(j);
    for (int i = 0; i < static_cast<int>(out.buttons.size()) && i < buttons; ++i)
        out.buttons[static_cast<size_t>(i)] = SDL_JoystickGetButton(j, i) != 0;
    return true;
}

}  // namespace vantrel
