#include "check/route_checks.hpp"

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <vector>

#include "common/data_text.hpp"
#include "route/route_derive.hpp"
#include "route/stations.hpp"
#include "sound/sound_channels.hpp"
#include "sound/sound_loader.hpp"

namespace vantrel::check {
namespace {

class RouteCheck {
public:
    RouteCheck(ProblemSink& sink, const std::string& file, const RouteTables& route)
        : sink_(sink), file_(file), route_(route) {}

    void warn(std::string code, std::string_view key, std::size_t index, std::optional<int32_t> frame,
              std::string message) {
        Problem p{Severity::Warning,
                  std::move(code),
                  file_,
                  sink_.line_of(key, index),
                  frame,
                  {},
                  std::move(message),
                  {},
                  {}};
        if (frame) p.metres = metres_at(route_, *frame);
        sink_.add(std::move(p));
    }

    void film(int32_t frames) {
        // The first frame a thing happens at, per record, beyond the last frame of the film.
        auto beyond = [&](std::string_view key, std::size_t index, std::initializer_list<int32_t> at) {
            for (int32_t f : at) {
                if (f < frames) continue;
                warn("route.frame.beyond_film", key, index, f,
                     "frame " + std::to_string(f) + " is beyond the film's last frame " + std::to_string(frames - 1));
                return;
            }
        };
        const auto& r = route_;
        beyond("[StartPos]", 0, {r.start_pos});
        for (std::size_t i = 0; i < r.announcements.size(); ++i) beyond("[Announce]", i, {r.announcements[i].frame});
        for (std::size_t i = 0; i < r.sounds.size(); ++i) beyond("[Sound]", i, {r.sounds[i].start});
        for (std::size_t i = 0; i < r.dopplers.size(); ++i) beyond("[Doppler]", i, {r.dopplers[i].centre});
        for (std::size_t i = 0; i < r.tunnels.size(); ++i) beyond("[Tunnel]", i, {r.tunnels[i].start});
        for (std::size_t i = 0; i < r.stations.size(); ++i)
            beyond("[Station]", i, {r.stations[i].platform_start, r.stations[i].platform_end});
        for (std::size_t i = 0; i < r.stop_sounds.size(); ++i) beyond("[StopSound]", i, {r.stop_sounds[i]});
        for (std::size_t i = 0; i < r.signals.size(); ++i)
            beyond("[Signal]", i, {r.signals[i].warning, r.signals[i].signal_frame});
        for (std::size_t i = 0; i < r.slopes.size(); ++i) beyond("[Slope]", i, {r.slopes[i].start});
        for (std::size_t i = 0; i < r.signs.size(); ++i) beyond("[Sign]", i, {r.signs[i].start});
        for (std::size_t i = 0; i < r.speed_limits.size(); ++i)
            beyond("[SpeedLimit]", i, {r.speed_limits[i].sign_frame});
        for (std::size_t i = 0; i < r.speed_checks.size(); ++i) beyond("[SpeedCheck]", i, {r.speed_checks[i].frame});
        for (std::size_t i = 0; i < r.time_checks.size(); ++i) beyond("[Time]", i, {r.time_checks[i].from});

        // Frames outside the table have no distance: the train cannot be placed on them.
        const auto& u = r.speed_units;
        if (u.empty()) {
            warn("route.speedunit.short", "[DataName]", 0, 0,
                 "no filmed-speed table for a film of " + std::to_string(frames) + " frames");
        } else if (u.back().end < frames - 1) {
            warn("route.speedunit.short", "[SpeedUnit]", u.size() - 1, u.back().end,
                 "the table ends at frame " + std::to_string(u.back().end) + ", the film at " +
                     std::to_string(frames - 1));
        }
    }

    void speed_table() {
        const auto& u = route_.speed_units;
        for (std::size_t i = 1; i < u.size(); ++i) {
            if (u[i].start < u[i - 1].end)
                warn("route.speedunit.backwards", "[SpeedUnit]", i, u[i].start,
                     "starts at frame " + std::to_string(u[i].start) + ", before the previous record's end " +
                         std::to_string(u[i - 1].end));
            else if (u[i].start > u[i - 1].end)
                warn("route.speedunit.gap", "[SpeedUnit]", i, u[i].start,
                     "frames " + std::to_string(u[i - 1].end) + " to " + std::to_string(u[i].start) +
                         " are in no record");
        }
        if (!u.empty() && u.front().start > route_.start_pos)
            warn("route.speedunit.short", "[SpeedUnit]", 0, u.front().start,
                 "the table starts at frame " + std::to_string(u.front().start) + ", after the start position " +
                     std::to_string(route_.start_pos));
    }

