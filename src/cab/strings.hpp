#pragma once
// The interface texts of the string file.
#include <array>
#include <string>

namespace vantrel {

struct Strings {
    std::string path;  // [Path]: folder prefix of the route videos
    std::string forward, neutral, reverse;
    std::string stop, pass, stop2;
    std::string neut, neut2, maintain, hold, apply, hold2, eb;
    std::string start, move;
    std::array<std::string, 3> display;
    std::string control;
};

}  // namespace vantrel
