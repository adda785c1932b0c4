#include "route/route_reader.hpp"

#include <cstddef>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>

#include "common/common_utilities.hpp"
#include "common/data_text.hpp"
#include "common/numbers.hpp"
#include "route/route_derive.hpp"
#include "route/route_values.hpp"

namespace vantrel {
namespace {

constexpr std::string_view kRouteError = "路線ファイルに誤りがあります。";

// Capacities of the list tables. The two picture lists without a documented size get
// room for every display code (SignalImageList 0..21) with a wide margin.
constexpr std::size_t kSoundData = 500, kAnnounce = 493, kKankoSound1 = 18, kKankoSound2 = 483,
                      kSound = 100, kDoppler = 500, kTunnel = 500, kStation = 100, kStopSound = 500,
                      kSignal = 500, kSlope = 500, kSign = 500, kSignalKanko = 500,
                      kStationKanko = 500, kSpeedLimit = 500, kSpeedCheck = 500,
                      kSignImageList = 100, kOtherImageList = 100, kSignalImageList = 100,
                      kSpeedUnit = 500, kTime = 100;

// Fills the given fields from consecutive comma fields, starting at field `first`.
bool int_fields(std::string_view line, int32_t first, std::initializer_list<int32_t*> out) {
    int32_t n = first;
    for (int32_t* field : out) {
        const auto v = parse_int32(comma_field(line, n++));
        if (!v) return false;
        *field = *v;
    }
    return true;
}

std::optional<Announcement> announcement(std::string_view line) {
    Announcement a;
    if (!int_fields(line, 1, {&a.sound, &a.frame}) || !route_sound_in_range(a.sound)) return std::nullopt;
    return a;
}

std::optional<SoundTrigger> sound_trigger(std::string_view line) {
    SoundTrigger t;
    if (!int_fields(line, 1, {&t.sound, &t.start, &t.end, &t.ref_speed, &t.mode}) || !route_sound_in_range(t.sound))
        return std::nullopt;
    return t;
}

std::optional<DopplerSource> doppler(std::string_view line) {
    DopplerSource d;
    if (!int_fields(line, 1, {&d.sound, &d.start, &d.centre, &d.end}) || !route_sound_in_range(d.sound))
        return std::nullopt;
    return d;
}

std::optional<Station> station(std::string_view line) {
    Station s;
    s.name = comma_field(line, 1);
    if (!int_fields(line, 2, {&s.type, &s.platform_start, &s.platform_end, &s.dep_sound, &s.dep_sound_time,
                              &s.door_close_time}) ||
        !route_sound_in_range(s.dep_sound) || !time_in_range(s.dep_sound_time))
        return std::nullopt;
    return s;
}

std::optional<Signal> signal(std::string_view line) {
    Signal s;
    if (!int_fields(line, 1, {&s.kind})) return std::nullopt;
    s.name = comma_field(line, 2);
    if (!int_fields(line, 3, {&s.commentary, &s.type, &s.section_start, &s.section_end, &s.warning,
                              &s.signal_frame, &s.fixed_aspect, &s.fixed_until}))
        return std::nullopt;
    return s;
}

std::optional<Slope> slope(std::string_view line) {
    Slope s;
    const auto gradient = parse_fixed4(comma_field(line, 1));
    if (!gradient || !int_fields(line, 2, {&s.start, &s.end})) return std::nullopt;
    s.gradient = *gradient;
    return s;
}

std::optional<Sign> sign(std::string_view line) {
    Sign s;
    if (!int_fields(line, 1, {&s.picture, &s.start, &s.end})) return std::nullopt;
    return s;
}

std::optional<CommentaryLink> commentary_link(std::string_view line) {
    CommentaryLink c;
    if (!int_fields(line, 1, {&c.index, &c.kind, &c.value})) return std::nullopt;
    return c;
}

std::optional<SpeedLimit> speed_limit(std::string_view line) {
    SpeedLimit s;
    if (!int_fields(line, 1, {&s.limit, &s.picture, &s.spare, &s.sign_frame, &s.zone_end}) ||
        !speed_limit_in_range(s.limit))
        return std::nullopt;
    return s;
}

std::optional<SpeedCheck> speed_check(std::string_view line) {
    SpeedCheck s;
    if (!int_fields(line, 1, {&s.speed, &s.frame})) return std::nullopt;
    return s;
}

std::optional<TimeCheck> time_check(std::string_view line) {
    TimeCheck t;
    if (!int_fields(line, 1, {&t.kind, &t.from, &t.to, &t.time})) return std::nullopt;
    return t;
}

// One pass over the file: the key tests of each line in their fixed order.
class RouteReader {
public:
    // With a sink every problem is collected and reading carries on; without one the
    // reader stops at the first error.
    RouteReader(std::string file, std::vector<std::string> lines, const PathResolver& resolver,
                PictureLoader& pictures, ProblemSink* sink)
        : file_(std::move(file)), cursor_(std::move(lines)), resolver_(resolver), pictures_(pictures), sink_(sink) {}

