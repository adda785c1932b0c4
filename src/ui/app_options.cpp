#include "ui/app_options.hpp"

#include <string_view>

namespace vantrel {

namespace {

constexpr std::string_view kUsage =
    "usage: vantrel [--data-dir DIR | --choose-data-set] [--train FILE --route FILE]\n"
    "               [--record FILE] [--trace FILE] [--events FILE] [--view FILE]\n"
    "               [--timing-log FILE]\n"
    "               [--speak] [--speech-log FILE]\n"
    "       vantrel --help | --version\n";

}  // namespace

std::optional<AppOptions> parse_app_options(int argc, const char* const* argv, std::ostream& err) {
    AppOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--help" || a == "-h") {
            err << kUsage;
            return std::nullopt;
        }
        if (a == "--choose-data-set") {
            o.choose_data_set = true;
            continue;
        }
        if (a == "--speak") {
            o.speak = true;
            continue;
        }
        std::string* target = a == "--data-dir"     ? &o.data_dir
                              : a == "--train"      ? &o.train
                              : a == "--route"      ? &o.route
                              : a == "--record"     ? &o.record
                              : a == "--trace"      ? &o.trace
                              : a == "--events"     ? &o.events
                              : a == "--view"       ? &o.view
                              : a == "--timing-log" ? &o.timing_log
                              : a == "--speech-log" ? &o.speech_log
                                                    : nullptr;
        if (!target) {
            err << "vantrel: unknown option " << a << "\n" << kUsage;
            return std::nullopt;
        }
        if (i + 1 >= argc) {
            err << "vantrel: " << a << " needs a value\n" << kUsage;
            return std::nullopt;
        }
        *target = argv[++i];
        if (target == &o.data_dir) o.data_dir_given = true;
    }
    if (o.train.empty() != o.route.empty()) {
        err << "vantrel: --train and --route go together\n" << kUsage;
        return std::nullopt;
    }
    return o;
}

}  // namespace vantrel
