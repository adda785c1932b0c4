#include "driving/driven_run.hpp"

#include "app/run_setup.hpp"
#include "cab/header_picture_loader.hpp"

namespace vantrel::driving {

std::string DrivenRun::load(const std::filesystem::path& data_dir, const std::string& train, const std::string& route) {
    const PathResolver resolver(data_dir.string());
    HeaderPictureLoader pictures;
    if (auto error = load_run(*run, RunFiles{train, route, "vantrel.dat"}, resolver, pictures)) return error->message;
    return {};
}

}  // namespace vantrel::driving
