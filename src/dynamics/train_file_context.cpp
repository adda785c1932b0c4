#include "dynamics/train_file_context.hpp"

#include <charconv>
#include <cmath>

#include "common/common_utilities.hpp"
#include "common/numbers.hpp"

namespace vantrel {
namespace {

// Windows ignores trailing blanks in file names, and data files written there carry them.
std::string_view without_trailing_blanks(std::string_view name) {
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
    return name;
}

// A double field converted straight to double: through long double first, a long
// decimal rounds twice and can land on the neighbouring double.
std::optional<double> parse_double(std::string_view text) {
    const auto wide = parse_decimal(text);  // the syntax every decimal field shares
    if (!wide) return std::nullopt;
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    // Out of range: below a double's range it reads as 0 (or a denormal), beyond it is refused.
    if (ec != std::errc{}) value = static_cast<double>(*wide);
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

bool TrainFileContext::fail(std::string_view code, std::string missing_file) {
    std::string message = std::string(kTrainFileError) + label_;
    if (sink_) {
        sink_->error(std::string(code), file_, cursor_.line_number(), std::move(message), std::move(missing_file));
        return true;
    }
    if (!error_) error_ = DataError{std::move(message), file_, cursor_.line_number(), std::move(missing_file)};
    return false;
}

bool TrainFileContext::fail_with(std::string_view code, std::string_view message) {
    if (sink_) {
        sink_->error(std::string(code), file_, cursor_.line_number(), std::string(message));
        return true;
    }
    if (!error_) error_ = DataError{std::string(message), file_, cursor_.line_number()};
    return false;
}

void TrainFileContext::warn(std::string_view code, std::string message) {
    if (sink_) sink_->warning(std::string(code), file_, cursor_.line_number(), std::move(message));
}

void TrainFileContext::note_line(std::string_view key) {
    if (sink_) sink_->note_line(key, cursor_.line_number());
}

bool TrainFileContext::read_int(int32_t& out) {
    const auto v = parse_int32(cursor_.next());
    if (!v) return fail("train.number");
    out = *v;
    return true;
}

bool TrainFileContext::read_fixed4(int64_t& out) {
    const auto v = parse_fixed4(cursor_.next());
    if (!v) return fail("train.number");
    out = *v;
    return true;
}

bool TrainFileContext::read_real(long double& out) {
    const auto v = parse_decimal(cursor_.next());
    if (!v) return fail("train.number");
    out = *v;
    return true;
}

bool TrainFileContext::next_entry(bool& ended) {
    if (cursor_.at_end()) {
        cursor_.next();  // the empty line at the end of the file is the last one read
        ended = true;    // a collecting reader carries on past the end: nothing more to read
        return fail("train.list.unterminated");
    }
    ended = cursor_.next().starts_with('#');
    return true;
}

bool TrainFileContext::load_picture(const std::string& name, PictureFormat format, PictureRef& out) {
    out = PictureRef{};
    const auto path = resolver_.resolve(without_trailing_blanks(name));
    if (!path) return fail("train.picture.missing", name);
    const auto size = pictures_.open(*path, format);
    if (!size) return fail("train.picture.unreadable", name);
    if (sink_) {
        const auto spelling = spelling_problem(resolver_, without_trailing_blanks(name));
        if (!spelling.empty()) warn(spelling, name);
    }
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
    const auto v = parse_double(comma_field(line, n));
    if (!v) return false;
    out = *v;
    return true;
}

}  // namespace vantrel