    bool read(RouteTables& t) {
        while (!cursor_.at_end()) {
            cursor_.next();
            key_taken_ = false;
            section_ = "other";
            if (!single_keys(t) || !list_keys(t)) return false;
            // No key took the line, so it is still the one the loop read.
            if (sink_ && !key_taken_)
                sink_->unknown_key("route.key.unknown", file_, cursor_.line_number(), cursor_.current());
        }
        // Without the key the preceding train steps every tick, as at 30 frames per second.
        if (!frame_rate_seen_) t.frame_rate = 30;
        std::string overflow;
        if (!derive_route(t, overflow)) {
            section_ = std::move(overflow);
            return fail("route.marks.full");
        }
        return true;
    }

    [[nodiscard]] DataError error() const {
        return {std::string(kRouteError) + section_ + ":" + cursor_.current(), file_, cursor_.line_number()};
    }

private:
    [[nodiscard]] bool key(std::string_view k) {
        const bool taken = starts_with_key(cursor_.current(), k);
        key_taken_ = key_taken_ || taken;
        return taken;
    }

    // Notes a failure under a stable code. Returns whether reading carries on: false for
    // the program (error() then reports it), true while collecting.
    bool fail(std::string_view code, std::string subject = {}) {
        if (!sink_) return false;
        const DataError e = error();
        sink_->error(std::string(code), e.file, e.line, e.message, std::move(subject));
        return true;
    }

    void note_line(std::string_view k, int line) {
        if (sink_) sink_->note_line(k, line);
    }

    // A list key: the error section becomes the key as its test is reached.
    bool list_key(std::string_view k) {
        section_ = k;
        return key(k);
    }

    bool int_value(int32_t& out) {
        const auto v = parse_int32(cursor_.next());
        if (!v) return false;
        out = *v;
        return true;
    }

    bool aspect_speed(int32_t& out) { return int_value(out) && aspect_speed_in_range(out); }

    // A picture that cannot be loaded fails its record; a collecting reader notes it and
    // keeps an empty picture in its place, so the list's indices stay as written.
    std::optional<PictureRef> picture(const std::string& name, PictureFormat format) {
        const auto path = resolver_.resolve(name);
        const auto size = path ? pictures_.open(*path, format) : std::nullopt;
        if (!size) {
            if (fail(path ? "route.picture.unreadable" : "route.picture.missing", name))
                return PictureRef{name, {}, 0, 0};
            return std::nullopt;
        }
        if (sink_) {
            const auto spelling = spelling_problem(resolver_, name);
            if (!spelling.empty()) sink_->warning(std::string(spelling), file_, cursor_.line_number(), name);
        }
        return PictureRef{name, *path, size->width, size->height};
    }

    bool staf_picture(std::string& name, PictureRef& out) {
        name = cursor_.next();
        auto p = picture(name, PictureFormat::Any);
        if (!p) return false;
        out = std::move(*p);
        return true;
    }

