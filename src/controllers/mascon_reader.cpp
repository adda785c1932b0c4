#include "controllers/mascon_reader.hpp"

#include <cerrno>
#include <system_error>

#include "common/data_text.hpp"

namespace vantrel {

Result<MasconTable> read_mascon_file(std::string_view file, const PathResolver& resolver, ProblemSink* problems) {
    const auto path = resolver.resolve(file);
    errno = 0;
    auto lines = path ? read_cp932_lines(*path) : std::nullopt;
    if (!lines) {
        // The reason as the system words it; a name that resolves to nothing is "not found".
        const int code = !path ? ENOENT : (errno != 0 ? errno : EIO);
        DataError error{std::generic_category().message(code), std::string(file), 0};
        if (problems) problems->error("mascon.file.unreadable", error.file, 0, error.message);
        return error;
    }
    MasconTable table;
    for (const std::string& line : *lines) {
        if (line.starts_with('#')) break;
        if (table.count == MasconTable::kSlots) {
            if (problems)
                problems->warning("mascon.codes.full", std::string(file), table.count + 1,
                                  "only the first 26 codes are read");
            break;
        }
        table.codes[static_cast<size_t>(table.count++)] = line;
    }
    return table;
}

std::optional<DataError> read_mascon_if_present(MasconTable& table, const PathResolver& resolver) {
    if (!resolver.resolve(kMasconFile)) return std::nullopt;
    auto read = read_mascon_file(kMasconFile, resolver);
    if (!read) return read.error();
    table = std::move(read.value());
    return std::nullopt;
}

}  // namespace vantrel
