// Names in a data set can point at things that are no files: an unpacked set can hold a
// FIFO, and a folder can carry a picture's name. The program's and the tools' picture
// reader refuse them at once (the header and text readers always did).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <string>

#include "platform/picture_sizes.hpp"
#include "platform/qt_picture_loader.hpp"
#include "test_support.hpp"

using namespace vantrel;

TEST(SpecialFiles, AFifoOrAFolderNamedAsAPictureIsRefusedWithoutWaiting) {
    test::TempDir dir;
    const auto fifo = dir / "panel.bmp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directories(dir / "folder.bmp");
    QtPictureLoader program;
    const auto tools = make_picture_size_reader();
    const struct {
        const char* reader;
        std::function<bool(const std::filesystem::path&)> opens;
    } readers[] = {
        {"program", [&](const auto& p) { return program.open(p, PictureFormat::Any).has_value(); }},
        {"tools", [&](const auto& p) { return tools->open(p, PictureFormat::Bitmap).has_value(); }},
    };
    for (const auto& r : readers) {
        for (const auto& file : {fifo, dir / "folder.bmp"}) {
            auto opened = std::async(std::launch::async, [&] { return r.opens(file); });
            if (opened.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
                // Let the blocked reader go (a writer comes and leaves) so the test can end.
                ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
                ADD_FAILURE() << r.reader << " waits on " << file;
            }
            EXPECT_FALSE(opened.get()) << r.reader << " " << file;
        }
    }
}