    bool single_keys(RouteTables& t) {
        if (key("[LineName]")) {
            t.line_name = cursor_.next();
            note_line("[LineName]", cursor_.line_number());
        }
        if (key("[StartPos]")) {
            if (!int_value(t.start_pos)) return fail("route.number");
            note_line("[StartPos]", cursor_.line_number());
        }
        if (key("[FrameRate]")) {
            // 30 div [FrameRate] is the preceding train's step: it must not become 0.
            if (!int_value(t.frame_rate) || t.frame_rate < 1 || t.frame_rate > 30) return fail("route.framerate");
            frame_rate_seen_ = true;
        }
        if (key("[Staf]") && (!staf_picture(t.staf_card, t.card) || !staf_picture(t.staf_still, t.still)))
            return false;
        if (key("[StartTime]") && !(int_value(t.start_time) && time_in_range(t.start_time)))
            return fail("route.number");
        if (key("[Speed_YY]") && !aspect_speed(t.speed_yy)) return fail("route.number");
        if (key("[Speed_Y]") && !aspect_speed(t.speed_y)) return fail("route.number");
        if (key("[Speed_YG]") && !aspect_speed(t.speed_yg)) return fail("route.number");
        if (key("[Speed_G]") && !aspect_speed(t.speed_g)) return fail("route.number");
        if (key("[DataName]")) {
            t.data_name = cursor_.next();
            note_line("[DataName]", cursor_.line_number());
        }
        if (key("[Pre_Time]") && !int_value(t.pre_time)) return fail("route.number");
        if (key("[OneMan]") && !int_value(t.one_man)) return fail("route.number");
        return true;
    }

    // Reads records up to the "#" line, which is consumed. `parse` turns the record
    // starting at the current line into a table entry (it may read further lines).
    template <class T, class Parse>
    bool records(std::vector<T>& table, std::size_t capacity, Parse parse, bool skip_semicolon = false) {
        bool full_noted = false;
        for (;;) {
            // A list left open at the end of the file would read empty records for ever.
            if (cursor_.at_end()) {
                cursor_.next();
                return fail("route.list.unterminated");
            }
            const std::string& line = cursor_.next();
            const int at = cursor_.line_number();
            if (!line.empty() && line[0] == '#') return true;
            if (skip_semicolon && !line.empty() && line[0] == ';') continue;
            // A full table still parses the record (which may read more lines) and drops it.
            const bool full = table.size() >= capacity;
            if (full && !full_noted) {
                if (!fail("route.list.full")) return false;
                full_noted = true;
            }
            record_code_ = "route.record";
            std::optional<T> record = parse(line);
            if (!record) {
                if (!fail(record_code_)) return false;
                continue;
            }
            if (full) continue;
            note_line(section_, at);
            table.push_back(std::move(*record));
        }
    }

    std::optional<Tunnel> tunnel(std::string_view first) {
        Tunnel t;
        const auto start = parse_int32(first);
        if (!start) return std::nullopt;
        const auto end = parse_int32(cursor_.next());
        if (!end) return std::nullopt;
        t.start = *start;
        t.end = *end;
        return t;
    }

    std::optional<OtherImage> other_image(const std::string& name) {
        auto p = picture(name, PictureFormat::Bitmap);
        if (!p) return std::nullopt;
        return OtherImage{std::move(*p), cursor_.next()};
    }

    // Frames must increase through a segment: its speed slope and length divide by them.
    std::optional<SpeedSegment> speed_segment(std::string_view line, const std::vector<SpeedSegment>& table) {
        SpeedSegment g;
        if (!int_fields(line, 1, {&g.start, &g.end, &g.speed_start, &g.speed_end})) return std::nullopt;
        if (g.end <= g.start) {
            record_code_ = "route.speedunit.empty";
            return std::nullopt;
        }
        const long double d0 = table.empty() ? 0 : table.back().end_distance;
        const long double end_distance = d0 + segment_length(g);
        if (end_distance > std::numeric_limits<int32_t>::max() ||
            end_distance < std::numeric_limits<int32_t>::min())
            return std::nullopt;
        g.end_distance = static_cast<int32_t>(end_distance);
        return g;
    }

