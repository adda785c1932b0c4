#include "ui/back_ends.hpp"

#include "platform/sdl_joystick_reader.hpp"

namespace vantrel {

BackEnds make_back_ends() {
    BackEnds b;
    b.sound = std::make_unique<NullSoundChannels>();
    b.video = std::make_unique<NullFrameSource>();
    b.joystick = std::make_unique<SdlJoystickReader>();
    return b;
}

std::unique_ptr<FrameSource> make_movie_reader() { return std::make_unique<NullFrameSource>(); }

double movie_frame_rate(const FrameSource&) { return 0; }

bool reinitialise_sound(SoundChannels&) { return true; }

}  // namespace vantrel
