#pragma once
// A picture loader that reads only the headers of BMP, JPEG and PNG files: enough for
// the sizes the logic needs, without any image library.
#include "cab/picture_loader.hpp"

namespace vantrel {

class HeaderPictureLoader final : public PictureLoader {
public:
    std::optional<PictureSize> open(const std::filesystem::path& file, PictureFormat format) override;
};

}  // namespace vantrel
