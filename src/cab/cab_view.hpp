#pragma once
// Everything the player sees, as plain data: the logic writes it, the driving window
// draws it, and the tests and the headless runner read it. Picture slots hold an
// index into their image list, or -1 for no picture.
#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

// A needle's last angle and what it was computed from: pressures stand still most of
// the time, and the angle costs a long double division.
struct NeedleMemo {
    int64_t stored = 0;
    long double scale = 0;
    int32_t zero_angle = 0;
    int angle = 0;
    bool valid = false;
};

struct CabView {
    std::string caption = "Vantrel";  // window caption

    // Handle and position labels.
    std::string Label1, PowerLabel, BrakeLabel;
    std::string GearLabel = "変";
    bool GearLabel_visible = false;
    int Lamp_P = -1;     // NotchImageP index
    int Lamp_B = -1;     // NotchImageB index
    int Lamp_Gear = -1;  // GearImageList index
    int gear_drawn = -1;  // gear whose picture Lamp_Gear shows, -1 none
    NeedleMemo memo_V, memo_BC, memo_ER, memo_BP, memo_MR, memo_SAP;

    // Right-hand column.
    int SignalImage = -1;      // SignalImageList index
    std::string SignalLabel;
    bool SignalLabel_visible = false;
    int SpeedLimitImage = -1;  // OtherImageList index
    bool SpeedLimitImage_visible = true;
    int OtherImage = -1;       // OtherImageList index
    int SlopeImage = -1;       // SignImageList index
    std::string SlopeText;
    int stop = -1;             // stop marker: SignImageList index (0) or none
    int stopline_top = -20;
    std::string Label4;   // next station
    std::string Label3;   // digital clock
    std::string digi_speed;
    std::string CarsLabel;

    // Lamps.
    bool Lamp_Door = true, Lamp_Power = true, Lamp_Gen = true, Lamp_EB = false, Lamp_Air = true,
         Lamp_Ele = true, Lamp_Ats = false, Lamp_Atsp1 = false, Lamp_Atsp2 = false;
    bool Lamp_G = false, Lamp_YG = false, Lamp_Y = false, Lamp_YY = false, Lamp_R = false;
    bool Lamp_Fwd = true, Lamp_Bck = false;
    bool Lamp_stopalert = false;
    bool Panel2 = false;
    std::vector<bool> Others;  // visibility per "[Others]" entry

    // Needle angles in whole degrees as set; the drawing reduces them to tenths in 0 .. 3599.
    int Needle_Speed = 0, Needle_I = 0, Needle_V = 0, Needle_BC = 0, Needle_ER = 0, Needle_BP = 0,
        Needle_MR = 0, Needle_SAP = 0;

    // Analogue clock hand end points in the 50 x 50 clock picture; drawn once a second.
    bool clock_drawn = false;
    int hour_x = 25, hour_y = 25, minute_x = 25, minute_y = 25, second_x = 25, second_y = 25;

    // Timetable card position (left 640 is just beyond the right edge).
    int card_left = 640, card_top = 0;

    // Caption strip of the event hook.
    std::string caption_strip;
    bool caption_strip_visible = false;

    bool value_display_visible = false;
};

}  // namespace vantrel
