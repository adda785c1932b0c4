#include "speedtable/fix_screen.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace vantrel::speedtable {
namespace {

constexpr std::size_t kSide = 5;     // neighbours looked at on each side
constexpr double kReach = 15;        // seconds: neighbours further off say little
constexpr std::size_t kFewest = 3;   // neighbours needed for a judgement

double median(std::vector<double>& v) {
    const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

}  // namespace

std::vector<bool> wild_fixes(const std::vector<double>& t, const std::vector<double>& x, const std::vector<double>& y,
                             double limit_m) {
    const std::size_t n = t.size();
    std::vector<bool> wild(n, false);
    std::vector<std::size_t> near;
    std::vector<double> vx, vy, px, py;
    for (std::size_t i = 0; i < n; ++i) {
        near.clear();
        for (std::size_t j = i > kSide ? i - kSide : 0; j < std::min(n, i + kSide + 1); ++j)
            if (j != i && std::fabs(t[j] - t[i]) <= kReach) near.push_back(j);
        if (near.size() < kFewest) continue;
        // Theil-Sen: the median of the pairs' velocities, then the median of where each
        // neighbour puts fix i at that velocity.
        vx.clear();
        vy.clear();
        for (std::size_t a = 0; a < near.size(); ++a)
            for (std::size_t b = a + 1; b < near.size(); ++b) {
                const double dt = t[near[b]] - t[near[a]];
                vx.push_back((x[near[b]] - x[near[a]]) / dt);
                vy.push_back((y[near[b]] - y[near[a]]) / dt);
            }
        const double ux = median(vx), uy = median(vy);
        px.clear();
        py.clear();
        for (std::size_t j : near) {
            px.push_back(x[j] + ux * (t[i] - t[j]));
            py.push_back(y[j] + uy * (t[i] - t[j]));
        }
        wild[i] = std::hypot(x[i] - median(px), y[i] - median(py)) > limit_m;
    }
    return wild;
}

}  // namespace vantrel::speedtable
