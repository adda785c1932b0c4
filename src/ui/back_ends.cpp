#include "ui/back_ends.hpp"

#include "platform/movie_sound.hpp"
#include "platform/openal_mixer.hpp"
#include "platform/sdl_joystick_reader.hpp"

namespace vantrel {

BackEnds make_back_ends() {
    BackEnds b;
    b.sound = OpenAlMixer::open_device();
    auto film = std::make_unique<FilmFrameSource>();
    FilmFrameSource* source = film.get();
    b.film = [source] { return source->feed(); };
    b.set_progress = [source](std::function<void(int)> progress) { source->set_progress(std::move(progress)); };
    b.set_waiting = [source](FilmFrameSource::Waiting waiting) { source->set_waiting(std::move(waiting)); };
    b.video = std::move(film);
    b.joystick = std::make_unique<SdlJoystickReader>();
    return b;
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
