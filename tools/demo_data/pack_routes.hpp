#pragma once
// The four route files of the demo pack, written from the scene description and its
// filming run, and the timetable they keep.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "demo_data/pack_scene.hpp"

namespace vantrel::demo {

struct LinePlan {
    LineScene scene;
    Film film;
};

struct RouteVariant {
    std::string file;       // "line_exp.dat"
    std::string kind;       // "急行", "快速", "普通"
    std::string card;       // timetable card picture name (without folder)
    int line = 0;           // 0 suburban, 1 rural
    std::vector<int> types; // station types, one per station
    bool one_man = false;
};

// Timetable of one route: ticks of 1/30 s.
struct StopTimes {
    int32_t arrive = 0, dep_sound = 0, door_close = 0, depart = 0;
};

// What the texts ask the other writers to make: spoken phrases (file -> kana text),
// limit boards and timetable cards.
struct PackRequests {
    std::map<std::string, std::string> voices;
    std::set<int> limits;
    struct Card {
        std::string file, title;
        std::vector<std::pair<std::string, std::string>> rows;  // station, time text
    };
    std::vector<Card> cards;
};

[[nodiscard]] std::vector<RouteVariant> route_variants(bool small);
[[nodiscard]] std::vector<StopTimes> timetable(const LinePlan& plan, const RouteVariant& v);
[[nodiscard]] std::string route_text(const LinePlan& plan, const RouteVariant& v, PackRequests& requests);

// Stop-point frames of a station: the platform range whose middle is the stop point.
struct PlatformFrames {
    int32_t start = 0, end = 0;
};
[[nodiscard]] PlatformFrames platform_frames(const LinePlan& plan, const PackStation& s);

inline constexpr int32_t kStartTime = 10 * 108000 + 5 * 1800;  // 10:05:00

}  // namespace vantrel::demo
