#include "demo_data/pack_scene.hpp"

#include <algorithm>
#include <cmath>

namespace vantrel::demo {
namespace {

// Deterministic pseudo-random numbers for the lineside objects.
class Lcg {
public:
    explicit Lcg(uint32_t seed) : state_(seed) {}
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 24);
    }
    double range(double lo, double hi) { return lo + (hi - lo) * next(); }

private:
    uint32_t state_;
};

bool inside(const std::vector<Span>& spans, double m, double margin) {
    return std::any_of(spans.begin(), spans.end(),
                       [&](const Span& s) { return m > s.from_m - margin && m < s.to_m + margin; });
}

bool near_station(const LineScene& line, double m, double before, double after) {
    return std::any_of(line.stations.begin(), line.stations.end(),
                       [&](const PackStation& s) { return m > s.stop_m - before && m < s.stop_m + after; });
}

// Home and starting signal_posts at every station, block signal_posts between them.
void place_signals(LineScene& line, int block_type) {
    const auto& st = line.stations;
    int block = 1;
    for (size_t i = 0; i < st.size(); ++i) {
        if (i > 0) {
            const double from = st[i - 1].stop_m + 40, to = st[i].stop_m - 260;
            const int n = static_cast<int>((to - from) / 700);
            for (int k = 1; k <= n; ++k) {
                static constexpr const char* kNumbers[] = {"いち", "に", "さん", "よん", "ご", "ろく", "なな", "はち", "きゅう"};
                const std::string kana = std::string("だい") + kNumbers[(block - 1) % 9] + " へいそく";
                PackSignal s{from + (to - from) * k / (n + 1), SignalRole::Block, block_type,
                             "第" + std::to_string(block++) + "閉そく", kana};
                line.signal_posts.push_back(s);
            }
            line.signal_posts.push_back({st[i].stop_m - 230, SignalRole::Home, 5, st[i].name + " 場内", st[i].kana + " じょうない"});
        }
        if (i + 1 < st.size()) line.signal_posts.push_back({st[i].stop_m + 30, SignalRole::Starting, 3, st[i].name + " 出発", st[i].kana + " しゅっぱつ"});
    }
    std::sort(line.signal_posts.begin(), line.signal_posts.end(),
              [](const PackSignal& a, const PackSignal& b) { return a.at_m < b.at_m; });
}

void place_objects(LineScene& line, uint32_t seed) {
    Lcg r(seed);
    const double half_width = line.double_track ? 5.5 : 3.5;
    for (double m = 10; m < line.length_m + 300; m += r.range(14, 34)) {
        const bool field = inside(line.fields, m, 0);
        if (inside(line.tunnels, m, 30) || inside(line.bridges, m, 20)) continue;
        for (int side : {-1, 1}) {
            const double u = r.next();
            const bool station = near_station(line, m, 140, 60);
            if (!field && u < 0.55) {
                const double off = half_width + (station ? 9 : line.double_track ? 3 : 6) + r.range(0, 10);
                const double h = line.double_track ? r.range(5, station ? 22 : 12) : r.range(4, station ? 10 : 7);
                static constexpr uint32_t kColours[] = {0xd8d2c4, 0xb9b0a0, 0xe4e0d8, 0x9a8f80, 0xc8bca6,
                                                        0xa7adb3, 0xcfc2b0, 0x8e8a84};
                line.buildings.push_back({m, r.range(8, 20), side * off, h, r.range(6, 12),
                                          kColours[static_cast<int>(r.next() * 8) % 8]});
            } else if (u < (field ? 0.35 : 0.8)) {
                const double off = half_width + r.range(2, field ? 40 : 12);
                line.trees.push_back({m + r.range(-5, 5), side * off, r.range(4, 11), r.next() < 0.4 ? 1 : 0});
            }
        }
    }
    // Forest edges along the fields: rows of trees far out.
    for (const Span& f : line.fields)
        for (double m = f.from_m; m < f.to_m; m += r.range(6, 14))
            line.trees.push_back({m, (r.next() < 0.5 ? -1 : 1) * r.range(45, 90), r.range(8, 16), r.next() < 0.6 ? 1 : 0});
}

}  // namespace

