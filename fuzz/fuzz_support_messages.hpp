#pragma once
// The messages a refused data file may give, by file kind.
#include <string_view>

namespace vantrel::fuzz {

inline constexpr std::string_view kTrainMessages[] = {
    "車両ファイルに誤りがあります", "動力が気動車なのにNotch指定があります",
    "Power指定とNotch指定が矛盾しています", "動力が電車なのにEngine指定があります"};
inline constexpr std::string_view kRouteMessages[] = {"路線ファイルに誤りがあります。"};
inline constexpr std::string_view kStringMessages[] = {"stringファイルに誤りがあります"};

}  // namespace vantrel::fuzz
