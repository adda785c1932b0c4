#pragma once
// The command line of the `vantrel` program.
#include <optional>
#include <ostream>
#include <string>

namespace vantrel {

struct AppOptions {
    std::string data_dir = ".";
    bool data_dir_given = false;            // else the data set is searched for
    bool choose_data_set = false;           // ask even when one would be used at once
    std::string train, route;               // both: the driving window opens at once
    std::string record, trace, timing_log;  // output files of the drive
    std::string events, view;               // the runner's sound events and cab view, likewise
    bool speak = false;                     // the cab speaks from the start
    std::string speech_log;                 // what the cab says, every drive appended
};

inline constexpr int kExitUsage = 64;
inline constexpr int kExitDataError = 2;
// The title window's event loop ends with this when the player switches data sets.
inline constexpr int kExitSwitchDataSet = 3;

// nullopt (after a message on `err`) on a usage error.
[[nodiscard]] std::optional<AppOptions> parse_app_options(int argc, const char* const* argv, std::ostream& err);

}  // namespace vantrel
