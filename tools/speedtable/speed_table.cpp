#include "speedtable/speed_table.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "dynamics/video_position.hpp"
#include "route/route_derive.hpp"

namespace vantrel::speedtable {
namespace {

constexpr double kMetresPerFrame = 1 / 108.0;  // per km/h at 30 frames a second: v / 3.6 / 30
constexpr double kMaxStep = 60;                // km/h: beyond this a table says nothing
constexpr double kRelTolerance = 0.003;       // of the distance: what a record may be off
constexpr double kCrawl = 3;                   // km/h: no train films at this pace
constexpr double kStirMetres = 3;              // GPS noise can move a standing train this far
constexpr double kFastest = 100000;            // km/h: keeps a wild distance's speeds in whole numbers

struct Piece {
    int32_t from = 0, to = 0;
    bool standing = false;
};

// Fits records one after another over a stretch of moving frames: each record as long as
// one whole end speed keeps both the speed within the step of the film's and the distance
// within the tolerance of the film's at every frame of it.
class Fitter {
public:
    Fitter(const std::vector<double>& speed, const std::vector<double>& target_cm, double step, double rel)
        : v_(speed), target_(target_cm), step_(step), rel_(rel) {}

    // The end speed that fits a record s..e from start speed vs and distance d0, if any;
    // `only` forces one speed (a train coming to a stand).
    [[nodiscard]] std::optional<int32_t> fit(int32_t s, int32_t e, int32_t vs, long double d0,
                                             std::optional<int32_t> only) const {
        const auto near = std::max(1L, std::lround(v_[static_cast<size_t>(e)]));
        std::optional<int32_t> best;
        long double best_err = INFINITY;
        for (long c = only ? *only : near - 3; c <= (only ? *only : near + 3); ++c) {
            if (c < 1) continue;
            const long double err = worst(s, e, vs, static_cast<int32_t>(c), d0);
            if (err <= 1 && err < best_err) {
                best_err = err;
                best = static_cast<int32_t>(c);
            }
        }
        return best;
    }

private:
    // The worst frame's error as a share of what is allowed there (1: just allowed).
    [[nodiscard]] long double worst(int32_t s, int32_t e, int32_t vs, int32_t ve, long double d0) const {
        // A record may stay as far off as the table already is where it starts.
        const long double inherited = std::fabs(d0 - target_[static_cast<size_t>(s)]);
        long double w = 0;
        for (int32_t x = s + 1; x <= e; ++x) {
            const long double vx = vs + static_cast<long double>(ve - vs) * (x - s) / (e - s);
            const long double d = d0 + (vs + vx) / 7.2L * ((x - s) / 30.0L) * 100.0L;
            const auto i = static_cast<size_t>(x);
            const long double allowed_cm = std::max({kFloorCm, rel_ * static_cast<long double>(target_[i]), inherited});
            // The end speed is the next record's start: it keeps to half the step.
            const long double speed_allowed = x == e ? step_ / 2 : step_;
            w = std::max(w, std::max(std::fabs(d - target_[i]) / allowed_cm, std::fabs(vx - v_[i]) / speed_allowed));
        }
        return w;
    }

