#include "dynamics/train_reader.hpp"

#include "cab/panel_reader.hpp"
#include "common/fixed_point.hpp"
#include "dynamics/train_file_context.hpp"

namespace vantrel {
namespace {

constexpr std::size_t kMaxNotches = 100;
constexpr int64_t kMinTons = 1 * kFixedOne;

constexpr std::string_view kDieselWithNotch = "動力が気動車なのにNotch指定があります";
constexpr std::string_view kPowerNotchMismatch = "Power指定とNotch指定が矛盾しています";
constexpr std::string_view kElectricWithEngine = "動力が電車なのにEngine指定があります";

// The keys with one, two or three value lines, in the order they are tested.
bool read_value_keys(TrainFileContext& c, TrainParams& p) {
    if (c.key("[Handle]") && !c.read_int(p.handle_type)) return false;
    if (c.key("[BrakeType]") && !c.read_int(p.brake_type)) return false;
    if (c.key("[Brake]") && !c.read_int(p.brake_notches)) return false;
    if (c.key("[Power]") && !c.read_int(p.power_notches)) return false;
    if (c.key("[Hold]") && !c.read_int(p.hold)) return false;
    if (c.key("[BrakeRate]") && !c.read_fixed4(p.brake_rate)) return false;
    if (c.key("[PowerDelay]") && !c.read_int(p.power_delay)) return false;
    if (c.key("[BrakeDelay]") && !c.read_int(p.brake_delay)) return false;
    if (c.key("[SAPDelay]") && !c.read_int(p.sap_delay)) return false;
    if (c.key("[BrakeUp]") && !c.read_int(p.brake_up)) return false;
    if (c.key("[BrakeDown]") && !c.read_int(p.brake_down)) return false;
    if (c.key("[EBPress]") && !c.read_int(p.eb_press)) return false;
    if (c.key("[SAPPress]") && !c.read_int(p.sap_press)) return false;
    if (c.key("[HighAirPress]") && !c.read_int(p.high_air_press)) return false;
    if (c.key("[LowAirPress]") && !c.read_int(p.low_air_press)) return false;
    if (c.key("[Curr1]") && !c.read_int(p.curr1)) return false;
    if (c.key("[Curr2]") && !c.read_int(p.curr2)) return false;
    if (c.key("[Engine_Type]") && !c.read_int(p.engine_type)) return false;
    if (c.key("[DoorType]") && !c.read_int(p.door_type)) return false;
    if (c.key("[Mt]") && !c.read_fixed4(p.mt)) return false;
    if (c.key("[Tt]") && !c.read_fixed4(p.tt)) return false;
    if (c.key("[Cars]") && !c.read_int(p.cars)) return false;
    // The stop marker goes into an image list, which takes bitmaps only.
    if (c.key("[StopLine]") && !c.load_picture(c.read_text(), PictureFormat::Bitmap, p.stop_line)) return false;
    if (c.key("[Tons]") && !c.read_fixed4(p.tons)) return false;
    if (c.key("[EB]") && !c.read_int(p.eb)) return false;
    if (c.key("[MaxSpeed]") && !c.read_int(p.max_speed)) return false;
    if (c.key("[Lose_elec]") && !c.read_int(p.lose_elec)) return false;
    if (c.key("[Mc]") && !c.read_int(p.mc)) return false;
    if (c.key("[ATS_Type]") && !c.read_int(p.ats_type)) return false;
    if (c.key("[ATS_Alert]") && !c.read_int(p.ats_alert)) return false;
    if (c.key("[ATS_Time]") && !c.read_int(p.ats_time)) return false;
    if (c.key("[ATS_Cnt]") && !c.read_int(p.ats_cnt)) return false;
    if (c.key("[Sound_br1]") && !c.read_int(p.sound_br1)) return false;
    if (c.key("[Sound_br2]") && !c.read_int(p.sound_br2)) return false;
    if (c.key("[Sound_EB]") && !c.read_int(p.sound_eb)) return false;
    if (c.key("[Sound_Ats1]") && !c.read_int(p.sound_ats1)) return false;
    if (c.key("[Sound_Ats2]") && !c.read_int(p.sound_ats2)) return false;
    if (c.key("[Sound_Atc]") && !c.read_int(p.sound_atc)) return false;
    if (c.key("[Sound_Horn]") && !c.read_int(p.sound_horn)) return false;
    if (c.key("[Sound_Horn2]") && !c.read_int(p.sound_horn2)) return false;
    if (c.key("[Sound_Horn3]") && !c.read_int(p.sound_horn3)) return false;
    if (c.key("[Sound_DoorOpen]") && !c.read_int(p.sound_door_open)) return false;
    if (c.key("[Sound_DoorClose]") && !c.read_int(p.sound_door_close)) return false;
    if (c.key("[Sound_EBring]") && !c.read_int(p.sound_eb_ring)) return false;
    if (c.key("[Sound_squeak]") && !c.read_int(p.sound_squeak)) return false;
    if (c.key("[CP_Start]") && !c.read_int(p.cp_start)) return false;
    if (c.key("[CP_Cnt]") && !c.read_int(p.cp_cnt)) return false;
    if (c.key("[CP_End]") && !c.read_int(p.cp_end)) return false;
    if (c.key("[Stop]") && !c.read_int(p.sound_stop)) return false;
    if (c.key("[Buzzer]") && !(c.read_int(p.buzzer[0]) && c.read_int(p.buzzer[1]))) return false;
    if (c.key("[DepSign]") && !c.read_int(p.dep_sign)) return false;
    if (c.key("[EngineSound]") &&
        !(c.read_int(p.engine_sound[0]) && c.read_int(p.engine_sound[1]) && c.read_int(p.engine_sound[2])))
        return false;
    if (c.key("[Gear_Type]")) {
        // The whole line decides: "MT " with a trailing blank is neither and changes nothing.
        const std::string& value = c.read_text();
        if (value == "AT") p.gear_manual = 0;
        if (value == "MT") p.gear_manual = 1;
    }
    return true;
}

// One notch curve per line: start accel, base accel, base speed, characteristic speed, decay.
bool read_notch_list(TrainFileContext& c, TrainParams& p) {
    p.notches.clear();
    for (;;) {
        bool ended = false;
        if (!c.next_entry(ended)) return false;
        if (ended) break;
        // A collecting reader notes the problem and goes on with the next entry.
        if (p.notches.size() >= kMaxNotches) {
            if (!c.fail("train.list.full")) return false;
            continue;
        }
        const std::string& line = c.cursor().current();
        NotchCurve n;
        if (!field_real(line, 1, n.start_accel) || !field_real(line, 2, n.base_accel) ||
            !field_int(line, 3, n.base_speed) || !field_int(line, 4, n.char_speed) || !field_real(line, 5, n.decay)) {
            if (!c.fail("train.record")) return false;
            continue;
        }
        // The curve divides by the speed above the base and the characteristic speed; with
        // either at or below 0 km/h that happens at a standstill.
        if (n.base_speed <= 0 || n.char_speed <= 0) {
            if (!c.fail("train.notch.speed")) return false;
            continue;
        }
        p.notches.push_back(n);
    }
    // A list cut off by the end of the file (read on only while collecting) has no end to test.
    if (!c.cursor().current().starts_with('#')) return true;
    // Tested against the engine type and notch count as they stand when the list ends.
    if (p.engine_type == 0) return c.fail_with("train.notch.diesel", kDieselWithNotch);
    if (static_cast<int64_t>(p.notches.size()) != p.power_notches)
        return c.fail_with("train.notch.count", kPowerNotchMismatch);
    return true;
}

// One gear per line: low, middle and high speed, then the three accelerations.
bool read_engine_list(TrainFileContext& c, TrainParams& p) {
    p.gears.clear();
    for (;;) {
        bool ended = false;
        if (!c.next_entry(ended)) return false;
        if (ended) break;
        if (p.gears.size() >= static_cast<std::size_t>(kMaxGears)) {
            if (!c.fail("train.list.full")) return false;
            continue;
        }
        const std::string& line = c.cursor().current();
        GearEntry g;
        if (!field_int(line, 1, g.low_speed) || !field_int(line, 2, g.mid_speed) ||
            !field_int(line, 3, g.high_speed) || !field_real(line, 4, g.low_accel) ||
            !field_real(line, 5, g.mid_accel) || !field_real(line, 6, g.high_accel)) {
            if (!c.fail("train.record")) return false;
            continue;
        }
        // The effort below the middle speed divides by (middle - low), reachable once the
        // middle speed is above 0; the engine output divides by (high - low). An entry with
        // high = middle only has an empty constant region and is kept.
        if ((g.mid_speed == g.low_speed && g.mid_speed > 0) || g.high_speed == g.low_speed) {
            if (!c.fail("train.engine.speed")) return false;
            continue;
        }
        p.gears.push_back(g);
    }
    if (!c.cursor().current().starts_with('#')) return true;
    if (p.engine_type == 1) return c.fail_with("train.engine.electric", kElectricWithEngine);
    return true;
}

// Eight lines per entry: file, mode, then six numbers; only the file line can end the list.
bool read_motor_sound_list(TrainFileContext& c, TrainParams& p) {
    p.motor_sounds.clear();
    for (;;) {
        bool ended = false;
        if (!c.next_entry(ended)) return false;
        if (ended) return true;
        // A full table still reads the entry's lines, so a collecting reader stays in step.
        const bool full = p.motor_sounds.size() >= static_cast<std::size_t>(kMaxMotorSounds);
        if (full && !c.fail("train.list.full")) return false;
        MotorSoundEntry m;
        m.file = c.cursor().current();
        if (!full) c.note_line("[MotorSound]");
        if (!c.read_int(m.mode) || !c.read_real(m.start_speed) || !c.read_real(m.end_speed) ||
            !c.read_real(m.start_ratio) || !c.read_real(m.end_ratio) || !c.read_real(m.start_loudness) ||
            !c.read_real(m.end_loudness))
            return false;
        if (!full) p.motor_sounds.push_back(std::move(m));
    }
}

bool read_drive_sound_list(TrainFileContext& c, TrainParams& p) {
    p.drive_sounds.clear();
    for (;;) {
        bool ended = false;
        if (!c.next_entry(ended)) return false;
        if (ended) return true;
        if (p.drive_sounds.size() >= static_cast<std::size_t>(kMaxDriveSounds)) {
            if (!c.fail("train.list.full")) return false;
            continue;
        }
        c.note_line("[DriveSound]");
        p.drive_sounds.push_back(c.cursor().current());
    }
}

// All keys of one line of the file, in their fixed order; false on the first failure.
bool read_line_keys(TrainFileContext& c, TrainParams& p) {
    c.set_label(kBasicSettings);
    if (!read_value_keys(c, p)) return false;
    c.set_label("[Notch]");
    if (c.key("[Notch]") && !read_notch_list(c, p)) return false;
    c.set_label("[Engine]");
    if (c.key("[Engine]") && !read_engine_list(c, p)) return false;
    c.set_label("[MotorSound]");
    if (c.key("[MotorSound]") && !read_motor_sound_list(c, p)) return false;
    c.set_label("[DriveSound]");
    if (c.key("[DriveSound]") && !read_drive_sound_list(c, p)) return false;
    return read_panel_keys(c, p.panel);
}

// Values the run divides by or counts against, checked once the whole file is read so
// that an absent key (left at 0) is refused as well: every force is divided by the mass,
// the gradient mean by the cars (whose history holds kMaxCars samples), and a delay
// below 1 never expires. Below 1 t the air resistance, which does not scale with the
// mass, swings the speed further every step until it leaves its integer type.
bool check_run_values(TrainFileContext& c, const TrainParams& p) {
    c.set_label(kBasicSettings);
    if (p.tons < kMinTons && !c.fail("train.tons")) return false;
    if ((p.cars < 1 || p.cars > kMaxCars) && !c.fail("train.cars")) return false;
    if ((p.power_delay < 1 || p.brake_delay < 1 || p.sap_delay < 1) && !c.fail("train.delay")) return false;
    return true;
}

}  // namespace

Result<TrainParams> read_train_file(const std::string& file, const PathResolver& resolver,
                                    PictureLoader& pictures, ProblemSink* problems) {
    const auto path = resolver.resolve(file);
    auto lines = path ? read_cp932_lines(*path) : std::nullopt;
    if (!lines) {
        DataError error{std::string(kTrainFileError), file, 0};
        if (problems) problems->error("train.file.unreadable", file, 0, error.message);
        return error;
    }

    TrainFileContext c(file, LineCursor(std::move(*lines)), resolver, pictures, problems);
    TrainParams p;
    bool ok = true;
    while (ok && !c.cursor().at_end()) {
        c.cursor().next();
        c.begin_key_line();
        ok = read_line_keys(c, p);
        if (ok) c.end_key_line();
    }
    if (ok) ok = check_run_values(c, p);
    if (!ok) return *c.error();
    return p;
}

}  // namespace vantrel
