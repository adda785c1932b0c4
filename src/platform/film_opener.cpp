#include "platform/film_opener.hpp"

#include "platform/film_decoder.hpp"

namespace vantrel {

namespace {

// Thrown from the index's progress report to leave the build at once; everything it unwinds
// through holds its resources in RAII wrappers.
struct OpeningCancelled {};

}  // namespace

FilmOpener::FilmOpener(std::filesystem::path file, std::function<void(int)> progress, Open open)
    : worker_([this, file = std::move(file), progress = std::move(progress), open = std::move(open)] {
          const auto report = [&](int percent) {
              if (cancelled_.load()) throw OpeningCancelled{};
              if (progress) progress(percent);
          };
          std::unique_ptr<FilmFeed> feed;
          try {
              if (!cancelled_.load())
                  feed = make_film_feed(open ? open(file, report) : open_ffmpeg_film_decoder(file, report));
          } catch (const OpeningCancelled&) {
              feed.reset();
          }
          if (cancelled_.load()) feed.reset();
          {
              const std::lock_guard lock(mutex_);
              feed_ = std::move(feed);
          }
          finished_.store(true);
      }) {}

FilmOpener::~FilmOpener() {
    cancel();
    if (worker_.joinable()) worker_.join();
}

std::unique_ptr<FilmFeed> FilmOpener::take() {
    if (worker_.joinable()) worker_.join();
    const std::lock_guard lock(mutex_);
    return std::move(feed_);
}

}  // namespace vantrel
