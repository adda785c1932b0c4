// Pictures the program cannot open are refused by the runner too: both open them with the
// program's own reader.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <array>
#include <cstdlib>
#include <string>

#include "demo_data/demo_data.hpp"
#include "platform/picture_sizes.hpp"
#include "platform/qt_picture_loader.hpp"
#include "test_support.hpp"

namespace {

using vantrel::test::TempDir;
using vantrel::test::write_bytes;

void le(std::string& s, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s += static_cast<char>(v >> (8 * i));
}
void be32(std::string& s, uint32_t v) {
    for (int i = 3; i >= 0; --i) s += static_cast<char>(v >> (8 * i));
}

// A Windows bitmap header (BITMAPINFOHEADER) followed by `tail` (palette and pixels).
std::string bitmap(int32_t width, int32_t height, uint16_t bits, uint32_t colours, const std::string& tail) {
    std::string s = "BM";
    le(s, static_cast<uint32_t>(54 + tail.size()), 4);
    le(s, 0, 4);
    le(s, 54 + (bits <= 8 ? 4 * std::min<uint32_t>(colours ? colours : 1u << bits, 256) : 0), 4);
    le(s, 40, 4);
    le(s, static_cast<uint32_t>(width), 4);
    le(s, static_cast<uint32_t>(height), 4);
    le(s, 1, 2);
    le(s, bits, 2);
    le(s, 0, 4);  // no compression
    le(s, 0, 4);
    le(s, 2835, 4);
    le(s, 2835, 4);
    le(s, colours, 4);
    le(s, 0, 4);
    return s + tail;
}

uint32_t crc32(const std::string& bytes) {
    uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes) {
        c ^= b;
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

void chunk(std::string& png, const std::string& type, const std::string& data) {
    be32(png, static_cast<uint32_t>(data.size()));
    png += type + data;
    be32(png, crc32(type + data));
}

// A PNG's signature and header chunk for an 8-bit RGB picture, nothing more.
std::string png_header(uint32_t width, uint32_t height) {
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string ihdr;
    be32(ihdr, width);
    be32(ihdr, height);
    ihdr += std::string("\x08\x02\x00\x00\x00", 5);
    chunk(png, "IHDR", ihdr);
    return png;
}

// 30000 x 30000: 3.6 GB as the program holds pictures, past Qt's allocation limit. The
// pixels are a few rows only: the header alone must refuse it.
std::string huge_png() {
    std::string png = png_header(30000, 30000);
    const QByteArray rows = qCompress(QByteArray(4 * 90001, '\0'));
    chunk(png, "IDAT", std::string(rows.constData() + 4, static_cast<size_t>(rows.size() - 4)));
    chunk(png, "IEND", "");
    return png;
}

std::string jpeg_head() {
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(0xFF336699u);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    picture.save(&out, "JPG");
    return out.data().left(200).toStdString();
}

struct Bad {
    const char* what;
    std::string bytes;
};

std::vector<Bad> bad_pictures() {
    return {
        {"depth 7", bitmap(2, 2, 7, 0, std::string(16, '\0'))},
        {"0xFFFFFFFF palette colours", bitmap(2, 2, 8, 0xFFFFFFFFu, std::string(1032, '\0'))},
        {"118 bytes claiming 65535 x 65535", bitmap(65535, 65535, 4, 0, std::string(64, '\0'))},
        {"a PNG that is only its header", png_header(16, 16)},
        {"the first 200 bytes of a JPEG", jpeg_head()},
        {"a 30000 x 30000 PNG", huge_png()},
    };
}

int run_sim(const TempDir& dir) {
    const std::string cmd = std::string(VANTREL_SIM_PATH) + " --data-dir " + dir.path().string() +
                            " --train train_demo.dat --seconds 1 >/dev/null 2>" + (dir / "err.txt").string();
    const int raw = std::system(cmd.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

}  // namespace

TEST(Pictures, TheProgramsLoaderAndTheToolsReaderRefuseTheSameFiles) {
    TempDir dir;
    ASSERT_EQ(bitmap(65535, 65535, 4, 0, std::string(64, '\0')).size(), 118u);
    write_bytes(dir / "good.bmp", bitmap(2, 2, 24, 0, std::string(16, '\x7f')));
    // Named in CP932 on disk ("\x8e\xd4" is 車): such names are no UTF-8.
    const std::string cp932_name = "\x8e\xd4.bmp";
    write_bytes(dir / cp932_name, bitmap(3, 2, 24, 0, std::string(24, '\x7f')));
    vantrel::QtPictureLoader program;
    const auto tools = vantrel::make_picture_size_reader();
    for (auto* loader : {static_cast<vantrel::PictureLoader*>(&program), tools.get()}) {
        const auto good = loader->open(dir / "good.bmp", vantrel::PictureFormat::Bitmap);
        ASSERT_TRUE(good);
        EXPECT_EQ(good->width, 2);
        const auto cp932 = loader->open(dir / cp932_name, vantrel::PictureFormat::Bitmap);
        ASSERT_TRUE(cp932);
        EXPECT_EQ(cp932->width, 3);
    }
    int n = 0;
    for (const Bad& bad : bad_pictures()) {
        const auto file = dir / ("bad" + std::to_string(n++) + ".bmp");
        write_bytes(file, bad.bytes);
        for (const auto format : {vantrel::PictureFormat::Any, vantrel::PictureFormat::Bitmap}) {
            EXPECT_FALSE(program.open(file, format)) << bad.what;
            EXPECT_FALSE(tools->open(file, format)) << bad.what;
        }
    }
}

TEST(Pictures, TheRunnerRefusesATrainWhosePanelTheProgramCannotOpen) {
    TempDir dir;
    ASSERT_EQ(vantrel::demo::write_demo_data(dir.path()), "");
    ASSERT_EQ(run_sim(dir), 0);
    for (const Bad& bad : bad_pictures()) {
        write_bytes(dir / "Image" / "Panel.bmp", bad.bytes);
        EXPECT_EQ(run_sim(dir), 2) << bad.what;
    }
}
