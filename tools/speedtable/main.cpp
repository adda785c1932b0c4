// vantrel-speedtable: the filmed-speed table of a route from a GPS log of the filming run.
#include <iostream>

#include "speedtable/speedtable_run.hpp"

int main(int argc, char** argv) {
    const auto options = vantrel::speedtable::parse_arguments(argc, argv, std::cerr);
    if (!options) return vantrel::speedtable::kExitUsage;
    return vantrel::speedtable::run_speedtable(*options, std::cout, std::cerr);
}
