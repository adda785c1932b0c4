// Every kind of film the reader opens, written by ffmpeg at test time: frame n is the n-th
// picture in presentation order (AVI: the n-th sample) in order, backwards and at random.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <random>

#include "film_maker.hpp"
#include "film_patches.hpp"
#include "platform/ffmpeg_handles.hpp"
#include "platform/film_index.hpp"
#include "test_support.hpp"

namespace {

using namespace vantrel;

constexpr int kFrames = 300;

enum class Truth {
    Exact,       // frame n shows n; the film has kFrames frames
    Dropped,     // every 7th frame from the 4th dropped: an empty sample showing the frame before
    Consistent,  // AVI with an encoder delay of empty samples: any order shows what reading in order shows
};

struct Film {
    const char* name;  // file name; its extension picks the container
    const char* encoder;
    const char* args;
    Truth truth = Truth::Exact;
};

const Film kFilms[] = {
    {"mpeg4.avi", "mpeg4", "-c:v mpeg4 -g 50 -bf 0 -q:v 4"},
    {"mpeg4_bframes.avi", "mpeg4", "-c:v mpeg4 -g 50 -bf 2 -q:v 4"},
    {"xvid_bframes.avi", "libxvid", "-c:v libxvid -g 50 -bf 2", Truth::Consistent},
    {"divx3.avi", "msmpeg4", "-c:v msmpeg4 -g 50 -q:v 4"},
    {"mjpeg.avi", "mjpeg", "-c:v mjpeg -q:v 4"},
    {"cinepak.avi", "cinepak", "-c:v cinepak -g 50"},
    {"dv.avi", "dvvideo", "-vf scale=720:576,setpts=N/25/TB -r 25 -c:v dvvideo -pix_fmt yuv420p"},
    {"dropped_frames.avi", "mjpeg", "-c:v mjpeg -q:v 4 -vf select='not(eq(mod(n\\,7)\\,3))' -fps_mode passthrough",
     Truth::Dropped},
    {"h264_long_gop.mp4", "libx264", "-c:v libx264 -preset ultrafast -g 250 -bf 3 -b_strategy 0 -x264-params bframes=3:b-adapt=0"},
    {"h264_open_gop.mkv", "libx264", "-c:v libx264 -preset veryfast -x264-params keyint=60:min-keyint=60:open-gop=1:bframes=3:b-adapt=0"},
    {"h265.mov", "libx265", "-c:v libx265 -preset ultrafast -x265-params log-level=none:keyint=60:min-keyint=60:bframes=3:open-gop=1"},
    {"vp9.webm", "libvpx-vp9", "-c:v libvpx-vp9 -deadline realtime -cpu-used 8 -g 60 -b:v 400k"},
    {"av1.mkv", "libsvtav1", "-c:v libsvtav1 -preset 12 -g 60"},
    {"h264_offset.m2ts", "libx264", "-c:v libx264 -preset ultrafast -g 60 -bf 2 -x264-params bframes=2:b-adapt=0 -output_ts_offset 1.4 -f mpegts -mpegts_m2ts_mode 1"},
    {"mpeg2.mpg", "mpeg2video", "-c:v mpeg2video -g 30 -bf 2 -q:v 4 -f vob"},
    {"mpeg2.ts", "mpeg2video", "-c:v mpeg2video -g 30 -bf 2 -q:v 4"},
    // Variable frame rate as phones film: gaps of 1, 2 or 3 periods, played as it was filmed.
    {"vfr.mp4", "libx264", "-c:v libx264 -preset ultrafast -g 90 -bf 2 -vf setpts='(N+floor(N/3)+floor(N/5))/(30*TB)' -fps_mode passthrough"},
};

class FilmFormats : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        av_log_set_level(AV_LOG_QUIET);
        setenv("SVT_LOG", "1", 1);  // the AV1 encoder talks on its own
        dir_ = std::make_unique<test::TempDir>();
        setenv("XDG_CACHE_HOME", (dir_->path() / "cache").c_str(), 1);
    }
    static void TearDownTestSuite() { dir_.reset(); }
    static std::unique_ptr<test::TempDir> dir_;
};

std::unique_ptr<test::TempDir> FilmFormats::dir_;

int expected(const Film& film, int n) {
    if (film.truth != Truth::Dropped) return n;
    while (n % 7 == 3) --n;  // the frame before a dropped one
    return n;
}

bool skipped(const char* name, const char* encoder) {
    if (test::has_encoder(encoder)) return false;
    std::printf("skipped %s: no %s encoder\n", name, encoder);
    return true;
}

