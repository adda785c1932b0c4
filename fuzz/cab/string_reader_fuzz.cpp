// The string file reader on arbitrary bytes: it accepts or refuses with the string
// file's error.
#include <exception>

#include "cab/string_reader.hpp"
#include "fuzz_support.hpp"
#include "fuzz_support_messages.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace vantrel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        fuzz::write_file("fuzz_strings.dat", bytes);
        const PathResolver resolver(fuzz::data_dir());
        const auto strings = read_string_file("fuzz_strings.dat", resolver);
        if (!strings) fuzz::check_refusal(strings.error(), "fuzz_strings.dat", bytes, fuzz::kStringMessages);
    } catch (const std::exception& e) {
        fuzz::fail(e.what());
    }
    return 0;
}