    void stations() {
        const auto& s = route_.stations;
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (s[i].platform_end < s[i].platform_start)
                warn("route.station.platform", "[Station]", i, s[i].platform_start,
                     s[i].name + ": the platform ends before it starts");
            if (i > 0 && s[i].platform_start < s[i - 1].platform_end)
                warn("route.station.order", "[Station]", i, s[i].platform_start,
                     s[i].name + " starts before " + s[i - 1].name + " ends");
            if (s[i].type != 1 && !s[i].has_stop_distance) {
                const int32_t middle = s[i].platform_start + (s[i].platform_end - s[i].platform_start) / 2;
                warn("route.station.stop_outside", "[Station]", i, middle,
                     s[i].name + ": the stop point lies in no filmed-speed record, so it stands at the route's start");
            }
        }
    }

    void signals() {
        const auto& g = route_.signals;
        for (std::size_t i = 0; i < g.size(); ++i) {
            if (g[i].section_end < g[i].signal_frame)
                warn("route.signal.section", "[Signal]", i, g[i].section_end,
                     g[i].name + ": the section ends at frame " + std::to_string(g[i].section_end) +
                         ", before its signal at " + std::to_string(g[i].signal_frame));
            if (i + 1 < g.size() && g[i + 1].section_start > g[i].section_end)
                warn("route.signal.gap", "[Signal]", i + 1, g[i].section_end,
                     "no signal ahead from frame " + std::to_string(g[i].section_end) + " to " +
                         std::to_string(g[i + 1].section_start));
        }
    }

    // The first picture sets the list's size; others are noted.
    void picture_list(std::string_view key, const std::vector<const PictureRef*>& pictures, std::size_t line_offset) {
        const PictureRef* first = nullptr;
        for (std::size_t i = 0; i < pictures.size(); ++i) {
            const PictureRef* p = pictures[i];
            if (p->path.empty()) continue;
            if (!first) {
                first = p;
            } else if (p->width != first->width || p->height != first->height) {
                warn("route.imagelist.size", key, i - line_offset, std::nullopt,
                     p->name + " is " + std::to_string(p->width) + " x " + std::to_string(p->height) + ", " +
                         first->name + " " + std::to_string(first->width) + " x " + std::to_string(first->height));
            }
        }
    }

    void pictures() {
        std::vector<const PictureRef*> list;
        // Index 0 of the sign list is the train's stop marker, not a line of this file.
        for (std::size_t i = 1; i < route_.sign_images.size(); ++i) list.push_back(&route_.sign_images[i]);
        picture_list("[SignImageList]", list, 0);
        list.clear();
        for (const auto& o : route_.other_images) list.push_back(&o.picture);
        picture_list("[OtherImageList]", list, 0);
        list.clear();
        for (const auto& p : route_.signal_images) list.push_back(&p);
        picture_list("[SignalImageList]", list, 0);
    }

    // Indices into the route's lists: a picture beyond the list shows nothing, and a sound
    // beyond the route's sounds plays whatever channel follows them.
    void indices() {
        const auto& r = route_;
        const auto pictures = r.other_images.size();
        auto picture = [&](std::string_view key, std::size_t i, int32_t index, int32_t frame) {
            if (index >= 0 && static_cast<std::size_t>(index) < pictures) return;
            warn("route.picture.index", key, i, frame,
                 "picture " + std::to_string(index) + " of [OtherImageList], which holds " + std::to_string(pictures));
        };
        for (std::size_t i = 0; i < r.signs.size(); ++i) picture("[Sign]", i, r.signs[i].picture, r.signs[i].start);
        for (std::size_t i = 0; i < r.speed_limits.size(); ++i)
            picture("[SpeedLimit]", i, r.speed_limits[i].picture, r.speed_limits[i].sign_frame);
        const auto sounds = r.sound_data.size();
        auto sound = [&](std::string_view key, std::size_t i, int32_t index, int32_t frame) {
            if (index >= 0 && static_cast<std::size_t>(index) < sounds) return;
            warn("route.sound.index", key, i, frame,
                 "sound " + std::to_string(index) + " of [SoundData], which holds " + std::to_string(sounds));
        };
        for (std::size_t i = 0; i < r.announcements.size(); ++i)
            sound("[Announce]", i, r.announcements[i].sound, r.announcements[i].frame);
        for (std::size_t i = 0; i < r.sounds.size(); ++i) sound("[Sound]", i, r.sounds[i].sound, r.sounds[i].start);
        for (std::size_t i = 0; i < r.dopplers.size(); ++i)
            sound("[Doppler]", i, r.dopplers[i].sound, r.dopplers[i].centre);
        for (std::size_t i = 0; i < r.stations.size(); ++i)
            if (r.stations[i].type != 1) sound("[Station]", i, r.stations[i].dep_sound, r.stations[i].platform_start);
    }

