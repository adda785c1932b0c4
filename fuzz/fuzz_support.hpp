#pragma once
// Shared by the libFuzzer harnesses: a private data directory per process, the input
// written into it as a data file, and the checks every refused file must pass.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "common/result.hpp"

namespace vantrel::fuzz {

// Stops the run the way a sanitizer report does, naming the broken promise.
[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

// A directory of its own for this process. When VANTREL_FUZZ_DATA names a data
// directory (the demo data), its folders are linked in, so that the pictures and
// sounds a mutated file names can be found.
inline const std::filesystem::path& data_dir() {
    static const std::filesystem::path dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) fail("cannot make a temporary directory");
        const std::filesystem::path made(pattern);
        if (const char* data = std::getenv("VANTREL_FUZZ_DATA")) {
            std::error_code ec;
            for (const auto& entry : std::filesystem::directory_iterator(data, ec)) {
                if (entry.is_directory()) {
                    std::filesystem::create_directory_symlink(std::filesystem::absolute(entry.path()),
                                                              made / entry.path().filename(), ec);
                }
            }
        }
        return made;
    }();
    return dir;
}

// Writes the bytes as the file `name` in the data directory.
inline void write_file(const std::string& name, std::string_view bytes) {
    std::ofstream out(data_dir() / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) fail("cannot write the input file");
}

inline std::size_t line_count(std::string_view bytes) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))) ++n;
    }
    return n + 1;
}

// A refused file names itself, a line inside it and one of the messages it may give.
template <std::size_t N>
void check_refusal(const DataError& e, const std::string& file, std::string_view bytes,
                   const std::string_view (&messages)[N]) {
    if (e.file != file) fail("the error names another file");
    if (e.line < 0 || static_cast<std::size_t>(e.line) > line_count(bytes)) fail("the error's line is outside the file");
    for (std::string_view m : messages) {
        if (e.message.substr(0, m.size()) == m) return;
    }
    fail("the error is not one of the file's messages");
}

}  // namespace vantrel::fuzz
