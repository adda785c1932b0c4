#include <iostream>

#include "common/program_info.hpp"
#include "frames/frames_tool.hpp"

int main(int argc, char* argv[]) {
    // The tool gives its usage for a command line too short to run.
    auto usage = [&](std::ostream& o) { (void)vantrel::frames::run_frames_tool(1, argv, o, o); };
    if (const auto done = vantrel::answer_help_or_version(argc, argv, "vantrel-frames", usage, std::cout)) return *done;
    return vantrel::frames::run_frames_tool(argc, argv, std::cout, std::cerr);
}
