// vantrel-sim: runs a train (and optionally a route) headless in virtual time.
#include <iostream>

#include "common/program_info.hpp"
#include "vantrel_sim/sim_run.hpp"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    auto usage = [&](std::ostream& o) {
        const char* const help[] = {argv[0], "--help", nullptr};
        (void)vantrel::sim::parse_arguments(2, help, o);
    };
    if (const auto done = vantrel::answer_help_or_version(argc, argv, "vantrel-sim", usage, std::cout)) return *done;
    const auto options = vantrel::sim::parse_arguments(argc, argv, std::cerr);
    if (!options) return vantrel::sim::kExitUsage;
    return vantrel::sim::run_simulation(*options, std::cout, std::cerr);
}
