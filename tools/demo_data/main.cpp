// vantrel-demo-data: writes the demo data set into a folder.
#include <iostream>

#include "demo_data/demo_data.hpp"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: vantrel-demo-data DIR\n";
        return 64;
    }
    const std::string failed = vantrel::demo::write_demo_data(argv[1]);
    if (!failed.empty()) {
        std::cerr << "vantrel-demo-data: cannot write " << failed << "\n";
        return 1;
    }
    return 0;
}
