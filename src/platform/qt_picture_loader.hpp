#pragma once
// Opens the data files' pictures with Qt and keeps their pixels, keyed by path, so the
// windows can draw exactly the pictures the logic checked.
#include <filesystem>
#include <map>

#include <QImage>

#include "cab/picture_loader.hpp"

namespace vantrel {

class QtPictureLoader final : public PictureLoader {
public:
    std::optional<PictureSize> open(const std::filesystem::path& file, PictureFormat format) override;

    // The picture opened from `file`; a null image when it was never opened.
    [[nodiscard]] QImage image(const std::filesystem::path& file) const;

private:
    struct Entry {
        QImage image;
        bool bitmap = false;
    };
    std::map<std::filesystem::path, Entry> images_;
};

}  // namespace vantrel
