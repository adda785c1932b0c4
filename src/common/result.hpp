#pragma once
// Errors as values for the data-file readers: the program's message plus where it happened.
#include <string>
#include <utility>
#include <variant>

namespace vantrel {

struct DataError {
    std::string message;  // the text the program shows (UTF-8), e.g. "車両ファイルに誤りがあります- 列車の基本設定"
    std::string file;     // file name as given, for the log
    int line = 0;         // 1-based line last read, 0 when the file could not be opened
    std::string missing_file = {};  // a picture or sound named by the file that could not be loaded, as written
};

template <class T>
class Result {
public:
    Result(T value) : v_(std::move(value)) {}
    Result(DataError error) : v_(std::move(error)) {}

    [[nodiscard]] bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }
    [[nodiscard]] T& value() { return std::get<0>(v_); }
    [[nodiscard]] const T& value() const { return std::get<0>(v_); }
    [[nodiscard]] const DataError& error() const { return std::get<1>(v_); }

private:
    std::variant<T, DataError> v_;
};

}  // namespace vantrel
