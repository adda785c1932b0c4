#include "controllers/rx_char.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <string>

#include "app/run.hpp"
#include "common/common_utilities.hpp"
#include "common/data_text.hpp"
#include "common/fixed_point.hpp"
#include "dynamics/handles.hpp"
#include "route/vigilance.hpp"

namespace vantrel {
namespace {

constexpr int kFirstBrakeSlot = 7;
constexpr int kEmergencySlot = 15;
constexpr int kFirstReverserSlot = 16;
constexpr int kFirstButtonSlot = 19;
constexpr std::string_view kButtonKeys = "137";

// Power and brake positions set together; a power code releases the brake at once.
void set_positions(Run& run, int32_t power, int32_t brake) {
    const TrainParams& t = run.train;
    set_power_position(run, notch_clamp(power, t.power_notches, t.brake_notches));
    set_brake_position(run, notch_clamp(brake, t.power_notches, t.brake_notches));
    mark_handles_changed(run);
}

void slot_action(Run& run, int slot) {
    if (slot < kFirstBrakeSlot) {  // P1..P6, then neutral (slot 6)
        set_positions(run, slot == kFirstBrakeSlot - 1 ? 0 : slot + 1, 0);
        masconupdate(run);
    } else if (slot <= kEmergencySlot) {  // B1..B8, then -9: emergency on trains of up to 9 positions
        set_positions(run, 0, -(slot - kFirstBrakeSlot + 1));
        if (slot == kEmergencySlot) restart(run.sound(), run.train.sound_eb);
        masconupdate(run);
    } else if (slot < kFirstButtonSlot) {
        if (std::llabs(run.core.Speed) <= kFixedOne) {
            run.core.Reverser = 1 - (slot - kFirstReverserSlot);  // forward, neutral, backward
            masconupdate(run);
        }
    } else {
        const char key = kButtonKeys[static_cast<size_t>(slot - kFirstButtonSlot)];
        run.posted.push_back({false, static_cast<unsigned char>(key)});
    }
}

}  // namespace

void RxChar(Run& run, std::string_view bytes) {
    driver_action(run);
    run.controllers.value_caption = cp932_to_utf8(bytes);
    const MasconTable& table = run.controllers.mascon;
    const int slots = std::min(table.count, kMasconUsedSlots);
    // A chunk shorter than a code is matched whole, as the file's line.
    if (bytes.size() < static_cast<size_t>(kMasconCodeLength)) {
        const std::string head = cp932_to_utf8(bytes);
        for (int slot = 0; slot < slots; ++slot)
            if (table.codes[static_cast<size_t>(slot)] == head) slot_action(run, slot);
        return;
    }
    // The codes as the port sends them: CP932 bytes, five of them or never matched.
    std::array<std::optional<std::string>, kMasconUsedSlots> sent;
    for (int slot = 0; slot < slots; ++slot) {
        const std::string& stored = table.codes[static_cast<size_t>(slot)];
        const bool ascii = std::all_of(stored.begin(), stored.end(), [](char c) { return (c & 0x80) == 0; });
        auto code = ascii ? std::optional<std::string>(stored) : utf8_to_cp932(stored);
        if (code && code->size() == static_cast<size_t>(kMasconCodeLength)) sent[static_cast<size_t>(slot)] = code;
    }
    // A quick sweep of the handle can bring several codes in one read, and many controllers
    // end each code with CR LF: every known code acts wherever it starts, in order, so the
    // handle ends where the controller is. Bytes that begin no code are passed over.
    size_t at = 0;
    while (at + kMasconCodeLength <= bytes.size()) {
        const std::string_view window = bytes.substr(at, kMasconCodeLength);
        bool matched = false;
        for (int slot = 0; slot < slots; ++slot) {
            if (sent[static_cast<size_t>(slot)] != window) continue;
            slot_action(run, slot);
            matched = true;
        }
        at += matched ? kMasconCodeLength : 1;
    }
}

}  // namespace vantrel
