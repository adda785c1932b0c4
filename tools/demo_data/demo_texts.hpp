#pragma once
// The text files of the demo data set (UTF-8; written out as CP932).
#include <string>

namespace vantrel::demo {

std::string train_text();
std::string route_text();
std::string string_text();
std::string demo_script();

}  // namespace vantrel::demo
