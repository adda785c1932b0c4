#include "speedtable/gps_track.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>

#include "speedtable/xml_scanner.hpp"

namespace vantrel::speedtable {
namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
int64_t days_from_civil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::optional<int> digits(std::string_view s, size_t at, size_t n) {
    if (at + n > s.size()) return std::nullopt;
    int v = 0;
    for (size_t i = at; i < at + n; ++i) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
        v = v * 10 + (s[i] - '0');
    }
    return v;
}

std::optional<double> number(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    if (s.empty() || s.size() > 40) return std::nullopt;
    if (s.front() == '+') s.remove_prefix(1);
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::string too_many() { return "the log holds more than " + std::to_string(kMaxPoints) + " points"; }

// False for NaN too.
bool valid_position(double lat, double lon) { return std::fabs(lat) <= 90 && std::fabs(lon) <= 180; }

// Sorts by time and keeps the first of points at the same time. NMEA tells one fix in
// several sentences (RMC and GGA of the same second), so there a repeat is the same fix;
// in GPX one elsewhere is counted.
LogResult finish(GpsLog log, bool same_fix, const char* too_few) {
    std::stable_sort(log.points.begin(), log.points.end(),
                     [](const TrackPoint& a, const TrackPoint& b) { return a.time < b.time; });
    size_t kept = 0;
    for (size_t i = 0; i < log.points.size(); ++i) {
        const TrackPoint& p = log.points[i];
        if (kept > 0 && log.points[kept - 1].time == p.time) {
            const TrackPoint& first = log.points[kept - 1];
            if (!same_fix && (std::fabs(first.lat - p.lat) > 1e-6 || std::fabs(first.lon - p.lon) > 1e-6)) ++log.repeated;
            continue;
        }
        log.points[kept++] = p;
    }
    log.points.resize(kept);
    // Counted after the repeats are gone: the smoother needs two moments.
    if (log.points.size() < 2) return {std::nullopt, too_few};
    return {std::move(log), {}};
}

}  // namespace

std::optional<double> parse_iso_time(std::string_view s) {
    // YYYY-MM-DDThh:mm:ss[.fff][Z|±hh:mm]
    const auto y = digits(s, 0, 4), mo = digits(s, 5, 2), d = digits(s, 8, 2);
    const auto h = digits(s, 11, 2), mi = digits(s, 14, 2), sec = digits(s, 17, 2);
    if (!y || !mo || !d || !h || !mi || !sec || s.size() < 19 || s[4] != '-' || s[7] != '-' ||
        (s[10] != 'T' && s[10] != ' ') || s[13] != ':' || s[16] != ':')
        return std::nullopt;
    if (*mo < 1 || *mo > 12 || *d < 1 || *d > 31 || *h > 23 || *mi > 59 || *sec > 60) return std::nullopt;
    double t = static_cast<double>(days_from_civil(*y, *mo, *d)) * 86400.0 + *h * 3600.0 + *mi * 60.0 + *sec;
    size_t i = 19;
    if (i < s.size() && (s[i] == '.' || s[i] == ',')) {
        double scale = 0.1;
        for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, scale /= 10) t += (s[i] - '0') * scale;
    }
    if (i == s.size()) return t;  // no zone: taken as UTC, as GPS time is
    if (s[i] == 'Z' && i + 1 == s.size()) return t;
    if ((s[i] == '+' || s[i] == '-') && s.size() == i + 6 && s[i + 3] == ':') {
        const auto oh = digits(s, i + 1, 2), om = digits(s, i + 4, 2);
        if (!oh || !om || *oh > 23 || *om > 59) return std::nullopt;
        const double offset = *oh * 3600.0 + *om * 60.0;
        return s[i] == '+' ? t - offset : t + offset;
    }
    return std::nullopt;
}

