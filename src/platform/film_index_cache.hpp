#pragma once
// Picture indexes kept in the user's cache folder ($XDG_CACHE_HOME/vantrel, else ~/.cache/vantrel),
// keyed by the film's path, size and modification time, so a film is demuxed once.
#include <filesystem>
#include <functional>
#include <optional>

#include "platform/film_index.hpp"

namespace vantrel {

// The folder, or an empty path when neither XDG_CACHE_HOME nor HOME is set.
[[nodiscard]] std::filesystem::path film_cache_folder();

// The cached index of `film` when one matches its path, size and time; a damaged file gives nullopt.
[[nodiscard]] std::optional<FilmIndex> load_cached_index(const std::filesystem::path& film);
// Writes the index beside the others (atomically); false when it could not.
bool store_cached_index(const std::filesystem::path& film, const FilmIndex& index);

// The cached index, or a fresh one built (with `progress`) and stored.
[[nodiscard]] std::optional<FilmIndex> film_index(const std::filesystem::path& film,
                                                  const std::function<void(int)>& progress = {});

}  // namespace vantrel
