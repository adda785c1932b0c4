#pragma once
// The headless runner: a train (and optionally a route) in virtual time, driven by a
// script, writing a trace, the sound events and the cab view.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace vantrel::sim {

struct SimOptions {
    std::string train, route, strings;
    std::string data_dir = ".";
    std::string script, trace, events, view;
    std::string audio;  // WAV file of the run's sound through the mixer
    std::vector<std::string> reports;  // the run report: JSON for .json, text for .txt, else HTML
    long double seconds = 60;
    bool seconds_given = false;     // --seconds was on the command line
    std::string drive;              // the careful driver drives; its script is written here
    bool by_ear = false;            // the listening driver drives instead
    std::string speech_log;         // what the cab says, one utterance a line
    bool speech_english = false;    // the speech log's words in English
    std::optional<int32_t> frames;  // the video's length; none: no video
    bool video = false;             // open the route's own video for its length
};

inline constexpr int kExitOk = 0;
inline constexpr int kExitWriteError = 1;  // the audio file could not be completed
inline constexpr int kExitDataError = 2;
inline constexpr int kExitUsage = 64;

// Runs the simulation; messages go to `err`, the summary to `out`. Returns the exit status.
int run_simulation(const SimOptions& options, std::ostream& out, std::ostream& err);

// Parses the command line; nullopt (after a message on `err`) on a usage error.
std::optional<SimOptions> parse_arguments(int argc, const char* const* argv, std::ostream& err);

}  // namespace vantrel::sim
