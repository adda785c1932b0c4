#include "ui/app_environment.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace vantrel {
namespace {

bool has_sound_card() {
    std::ifstream cards("/proc/asound/cards");
    std::string first;
    return cards && std::getline(cards, first) && first.find("no soundcards") == std::string::npos;
}

}  // namespace

void settle_environment() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && !std::filesystem::path(config).is_absolute())
        ::unsetenv("XDG_CONFIG_HOME");
    // The sound's own message says what failed; the library's repeat it in its terms.
    ::setenv("ALSOFT_LOGLEVEL", "0", 0);
    if (!has_sound_card()) ::setenv("ALSOFT_DRIVERS", "-alsa", 0);
}

}  // namespace vantrel
