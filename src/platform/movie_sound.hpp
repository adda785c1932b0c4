#pragma once
// The opening movie's sound track: its audio stream alone decoded into memory on a thread
// of its own, so the title window shows at once, then played through a mixer of its own
// from the point the movie has reached.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

#include "platform/wave_file.hpp"

namespace vantrel {

class OpenAlMixer;

// The movie phase lasts at most 140 s: no more of the track is ever heard.
inline constexpr double kMovieSoundSeconds = 140.0;

// At most `seconds` of the movie's sound as 16-bit mono, from the movie's first picture:
// a track that starts later begins with silence, one that starts earlier loses its head.
// Video and other packets are dropped unread. Nullopt without a playable sound track or
// when `stop` is requested.
[[nodiscard]] std::optional<MonoWave> decode_movie_sound(const std::filesystem::path& movie, double seconds,
                                                         std::stop_token stop = {});

class MovieSound {
public:
    // Starts decoding at once; the movie is taken to start now.
    MovieSound(std::filesystem::path movie, std::unique_ptr<OpenAlMixer> mixer);
    ~MovieSound();  // stops the decoding and waits for it
    MovieSound(const MovieSound&) = delete;
    MovieSound& operator=(const MovieSound&) = delete;

    // On the window's thread, every timer tick: once decoded, the track starts where the
    // movie stands.
    void update();
    // The same with the movie's time given (tests).
    void update_at(double elapsed_seconds);
    [[nodiscard]] bool decoded() const { return decoded_; }
    [[nodiscard]] bool started() const { return started_; }

private:
    std::unique_ptr<OpenAlMixer> mixer_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::mutex mutex_;
    std::optional<MonoWave> track_;  // under mutex_, until it is handed to the mixer
    std::atomic<bool> decoded_{false};
    bool started_ = false;
    std::jthread decoder_;  // last: stopped and joined first
};

}  // namespace vantrel
