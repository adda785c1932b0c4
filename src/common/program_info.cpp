#include "common/program_info.hpp"

#ifndef VANTREL_VERSION
#error "VANTREL_VERSION comes from the build"
#endif

namespace vantrel {

std::string_view program_version() { return VANTREL_VERSION; }

std::optional<int> answer_help_or_version(int argc, const char* const* argv, std::string_view name,
                                          const std::function<void(std::ostream&)>& usage, std::ostream& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--version") {
            out << name << " " << program_version() << "\n";
            return 0;
        }
        if (a == "--help" || a == "-h") {
            usage(out);
            return 0;
        }
    }
    return std::nullopt;
}

}  // namespace vantrel
