#include "platform/device_probe.hpp"

#include <SDL.h>

#include "platform/openal_mixer.hpp"

namespace vantrel {

void report_missing_devices(std::ostream& err) {
    if (!OpenAlMixer::open_device()->initialised())
        err << "vantrel: no sound device could be opened; the run is silent\n";
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
        err << "vantrel: joysticks cannot be read (" << SDL_GetError()
            << "); the keyboard and a serial controller still work\n";
        return;
    }
    if (SDL_NumJoysticks() <= 0)
        err << "vantrel: no joystick found; one plugged in later is used when the joystick controller is chosen\n";
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

}  // namespace vantrel