    // Records the program reads in file order: out of order they load, and go unmet.
    void order() {
        const auto& r = route_;
        const Station* previous = nullptr;
        for (std::size_t i = 0; i < r.stations.size(); ++i) {
            const Station& s = r.stations[i];
            if (s.type == 1 || s.dep_sound_time <= 0) continue;
            if (s.door_close_time < s.dep_sound_time)
                warn("route.station.times", "[Station]", i, std::nullopt,
                     s.name + ": the doors close at " + clock_text(s.door_close_time) + ", before the departure sound at " +
                         clock_text(s.dep_sound_time));
            if (previous && s.dep_sound_time < previous->dep_sound_time)
                warn("route.station.time_order", "[Station]", i, std::nullopt,
                     s.name + " departs at " + clock_text(s.dep_sound_time) + ", before " + previous->name + " at " +
                         clock_text(previous->dep_sound_time));
            previous = &s;
        }
        // A scheduled arrival (a station commentary time) after the station's departure.
        for (std::size_t i = 0; i < r.station_kanko.size(); ++i) {
            const CommentaryLink& k = r.station_kanko[i];
            if (k.kind != 0 || k.value <= 998 || k.index < 0 || static_cast<std::size_t>(k.index) >= r.stations.size())
                continue;
            const Station& s = r.stations[static_cast<std::size_t>(k.index)];
            if (s.type != 1 && s.dep_sound_time > 0 && k.value > s.dep_sound_time)
                warn("route.station.time_order", "[StationKanko]", i, std::nullopt,
                     s.name + " is due at " + clock_text(k.value) + ", after its departure sound at " +
                         clock_text(s.dep_sound_time));
        }
        for (std::size_t i = 1; i < r.slopes.size(); ++i)
            if (r.slopes[i].start < r.slopes[i - 1].start)
                warn("route.slope.order", "[Slope]", i, r.slopes[i].start,
                     "starts at frame " + std::to_string(r.slopes[i].start) + ", before the previous record's " +
                         std::to_string(r.slopes[i - 1].start));
        for (std::size_t i = 1; i < r.speed_limits.size(); ++i)
            if (r.speed_limits[i].sign_frame < r.speed_limits[i - 1].sign_frame)
                warn("route.speedlimit.order", "[SpeedLimit]", i, r.speed_limits[i].sign_frame,
                     "its sign stands at frame " + std::to_string(r.speed_limits[i].sign_frame) +
                         ", before the previous record's " + std::to_string(r.speed_limits[i - 1].sign_frame));
    }

    // Commentary tied to a station or signal the route does not have is never spoken.
    void commentary_links() {
        auto link = [&](std::string_view key, const std::vector<CommentaryLink>& links, std::size_t count,
                        const char* table) {
            for (std::size_t i = 0; i < links.size(); ++i) {
                if (links[i].index >= 0 && static_cast<std::size_t>(links[i].index) < count) continue;
                warn("route.kanko.index", key, i, std::nullopt,
                     "entry " + std::to_string(links[i].index) + " of " + table + ", which holds " +
                         std::to_string(count));
            }
        };
        link("[StationKanko]", route_.station_kanko, route_.stations.size(), "[Station]");
        link("[SignalKanko]", route_.signal_kanko, route_.signals.size(), "[Signal]");
    }

    void shown_texts() {
        auto text = [&](std::string_view key, std::size_t index, const std::string& s) {
            if (has_undecoded_bytes(s)) warn("text.not_cp932", key, index, std::nullopt, "shown text: " + s);
        };
        text("[LineName]", 0, route_.line_name);
        for (std::size_t i = 0; i < route_.stations.size(); ++i) text("[Station]", i, route_.stations[i].name);
        for (std::size_t i = 0; i < route_.signals.size(); ++i) text("[Signal]", i, route_.signals[i].name);
    }

private:
    ProblemSink& sink_;
    const std::string& file_;
    const RouteTables& route_;
};

}  // namespace

std::optional<double> metres_at(const RouteTables& route, int32_t frame) {
    const auto& u = route.speed_units;
    for (std::size_t i = 0; i < u.size(); ++i) {
        if (frame >= u[i].start && frame <= u[i].end)
            return static_cast<double>(segment_distance(route, i, frame)) / 100.0;
    }
    return std::nullopt;
}

void check_route(ProblemSink& sink, const std::string& file, const RouteTables& route,
                 std::optional<int32_t> film_frames) {
    RouteCheck c(sink, file, route);
    if (film_frames) c.film(*film_frames);
    c.speed_table();
    c.stations();
    c.signals();
    c.pictures();
    c.indices();
    c.order();
    c.commentary_links();
    c.shown_texts();
}

void check_pair(ProblemSink& sink, const std::string& route_file, const RouteTables& route,
                const std::string& train_file, const TrainParams& train) {
    const int d = static_cast<int>(train.drive_sounds.size());
    const int s = static_cast<int>(route.sound_data.size());
    if (d + s > kChannelCount) {
        sink.error("sound.channels.full", route_file, sink.line_of("[SoundData]", 0), std::string(kTooManyChannels),
                   "with " + train_file);
    } else if (d + s > kMotorChannel && !train.motor_sounds.empty()) {
        // The route sounds from this one on share their channels with the motor sounds.
        const auto first = static_cast<std::size_t>(kMotorChannel - d);
        sink.warning("sound.channels.collide", route_file, sink.line_of("[SoundData]", first),
                     std::to_string(d) + " running sounds of " + train_file + " and " + std::to_string(s) +
                         " route sounds reach the motor sounds' channels from 240");
    }
}

}  // namespace vantrel::check
