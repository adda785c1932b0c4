#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "common/path_resolver.hpp"
#include "cab/header_picture_loader.hpp"
#include "sound/wave_header.hpp"
#include "test_support.hpp"

using namespace vantrel;

TEST(PathResolver, MatchesEachComponentWithoutCaseAndEitherSeparator) {
    test::TempDir dir;
    test::write_bytes(dir / "Image/Signal/r.Bmp", "x");
    test::write_bytes(dir / "sound/Horn.wav", "x");
    const PathResolver resolver(dir.path());
    EXPECT_EQ(resolver.resolve("IMAGE\\signal\\R.BMP"), dir / "Image/Signal/r.Bmp");
    EXPECT_EQ(resolver.resolve("image/SIGNAL/r.bmp"), dir / "Image/Signal/r.Bmp");
    EXPECT_EQ(resolver.resolve("Sound\\horn.WAV"), dir / "sound/Horn.wav");
    EXPECT_FALSE(resolver.resolve("Sound\\horn2.wav"));
    EXPECT_FALSE(resolver.resolve(""));
    EXPECT_EQ(resolver.resolve_or_literal("Sound\\none.wav"), dir / "Sound/none.wav");
}

// Two folders that differ only in case, each holding part of the pictures.
TEST(PathResolver, TriesEveryFolderThatMatchesWithoutCase) {
    test::TempDir dir;
    test::write_bytes(dir / "Image/Line/limit75.bmp", "upper");
    test::write_bytes(dir / "image/line/limit90.bmp", "lower");
    test::write_bytes(dir / "image/Line/limit75.bmp", "lower");
    const PathResolver resolver(dir.path());
    const struct { const char* name; const char* found; } cases[] = {
        {"Image\\Line\\limit75.bmp", "Image/Line/limit75.bmp"},  // exact case wins
        {"image\\Line\\limit75.bmp", "image/Line/limit75.bmp"},
        {"Image\\Line\\limit90.bmp", "image/line/limit90.bmp"},  // only in the other folder
        {"IMAGE\\LINE\\LIMIT90.BMP", "image/line/limit90.bmp"},
    };
    for (const auto& c : cases) EXPECT_EQ(resolver.resolve(c.name), dir / c.found) << c.name;
    EXPECT_FALSE(resolver.resolve("Image\\Line\\limit60.bmp"));
    // A hostile name of many parts neither overflows the stack nor finds anything.
    std::string deep;
    for (int i = 0; i < 200000; ++i) deep += i % 2 ? "..\\" : "image\\";
    EXPECT_FALSE(resolver.resolve(deep + "none.bmp"));
}

TEST(PathResolver, FindsNamesSpeltInUtf8OrCp932OnDisk) {
    test::TempDir dir;
    test::write_bytes(dir / "駅名.bmp", "x");  // UTF-8 on disk
    const auto cp932 = utf8_to_cp932("警笛.WAV");
    ASSERT_TRUE(cp932);
    test::write_bytes(dir.path() / *cp932, "x");  // CP932 bytes on disk
    const PathResolver resolver(dir.path());
    EXPECT_EQ(resolver.resolve("駅名.BMP"), dir / "駅名.bmp");
    const auto horn = resolver.resolve("警笛.wav");
    ASSERT_TRUE(horn);
    EXPECT_EQ(horn->filename().string(), *cp932);
}

TEST(HeaderPictureLoader, ReadsSizesAndRefusesWhatItCannotRead) {
    test::TempDir dir;
    test::write_bmp(dir / "a.bmp", 50, 100);
    // PNG: signature, IHDR of 640 x 200.
    test::write_bytes(dir / "p.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x02\x80\0\0\0\xc8", 24));
    // JPEG: SOI, an APP0 segment, SOF0 of 480 x 240.
    test::write_bytes(dir / "j.jpg",
                      std::string("\xff\xd8\xff\xe0\x00\x04\x00\x00\xff\xc0\x00\x11\x08\x00\xf0\x01\xe0", 17));
    test::write_bytes(dir / "bad.bmp", "BM");
    test::write_bytes(dir / "text.bmp", "hello world, not a picture");
    HeaderPictureLoader loader;
    const auto bmp = loader.open(dir / "a.bmp", PictureFormat::Bitmap);
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->width, 50);
    EXPECT_EQ(bmp->height, 100);
    const auto png = loader.open(dir / "p.png", PictureFormat::Any);
    ASSERT_TRUE(png);
    EXPECT_EQ(png->width, 640);
    EXPECT_EQ(png->height, 200);
    EXPECT_FALSE(loader.open(dir / "p.png", PictureFormat::Bitmap));  // lists take bitmaps only
    const auto jpg = loader.open(dir / "j.jpg", PictureFormat::Any);
    ASSERT_TRUE(jpg);
    EXPECT_EQ(jpg->width, 480);
    EXPECT_EQ(jpg->height, 240);
    EXPECT_FALSE(loader.open(dir / "bad.bmp", PictureFormat::Any));
    EXPECT_FALSE(loader.open(dir / "text.bmp", PictureFormat::Any));
    EXPECT_FALSE(loader.open(dir / "missing.bmp", PictureFormat::Any));
}

// A top-down bitmap stores its height negated; -2^31 has no magnitude a size can hold.
TEST(HeaderPictureLoader, TopDownBitmapsReadTheMagnitudeOfTheirHeight) {
    test::TempDir dir;
    HeaderPictureLoader loader;
    const struct { int32_t height; int expected; } cases[] = {
        {-100, 100}, {-1, 1}, {-2147483647, 2147483647}, {INT32_MIN, 0}, {0, 0}};
    for (const auto& c : cases) {
        test::write_bmp(dir / "t.bmp", 50, 1);
        std::ifstream in(dir / "t.bmp", std::ios::binary);
        std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (int i = 0; i < 4; ++i) b[22 + i] = static_cast<char>(static_cast<uint32_t>(c.height) >> (8 * i));
        test::write_bytes(dir / "t.bmp", b);
        const auto size = loader.open(dir / "t.bmp", PictureFormat::Bitmap);
        EXPECT_EQ(size ? size->height : 0, c.expected) << c.height;
    }
}

TEST(WaveHeader, ReadsFormatAndDataSize) {
    test::TempDir dir;
    test::write_wave(dir / "a.wav", 500);
    const auto info = read_wave_header(dir / "a.wav");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->sample_rate, 22050u);
    EXPECT_EQ(info->byte_rate, 22050u);
    EXPECT_EQ(info->data_bytes, 11025u);
    test::write_bytes(dir / "b.wav", "RIFF\x04\0\0\0WAVE");
    EXPECT_FALSE(read_wave_header(dir / "b.wav"));
    EXPECT_FALSE(read_wave_header(dir / "none.wav"));
}
