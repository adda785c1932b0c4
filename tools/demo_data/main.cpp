// vantrel-demo-data [--small] DIR: writes the demo pack into a folder.
#include <cstring>
#include <iostream>

#include "common/program_info.hpp"
#include "demo_data/pack.hpp"

namespace {
constexpr const char* kUsage = "usage: vantrel-demo-data [--small] [--no-films] DIR\n";
}  // namespace

int main(int argc, char** argv) {
    auto usage = [](std::ostream& o) { o << kUsage; };
    if (const auto done = vantrel::answer_help_or_version(argc, argv, "vantrel-demo-data", usage, std::cout)) return *done;
    bool small = false, films = true;
    const char* dir = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--small") == 0) {
            small = true;
        } else if (std::strcmp(argv[i], "--no-films") == 0) {
            films = false;  // quick checks of the data files: no videos, titles or movie
        } else if (!dir && argv[i][0] != '-') {
            dir = argv[i];
        } else {
            dir = nullptr;
            break;
        }
    }
    if (!dir) {
        std::cerr << kUsage;
        return 64;
    }
    const vantrel::demo::OffscreenApp app;  // pictures are drawn off screen: no display needed
    vantrel::demo::PackOptions options;
    options.small = small;
    options.films = films;
    options.progress = [](const std::string& line) { std::cout << "vantrel-demo-data: " << line << std::endl; };
    const std::string failed = vantrel::demo::write_pack(dir, options);
    if (!failed.empty()) {
        std::cerr << "vantrel-demo-data: " << failed << "\n";
        return 1;
    }
    return 0;
}