    static constexpr long double kFloorCm = 30;  // below 100 m the allowance is at least this
    const std::vector<double>& v_;
    const std::vector<double>& target_;
    double step_, rel_;
};

long double segment_cm(int32_t vs, int32_t ve, int32_t frames) {
    SpeedSegment g;
    g.start = 0;
    g.end = frames;
    g.speed_start = vs;
    g.speed_end = ve;
    return segment_length(g);
}

}  // namespace

std::vector<double> frame_speeds(const std::vector<double>& distance_m) {
    const auto frames = static_cast<int32_t>(distance_m.size());
    std::vector<double> v(distance_m.size());
    for (int32_t f = 0; f < frames; ++f) {
        const int32_t a = std::max(0, f - 1), b = std::min(frames - 1, f + 1);
        if (b > a) v[static_cast<size_t>(f)] = (distance_m[static_cast<size_t>(b)] - distance_m[static_cast<size_t>(a)]) / (b - a) / kMetresPerFrame;
    }
    return v;
}

std::vector<double> drivable_distance(const std::vector<double>& distance_m) {
    // A standing train is 1 km/h, the least a table can say.
    const std::vector<double> v = frame_speeds(distance_m);
    std::vector<double> d(v.size());
    for (size_t i = 1; i < v.size(); ++i) d[i] = d[i - 1] + (std::max(1.0, v[i - 1]) + std::max(1.0, v[i])) / 2 * kMetresPerFrame;
    return d;
}

SpeedTable build_speed_table(const std::vector<double>& distance_m, const TableOptions& o) {
    SpeedTable table;
    const auto frames = static_cast<int32_t>(distance_m.size());
    if (frames < 2) return table;
    const std::vector<double> v = frame_speeds(distance_m);
    // Standing: from the first to the last frame below 1 km/h of a stretch below 3 km/h
    // (what GPS noise leaves of a standing train), and a stir between two stands shorter
    // than a fix's noise.
    std::vector<bool> slow(static_cast<size_t>(frames));
    for (int32_t f = 0; f < frames; ++f) {
        if (v[static_cast<size_t>(f)] >= kCrawl) continue;
        int32_t g = f;
        while (g + 1 < frames && v[static_cast<size_t>(g + 1)] < kCrawl) ++g;
        int32_t first = f, last = g;
        while (first <= g && v[static_cast<size_t>(first)] >= 1) ++first;
        while (last >= first && v[static_cast<size_t>(last)] >= 1) --last;
        for (int32_t k = first; k <= last; ++k) slow[static_cast<size_t>(k)] = true;
        f = g;
    }
    for (int32_t f = 1; f < frames; ++f) {
        if (slow[static_cast<size_t>(f)] || !slow[static_cast<size_t>(f - 1)]) continue;
        int32_t g = f;
        while (g + 1 < frames && !slow[static_cast<size_t>(g + 1)]) ++g;
        if (g + 1 < frames && distance_m[static_cast<size_t>(g + 1)] - distance_m[static_cast<size_t>(f - 1)] < kStirMetres)
            for (int32_t k = f; k <= g; ++k) slow[static_cast<size_t>(k)] = true;
        f = g;
    }
    std::vector<Piece> pieces;
    for (int32_t f = 0; f < frames;) {
        int32_t g = f;
        const bool run_slow = slow[static_cast<size_t>(f)];
        while (g + 1 < frames && slow[static_cast<size_t>(g + 1)] == run_slow) ++g;
        const bool standing = run_slow && g - f + 1 >= o.min_standing;
        if (!pieces.empty() && !pieces.back().standing && !standing) {
            pieces.back().to = g;
        } else {
            pieces.push_back({f, g, standing});
        }
        f = g + 1;
    }
    // Pieces meet: each starts on the frame where the one before it ends.
    for (size_t i = 1; i < pieces.size(); ++i) pieces[i].from = pieces[i - 1].to;
    if (pieces.size() > 1 && pieces.front().to == pieces.front().from) pieces.erase(pieces.begin());
    std::vector<double> target = drivable_distance(distance_m);  // cm the table should reach
    for (double& d : target) d *= 100;
    std::vector<double> clamped(v);
    for (double& x : clamped) x = std::clamp(x, 1.0, kFastest);
    for (double step = std::max(0.5, o.step_kmh), rel = kRelTolerance; step <= kMaxStep; step *= 1.25, rel *= 1.25) {
        table = {};
        table.step_kmh = step;
        const Fitter fit(clamped, target, step, rel);
        int32_t speed = std::max(1, static_cast<int32_t>(std::lround(clamped[0])));
        long double reached = 0;  // cm at the end of the last record
        for (size_t i = 0; i < pieces.size(); ++i) {
            const Piece& p = pieces[i];
            if (p.standing) {
                table.standing.push_back({p.from, p.to});
                if (p.to > p.from) {
                    table.records.push_back({p.from, p.to, 1, 1, 0});
                    reached += segment_cm(1, 1, p.to - p.from);
                }
                speed = 1;
                continue;
            }
            const bool next_stands = i + 1 < pieces.size() && pieces[i + 1].standing;
            for (int32_t s0 = p.from; s0 < p.to;) {
                // Gallop, then halve: the longest record that fits from s0.
                auto only = [&](int32_t e) { return next_stands && e == p.to ? std::optional<int32_t>(1) : std::nullopt; };
                int32_t good = s0 + 1, bad = -1;
                std::optional<int32_t> good_speed = fit.fit(s0, good, speed, reached, only(good));
                for (int32_t len = 2; good < p.to; len *= 2) {
                    const int32_t e = std::min(p.to, s0 + len);
                    const auto c = fit.fit(s0, e, speed, reached, only(e));
                    if (!c) {
                        bad = e;
                        break;
                    }
                    good = e;
                    good_speed = c;
                }
                while (bad > good + 1) {
                    const int32_t mid = good + (bad - good) / 2;
                    if (const auto c = fit.fit(s0, mid, speed, reached, only(mid))) {
                        good = mid;
                        good_speed = c;
                    } else {
                        bad = mid;
                    }
                }
                // A single frame that fits no speed takes the nearest one.
                const int32_t end_speed = good_speed.value_or(
                    only(good).value_or(std::max(1, static_cast<int32_t>(std::lround(clamped[static_cast<size_t>(good)])))));
                table.records.push_back({s0, good, speed, end_speed, 0});
                reached += segment_cm(speed, end_speed, good - s0);
                speed = end_speed;
                s0 = good;
            }
        }
        if (table.records.size() <= o.capacity) break;
    }
    if (table.records.size() > o.capacity) return {};
    long double d = 0;
    for (SpeedSegment& g : table.records) {
        d += segment_length(g);
        if (d > std::numeric_limits<int32_t>::max()) return {};  // beyond the route's distance scale
        g.end_distance = static_cast<int32_t>(d);
    }
    return table;
}

long double table_distance_cm(const SpeedTable& table, long double frame) {
    RouteTables route;
    route.speed_units = table.records;
    return frame_distance(route, frame);
}

std::string speed_unit_text(const SpeedTable& table) {
    std::string t = "[SpeedUnit]\n";
    for (const SpeedSegment& g : table.records)
        t += std::to_string(g.start) + "," + std::to_string(g.end) + "," + std::to_string(g.speed_start) + "," +
             std::to_string(g.speed_end) + "\n";
    return t + "#\n";
}

}  // namespace vantrel::speedtable
