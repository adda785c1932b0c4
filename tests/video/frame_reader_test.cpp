// The frame reader on videos the test writes: every frame is the right one in any order of access.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <random>

#include "indexed_video.hpp"
#include "platform/ffmpeg_frame_reader.hpp"
#include "platform/ffmpeg_handles.hpp"
#include "test_support.hpp"

namespace {

using namespace vantrel;
using vantrel::test::shown_index;

constexpr int kFrames = 120;

struct Kind {
    const char* name;
    VideoWriterOptions options;
};

VideoWriterOptions mjpeg_with_sound() {
    VideoWriterOptions o;
    o.codec = VideoWriterOptions::Codec::Mjpeg;
    o.audio_rate = 22050;
    return o;
}
VideoWriterOptions mpeg4_every(int keyframes, int b_frames) {
    VideoWriterOptions o;
    o.keyframe_every = keyframes;
    o.b_frames = b_frames;
    return o;
}

const Kind kKinds[] = {
    {"mjpeg", mjpeg_with_sound()},
    {"mpeg4", mpeg4_every(30, 0)},
    {"mpeg4_bframes", mpeg4_every(30, 2)},
};

class FrameReaderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        av_log_set_level(AV_LOG_FATAL);  // the damaged files make the decoders complain
        dir_ = std::make_unique<test::TempDir>();
        for (const Kind& kind : kKinds) {
            ASSERT_EQ(test::write_indexed_video(file(kind), kind.options, kFrames), "") << kind.name;
        }
    }
    static void TearDownTestSuite() { dir_.reset(); }
    static std::filesystem::path file(const Kind& kind) { return *dir_ / (std::string(kind.name) + ".avi"); }
    static std::filesystem::path path(std::string_view name) { return *dir_ / name; }

    // The index the reader shows for `index`, or -1 when it gives no frame.
    static int read(FfmpegFrameReader& reader, int index) {
        FrameImage image;
        if (!reader.frame(index, image)) return -1;
        return shown_index(image);
    }

    static std::unique_ptr<test::TempDir> dir_;
};

std::unique_ptr<test::TempDir> FrameReaderTest::dir_;

TEST_F(FrameReaderTest, GivesEveryFrameInOrderBackwardsAndAtRandom) {
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        FfmpegFrameReader reader;
        ASSERT_TRUE(reader.open(file(kind)));
        EXPECT_EQ(reader.length(), kFrames);
        EXPECT_DOUBLE_EQ(reader.frame_rate(), 30.0);

        for (int i = 0; i < kFrames; ++i) ASSERT_EQ(read(reader, i), i) << "in order";
        for (int i = kFrames - 1; i >= 0; i -= 7) ASSERT_EQ(read(reader, i), i) << "backwards";

        std::vector<int> order(kFrames);
        for (int i = 0; i < kFrames; ++i) order[static_cast<size_t>(i)] = i;
        std::mt19937 random(6);
        std::shuffle(order.begin(), order.end(), random);
        // Keyframe neighbours, where B-frame timing goes wrong first.
        order.insert(order.end(), {29, 30, 31, 28, 59, 60, 58, 90, 89, 0, 119, 1});
        for (int i : order) ASSERT_EQ(read(reader, i), i) << "at random";

        // Short hops forward within a group of pictures, then the same frame twice.
        for (int i : {3, 5, 6, 17, 29, 33, 33, 61, 62}) ASSERT_EQ(read(reader, i), i) << "hopping";
    }
}

TEST_F(FrameReaderTest, OutsideTheVideoGivesTheLastDecodedFrameAgain) {
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        FfmpegFrameReader reader;
        ASSERT_TRUE(reader.open(file(kind)));
        FrameImage image;
        EXPECT_FALSE(reader.frame(kFrames, image)) << "nothing decoded yet";
        EXPECT_EQ(read(reader, kFrames - 1), kFrames - 1);
        EXPECT_EQ(read(reader, kFrames), kFrames - 1);
        EXPECT_EQ(read(reader, 100000), kFrames - 1);
        EXPECT_EQ(read(reader, 42), 42);
        EXPECT_EQ(read(reader, -1), 42);
        EXPECT_EQ(read(reader, INT32_MIN), 42);
    }
}