// Reads every frame in order, then backwards, at random and jumping, each time the same picture;
// `want` (when given) is what reading in order must show.
void reads_alike_in_any_order(FfmpegFrameReader& reader, const std::vector<int>* want,
                              int (*shown)(const FrameImage&) = test::shown_index) {
    const int length = reader.length();
    std::vector<int> in_order(static_cast<size_t>(length));
    for (int n = 0; n < length; ++n) in_order[static_cast<size_t>(n)] = test::read_number(reader, n, shown);
    if (want != nullptr) {
        ASSERT_EQ(static_cast<int>(want->size()), length);
        for (int n = 0; n < length; ++n) ASSERT_EQ(in_order[static_cast<size_t>(n)], (*want)[static_cast<size_t>(n)]) << "in order at " << n;
    } else {
        for (int n = 1; n < length; ++n) ASSERT_GE(in_order[static_cast<size_t>(n)], in_order[static_cast<size_t>(n - 1)]);
        EXPECT_GE(in_order.back(), kFrames - 4) << "pictures lost at the end";
    }
    const auto check = [&](int n, const char* how) {
        ASSERT_EQ(test::read_number(reader, n, shown), in_order[static_cast<size_t>(n)]) << how << " at " << n;
    };
    // Onwards past pictures the train does not show, which the decoder may leave out.
    for (int stride : {4, 3}) {
        for (int n = stride - 1; n < length; n += stride) check(n, "skipping ahead");
    }
    for (int n = length - 1; n >= 0; n -= 7) check(n, "backwards");
    for (int n = std::min(65, length - 1); n >= 45; --n) check(n, "backwards over a keyframe");
    std::mt19937 random(7);
    for (int i = 0; i < 60; ++i) check(static_cast<int>(random() % static_cast<unsigned>(length)), "at random");
    for (int n : {0, length - 1, 1, 59, 60, 61, 119, 120, 0}) {
        if (n < length) check(n, "jumping");
    }
}

TEST_F(FilmFormats, EveryFrameIsTheOneAskedForInAnyOrder) {
    for (const Film& film : kFilms) {
        SCOPED_TRACE(film.name);
        if (skipped(film.name, film.encoder)) continue;
        const auto file = dir_->path() / film.name;
        ASSERT_TRUE(test::write_film(file, film.args, kFrames));
        FfmpegFrameReader reader;
        ASSERT_TRUE(reader.open(file));
        if (film.truth != Truth::Consistent) {
            EXPECT_EQ(reader.length(), kFrames);
            EXPECT_EQ(reader.index()->pictures(), test::ffprobe_pictures(file));
        }
        std::vector<int> want(static_cast<size_t>(reader.length()));
        for (int n = 0; n < reader.length(); ++n) want[static_cast<size_t>(n)] = expected(film, n);
        reads_alike_in_any_order(reader, film.truth == Truth::Consistent ? nullptr : &want);
    }
}

// Films made in more than one step, as cameras, cutting tools and a careless `cat` leave them.
struct Made {
    const char* name;
    const char* encoder;
    std::function<bool(const std::filesystem::path& file)> make;
    // What frame n shows: n, the picture ffmpeg itself shows n-th, or (AVI with empty samples
    // before the first picture) the first picture until the samples with data start.
    enum { Own, Ffmpegs, AfterEmpty } truth = Own;
    int (*shown)(const FrameImage&) = test::shown_index;
};

constexpr int kEmptySamples = 5;
constexpr const char* kTsCodec = " -c:v libx264 -preset ultrafast -g 30 -bf 2 -x264-params bframes=2:b-adapt=0 -f mpegts";

// Two recordings of 120 frames each, the second going on with frame 120, starting at their own times.
std::function<bool(const std::filesystem::path&)> joined(const char* first_start, const char* second_start) {
    return [=](const std::filesystem::path& file) {
        const auto a = file.string() + ".a", b = file.string() + ".b";
        if (!test::write_film(a, std::string("-frames:v 120 -output_ts_offset ") + first_start + kTsCodec, 120)) return false;
        if (!test::write_film(b, std::string("-vf trim=start_frame=120,setpts=PTS-STARTPTS -output_ts_offset ") + second_start + kTsCodec, 240))
            return false;
        test::write_bytes(file, test::slurp(a) + test::slurp(b));
        return true;
    };
}

