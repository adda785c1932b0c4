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
    // Without `keep_pixels` (the tools) a picture is decoded all the same, so that it is
    // refused exactly as the program refuses it, but only its size is kept.
    explicit QtPictureLoader(bool keep_pixels = true) : keep_pixels_(keep_pixels) {}

    std::optional<PictureSize> open(const std::filesystem::path& file, PictureFormat format) override;

    // The picture opened from `file`; a null image when it was never opened.
    [[nodiscard]] QImage image(const std::filesystem::path& file) const;

private:
    struct Entry {
        QImage image;
        PictureSize size;
        bool bitmap = false;
    };
    bool keep_pixels_ = true;
    std::map<std::filesystem::path, Entry> images_;
};

}  // namespace vantrel
