#pragma once
// The title window's pictures and the icon are compiled into the static ui library; this
// registers them (a static library's resources are not registered on their own).
namespace vantrel {

void init_art_resources();

}  // namespace vantrel
