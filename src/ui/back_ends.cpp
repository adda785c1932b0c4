#include "ui/back_ends.hpp"

#include "platform/ffmpeg_frame_reader.hpp"
#include "platform/movie_sound.hpp"
#include "platform/openal_mixer.hpp"
#include "platform/sdl_joystick_reader.hpp"

namespace vantrel {

BackEnds make_back_ends() {
    BackEnds b;
    b.sound = OpenAlMixer::open_device();
    b.video = std::make_unique<FfmpegFrameReader>();
    b.joystick = std::make_unique<SdlJoystickReader>();
    return b;
}

std::unique_ptr<FrameSource> make_movie_reader() { return std::make_unique<FfmpegFrameReader>(); }

double movie_frame_rate(const FrameSource& movie) {
    const auto* reader = dynamic_cast<const FfmpegFrameReader*>(&movie);
    return reader ? reader->frame_rate() : 0;
}

std::unique_ptr<MovieSound> make_movie_sound(const std::filesystem::path& movie) {
    return std::make_unique<MovieSound>(movie, OpenAlMixer::open_device());
}

bool reinitialise_sound(SoundChannels& sound) {
    auto* mixer = dynamic_cast<OpenAlMixer*>(&sound);
    if (!mixer) return true;
    // A machine without a sound device ran silent from the start: that is no failure.
    const bool had_device = mixer->initialised();
    mixer->reinitialise();
    return mixer->initialised() || !had_device;
}

}  // namespace vantrel