// Plain pictures, many to a packet of the program stream and most of one size.
std::function<bool(const std::filesystem::path&)> plain(const char* args) {
    return [=](const std::filesystem::path& file) { return test::write_film(file, args, 240, test::flat_frame); };
}

std::function<bool(const std::filesystem::path&)> trimmed(const char* long_args) {
    return [=](const std::filesystem::path& file) {
        const auto whole = file.string() + ".whole" + file.extension().string();
        return test::write_film(whole, long_args, kFrames) &&
               test::run_quietly("ffmpeg -y -ss 2.5 -i '" + whole + "' -c copy '" + file.string() + "'");
    };
}

std::function<bool(const std::filesystem::path&)> patched(const char* args, std::string (*patch)(std::string)) {
    return [=](const std::filesystem::path& file) {
        if (!test::write_film(file, args, 120)) return false;
        const std::string bytes = patch(test::slurp(file));
        test::write_bytes(file, bytes);
        return !bytes.empty();
    };
}

const Made kMade[] = {
    {"plain.mpg", "mpeg2video", plain("-vf scale=64:48 -c:v mpeg2video -g 15 -bf 0 -q:v 4 -f mpeg"), Made::Own, test::shown_flat},
    {"plain_bframes.vob", "mpeg2video", plain("-vf scale=64:48 -c:v mpeg2video -g 15 -bf 2 -q:v 2 -f vob"), Made::Own, test::shown_flat},
    {"joined_back_50s.ts", "libx264", joined("50", "0")},
    {"joined_overlapping.ts", "libx264", joined("0", "2")},
    {"joined_same_start.ts", "libx264", joined("0", "0")},
    {"cut.mp4", "libx264", trimmed("-c:v libx264 -preset ultrafast -g 120 -bf 3 -x264-params bframes=3:b-adapt=0"), Made::Ffmpegs},
    {"cut.mov", "libx264", trimmed("-c:v libx264 -preset ultrafast -g 120 -bf 3 -x264-params bframes=3:b-adapt=0"), Made::Ffmpegs},
    {"wrong_cues.mkv", "libx264", patched("-c:v libx264 -preset ultrafast -g 30 -bf 2", test::with_wrong_cues)},
    {"keyless_opendml.avi", "libx264", patched("-c:v libx264 -preset ultrafast -g 30 -bf 0", test::with_keyless_opendml_index)},
    {"empty_first_samples.avi", "mjpeg",
     patched("-c:v mjpeg -q:v 4", [](std::string d) { return test::with_leading_empty_samples(std::move(d), kEmptySamples); }),
     Made::AfterEmpty},
};

TEST_F(FilmFormats, JoinedCutAndPatchedFilmsReadRight) {
    for (const Made& film : kMade) {
        SCOPED_TRACE(film.name);
        if (skipped(film.name, film.encoder)) continue;
        const auto file = dir_->path() / film.name;
        ASSERT_TRUE(film.make(file));
        FfmpegFrameReader reader;
        ASSERT_TRUE(reader.open(file));
        const int pictures = test::ffprobe_pictures(file);
        EXPECT_EQ(reader.index()->pictures(), pictures);
        std::vector<int> want;
        if (film.truth == Made::Ffmpegs) want = test::ffmpeg_numbers(file);
        for (int n = 0; film.truth != Made::Ffmpegs && n < pictures + (film.truth == Made::AfterEmpty ? kEmptySamples : 0); ++n)
            want.push_back(film.truth == Made::AfterEmpty ? std::max(0, n - kEmptySamples) : n);
        reads_alike_in_any_order(reader, &want, film.shown);
    }
}

// H.264 large enough for FFmpeg's frame threads (three asked, whatever the machine), which hold
// pictures back: still the frame asked, in AVI (numbered by the decoder's delay) and MP4 (by time, pictures passed left undecoded).
TEST_F(FilmFormats, LargeFilmOnFrameThreadsIsFrameExact) {
    for (const char* name : {"hd_h264.avi", "hd_h264.mp4"}) {
        SCOPED_TRACE(name);
        const auto file = dir_->path() / name;
        ASSERT_TRUE(test::write_film(file, "-vf scale=1280:720 -c:v libx264 -preset ultrafast -g 24 -bf 3 -x264-params bframes=3:b-adapt=0", 72));
        FfmpegFrameReader reader;
        ASSERT_TRUE(reader.open(file, {}, 3));
        std::vector<int> want(72);
        std::iota(want.begin(), want.end(), 0);
        reads_alike_in_any_order(reader, &want);
    }
}

}  // namespace
