// The controller file reader and the serial handler on arbitrary bytes: the input is
// a controller file, a NUL byte and the bytes the port receives (read in chunks of up
// to eight). The file gives at most its slots, none of them a "#" line.
#include <algorithm>
#include <exception>
#include <memory>

#include "app/run.hpp"
#include "controllers/mascon_reader.hpp"
#include "controllers/rx_char.hpp"
#include "dynamics/train_setup.hpp"
#include "fuzz_support.hpp"
#include "input/keyboard.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace vantrel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto split = std::min(bytes.find('\0'), bytes.size());
    const std::string_view file = bytes.substr(0, split);
    std::string_view received = split < bytes.size() ? bytes.substr(split + 1) : std::string_view{};
    try {
        fuzz::write_file(std::string(kMasconFile), file);
        const PathResolver resolver(fuzz::data_dir());
        auto table = read_mascon_file(kMasconFile, resolver);
        if (!table) fuzz::fail("an existing controller file was refused");
        const MasconTable& t = table.value();
        if (t.count < 0 || t.count > MasconTable::kSlots) fuzz::fail("slot count out of range");
        for (int i = 0; i < t.count; ++i) {
            if (t.codes[static_cast<std::size_t>(i)].starts_with('#')) fuzz::fail("a \"#\" line became a code");
        }

        auto run = std::make_unique<Run>();
        TrainParams& p = run->train;
        p.brake_type = 1;
        p.brake_notches = 8;
        p.power_notches = 4;
        p.tons = 300 * 10000;
        p.cars = 4;
        p.power_delay = p.brake_delay = p.sap_delay = 1;
        p.eb_press = 440;
        init_train_state(*run);
        run->controllers.mascon = t;
        while (!received.empty()) {
            const std::size_t n = std::min<std::size_t>(8, received.size());
            RxChar(*run, received.substr(0, n));
            drain_posted(*run);
            received.remove_prefix(n);
        }
    } catch (const std::exception& e) {
        fuzz::fail(e.what());
    }
    return 0;
}
