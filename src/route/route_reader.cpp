#include "route/route_reader.hpp"

namespace vantrel {

Result<RouteTables> read_route_file(const std::string& file, const PathResolver&, PictureLoader&,
                                    const PictureRef&) {
    return DataError{"路線ファイルに誤りがあります。other:", file, 0};
}

}  // namespace vantrel
