// The wave header reader on arbitrary bytes: a data chunk it reports fits the file.
#include <exception>

#include "fuzz_support.hpp"
#include "sound/wave_header.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace vantrel;
    try {
        fuzz::write_file("fuzz.wav", std::string_view(reinterpret_cast<const char*>(data), size));
        const auto wave = read_wave_header(fuzz::data_dir() / "fuzz.wav");
        if (wave && wave->data_bytes > size) fuzz::fail("a data chunk longer than the file");
    } catch (const std::exception& e) {
        fuzz::fail(e.what());
    }
    return 0;
}