LogResult parse_gpx(std::string_view text) {
    GpsLog log;
    XmlScanner xml(text);
    enum class In { None, TrackPoint, Waypoint } in = In::None;
    enum class Reading { Nothing, Time, Name } reading = Reading::Nothing;
    double lat = NAN, lon = NAN, time = NAN;  // NaN: not given or not a number
    std::string name, chars;
    auto trimmed = [](const std::string& s) {
        const size_t a = s.find_first_not_of(" \t\r\n"), b = s.find_last_not_of(" \t\r\n");
        return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
    };
    for (XmlScanner::Token token; (token = xml.next()) != XmlScanner::Token::Done;) {
        if (token == XmlScanner::Token::Error)
            return {std::nullopt, "not a GPX file (line " + std::to_string(xml.line()) + "): " + xml.error()};
        const std::string_view tag = xml.name();
        if (token == XmlScanner::Token::Text) {
            if (reading != Reading::Nothing && chars.size() < 4096) chars += xml.text();
        } else if (token == XmlScanner::Token::Start) {
            reading = Reading::Nothing;
            if (tag == "trkpt" || tag == "wpt") {
                in = tag == "trkpt" ? In::TrackPoint : In::Waypoint;
                lat = number(xml.attribute("lat").value_or("")).value_or(NAN);
                lon = number(xml.attribute("lon").value_or("")).value_or(NAN);
                time = NAN;
                name.clear();
            } else if (in != In::None && (tag == "time" || (in == In::Waypoint && tag == "name"))) {
                reading = tag == "time" ? Reading::Time : Reading::Name;
                chars.clear();
            }
        } else if (reading != Reading::Nothing) {  // the end of the time or name
            if (reading == Reading::Time) {
                time = parse_iso_time(trimmed(chars)).value_or(NAN);
            } else {
                name = trimmed(chars);
            }
            reading = Reading::Nothing;
        } else if (tag == "trkpt" || tag == "wpt") {
            const bool position = valid_position(lat, lon);
            if (in == In::TrackPoint) {
                if (log.points.size() >= kMaxPoints) return {std::nullopt, too_many()};
                if (position && std::isfinite(time)) {
                    log.points.push_back({time, lat, lon});
                } else {
                    ++log.skipped;
                }
            } else if (in == In::Waypoint && position && !name.empty()) {
                if (log.waypoints.size() >= kMaxWaypoints)
                    return {std::nullopt, "the log holds more than " + std::to_string(kMaxWaypoints) + " waypoints"};
                log.waypoints.push_back({name, lat, lon});
            }
            in = In::None;
        }
    }
    return finish(std::move(log), false, "the GPX file holds fewer than two track points at different times");
}

namespace {

// ddmm.mmmm (or dddmm.mmmm) with its hemisphere letter, in degrees.
std::optional<double> nmea_angle(std::string_view v, std::string_view hemisphere, bool latitude) {
    const auto x = number(v);
    if (!x || *x < 0) return std::nullopt;
    const double deg = std::floor(*x / 100), minutes = *x - deg * 100;
    if (minutes >= 60) return std::nullopt;
    double a = deg + minutes / 60;
    if (hemisphere == (latitude ? "S" : "W")) {
        a = -a;
    } else if (hemisphere != (latitude ? "N" : "E")) {
        return std::nullopt;
    }
    return a;
}

std::optional<double> nmea_time_of_day(std::string_view v) {
    if (v.size() < 6) return std::nullopt;
    const auto h = digits(v, 0, 2), m = digits(v, 2, 2);
    const double s = number(v.substr(4)).value_or(-1);
    if (!h || !m || *h > 23 || *m > 59 || s < 0 || s >= 61) return std::nullopt;
    return *h * 3600.0 + *m * 60.0 + s;
}

// The sentence's fields when its checksum (if any) is right.
std::optional<std::vector<std::string_view>> nmea_fields(std::string_view line) {
    if (line.empty() || line.front() != '$' || line.size() > 120) return std::nullopt;
    line.remove_prefix(1);
    if (const size_t star = line.find('*'); star != std::string_view::npos) {
        const auto sum = line.substr(star + 1);
        unsigned want = 0;
        const auto [end, ec] = std::from_chars(sum.data(), sum.data() + std::min<size_t>(sum.size(), 2), want, 16);
        if (ec != std::errc() || end != sum.data() + 2) return std::nullopt;
        unsigned got = 0;
        for (char c : line.substr(0, star)) got ^= static_cast<unsigned char>(c);
        if (got != want) return std::nullopt;
        line = line.substr(0, star);
    }
    std::vector<std::string_view> f;
    for (size_t at = 0;;) {
        const size_t comma = line.find(',', at);
        f.push_back(line.substr(at, comma == std::string_view::npos ? std::string_view::npos : comma - at));
        if (comma == std::string_view::npos) break;
        at = comma + 1;
    }
    return f;
}

}  // namespace

