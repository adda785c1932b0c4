// The picture header reader on arbitrary bytes, as a bitmap-only slot and as any
// picture: a size it gives is positive.
#include <exception>

#include "cab/header_picture_loader.hpp"
#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace vantrel;
    try {
        fuzz::write_file("fuzz_picture", std::string_view(reinterpret_cast<const char*>(data), size));
        HeaderPictureLoader loader;
        for (const PictureFormat format : {PictureFormat::Bitmap, PictureFormat::Any}) {
            const auto picture = loader.open(fuzz::data_dir() / "fuzz_picture", format);
            if (picture && (picture->width <= 0 || picture->height <= 0)) fuzz::fail("a picture of no size");
        }
    } catch (const std::exception& e) {
        fuzz::fail(e.what());
    }
    return 0;
}
