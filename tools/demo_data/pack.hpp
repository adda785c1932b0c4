#pragma once
// The demo pack a player starts on: two filmed lines, five trains with their panels and
// sounds, the four routes, string, controller and help files, title pictures and the
// opening movie, plus a contact sheet of it all. The small pack (lines of about 1 km)
// is the one the tests use.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "demo_data/pack_routes.hpp"

namespace vantrel::demo {

inline constexpr const char* kPackVersion = "vantrel-demo-data pack 2";
inline constexpr const char* kStampFile = "pack.stamp";
inline constexpr const char* kContactSheet = "contact_sheet.png";

struct PackOptions {
    bool small = false;
    bool films = true;  // the videos, title pictures and opening movie
    std::function<void(const std::string&)> progress;  // one line per step
};

// A Qt application for drawing off screen (QT_QPA_PLATFORM=offscreen unless set), which
// the pack's pictures need. A no-op when the process already has an application.
class OffscreenApp {
public:
    OffscreenApp();
    ~OffscreenApp();
    OffscreenApp(const OffscreenApp&) = delete;
    OffscreenApp& operator=(const OffscreenApp&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The two lines with their filming runs, as the pack writes them.
[[nodiscard]] std::vector<LinePlan> pack_lines(bool small);

// Writes the pack; an empty string on success, else what failed. A folder already
// holding a pack of this version and size is left as it is.
[[nodiscard]] std::string write_pack(const std::filesystem::path& dir, const PackOptions& options);

// Title-window pairs: train file and route file.
struct TrainRoute {
    std::string train, route;
    bool scheduled = false;  // the train the timetable was made for (the others run it as well as they can)
};
[[nodiscard]] std::vector<TrainRoute> title_pairs();

}  // namespace vantrel::demo
