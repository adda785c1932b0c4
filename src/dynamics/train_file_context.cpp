#include "dynamics/train_file_context.hpp"

#include <cmath>

#include "app/common_utilities.hpp"
#include "app/numbers.hpp"

namespace vantrel {
namespace {

// Windows ignores trailing blanks in file names, and data files written there carry them.
std::string_view without_trailing_blanks(std::string_view name) {
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
    return name;
}

}  // namespace

bool TrainFileContext::fail(std::string missing_file) {
    if (!error_) {
        error_ = DataError{std::string(kTrainFileError) + label_, file_, cursor_.line_number(),
                           std::move(missing_file)};
    }
    return false;
}

bool TrainFileContext::fail_with(std::string_view message) {
    if (!error_) error_ = DataError{std::string(message), file_, cursor_.line_number()};
    return false;
}

bool TrainFileContext::read_int(int32_t& out) {
    const auto v = parse_int32(cursor_.next());
    if (!v) return fail();
    out = *v;
    return true;
}

bool TrainFileContext::read_fixed4(int64_t& out) {
    const auto v = parse_fixed4(cursor_.next());
    if (!v) return fail();
    out = *v;
    return true;
}

bool TrainFileContext::read_real(long double& out) {
    const auto v = parse_decimal(cursor_.next());
    if (!v) return fail();
    out = *v;
    return true;
}

bool TrainFileContext::read_real(double& out) {
    long double v = 0;
    if (!read_real(v)) return false;
    if (!std::isfinite(static_cast<double>(v))) return fail();  // beyond a double's range
    out = static_cast<double>(v);
    return true;
}

bool TrainFileContext::next_entry(bool& ended) {
    if (cursor_.at_end()) {
        cursor_.next();  // the empty line at the end of the file is the last one read
        return fail();
    }
    ended = cursor_.next().starts_with('#');
    return true;
}

bool TrainFileContext::load_picture(const std::string& name, PictureFormat format, PictureRef& out) {
    out = PictureRef{};
    const auto path = resolver_.resolve(without_trailing_blanks(name));
    if (!path) return fail(name);
    const auto size = pictures_.open(*path, format);
    if (!size) return fail(name);
    out = PictureRef{name, *path, size->width, size->height};
    return true;
}

bool TrainFileContext::load_optional_picture(const std::string& name, PictureFormat format, PictureRef& out) {
    if (name.empty()) {
        out = PictureRef{};
        return true;
    }
    return load_picture(name, format, out);
}

bool field_int(std::string_view line, int32_t n, int32_t& out) {
    const auto v = parse_int32(comma_field(line, n));
    if (!v) return false;
    out = *v;
    return true;
}

bool field_real(std::string_view line, int32_t n, double& out) {
    const auto v = parse_decimal(comma_field(line, n));
    if (!v || !std::isfinite(static_cast<double>(*v))) return false;
    out = static_cast<double>(*v);
    return true;
}

}  // namespace vantrel
