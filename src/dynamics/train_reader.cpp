#include "dynamics/train_reader.hpp"

namespace vantrel {

Result<TrainParams> read_train_file(const std::string& file, const PathResolver&, PictureLoader&) {
    return DataError{"車両ファイルに誤りがあります", file, 0};
}

}  // namespace vantrel
