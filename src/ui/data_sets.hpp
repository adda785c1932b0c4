#pragma once
// Where the program finds data sets when it is started without --data-dir: the current
// folder, the one chosen last, then the XDG data folders (so a packaged set is found from
// the desktop menu). Plain C++ over the file system and the environment's values.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// The search's inputs, taken from the process by `from_process` or written by the tests.
struct DataSetPlaces {
    std::filesystem::path current;                      // the current folder
    std::optional<std::filesystem::path> last_chosen;   // from the settings
    std::string home;                                   // $HOME
    std::optional<std::string> xdg_data_home;           // unset when nullopt
    std::optional<std::string> xdg_data_dirs;

    [[nodiscard]] static DataSetPlaces from_process(std::optional<std::filesystem::path> last_chosen);
};

// A folder holds a data set when it has the string file "vantrel.dat" and either the
// title pictures' folder "image/title" or the help text "operation.dat" (names matched
// as the data files match them: either separator, any letter case).
[[nodiscard]] bool holds_data_set(const std::filesystem::path& dir);

// "$XDG_DATA_HOME/vantrel" then each "$XDG_DATA_DIRS/vantrel", with the XDG defaults
// (~/.local/share; /usr/local/share:/usr/share) and relative entries ignored.
[[nodiscard]] std::vector<std::filesystem::path> vantrel_data_roots(const DataSetPlaces& places);

// Where a demo set written for the player goes: "$XDG_DATA_HOME/vantrel/demo".
[[nodiscard]] std::filesystem::path user_demo_dir(const DataSetPlaces& places);

struct DataSetSearch {
    // Use this folder at once: the current folder or the last chosen one.
    std::optional<std::filesystem::path> direct;
    bool direct_is_current = false;
    // What the player may choose from: the last chosen one, then every data set under
    // the data roots, in root order, each root's sets by name, each folder once.
    std::vector<std::filesystem::path> found;
};

[[nodiscard]] DataSetSearch find_data_sets(const DataSetPlaces& places);

// What the last start left in the settings.
struct StartMemory {
    std::optional<std::filesystem::path> last_chosen;
    std::vector<std::filesystem::path> last_found;  // the sets found when a set last started
};

// Start `use` at once, or ask the player among `offered` (none: offer the demo set).
struct DataSetPlan {
    std::optional<std::filesystem::path> use;
    std::vector<std::filesystem::path> offered;
    std::optional<std::filesystem::path> preselect;  // never a set that failed
};

// The chooser is shown when asked, after a failed start (`failed`: that set), and when the
// remembered set would start but the sets found differ from the last start's, so a set
// added later is offered. A set in the current folder, or the only one, starts at once.
[[nodiscard]] DataSetPlan plan_data_set(const DataSetSearch& search, const StartMemory& memory, bool ask,
                                        const std::optional<std::filesystem::path>& failed);

}  // namespace vantrel
