// The picture index's cache: reused while the film is unchanged, rebuilt when it changes, and a
// damaged cache file is read as the untrusted input it is.
#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "indexed_video.hpp"
#include "platform/ffmpeg_handles.hpp"
#include "platform/film_index_cache.hpp"
#include "test_support.hpp"

namespace {

using namespace vantrel;
namespace fs = std::filesystem;

VideoWriterOptions mjpeg() {
    VideoWriterOptions o;
    o.codec = VideoWriterOptions::Codec::Mjpeg;
    return o;
}

TEST(FilmIndexCache, IsReusedUntilTheFilmChanges) {
    av_log_set_level(AV_LOG_QUIET);
    test::TempDir dir;
    setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
    EXPECT_EQ(film_cache_folder(), dir / "cache" / "vantrel");
    const fs::path film = dir / "film.avi";
    ASSERT_EQ(test::write_indexed_video(film, mjpeg(), 30), "");

    std::vector<int> progress;
    const auto record = [&](int percent) { progress.push_back(percent); };
    auto first = film_index(film, record);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->length(), 30);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));

    progress.clear();
    auto again = film_index(film, record);
    ASSERT_TRUE(again.has_value());
    EXPECT_TRUE(progress.empty()) << "read from the cache";
    EXPECT_EQ(again->length(), 30);
    EXPECT_EQ(again->entries.back().pos, first->entries.back().pos);

    // The same path, another film (and a later time, as a copy over it would have).
    ASSERT_EQ(test::write_indexed_video(film, mjpeg(), 45), "");
    fs::last_write_time(film, fs::last_write_time(film) + std::chrono::seconds(2));
    auto changed = film_index(film, record);
    ASSERT_TRUE(changed.has_value());
    EXPECT_EQ(changed->length(), 45);
    EXPECT_FALSE(progress.empty()) << "built anew";
}

TEST(FilmIndexCache, ADamagedCacheFileIsIgnored) {
    av_log_set_level(AV_LOG_QUIET);
    test::TempDir dir;
    setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
    const fs::path film = dir / "film.avi";
    ASSERT_EQ(test::write_indexed_video(film, mjpeg(), 40), "");
    ASSERT_TRUE(film_index(film).has_value());
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir / "cache" / "vantrel")) files.push_back(e.path());
    ASSERT_EQ(files.size(), 1u);
    std::ifstream in(files[0], std::ios::binary);
    const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();

    std::vector<std::string> damaged = {"", "VNTFIX03", good.substr(0, good.size() / 2), good + "x",
                                        good.substr(0, good.size() - 1)};
    std::mt19937 random(5);
    for (int i = 0; i < 200; ++i) {
        std::string bytes = good;
        for (int k = 0; k < 1 + i % 4; ++k) bytes[random() % bytes.size()] = static_cast<char>(random());
        damaged.push_back(bytes);
    }
    for (const std::string& bytes : damaged) {
        test::write_bytes(files[0], bytes);
        const auto loaded = load_cached_index(film);
        if (loaded) {
            // A change that leaves a consistent index (a position, a time) may be read back.
            ASSERT_EQ(loaded->length(), 40);
        }
        const auto index = film_index(film);
        ASSERT_TRUE(index.has_value());
        ASSERT_EQ(index->length(), 40);
    }
}

}  // namespace
