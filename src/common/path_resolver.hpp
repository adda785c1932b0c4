#pragma once
// Maps the Windows file names written in data files onto the file system.
#include <filesystem>
#include <optional>
#include <string_view>

namespace vantrel {

class PathResolver {
public:
    explicit PathResolver(std::filesystem::path data_dir) : dir_(std::move(data_dir)) {}

    // Resolves a name such as "Image\\Signal\\R.BMP" relative to the data directory:
    // "\\" or "/" separators, each component matched without regard to ASCII case,
    // spelt on disk in UTF-8 or in CP932. nullopt when no such file or directory exists.
    [[nodiscard]] std::optional<std::filesystem::path> resolve(std::string_view name) const;

    // Like resolve, but when nothing matches returns the literal path below the data
    // directory (for callers that report the missing file themselves).
    [[nodiscard]] std::filesystem::path resolve_or_literal(std::string_view name) const;

    // The name spelt as written (separators mapped, UTF-8), below the data directory:
    // where a file system that keeps letter case and one encoding would look for it.
    [[nodiscard]] std::filesystem::path literal(std::string_view name) const;

    [[nodiscard]] const std::filesystem::path& data_dir() const { return dir_; }

private:
    std::filesystem::path dir_;
};

// How a name that resolves is spelt on disk compared with how it is written: "" when
// exactly so, "name.case" when only letter case differs, "name.encoding" otherwise (the
// CP932 spelling, or case and encoding both). Such names break on other file systems.
[[nodiscard]] std::string_view spelling_problem(const PathResolver& resolver, std::string_view name);

}  // namespace vantrel
