// The train file reader on arbitrary bytes: it accepts or refuses with the train
// file's error, and an accepted file keeps the values the run divides by in range.
#include <algorithm>
#include <exception>

#include "cab/header_picture_loader.hpp"
#include "common/fixed_point.hpp"
#include "dynamics/train_reader.hpp"
#include "fuzz_support.hpp"
#include "fuzz_support_messages.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace vantrel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        fuzz::write_file("fuzz_train.dat", bytes);
        const PathResolver resolver(fuzz::data_dir());
        HeaderPictureLoader pictures;
        const auto train = read_train_file("fuzz_train.dat", resolver, pictures);
        // The collecting reader meets the same first error, and carries on without crashing or hanging.
        ProblemSink sink;
        (void)read_train_file("fuzz_train.dat", resolver, pictures, &sink);
        const auto& collected = sink.problems();
        const auto first = std::find_if(collected.begin(), collected.end(),
                                        [](const Problem& p) { return p.severity == Severity::Error; });
        if ((first == collected.end()) != train.ok()) fuzz::fail("the collecting reader disagrees on refusal");
        if (!train && (first->message != train.error().message || first->line != train.error().line))
            fuzz::fail("the collecting reader's first error differs");
        if (!train) {
            fuzz::check_refusal(train.error(), "fuzz_train.dat", bytes, fuzz::kTrainMessages);
            return 0;
        }
        const TrainParams& t = train.value();
        if (t.tons < kFixedOne || t.cars < 1 || t.cars > kMaxCars)
            fuzz::fail("accepted a mass or car count the run cannot use");
        if (t.power_delay < 1 || t.brake_delay < 1 || t.sap_delay < 1) fuzz::fail("accepted a delay below 1");
        if (t.notches.size() > 100 || t.gears.size() > static_cast<std::size_t>(kMaxGears)) fuzz::fail("list overrun");
    } catch (const std::exception& e) {
        fuzz::fail(e.what());
    }
    return 0;
}