LineScene suburban_line(bool small) {
    LineScene l;
    l.name = "桜川線";
    l.data_name = small ? "sakuragawa_s" : "sakuragawa";
    l.double_track = true;
    l.electrified = true;
    l.cruise_kmh = 90;
    if (small) {
        l.stations = {{"桜川", "さくらがわ", 60}, {"中町", "なかまち", 560}, {"港南", "こうなん", 1020}};
        l.length_m = 1090;
        l.curves = {{250, 420, 1.0 / 500, 70}};
        l.grades = {{200, 420, 6}, {640, 900, -5}};
        l.bridges = {{330, 390}};
        l.tunnels = {{700, 830}};
        l.crossings = {230};
        l.oncoming = {{450, 70, 4}};
    } else {
        l.stations = {{"桜川", "さくらがわ", 80},
                      {"中町", "なかまち", 1380},
                      {"緑ヶ丘", "みどりがおか", 2720},
                      {"東台", "ひがしだい", 4050},
                      {"港南", "こうなん", 5440}};
        l.length_m = 5520;
        l.curves = {{520, 900, 1.0 / 600, 75}, {1700, 1850, -1.0 / 900, 0}, {3000, 3350, 1.0 / 800, 0},
                    {4560, 4980, -1.0 / 450, 65}};
        l.grades = {{300, 1000, 5}, {1550, 1950, -3}, {2900, 3450, 8}, {3450, 3900, -6}, {4600, 5200, 2.5}};
        l.bridges = {{1960, 2110}};
        l.tunnels = {{3120, 3460}};
        l.crossings = {1080, 4420};
        l.oncoming = {{700, 80, 6}, {2350, 75, 8}, {3700, 70, 4}, {4800, 65, 6}};
    }
    l.fields = {};
    place_signals(l, 3);
    // One fixed signal: the first block signal stands permanently clear (a disused block).
    for (PackSignal& s : l.signal_posts)
        if (s.role == SignalRole::Block) {
            s.role = SignalRole::Fixed;
            s.name += "(固定)";
            s.kana = "こてい しんごう";
            break;
        }
    place_objects(l, small ? 11u : 7u);
    return l;
}

LineScene rural_line(bool small) {
    LineScene l;
    l.name = "山辺線";
    l.data_name = small ? "yamabe_s" : "yamabe";
    l.double_track = false;
    l.electrified = false;
    l.cruise_kmh = 80;
    if (small) {
        l.stations = {{"北野", "きたの", 60}, {"川俣", "かわまた", 520, true}, {"山の辺", "やまのべ", 980}};
        l.length_m = 1050;
        l.curves = {{200, 380, -1.0 / 350, 60}, {680, 820, 1.0 / 400, 0}};
        l.grades = {{150, 400, 10}, {620, 900, -8}};
        l.bridges = {{300, 350}};
        l.tunnels = {{720, 800}};
        l.crossings = {180};
        l.fields = {{100, 450}, {600, 900}};
    } else {
        l.stations = {{"北野", "きたの", 80},
                      {"川俣", "かわまた", 1560, true},
                      {"大沢", "おおさわ", 3020},
                      {"山の辺", "やまのべ", 4420}};
        l.length_m = 4500;
        l.curves = {{850, 1250, -1.0 / 400, 60}, {2200, 2300, 1.0 / 1200, 0}, {2420, 2820, 1.0 / 320, 55},
                    {3500, 3800, -1.0 / 600, 0}};
        l.grades = {{300, 900, 10}, {900, 1300, -6}, {2000, 2900, 12}, {3300, 3700, -10}, {3700, 4200, 4}};
        l.bridges = {{2080, 2180}};
        l.tunnels = {{3560, 3780}};
        l.crossings = {700, 3300};
        l.fields = {{200, 1350}, {1750, 2900}, {3200, 4200}};
    }
    place_signals(l, 2);
    place_objects(l, small ? 13u : 5u);
    return l;
}

