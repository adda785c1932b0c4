#include "platform/qt_picture_loader.hpp"

#include <QFile>

namespace vantrel {

std::optional<PictureSize> QtPictureLoader::open(const std::filesystem::path& file, PictureFormat format) {
    if (auto found = images_.find(file); found != images_.end()) {
        if (format == PictureFormat::Bitmap && !found->second.bitmap) return std::nullopt;
        return PictureSize{found->second.image.width(), found->second.image.height()};
    }
    QFile in(QString::fromStdString(file.string()));
    if (!in.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = in.readAll();
    // Needles and image lists must be Windows bitmaps, whatever their name says.
    const bool bitmap = bytes.startsWith("BM");
    if (format == PictureFormat::Bitmap && !bitmap) return std::nullopt;
    QImage picture;
    if (!picture.loadFromData(bytes, bitmap ? "BMP" : nullptr) || picture.isNull()) return std::nullopt;
    picture = picture.convertToFormat(QImage::Format_ARGB32);
    const PictureSize size{picture.width(), picture.height()};
    images_.emplace(file, Entry{std::move(picture), bitmap});
    return size;
}

QImage QtPictureLoader::image(const std::filesystem::path& file) const {
    const auto found = images_.find(file);
    return found == images_.end() ? QImage() : found->second.image;
}

}  // namespace vantrel
