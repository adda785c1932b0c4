#pragma once
// The route tables: one line as its route file describes it, plus the data derived
// from it (distances, distance marks, stop points, Move-menu entries).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cab/picture_loader.hpp"

namespace vantrel {

inline constexpr int32_t kNone = 999;  // no signal, station, code, phrase or picture

struct Announcement { int32_t sound = 0; int32_t frame = 0; };

struct SoundTrigger {
    int32_t sound = 0, start = 0, end = 0, ref_speed = 0, mode = 0;
};

struct DopplerSource { int32_t sound = 0, start = 0, centre = 0, end = 0; };

struct Tunnel { int32_t start = 0, end = 0; };

struct Station {
    std::string name;
    int32_t type = 0;  // 0 stop, 1 pass, 2 stop without door work
    int32_t platform_start = 0, platform_end = 0;  // frames
    int32_t dep_sound = 0;       // route sound index
    int32_t dep_sound_time = 0;  // ticks
    int32_t door_close_time = 0; // ticks
    long double stop_distance = 0;  // cm, types 0 and 2 (derived)
    bool has_stop_distance = false;
};

struct Signal {
    int32_t kind = 0;  // 0 automatic, 1 fixed until a time, 2 always fixed
    std::string name;
    int32_t commentary = 0;  // phrase number
    int32_t type = 0;        // 0 repeater .. 5 five-aspect, 6+ no picture
    int32_t section_start = 0, section_end = 0, warning = 0, signal_frame = 0;
    int32_t fixed_aspect = 0;
    int32_t fixed_until = 0;  // ticks
};

struct Slope {
    int64_t gradient = 0;  // per mille x 10000, positive rising
    int32_t start = 0, end = 0;
};

struct Sign { int32_t picture = 0, start = 0, end = 0; };

struct CommentaryLink { int32_t index = 0, kind = 0, value = 0; };  // value: phrase slot, or a time > 998

struct SpeedLimit {
    int32_t limit = 0, picture = 0, spare = 0, sign_frame = 0, zone_end = 0;
    long double distance = 0;  // cm of the sign frame (derived)
};

struct SpeedCheck { int32_t speed = 0, frame = 0; };

struct SpeedSegment {
    int32_t start = 0, end = 0, speed_start = 0, speed_end = 0;
    int32_t end_distance = 0;  // cm, cumulative (derived)
};

struct TimeCheck { int32_t kind = 0, from = 0, to = 0, time = 0; };

struct DistanceMark {
    long double distance = 0;  // cm
    int32_t limit = 0;         // 0 for a signal
    int32_t signal = 0;        // signal index (0 for a speed limit)
};

struct MoveEntry {
    int32_t station = 0;  // station index
    std::string caption;  // station name
    std::string name;     // "Sta" + index
};

struct OtherImage {
    PictureRef picture;
    std::string wave;  // sign sound file name, as written
};

struct RouteTables {
    std::string line_name;
    int32_t start_pos = 0;
    int32_t frame_rate = 0;
    std::string staf_card, staf_still;  // [Staf] picture names as written
    PictureRef card, still;
    int32_t start_time = 0;
    int32_t speed_yy = 0, speed_y = 0, speed_yg = 0, speed_g = 0;
    std::string data_name;
    int32_t pre_time = 0;
    int32_t one_man = 0;

    std::vector<std::string> sound_data;  // route sound list (wave file names)
    std::vector<Announcement> announcements;
    std::vector<std::string> kanko_sound1;  // exactly 18 once read
    std::vector<std::string> kanko_sound2;
    std::vector<SoundTrigger> sounds;
    std::vector<DopplerSource> dopplers;
    std::vector<Tunnel> tunnels;
    std::vector<Station> stations;
    std::vector<int32_t> stop_sounds;
    std::vector<Signal> signals;
    std::vector<Slope> slopes;
    std::vector<Sign> signs;
    std::vector<CommentaryLink> signal_kanko;
    std::vector<CommentaryLink> station_kanko;
    std::vector<SpeedLimit> speed_limits;
    std::vector<SpeedCheck> speed_checks;
    std::vector<PictureRef> sign_images;    // SignImageList: [0] the train's stop marker
    std::vector<OtherImage> other_images;   // OtherImageList with the sign sounds
    std::vector<PictureRef> signal_images;  // SignalImageList, by display code
    std::vector<SpeedSegment> speed_units;
    std::vector<TimeCheck> time_checks;

    std::vector<DistanceMark> marks;  // at most kMaxDistanceMarks
    std::vector<MoveEntry> move_menu;
};

inline constexpr std::size_t kMaxDistanceMarks = 500;

// Ticks per step of the preceding train: 30 div [FrameRate], never below 1 (the
// reader refuses rates outside 1..30; tables built by hand get the same guard).
[[nodiscard]] inline int32_t preceding_divisor(const RouteTables& route) {
    const int32_t d = route.frame_rate > 0 ? 30 / route.frame_rate : 1;
    return d < 1 ? 1 : d;
}

}  // namespace vantrel
