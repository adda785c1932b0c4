#pragma once
// The devices behind the windows: the sound mixer, the film and the joystick.
// The one place that chooses the real implementations.
#include <filesystem>
#include <functional>
#include <memory>

#include "controllers/joystick_reader.hpp"
#include "dynamics/frame_source.hpp"
#include "platform/film_feed.hpp"
#include "sound/sound_channels.hpp"

namespace vantrel {

class MovieSound;

struct BackEnds {
    std::unique_ptr<SoundChannels> sound;
    // The run's video as the logic sees it (its length); the window draws from `film`.
    std::unique_ptr<FrameSource> video;
    std::unique_ptr<JoystickReader> joystick;
    // The feed of the opened `video` (nullptr: no film, the view stays black).
    std::function<FilmFeed*()> film;
    // Receives the picture index's progress (0..100) while `video` opens.
    std::function<void(std::function<void(int)>)> set_progress;
    // Runs on the window thread while the index is built on a worker (FilmFrameSource::set_waiting).
    std::function<void(FilmFrameSource::Waiting)> set_waiting;
};

// The devices of one driving window.
[[nodiscard]] BackEnds make_back_ends();

// The opening movie's sound, decoded in the background, on a mixer of its own.
[[nodiscard]] std::unique_ptr<MovieSound> make_movie_sound(const std::filesystem::path& movie);

// Frees every wave and opens the sound device afresh; false when it cannot be opened.
[[nodiscard]] bool reinitialise_sound(SoundChannels& sound);

}  // namespace vantrel
