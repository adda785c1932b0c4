#pragma once
// A film opened on a worker thread: its picture index (seconds for a long film read from a slow
// disk) is built there, so the thread that asked never waits on it and can give up meanwhile.
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/film_feed.hpp"

namespace vantrel {

class FilmDecoder;

class FilmOpener {
public:
    // How the decoder is made; the default opens the file through FFmpeg.
    using Open = std::function<std::unique_ptr<FilmDecoder>(const std::filesystem::path&,
                                                            const std::function<void(int)>& progress)>;

    // Starts at once; `progress` receives 0..100 on the worker thread while the index is built.
    FilmOpener(std::filesystem::path file, std::function<void(int)> progress, Open open = {});
    // Cancels an opening still under way and waits for the worker (one step of the index).
    ~FilmOpener();
    FilmOpener(const FilmOpener&) = delete;
    FilmOpener& operator=(const FilmOpener&) = delete;

    [[nodiscard]] bool finished() const { return finished_.load(); }
    // The index is given up at its next step; the feed is then nullptr.
    void cancel() { cancelled_.store(true); }
    // Waits for the worker and hands over the feed (nullptr: no film, or cancelled).
    [[nodiscard]] std::unique_ptr<FilmFeed> take();

private:
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> finished_{false};
    std::mutex mutex_;
    std::unique_ptr<FilmFeed> feed_;
    std::thread worker_;  // last: starts once everything above is set up
};

}  // namespace vantrel