int limit_at(const LineScene& line, double m) {
    int v = line.cruise_kmh;
    for (const CurveSpan& c : line.curves)
        if (c.limit > 0 && m >= c.from_m - 20 && m <= c.to_m) v = std::min(v, c.limit);
    return v;
}

int32_t Film::frame_at(double m) const {
    const auto it = std::lower_bound(position_m.begin(), position_m.end(), m);
    if (it == position_m.end()) return frames() - 1;
    return static_cast<int32_t>(it - position_m.begin());
}

double Film::speed_at(int32_t frame) const {
    for (const SpeedSegment& s : segments)
        if (frame >= s.start && frame <= s.end)
            return s.v_start + static_cast<double>(s.v_end - s.v_start) * (frame - s.start) / (s.end - s.start);
    return segments.empty() ? 0 : segments.back().v_end;
}

Film film_line(const LineScene& line) {
    // The wanted speed at a position: cruise, curve limits ahead, and a braking curve
    // into every station (the film passes each stop point slowly, never standing).
    constexpr double kMin = 14;     // km/h at a stop point
    constexpr double kDecel = 0.8;  // m/s^2 when slowing
    constexpr double kAccel = 0.85; // m/s^2 when speeding up
    auto wanted = [&](double m) {
        double v = line.cruise_kmh;
        for (const CurveSpan& c : line.curves) {
            if (c.limit == 0 || m > c.to_m) continue;
            const double d = std::max(0.0, c.from_m - 20 - m);
            v = std::min(v, std::sqrt(std::pow((c.limit - 3) / 3.6, 2) + 2 * kDecel * d) * 3.6);
        }
        for (const PackStation& s : line.stations) {
            if (m > s.stop_m + 2) continue;
            const double d = std::max(0.0, s.stop_m - m);
            v = std::min(v, std::sqrt(std::pow(kMin / 3.6, 2) + 2 * kDecel * d) * 3.6);
            break;
        }
        return v;
    };
    // Sample the run once a second and round to whole km/h, then derive positions
    // from the table exactly as the program does.
    std::vector<int32_t> knots;  // km/h at frames 0, 30, 60, ...
    double m = 0, v = kMin;
    knots.push_back(static_cast<int32_t>(std::lround(v)));
    while (m < line.length_m) {
        for (int f = 0; f < 30; ++f) {
            v = std::min(wanted(m), v + kAccel * 3.6 / 30);
            v = std::max(v, kMin);
            m += v / 3.6 / 30;
        }
        knots.push_back(std::max(1, static_cast<int32_t>(std::lround(v))));
    }
    Film film;
    for (size_t k = 0; k + 1 < knots.size(); ++k) {
        const int32_t s = static_cast<int32_t>(k) * 30;
        SpeedSegment seg{s, s + 30, knots[k], knots[k + 1]};
        if (!film.segments.empty()) {
            SpeedSegment& last = film.segments.back();
            const bool constant = last.v_start == last.v_end && seg.v_start == seg.v_end && last.v_end == seg.v_start;
            if (constant) {
                last.end = seg.end;
                continue;
            }
        }
        film.segments.push_back(seg);
    }
    double d0 = 0;
    for (const SpeedSegment& s : film.segments) {
        for (int32_t x = s.start; x < s.end; ++x) {
            const double vx = s.v_start + static_cast<double>(s.v_end - s.v_start) / (s.end - s.start) * (x - s.start);
            film.position_m.push_back((d0 + (s.v_start + vx) / 7.2 * ((x - s.start) / 30.0) * 100) / 100);
        }
        d0 += std::round(static_cast<double>(s.v_start + s.v_end) * (s.end - s.start) / 2.16);
    }
    film.position_m.push_back(d0 / 100);
    return film;
}

}  // namespace vantrel::demo
