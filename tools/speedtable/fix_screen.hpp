#pragma once
// Wild GPS fixes (a cold start hundreds of metres off, a reflection) found before any
// filter sees them: each fix is judged against a robust straight-line fit of its
// neighbours (medians of their velocities and positions), so one wild fix among the
// first few cannot mislead the judgement of the good ones as a running filter would.
#include <vector>

namespace vantrel::speedtable {

// Times in seconds (ascending, distinct) and positions in metres; true for a wild fix,
// one further than `limit_m` from where its neighbours put it. A fix with fewer than
// three neighbours within 15 s cannot be judged and is kept.
[[nodiscard]] std::vector<bool> wild_fixes(const std::vector<double>& t, const std::vector<double>& x,
                                           const std::vector<double>& y, double limit_m);

}  // namespace vantrel::speedtable