TEST_F(FrameReaderTest, ConvertsColoursWithTheRangeTheVideoWasCodedIn) {
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        FfmpegFrameReader reader;
        ASSERT_TRUE(reader.open(file(kind)));
        FrameImage image;
        ASSERT_TRUE(reader.frame(45, image));
        ASSERT_EQ(image.width, test::kVideoWidth);
        ASSERT_EQ(image.height, test::kVideoHeight);
        EXPECT_TRUE(std::all_of(image.pixels.begin(), image.pixels.end(), [](uint32_t p) { return p >> 24 == 0xFF; }));
        const int cy = test::kPatchTop + 16;
        for (int patch = 0; patch < 3; ++patch) {
            const int cx = patch * test::kPatchWidth + test::kPatchWidth / 2;
            const uint32_t want = test::kPatchColours[patch];
            for (int shift : {16, 8, 0}) {
                EXPECT_NEAR(test::mean_channel(image, cx, cy, shift), test::channel(want, shift), 8)
                    << "patch " << patch << " shift " << shift;
            }
        }
    }
}

TEST_F(FrameReaderTest, DamagedFilesNeitherCrashNorHang) {
    std::ifstream in(file(kKinds[2]), std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string garbage = whole.substr(0, 4096);  // a real header, then noise
    std::mt19937 random(11);
    for (size_t i = 4096; i < whole.size(); ++i) garbage += static_cast<char>(random());
    std::string flipped = whole;  // bytes spoilt here and there inside the frames
    for (size_t i = 6000; i < flipped.size(); i += 997) flipped[i] = static_cast<char>(~flipped[i]);
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty.avi", ""},
        {"text.avi", "RIFF this is not a video at all"},
        {"cut_half.avi", whole.substr(0, whole.size() / 2)},
        {"cut_header.avi", whole.substr(0, 300)},
        {"garbage.avi", garbage},
        {"flipped.avi", flipped},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::write_bytes(path(c.name), c.bytes);
        FfmpegFrameReader reader;
        if (!reader.open(path(c.name))) {
            EXPECT_EQ(reader.length(), -1);
            FrameImage image;
            EXPECT_FALSE(reader.frame(0, image));
            continue;
        }
        std::mt19937 order(3);
        FrameImage image;
        for (int i = 0; i < 150; ++i) {
            const int index = i < 60 ? i * 2 : static_cast<int>(order() % 140);
            if (reader.frame(index, image)) {
                ASSERT_EQ(image.width, test::kVideoWidth);
                ASSERT_EQ(image.pixels.size(), static_cast<size_t>(test::kVideoWidth * test::kVideoHeight));
            }
        }
    }

    // Cut in half, the first frames still read right and later ones repeat the last good one.
    FfmpegFrameReader reader;
    ASSERT_TRUE(reader.open(path("cut_half.avi")));
    EXPECT_EQ(read(reader, 10), 10);
    const int last_good = read(reader, 20);
    EXPECT_EQ(last_good, 20);
    EXPECT_EQ(read(reader, kFrames - 2), 20);
}

TEST_F(FrameReaderTest, OpeningAnotherFileStartsAfresh) {
    FfmpegFrameReader reader;
    EXPECT_EQ(reader.length(), -1);
    EXPECT_EQ(reader.frame_rate(), 0.0);
    ASSERT_TRUE(test::write_indexed_video(path("short.avi"), mpeg4_every(10, 0), 12).empty());
    ASSERT_TRUE(reader.open(file(kKinds[1])));
    EXPECT_EQ(read(reader, 100), 100);
    ASSERT_TRUE(reader.open(path("short.avi")));
    EXPECT_EQ(reader.length(), 12);
    EXPECT_EQ(read(reader, 50), -1) << "the last frame belonged to the other video";
    EXPECT_EQ(read(reader, 11), 11);
    // Missing, a device that never ends, a folder.
    for (const std::filesystem::path& name : {path("missing.avi"), std::filesystem::path("/dev/zero"), dir_->path()}) {
        EXPECT_FALSE(reader.open(name)) << name;
        EXPECT_EQ(reader.length(), -1);
        EXPECT_EQ(read(reader, 3), -1);
    }
}

}  // namespace
