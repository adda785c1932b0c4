// vantrel-check [DIR] [--json] [--drive] [--pair TRAIN ROUTE]...: every problem of a data set in one pass.
#include <QCoreApplication>

#include <cstring>
#include <filesystem>
#include <iostream>

#include "check/data_set_check.hpp"
#include "check/report.hpp"
#include "check/usage.hpp"
#include "common/program_info.hpp"

int main(int argc, char** argv) {
    auto usage = [](std::ostream& o) { o << vantrel::check::kUsage; };
    if (const auto done = vantrel::answer_help_or_version(argc, argv, "vantrel-check", usage, std::cout)) return *done;
    bool json = false;
    vantrel::check::CheckOptions options;
    const char* dir = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else if (std::strcmp(argv[i], "--drive") == 0) {
            options.drive = true;
        } else if (std::strcmp(argv[i], "--pair") == 0 && i + 2 < argc) {
            options.pairs.emplace_back(argv[i + 1], argv[i + 2]);
            i += 2;
        } else if (!dir && argv[i][0] != '-') {
            dir = argv[i];
        } else {
            std::cerr << vantrel::check::kUsage;
            return vantrel::check::kExitUsage;
        }
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(dir ? dir : ".", ec)) {
        std::cerr << "vantrel-check: no such folder: " << dir << "\n";
        return vantrel::check::kExitUsage;
    }
    int qt_argc = 1;
    QCoreApplication app(qt_argc, argv);  // picture format plug-ins
    const auto outcome = vantrel::check::check_data_set(dir ? dir : ".", options);
    const vantrel::check::PairCount pairs{outcome.pairs.size(), outcome.driven, options.drive};
    std::cout << (json ? vantrel::check::json_report(outcome.problems, pairs)
                       : vantrel::check::text_report(outcome.problems, pairs));
    return vantrel::check::exit_status(outcome.problems);
}
