// vantrel-sim: runs a train (and optionally a route) headless in virtual time.
#include <iostream>

#include "vantrel_sim/sim_run.hpp"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const auto options = vantrel::sim::parse_arguments(argc, argv, std::cerr);
    if (!options) return vantrel::sim::kExitUsage;
    return vantrel::sim::run_simulation(*options, std::cout, std::cerr);
}
