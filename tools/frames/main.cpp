#include <iostream>

#include "frames/frames_tool.hpp"

int main(int argc, char* argv[]) { return vantrel::frames::run_frames_tool(argc, argv, std::cout, std::cerr); }