LogResult parse_nmea(std::string_view text) {
    GpsLog log;
    std::optional<int64_t> day;  // days since 1970 of the last RMC's date
    double day_tod = 0;          // and its time of day
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
        if (line.empty()) continue;
        const auto f = nmea_fields(line);
        if (!f || (*f)[0].size() != 5) {
            ++log.skipped;
            continue;
        }
        const std::string_view type = (*f)[0].substr(2);  // GP, GN, GL ... talkers alike
        std::optional<double> tod, lat, lon;
        if (type == "RMC" && f->size() >= 10) {
            const auto dd = digits((*f)[9], 0, 2), mm = digits((*f)[9], 2, 2), yy = digits((*f)[9], 4, 2);
            if ((*f)[2] != "A" || !dd || !mm || !yy || *mm < 1 || *mm > 12 || *dd < 1 || *dd > 31) {
                ++log.skipped;
                continue;
            }
            day = days_from_civil(2000 + *yy, *mm, *dd);
            tod = nmea_time_of_day((*f)[1]);
            day_tod = tod.value_or(0);
            lat = nmea_angle((*f)[3], (*f)[4], true);
            lon = nmea_angle((*f)[5], (*f)[6], false);
        } else if (type == "GGA" && f->size() >= 7) {
            if ((*f)[6] == "0" || (*f)[6].empty()) {
                ++log.skipped;  // no fix
                continue;
            }
            tod = nmea_time_of_day((*f)[1]);
            lat = nmea_angle((*f)[2], (*f)[3], true);
            lon = nmea_angle((*f)[4], (*f)[5], false);
        } else {
            continue;  // other sentences carry nothing we use
        }
        if (log.points.size() >= kMaxPoints) return {std::nullopt, too_many()};
        if (!day || !tod || !lat || !lon || !valid_position(*lat, *lon)) {
            ++log.skipped;
            continue;
        }
        // A GGA past midnight before the next RMC belongs to the next day.
        const int64_t on = *day + (*tod + 43200 < day_tod ? 1 : 0);
        log.points.push_back({static_cast<double>(on) * 86400.0 + *tod, *lat, *lon});
    }
    return finish(std::move(log), true, "the NMEA log holds fewer than two positions at different dates and times");
}

LogResult read_gps_log(const std::filesystem::path& file) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) return {std::nullopt, "cannot read " + file.string()};
    if (size > kMaxLogBytes) return {std::nullopt, file.string() + " is larger than the 512 MB a log may have"};
    std::ifstream in(file, std::ios::binary);
    std::string text(static_cast<size_t>(size), '\0');
    if (!in.read(text.data(), static_cast<std::streamsize>(size))) return {std::nullopt, "cannot read " + file.string()};
    return parse_gps_log(text);
}

LogResult parse_gps_log(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    if (first != std::string::npos && text[first] == '$') return parse_nmea(text);
    return parse_gpx(text);
}

}  // namespace vantrel::speedtable
