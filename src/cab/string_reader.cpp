#include "cab/string_reader.hpp"

namespace vantrel {

Result<Strings> read_string_file(const std::string& file, const PathResolver&) {
    return DataError{"stringファイルに誤りがあります", file, 0};
}

}  // namespace vantrel
