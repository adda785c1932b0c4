#pragma once
// The devices behind the windows: the sound mixer, the video readers and the joystick.
// The one place that chooses the real implementations.
#include <filesystem>
#include <memory>

#include "controllers/joystick_reader.hpp"
#include "dynamics/frame_source.hpp"
#include "sound/sound_channels.hpp"

namespace vantrel {

class MovieSound;

struct BackEnds {
    std::unique_ptr<SoundChannels> sound;
    std::unique_ptr<FrameSource> video;
    std::unique_ptr<JoystickReader> joystick;
};

// The devices of one driving window.
[[nodiscard]] BackEnds make_back_ends();

// A reader for the opening movie, and its frames per second (0 when unknown).
[[nodiscard]] std::unique_ptr<FrameSource> make_movie_reader();
[[nodiscard]] double movie_frame_rate(const FrameSource& movie);
// The opening movie's sound, decoded in the background, on a mixer of its own.
[[nodiscard]] std::unique_ptr<MovieSound> make_movie_sound(const std::filesystem::path& movie);

// Frees every wave and opens the sound device afresh; false when it cannot be opened.
[[nodiscard]] bool reinitialise_sound(SoundChannels& sound);

}  // namespace vantrel