    bool list_keys(RouteTables& t) {
        const auto text = [](const std::string& line) { return std::optional<std::string>(line); };
        const auto bitmap = [this](const std::string& name) { return picture(name, PictureFormat::Bitmap); };

        if (list_key("[SoundData]") && !records(t.sound_data, kSoundData, text)) return false;
        if (list_key("[Announce]") && !records(t.announcements, kAnnounce, announcement)) return false;
        if (list_key("[KankoSound1]")) {
            // Exactly 18 lines, whatever they begin with; there is no "#" line.
            t.kanko_sound1.clear();
            for (std::size_t i = 0; i < kKankoSound1; ++i) {
                t.kanko_sound1.push_back(cursor_.next());
                note_line(section_, cursor_.line_number());
            }
        }
        if (list_key("[KankoSound2]") && !records(t.kanko_sound2, kKankoSound2, text)) return false;
        if (list_key("[Sound]") && !records(t.sounds, kSound, sound_trigger, true)) return false;
        if (list_key("[Doppler]") && !records(t.dopplers, kDoppler, doppler)) return false;
        if (list_key("[Tunnel]") &&
            !records(t.tunnels, kTunnel, [this](const std::string& line) { return tunnel(line); }))
            return false;
        if (list_key("[Station]") && !records(t.stations, kStation, station)) return false;
        if (list_key("[StopSound]") &&
            !records(t.stop_sounds, kStopSound, [](const std::string& line) { return parse_int32(line); }))
            return false;
        if (list_key("[Signal]") && !records(t.signals, kSignal, signal)) return false;
        if (list_key("[Slope]") && !records(t.slopes, kSlope, slope)) return false;
        if (list_key("[Sign]") && !records(t.signs, kSign, sign)) return false;
        if (list_key("[SignalKanko]") && !records(t.signal_kanko, kSignalKanko, commentary_link)) return false;
        if (list_key("[StationKanko]") && !records(t.station_kanko, kStationKanko, commentary_link))
            return false;
        if (list_key("[SpeedLimit]") && !records(t.speed_limits, kSpeedLimit, speed_limit)) return false;
        if (list_key("[SpeedCheck]") && !records(t.speed_checks, kSpeedCheck, speed_check)) return false;
        // Index 0 of SignImageList is the train's stop marker, so the table holds one more.
        if (list_key("[SignImageList]") && !records(t.sign_images, kSignImageList + 1, bitmap)) return false;
        if (list_key("[OtherImageList]") &&
            !records(t.other_images, kOtherImageList, [this](const std::string& name) { return other_image(name); }))
            return false;
        if (list_key("[SignalImageList]") && !records(t.signal_images, kSignalImageList, bitmap)) return false;
        if (list_key("[SpeedUnit]") &&
            !records(t.speed_units, kSpeedUnit,
                     [this, &t](const std::string& line) { return speed_segment(line, t.speed_units); }))
            return false;
        if (list_key("[Time]") && !records(t.time_checks, kTime, time_check)) return false;
        return true;
    }

    std::string file_;
    LineCursor cursor_;
    const PathResolver& resolver_;
    PictureLoader& pictures_;
    ProblemSink* sink_;
    std::string section_ = "other";
    std::string_view record_code_ = "route.record";
    bool frame_rate_seen_ = false;
    bool key_taken_ = false;  // a key test took the line the loop read
};

}  // namespace

Result<RouteTables> read_route_file(const std::string& file, const PathResolver& resolver, PictureLoader& pictures,
                                    const PictureRef& stop_line, ProblemSink* problems) {
    auto lines = read_cp932_lines(resolver.resolve_or_literal(file));
    if (!lines) {
        DataError error{std::string(kRouteError) + "other:", file, 0};
        if (problems) problems->error("route.file.unreadable", file, 0, error.message);
        return error;
    }
    RouteTables tables;
    tables.sign_images.push_back(stop_line);
    RouteReader reader(file, std::move(*lines), resolver, pictures, problems);
    if (!reader.read(tables)) return reader.error();
    return tables;
}

}  // namespace vantrel
