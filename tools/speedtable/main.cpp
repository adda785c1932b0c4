// vantrel-speedtable: the filmed-speed table of a route from a GPS log of the filming run.
#include <iostream>

#include "common/program_info.hpp"
#include "speedtable/speedtable_run.hpp"

int main(int argc, char** argv) {
    auto usage = [&](std::ostream& o) {
        const char* const help[] = {argv[0], "--help", nullptr};
        (void)vantrel::speedtable::parse_arguments(2, help, o);
    };
    if (const auto done = vantrel::answer_help_or_version(argc, argv, "vantrel-speedtable", usage, std::cout))
        return *done;
    const auto options = vantrel::speedtable::parse_arguments(argc, argv, std::cerr);
    if (!options) return vantrel::speedtable::kExitUsage;
    return vantrel::speedtable::run_speedtable(*options, std::cout, std::cerr);
}
