#pragma once
// A GPS log of a filming run: track points with times and named waypoints, read from GPX
// or from NMEA sentences ($GPRMC, $GPGGA). The files are untrusted: every number is
// checked, malformed points are skipped and counted, sizes are bounded.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::speedtable {

struct TrackPoint {
    double time = 0;  // seconds since 1970-01-01 UTC
    double lat = 0, lon = 0;  // degrees
};

struct Waypoint {
    std::string name;
    double lat = 0, lon = 0;
};

struct GpsLog {
    std::vector<TrackPoint> points;  // by time, no two at the same time
    std::vector<Waypoint> waypoints;  // in file order
    int32_t skipped = 0;              // points without a valid position or time
    int32_t repeated = 0;             // points at a time already taken, elsewhere (GPX)
};

struct LogResult {
    std::optional<GpsLog> log;
    std::string error;  // why the file gave no track
};

inline constexpr std::uintmax_t kMaxLogBytes = 512u << 20;  // larger logs are refused
inline constexpr std::size_t kMaxPoints = 400'000;  // 111 hours at one fix a second
inline constexpr std::size_t kMaxWaypoints = 50'000;  // far beyond any route's stations and signals

// Reads a GPX file, or NMEA sentences when the text starts with '$'.
[[nodiscard]] LogResult read_gps_log(const std::filesystem::path& file);
[[nodiscard]] LogResult parse_gps_log(std::string_view text);
[[nodiscard]] LogResult parse_gpx(std::string_view text);
[[nodiscard]] LogResult parse_nmea(std::string_view text);

// An ISO 8601 date and time as GPX writes it ("2024-05-01T10:00:00Z", fractions and
// "+09:00" offsets allowed) in seconds since 1970; nullopt when it is not one.
[[nodiscard]] std::optional<double> parse_iso_time(std::string_view text);

}  // namespace vantrel::speedtable
