#include "ui/data_sets.hpp"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string_view>
#include <system_error>

#include "common/path_resolver.hpp"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> env(const char* name) {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
}

std::vector<fs::path> absolute_entries(std::string_view text) {
    std::vector<fs::path> out;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(':', start), text.size());
        const fs::path entry = text.substr(start, end - start);
        if (entry.is_absolute()) out.push_back(entry);
        start = end + 1;
    }
    return out;
}

// Unset and empty mean the default; relative paths are invalid and ignored, and a list
// of nothing but those means the default too.
std::vector<fs::path> xdg_list(const std::optional<std::string>& value, std::string_view fallback) {
    std::vector<fs::path> out = absolute_entries(value ? *value : std::string_view());
    return out.empty() ? absolute_entries(fallback) : out;
}

fs::path data_home(const DataSetPlaces& places) {
    if (places.xdg_data_home && fs::path(*places.xdg_data_home).is_absolute()) return *places.xdg_data_home;
    return fs::path(places.home.empty() ? "/" : places.home) / ".local" / "share";
}

fs::path identity(const fs::path& dir) {
    std::error_code ec;
    const fs::path canonical = fs::weakly_canonical(dir, ec);
    return ec ? dir.lexically_normal() : canonical;
}

// The root itself when it holds a set, else its visible sub-folders that hold one.
// Hidden folders are skipped: a demo set being written lives in one until it is whole.
std::vector<fs::path> sets_under(const fs::path& root) {
    if (holds_data_set(root)) return {root};
    std::vector<fs::path> sets;
    std::error_code ec;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path dir = it->path();
        if (dir.filename().string().starts_with(".")) continue;
        std::error_code type_ec;
        if (it->is_directory(type_ec) && holds_data_set(dir)) sets.push_back(dir);
    }
    std::sort(sets.begin(), sets.end());
    return sets;
}

}  // namespace

DataSetPlaces DataSetPlaces::from_process(std::optional<fs::path> last_chosen) {
    DataSetPlaces p;
    std::error_code ec;
    p.current = fs::current_path(ec);
    if (ec) p.current = ".";
    p.last_chosen = std::move(last_chosen);
    p.home = env("HOME").value_or("");
    p.xdg_data_home = env("XDG_DATA_HOME");
    p.xdg_data_dirs = env("XDG_DATA_DIRS");
    return p;
}

bool holds_data_set(const fs::path& dir) {
    std::error_code ec;
    if (dir.empty() || !fs::is_directory(dir, ec)) return false;
    const PathResolver resolver(dir);
    const auto strings = resolver.resolve("vantrel.dat");
    if (!strings || !fs::is_regular_file(*strings, ec)) return false;
    const auto titles = resolver.resolve("image/title");
    if (titles && fs::is_directory(*titles, ec)) return true;
    const auto help = resolver.resolve("operation.dat");
    return help && fs::is_regular_file(*help, ec);
}

std::vector<fs::path> vantrel_data_roots(const DataSetPlaces& places) {
    std::vector<fs::path> roots{data_home(places) / "vantrel"};
    for (const fs::path& dir : xdg_list(places.xdg_data_dirs, "/usr/local/share:/usr/share"))
        roots.push_back(dir / "vantrel");
    return roots;
}

fs::path user_demo_dir(const DataSetPlaces& places) { return data_home(places) / "vantrel" / "demo"; }

DataSetSearch find_data_sets(const DataSetPlaces& places) {
    DataSetSearch search;
    std::set<fs::path> seen;  // one folder may be reached twice (a link, a repeated entry)
    auto add = [&](const fs::path& dir) {
        if (seen.insert(identity(dir)).second) search.found.push_back(dir);
    };
    const bool last_holds = places.last_chosen && holds_data_set(*places.last_chosen);
    if (last_holds) add(*places.last_chosen);
    for (const fs::path& root : vantrel_data_roots(places))
        for (const fs::path& dir : sets_under(root)) add(dir);
    if (holds_data_set(places.current)) {
        search.direct = places.current;
        search.direct_is_current = true;
    } else if (last_holds) {
        search.direct = *places.last_chosen;
    }
    return search;
}

DataSetPlan plan_data_set(const DataSetSearch& search, const StartMemory& memory, bool ask,
                          const std::optional<fs::path>& failed) {
    DataSetPlan plan;
    plan.offered = search.found;
    if (search.direct && std::find(plan.offered.begin(), plan.offered.end(), *search.direct) == plan.offered.end())
        plan.offered.insert(plan.offered.begin(), *search.direct);
    if (!ask && !failed) {
        const bool same_sets = memory.last_found == search.found;
        if (search.direct && (search.direct_is_current || same_sets || plan.offered.size() == 1)) {
            plan.use = search.direct;
            return plan;
        }
        // The only one: used, and the chooser comes when another is added.
        if (!search.direct && plan.offered.size() == 1) {
            plan.use = plan.offered.front();
            return plan;
        }
    }
    auto usable = [&](const fs::path& dir) {
        const bool listed = std::find(plan.offered.begin(), plan.offered.end(), dir) != plan.offered.end();
        return listed && (!failed || dir != *failed);
    };
    if (memory.last_chosen && usable(*memory.last_chosen)) {
        plan.preselect = memory.last_chosen;
    } else {
        const auto first = std::find_if(plan.offered.begin(), plan.offered.end(), usable);
        if (first != plan.offered.end()) plan.preselect = *first;
    }
    return plan;
}

}  // namespace vantrel
