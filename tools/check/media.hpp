#pragma once
// The waves and films a data set names, opened through the program's own
// back ends; each file is opened once however often it is named.
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "common/path_resolver.hpp"
#include "common/problems.hpp"

namespace vantrel::check {

class Media {
public:
    explicit Media(const PathResolver& resolver) : resolver_(resolver) {}

    // Notes a wave named at `file`:`line` that is missing, unreadable or spelt otherwise on
    // disk. Blank names name nothing.
    void check_wave(ProblemSink& sink, const std::string& file, int line, const std::string& name);

    // Frames of the film named `name`; nullopt (with the problem noted) when the program
    // could not open it.
    std::optional<int32_t> check_film(ProblemSink& sink, const std::string& file, int line, const std::string& name);

private:
    const PathResolver& resolver_;
    std::map<std::filesystem::path, std::string> wave_errors_;  // "" when it reads
    std::map<std::filesystem::path, int32_t> film_frames_;      // -1 when it does not open
};

}  // namespace vantrel::check
