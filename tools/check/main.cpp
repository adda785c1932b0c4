// vantrel-check [DIR] [--json] [--drive]: every problem of a data set in one pass.
#include <QCoreApplication>

#include <cstring>
#include <filesystem>
#include <iostream>

#include "check/data_set_check.hpp"
#include "check/report.hpp"
#include "common/program_info.hpp"

namespace {
constexpr const char* kUsage = "usage: vantrel-check [DIR] [--json] [--drive]\n";
}  // namespace

int main(int argc, char** argv) {
    auto usage = [](std::ostream& o) { o << kUsage; };
    if (const auto done = vantrel::answer_help_or_version(argc, argv, "vantrel-check", usage, std::cout)) return *done;
    bool json = false, drive = false;
    const char* dir = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else if (std::strcmp(argv[i], "--drive") == 0) {
            drive = true;
        } else if (!dir && argv[i][0] != '-') {
            dir = argv[i];
        } else {
            std::cerr << kUsage;
            return 64;
        }
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(dir ? dir : ".", ec)) {
        std::cerr << "vantrel-check: no such folder: " << dir << "\n";
        return 64;
    }
    int qt_argc = 1;
    QCoreApplication app(qt_argc, argv);  // picture format plug-ins
    const auto outcome = vantrel::check::check_data_set(dir ? dir : ".", drive);
    std::cout << (json ? vantrel::check::json_report(outcome.problems) : vantrel::check::text_report(outcome.problems));
    return vantrel::check::exit_status(outcome.problems);
}
