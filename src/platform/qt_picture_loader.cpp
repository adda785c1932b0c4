#include "platform/qt_picture_loader.hpp"

#include <cstdio>
#include <memory>

#include <QFile>
#include <QImageReader>

#include "platform/picture_sizes.hpp"

namespace vantrel {

std::optional<PictureSize> QtPictureLoader::open(const std::filesystem::path& file, PictureFormat format) {
    if (auto found = images_.find(file); found != images_.end()) {
        if (format == PictureFormat::Bitmap && !found->second.bitmap) return std::nullopt;
        return found->second.size;
    }
    // A FIFO or a device would block the open or the read for ever (tar keeps FIFOs).
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
    // Opened by its bytes: a name found through its CP932 spelling is no UTF-8, and a
    // QString would no longer name the file.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> handle(std::fopen(file.c_str(), "rb"), &std::fclose);
    QFile in;
    if (!handle || !in.open(handle.get(), QIODevice::ReadOnly)) return std::nullopt;
    // Needles and image lists must be Windows bitmaps, whatever their name says.
    const bool bitmap = in.peek(2) == "BM";
    if (format == PictureFormat::Bitmap && !bitmap) return std::nullopt;
    // Qt's reader under its allocation limit, left at Qt's default (128 MB in Qt 6.4, some
    // 33 million pixels at 32 bits, far beyond any cab picture): a header that claims a
    // picture too large to hold is refused before any pixel is read.
    QImageReader reader(&in, bitmap ? QByteArray("BMP") : QByteArray());
    QImage picture;
    if (!reader.read(&picture) || picture.isNull()) return std::nullopt;
    const PictureSize size{picture.width(), picture.height()};
    if (keep_pixels_) picture = picture.convertToFormat(QImage::Format_ARGB32);
    else picture = QImage();
    images_.emplace(file, Entry{std::move(picture), size, bitmap});
    return size;
}

std::unique_ptr<PictureLoader> make_picture_size_reader() { return std::make_unique<QtPictureLoader>(false); }

QImage QtPictureLoader::image(const std::filesystem::path& file) const {
    const auto found = images_.find(file);
    return found == images_.end() ? QImage() : found->second.image;
}

}  // namespace vantrel
