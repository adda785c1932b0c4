#pragma once
// The state shared by the two halves of the train-file reader (parameter keys and
// cab-panel keys): the line cursor, the section label of the error message and the failure.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/data_text.hpp"
#include "common/path_resolver.hpp"
#include "common/problems.hpp"
#include "common/result.hpp"
#include "cab/picture_loader.hpp"

namespace vantrel {

inline constexpr std::string_view kTrainFileError = "車両ファイルに誤りがあります";
inline constexpr std::string_view kBasicSettings = "- 列車の基本設定";

class TrainFileContext {
public:
    // With a sink every problem is collected and reading carries on; without one the
    // first error is kept and the reader stops.
    TrainFileContext(std::string file, LineCursor cursor, const PathResolver& resolver, PictureLoader& pictures,
                     ProblemSink* sink = nullptr)
        : file_(std::move(file)), cursor_(std::move(cursor)), resolver_(resolver), pictures_(pictures),
          sink_(sink) {}

    LineCursor& cursor() { return cursor_; }
    // True when the line last read begins with `key`: the remaining keys of a line are
    // tested against whatever line the previous key left as the last one read.
    [[nodiscard]] bool key(std::string_view key) {
        const bool taken = starts_with_key(cursor_.current(), key);
        key_taken_ = key_taken_ || taken;
        return taken;
    }
    // Around the key tests of each line the reader's loop reads: while collecting, a line
    // shaped like a key that no test took is noted.
    void begin_key_line() {
        key_taken_ = false;
        key_line_ = cursor_.line_number();
    }
    void end_key_line() {
        if (sink_ && !key_taken_ && key_line_ == cursor_.line_number())
            sink_->unknown_key("train.key.unknown", file_, key_line_, cursor_.current());
    }
    // The section named in the file error; set while the key tests pass the sections.
    void set_label(std::string_view label) { label_ = label; }

    // Records the train-file error with the current label under a stable code. Returns
    // whether reading carries on: false for the program, true while collecting.
    bool fail(std::string_view code, std::string missing_file = {});
    // Records a message of its own (the notch and engine consistency messages).
    bool fail_with(std::string_view code, std::string_view message);
    // A file that loads but very likely holds a mistake (collecting only).
    void warn(std::string_view code, std::string message);
    [[nodiscard]] bool collecting() const { return sink_ != nullptr; }
    // Notes the line last read as the next record of list `key` (collecting only).
    void note_line(std::string_view key);
    [[nodiscard]] const std::optional<DataError>& error() const { return error_; }

    // One value line each; false (with the error recorded) when it does not convert.
    bool read_int(int32_t& out);
    bool read_fixed4(int64_t& out);
    bool read_real(long double& out);
    const std::string& read_text() { return cursor_.next(); }

    // Reads the first line of a list entry; `ended` is set when it begins with "#".
    // A list that runs into the end of the file has lost its terminator: an error.
    bool next_entry(bool& ended);

    // Opens the picture named `name` (as written in the file); a name that cannot be
    // found or opened, the empty name included, is the train-file error.
    bool load_picture(const std::string& name, PictureFormat format, PictureRef& out);
    // The same, except that an empty name (nothing at all, not even a blank) is no picture.
    bool load_optional_picture(const std::string& name, PictureFormat format, PictureRef& out);

private:
    std::string file_;
    LineCursor cursor_;
    const PathResolver& resolver_;
    PictureLoader& pictures_;
    ProblemSink* sink_;
    std::string label_;
    std::optional<DataError> error_;
    bool key_taken_ = false;
    int key_line_ = 0;
};

// Field n (1 = first) of a comma-separated record as a number; false when it does not convert.
[[nodiscard]] bool field_int(std::string_view line, int32_t n, int32_t& out);
[[nodiscard]] bool field_real(std::string_view line, int32_t n, double& out);

}  // namespace vantrel
