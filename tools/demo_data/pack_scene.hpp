#pragma once
// The scene description of the demo pack's two filmed lines: track geometry, stations,
// signal_posts, lineside objects and the filming run. The film and every route-file position
// are taken from it, so each object stands where the film shows it.
#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::demo {

struct PackStation {
    std::string name;       // Japanese name
    std::string kana;       // reading, for the spoken phrases
    double stop_m = 0;      // stop point of the train's front, metres along the line
    bool passing_loop = false;
};

enum class SignalRole { Block, Home, Starting, Fixed };

struct PackSignal {
    double at_m = 0;
    SignalRole role = SignalRole::Block;
    int type = 3;  // aspect type of the route file (1 .. 5)
    std::string name;
    std::string kana;  // reading, for the commentary
};

struct Span {
    double from_m = 0, to_m = 0;
};

struct CurveSpan {
    double from_m = 0, to_m = 0;
    double curvature = 0;  // 1/m, positive turns right
    int limit = 0;         // km/h, 0 none
};

struct GradeSpan {
    double from_m = 0, to_m = 0;
    double permille = 0;  // positive rising
};

struct Building {
    double at_m = 0, length_m = 0;
    double offset_m = 0;  // lateral offset of the near wall, metres (negative: left)
    double height_m = 0, depth_m = 0;
    uint32_t colour = 0;  // 0xRRGGBB
};

struct Tree {
    double at_m = 0, offset_m = 0, height_m = 0;
    int kind = 0;  // 0 broadleaf, 1 conifer
};

struct Oncoming {
    double meet_m = 0;  // where the fronts pass each other
    double speed_kmh = 0;
    int cars = 0;
};

struct LineScene {
    std::string name;        // line name
    std::string data_name;   // video base name
    double length_m = 0;
    bool double_track = false;
    bool electrified = false;
    std::vector<PackStation> stations;
    std::vector<PackSignal> signal_posts;
    std::vector<CurveSpan> curves;
    std::vector<GradeSpan> grades;
    std::vector<Span> bridges, tunnels;
    std::vector<double> crossings;
    std::vector<Building> buildings;
    std::vector<Tree> trees;
    std::vector<Oncoming> oncoming;
    std::vector<Span> fields;  // stretches of open fields instead of town
    int cruise_kmh = 0;
};

// One segment of the filming-speed table.
struct SpeedSegment {
    int32_t start = 0, end = 0;  // frames
    int32_t v_start = 0, v_end = 0;  // km/h
};

// The filming run: the speed table and the position of every frame derived from it
// exactly as the program derives distances.
struct Film {
    std::vector<SpeedSegment> segments;
    std::vector<double> position_m;  // per frame
    [[nodiscard]] int32_t frames() const { return static_cast<int32_t>(position_m.size()); }
    // First frame at or past a position (the last frame beyond the end).
    [[nodiscard]] int32_t frame_at(double m) const;
    // Filmed speed at a frame, km/h.
    [[nodiscard]] double speed_at(int32_t frame) const;
};

// Line 1 (suburban, double track, electrified) and line 2 (rural, single track).
// `small` gives a line of about 1 km with the same kinds of objects.
[[nodiscard]] LineScene suburban_line(bool small);
[[nodiscard]] LineScene rural_line(bool small);

// The filming run over a line: accelerating out of stations, cruising, slowing for
// curves and into stations, never standing.
[[nodiscard]] Film film_line(const LineScene& line);

// Speed limit in force at a position, km/h (the line's cruise speed when none).
[[nodiscard]] int limit_at(const LineScene& line, double m);

}  // namespace vantrel::demo
