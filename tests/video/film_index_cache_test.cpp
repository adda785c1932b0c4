// The picture index's cache: reused while the film is unchanged, rebuilt when it changes, and a
// damaged cache file is read as the untrusted input it is.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <future>
#include <random>

#include "indexed_video.hpp"
#include "platform/ffmpeg_frame_reader.hpp"
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

// A film of its own in a folder of its own, its indexes cached there.
class FilmIndexCache : public ::testing::Test {
protected:
    void SetUp() override {
        av_log_set_level(AV_LOG_QUIET);
        setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
    }
    fs::path write_film(int frames) {
        EXPECT_EQ(test::write_indexed_video(film, mjpeg(), frames), "");
        return film;
    }
    // The one cache file (after the film was indexed once).
    fs::path only_cache_file() {
        std::vector<fs::path> files;
        for (const auto& e : fs::directory_iterator(dir / "cache" / "vantrel")) files.push_back(e.path());
        return files.size() == 1 ? files[0] : fs::path();
    }
    test::TempDir dir;
    const fs::path film = dir / "film.avi";
};

TEST_F(FilmIndexCache, IsReusedUntilTheFilmChanges) {
    EXPECT_EQ(film_cache_folder(), dir / "cache" / "vantrel");
    write_film(30);

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
    write_film(45);
    fs::last_write_time(film, fs::last_write_time(film) + std::chrono::seconds(2));
    auto changed = film_index(film, record);
    ASSERT_TRUE(changed.has_value());
    EXPECT_EQ(changed->length(), 45);
    EXPECT_FALSE(progress.empty()) << "built anew";
}

TEST_F(FilmIndexCache, ADamagedCacheFileIsIgnored) {
    write_film(40);
    ASSERT_TRUE(film_index(film).has_value());
    const std::vector<fs::path> files{only_cache_file()};
    ASSERT_FALSE(files[0].empty());
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
        // Even a change that would leave a consistent index (a position, a time) is seen.
        EXPECT_EQ(load_cached_index(film).has_value(), bytes == good);
        const auto index = film_index(film);
        ASSERT_TRUE(index.has_value());
        ASSERT_EQ(index->length(), 40);
    }
}

// Whatever sits where the cache file goes, the film opens, right, and no program waits on it.
TEST_F(FilmIndexCache, NothingInTheCacheFolderMakesAFilmWrongOrUnopenable) {
    write_film(40);
    ASSERT_TRUE(film_index(film).has_value());
    const fs::path cache = only_cache_file();
    ASSERT_FALSE(cache.empty());
    const auto good = load_cached_index(film);
    ASSERT_TRUE(good.has_value());

    FilmIndex flipped = *good;  // a consistent file for another film of the same name
    flipped.width ^= 64;
    const struct {
        const char* name;
        std::function<void()> put;
    } cases[] = {
        {"a folder", [&] { fs::create_directory(cache); }},
        {"a pipe", [&] { ASSERT_EQ(::mkfifo(cache.c_str(), 0600), 0); }},
        {"a link to an endless device", [&] { fs::create_symlink("/dev/zero", cache); }},
        {"a link to nowhere", [&] { fs::create_symlink(dir / "missing", cache); }},
        {"another film's index", [&] { ASSERT_TRUE(store_cached_index(film, flipped)); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(cache);
        c.put();
        auto opened = std::async(std::launch::async, [&] {
            FfmpegFrameReader reader;
            if (!reader.open(film)) return -1;
            FrameImage image;
            return reader.frame(39, image) ? test::shown_index(image) : -2;
        });
        ASSERT_EQ(opened.wait_for(std::chrono::seconds(60)), std::future_status::ready) << "hangs";
        EXPECT_EQ(opened.get(), 39);
    }
    // The film opened over another film's index wrote its own.
    ASSERT_TRUE(load_cached_index(film).has_value());
    EXPECT_EQ(load_cached_index(film)->width, good->width);
}

// A film replaced while it is indexed: the index stored is for the film as it was when the
// build began, so the next open sees the change and indexes again.
TEST_F(FilmIndexCache, AFilmReplacedWhileIndexedIsIndexedAgain) {
    write_film(30);
    ASSERT_EQ(test::write_indexed_video(dir / "other.avi", mjpeg(), 45), "");
    bool replaced = false;
    const auto first = film_index(film, [&](int) {
        if (replaced) return;
        replaced = true;
        fs::copy_file(dir / "other.avi", film, fs::copy_options::overwrite_existing);
        fs::last_write_time(film, fs::last_write_time(film) + std::chrono::seconds(2));
    });
    ASSERT_TRUE(first.has_value());
    const auto again = film_index(film);
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(again->length(), 45);
}

}  // namespace
