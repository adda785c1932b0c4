#include "demo_data/pack_trains.hpp"

#include <cstdio>

namespace vantrel::demo {
namespace {

std::string num(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%g", v);
    return b;
}

// Instruments laid out left of x 490 in the band below the video.
void lay_out(TrainSpec& t) {
    const bool diesel = t.engine_type == 0;
    // Duplex pressure gauge: main reservoir (red) and brake cylinder (black), 0..1000 kPa.
    t.dials.push_back({78, 352, 56, 0, 1000, 200, -135, 135, "MR / BC", "kPa"});
    t.gauges.push_back({"[Needle_MR]", "needle_red_112.bmp", 78, 352, 56, -135, 0.27});
    t.gauges.push_back({"[Needle_BC]", "needle_black_112.bmp", 78, 352, 56, -135, 0.27});
    // Speedometer.
    t.dials.push_back({214, 360, 72, 0, static_cast<double>(t.dial_max), 20, -135, 135, "速度計", "km/h"});
    t.gauges.push_back({"[Needle_Speed]", "needle_white_144.bmp", 214, 360, 72, -135, 270.0 / t.dial_max});
    // Second pressure gauge: equalising reservoir and brake pipe for the automatic brake,
    // the straight-air pipe otherwise.
    if (t.brake_type == 0) {
        t.dials.push_back({355, 352, 56, 0, 1000, 200, -135, 135, "ER / BP", "kPa"});
        t.gauges.push_back({"[Needle_ER]", "needle_red_112.bmp", 355, 352, 56, -135, 0.27});
        t.gauges.push_back({"[Needle_BP]", "needle_black_112.bmp", 355, 352, 56, -135, 0.27});
    } else {
        t.dials.push_back({355, 352, 56, 0, 600, 100, -135, 135, "SAP", "kPa"});
        t.gauges.push_back({"[Needle_SAP]", "needle_black_112.bmp", 355, 352, 56, -135, 0.45});
    }
    if (!diesel) {
        t.dials.push_back({450, 314, 34, 0, 2000, 500, -120, 120, "電圧計", "V"});
        t.gauges.push_back({"[Needle_V]", "needle_black_68.bmp", 450, 314, 34, -120, 0.12});
        t.dials.push_back({450, 396, 34, -1000, 1000, 500, -120, 120, "電流計", "A"});
        t.gauges.push_back({"[Needle_I]", "needle_black_68.bmp", 450, 396, 34, 0, 0.12});
    }
    // Indicator lamps: one row along the top of the panel, signal lamps below it.
    struct L {
        const char* key;
        const char* text;
        uint32_t colour;
    };
    std::vector<L> row = {{"[Lamp_Door]", "戸閉", 0xffa040}, {"[Lamp_Power]", "力行", 0x50e060}};
    if (!diesel) {
        row.push_back({"[Lamp_Gen]", "回生", 0x60c0ff});
        row.push_back({"[Lamp_Ele]", "電制", 0x60a0ff});
    }
    row.push_back({"[Lamp_Air]", "空制", 0xf0e060});
    row.push_back({"[Lamp_Ats]", "ATS", 0xff3030});
    if (t.eb) row.push_back({"[Lamp_EB]", "EB", 0xff3030});
    if (t.ats_type == 1) {
        row.push_back({"[Lamp_ATSP1]", "P接近", 0xffb030});
        row.push_back({"[Lamp_ATSP2]", "ブレーキ", 0xff3030});
    }
    row.push_back({"[Lamp_Fwd]", "前", 0xf0f0f0});
    row.push_back({"[Lamp_Back]", "後", 0xf0f0f0});
    int x = 8;
    for (const L& l : row) {
        t.lamps.push_back({l.key, l.text, l.colour, x, 246});
        x += kLampW + 2;
    }
    if (t.ats_type == 2) {
        const L sig[] = {{"[Lamp_R]", "R", 0xff3030}, {"[Lamp_YY]", "YY", 0xffc020}, {"[Lamp_Y]", "Y", 0xffc020},
                         {"[Lamp_YG]", "YG", 0x80e040}, {"[Lamp_G]", "G", 0x30e070}};
        x = 8;
        for (const L& l : sig) {
            t.lamps.push_back({l.key, l.text, l.colour, x, 266});
            x += 30;
        }
    } else if (t.ats_type == 0 && t.ats_alert == 1) {
        const L chk[] = {{"[Lamp_YY]", "25", 0xffc020}, {"[Lamp_Y]", "45", 0xffc020}, {"[Lamp_YG]", "65", 0x80e040}};
        x = 8;
        for (const L& l : chk) {
            t.lamps.push_back({l.key, l.text, l.colour, x, 266});
            x += 30;
        }
    }
}

}  // namespace

std::vector<TrainSpec> pack_trains() {
    std::vector<TrainSpec> v;
    {
        TrainSpec t;
        t.id = "785";
        t.title = "785系 特急形電車";
        t.handle = 1, t.brake_type = 2, t.brakes = 8, t.powers = 5, t.hold = 0, t.brake_rate = 4.0;
        t.brake_up = 500, t.brake_down = 400;
        t.mt = 160, t.tt = 70, t.tons = 232, t.cars = 5, t.eb = 1, t.max_speed = 130, t.lose_elec = 6, t.mc = 1;
        t.ats_type = 1, t.ats_alert = 0, t.ats_time = 5, t.ats_cnt = 1;
        t.notches = {"2.4,2.2,15,40,0.990", "2.6,2.4,28,55,0.988", "2.8,2.6,40,70,0.986", "3.0,2.8,50,85,0.985",
                     "3.0,2.8,60,100,0.984"};
        t.family = "emu", t.motor = "vvvf1", t.body = 0x3c4a5a, t.face = 0x1e2630, t.dial_max = 140;
        v.push_back(t);
    }
    {
        TrainSpec t;
        t.id = "721";
        t.title = "721系 近郊形電車";
        t.handle = 0, t.brake_type = 1, t.brakes = 8, t.powers = 4, t.hold = 0, t.brake_rate = 3.6;
        t.mt = 120, t.tt = 40, t.tons = 150, t.cars = 3, t.eb = 1, t.max_speed = 120, t.lose_elec = 8, t.mc = 0;
        t.ats_type = 0, t.ats_alert = 0, t.ats_time = 5, t.ats_cnt = 1;
        t.notches = {"2.2,2.0,20,45,0.988", "2.4,2.2,32,60,0.987", "2.6,2.4,42,72,0.986", "2.6,2.4,50,85,0.985"};
        t.family = "emu", t.motor = "gto", t.body = 0x4a5c4a, t.face = 0x233023, t.dial_max = 120;
        v.push_back(t);
    }
    {
        TrainSpec t;
        t.id = "731";
        t.title = "731系 通勤形電車";
        t.handle = 0, t.brake_type = 2, t.brakes = 8, t.powers = 4, t.hold = 1, t.brake_rate = 4.2;
        t.brake_up = 500, t.brake_down = 400;
        t.mt = 110, t.tt = 30, t.tons = 128, t.cars = 3, t.eb = 0, t.max_speed = 110, t.lose_elec = 5, t.mc = 1;
        t.ats_type = 2, t.ats_alert = 0, t.ats_time = 5, t.ats_cnt = 0;
        t.notches = {"2.6,2.4,18,45,0.988", "2.8,2.6,30,60,0.987", "3.0,2.8,42,72,0.986", "3.0,2.8,52,85,0.985"};
        t.family = "emu", t.motor = "vvvf2", t.body = 0x55585e, t.face = 0x26282c, t.dial_max = 120;
        v.push_back(t);
    }
    {
        TrainSpec t;
        t.id = "40";
        t.title = "キハ40形 一般形気動車";
        t.handle = 1, t.brake_type = 1, t.brakes = 5, t.powers = 4, t.hold = 0, t.brake_rate = 3.2;
        t.brake_up = 350, t.brake_down = 250, t.eb_press = 420, t.sap_press = 380;
        t.engine_type = 0;
        t.mt = 20, t.tt = 18, t.tons = 38, t.cars = 1, t.eb = 1, t.max_speed = 95, t.lose_elec = 0, t.mc = 1;
        t.ats_type = 0, t.ats_alert = 1, t.ats_time = 5, t.ats_cnt = 1;
        t.gears = {"0,20,45,2.0,1.6,0.9", "35,55,72,1.1,0.9,0.6", "62,80,95,0.7,0.5,0.3"};
        t.family = "dmu", t.motor = "dmu", t.body = 0x5a5040, t.face = 0x2e2a22, t.dial_max = 120;
        v.push_back(t);
    }
    {
        TrainSpec t;
        t.id = "711";
        t.title = "キハ711形 気動車 (手動変速)";
        t.handle = 1, t.brake_type = 0, t.brakes = 4, t.powers = 4, t.hold = 0, t.brake_rate = 3.0;
        t.brake_up = 300, t.brake_down = 200, t.eb_press = 400, t.sap_press = 380;
        t.engine_type = 0;
        t.mt = 40, t.tt = 36, t.tons = 78, t.cars = 2, t.eb = 0, t.max_speed = 95, t.lose_elec = 0, t.mc = 0;
        t.ats_type = 0, t.ats_alert = 0, t.ats_time = 5, t.ats_cnt = 1;
        t.manual_gears = true;
        t.gears = {"0,18,40,1.8,1.5,0.8", "30,45,60,1.1,0.9,0.6", "50,65,80,0.8,0.6,0.4", "70,85,95,0.5,0.4,0.2"};
        t.family = "dmu", t.motor = "dmu", t.body = 0x404c60, t.face = 0x202632, t.dial_max = 120;
        v.push_back(t);
    }
    for (TrainSpec& t : v) lay_out(t);
    return v;
}

std::string pack_train_text(const TrainSpec& t) {
    std::string s;
    auto put = [&](const std::string& line) { s += line + "\n"; };
    auto key = [&](const char* k, const std::string& value) {
        put(k);
        put(value);
    };
    const std::string cab = "Image\\Cab\\" + t.id + "\\";
    put("; " + t.title + "  (Vantrel デモデータ)");
    key("[Handle]", std::to_string(t.handle));
    key("[BrakeType]", std::to_string(t.brake_type));
    key("[Brake]", std::to_string(t.brakes));
    key("[Power]", std::to_string(t.powers));
    key("[Hold]", std::to_string(t.hold));
    key("[BrakeRate]", num(t.brake_rate));
    key("[PowerDelay]", std::to_string(t.power_delay));
    key("[BrakeDelay]", std::to_string(t.brake_delay));
    key("[SAPDelay]", std::to_string(t.sap_delay));
    key("[BrakeUp]", std::to_string(t.brake_up));
    key("[BrakeDown]", std::to_string(t.brake_down));
    key("[EBPress]", std::to_string(t.eb_press));
    key("[SAPPress]", std::to_string(t.sap_press));
    key("[HighAirPress]", "880");
    key("[LowAirPress]", "780");
    key("[Curr1]", "0");
    key("[Curr2]", "0");
    key("[Engine_Type]", std::to_string(t.engine_type));
    key("[DoorType]", "0");
    key("[Mt]", num(t.mt));
    key("[Tt]", num(t.tt));
    key("[Cars]", std::to_string(t.cars));
    key("[StopLine]", cab + "stopmark.bmp");
    key("[Tons]", num(t.tons));
    key("[EB]", std::to_string(t.eb));
    key("[MaxSpeed]", std::to_string(t.max_speed));
    key("[Lose_elec]", std::to_string(t.lose_elec));
    key("[Mc]", std::to_string(t.mc));
    key("[ATS_Type]", std::to_string(t.ats_type));
    key("[ATS_Alert]", std::to_string(t.ats_alert));
    key("[ATS_Time]", std::to_string(t.ats_time));
    key("[ATS_Cnt]", std::to_string(t.ats_cnt));
    // Channels: 0..12 running bands, then the list below in this order.
    const char* single[] = {"[Sound_br1]", "[Sound_br2]", "[Sound_EB]", "[Sound_Ats1]", "[Sound_Ats2]",
                            "[Sound_Atc]", "[Sound_Horn]", "[Sound_Horn2]", "[Sound_Horn3]", "[Sound_DoorOpen]",
                            "[Sound_DoorClose]", "[Sound_EBring]", "[Sound_squeak]", "[CP_Start]", "[CP_Cnt]",
                            "[CP_End]", "[Stop]"};
    int ch = 13;
    for (const char* k : single) key(k, std::to_string(ch++));
    put("[Buzzer]");
    put(std::to_string(ch++));
    put(std::to_string(ch++));
    key("[DepSign]", std::to_string(ch++));
    put("[EngineSound]");
    if (t.engine_type == 0) {
        put(std::to_string(ch));
        put(std::to_string(ch + 1));
        put(std::to_string(ch + 2));
    } else {
        put("0");
        put("0");
        put("0");
    }
    key("[Gear_Type]", t.manual_gears ? "MT" : "AT");
    if (t.engine_type == 1) {
        put("[Notch]       ; 起動加速度, 基準加速度, 基準速度, 特性速度, 減衰率");
        for (const auto& n : t.notches) put(n);
        put("#");
    } else {
        put("[Engine]      ; 下限速度, 中間速度, 上限速度, 加速度(下限), (中間), (上限)");
        for (const auto& g : t.gears) put(g);
        put("#");
    }
    put("[MotorSound]  ; ファイル, 方式, 速度(始), 速度(終), 周波数比(始), (終), 音量(始), (終)");
    auto motor = [&](const std::string& file, int mode, double v0, double v1, double f0, double f1, double l0,
                     double l1) {
        put("Sound\\Train\\" + file + ".wav");
        put(std::to_string(mode));
        for (double x : {v0, v1, f0, f1, l0, l1}) put(num(x));
    };
    if (t.motor == "dmu") {
        motor("dmu_gear", 2, 3, 100, 0.4, 1.8, 10, 70);
    } else {
        const std::string m = t.motor;
        motor(m + "_low", 0, 0.5, 35, 0.35, 1.6, 70, 95);
        motor(m + "_high", 0, 25, 140, 0.55, 1.9, 40, 85);
        motor(m + "_low", 1, 2, 45, 0.4, 1.5, 60, 85);
        motor(m + "_high", 1, 35, 140, 0.7, 1.9, 70, 85);
        motor("emu_motor", 2, 3, 140, 0.25, 2.2, 8, 80);
    }
    put("#");
    put("[DriveSound]");
    for (int k = 0; k <= 12; ++k) put("Sound\\Train\\run_" + t.family + "_" + std::to_string(k) + ".wav");
    const std::string f = t.family;
    const std::string files[] = {"brake_step",    "brake_release", "brake_emergency", "ats_bell",   "ats_chime",
                                 "atc_ding",      "horn_" + f,     "horn2_" + f,      "horn3_" + f, "door_open",
                                 "door_close",    "eb_alarm",      "squeal",          "cp_start",   "cp_run",
                                 "cp_end",        "stop_alert",    "buzzer_short",    "buzzer_long", "dep_sign"};
    for (const auto& n : files) put("Sound\\Train\\" + n + ".wav");
    if (t.engine_type == 0) {
        put("Sound\\Train\\engine_run.wav");
        put("Sound\\Train\\engine_idle.wav");
        put("Sound\\Train\\engine_idle_open.wav");
    }
    put("#");
    put("; ---- 運転台 ----");
    put("[Clock]");
    put(std::to_string(kClockX));
    put(std::to_string(kClockY));
    put(std::to_string(kClockHand));
    put("[Panel]");
    put(cab + "panel.bmp");
    put("0");
    put("240");
    put("[Panel2]");
    put(cab + "panel_dark.bmp");
    put("0");
    put("240");
    for (const Lamp& l : t.lamps) {
        put(l.key);
        put(cab + "lamp_" + l.key.substr(6, l.key.size() - 7) + ".bmp");
        put(std::to_string(l.x));
        put(std::to_string(l.y));
    }
    for (const Gauge& g : t.gauges) {
        put(g.key);
        put("Image\\Cab\\" + g.needle);
        const int size = 2 * g.r;
        put(std::to_string(g.cx - g.r));
        put(std::to_string(g.cy - g.r));
        put(std::to_string(size));
        put(std::to_string(size));
        put(std::to_string(g.zero));
        put(num(g.scale));
    }
    put("[NotchImageP]");
    put(std::to_string(kNotchX));
    put(std::to_string(kNotchPY));
    for (int i = 0; i <= t.powers; ++i) put(cab + "p" + std::to_string(i) + ".bmp");
    put("#");
    put("[NotchImageB]");
    put(std::to_string(kNotchX));
    put(std::to_string(kNotchBY));
    const int brake_pictures = (t.brake_type == 0 ? 4 : t.brakes) + 1 + t.hold;
    for (int i = 0; i < brake_pictures; ++i) put(cab + "b" + std::to_string(i) + ".bmp");
    put("#");
    if (t.engine_type == 0) {
        put("[GearImageList]");
        put(std::to_string(kNotchX));
        put(std::to_string(kGearY));
        for (size_t i = 0; i <= t.gears.size(); ++i) put(cab + "gear" + std::to_string(i) + ".bmp");
        put("#");
    }
    put("[Others]");
    put(cab + "plate.bmp");  // both framed by one pixel of the key colour
    put("11");
    put("419");
    put(cab + "sticker.bmp");
    put("299");
    put("267");
    put("#");
    return s;
}

}  // namespace vantrel::demo
