#pragma once
// The player-facing text files of the demo pack: string file, controller codes,
// the help window's key list and the read-me page.
#include <string>
#include <vector>

namespace vantrel::demo {

// The 22 codes of the serial master controller, slot 0 first.
[[nodiscard]] const std::vector<std::string>& mascon_codes();

[[nodiscard]] std::string pack_string_text();
[[nodiscard]] std::string pack_mascon_text();
[[nodiscard]] std::string pack_operation_text();
[[nodiscard]] std::string pack_readme_html();

}  // namespace vantrel::demo
