#pragma once
// Opening the pictures named by the data files. The logic needs only their sizes;
// the windows keep the pixels, keyed by the same path.
#include <filesystem>
#include <optional>
#include <string>

namespace vantrel {

struct PictureSize {
    int width = 0;
    int height = 0;
};

// A picture as the logic holds it: the name written in the data file, where it was
// found, and its size.
struct PictureRef {
    std::string name;
    std::filesystem::path path;
    int width = 0;
    int height = 0;
};

enum class PictureFormat {
    Any,     // bitmap, JPEG, PNG, icon (chosen by content)
    Bitmap,  // Windows bitmap only (needles and image lists)
};

class PictureLoader {
public:
    virtual ~PictureLoader() = default;
    // The picture's size, or nullopt when it is missing, unreadable or of the wrong format.
    [[nodiscard]] virtual std::optional<PictureSize> open(const std::filesystem::path& file,
                                                          PictureFormat format) = 0;
};

}  // namespace vantrel
