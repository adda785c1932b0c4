#pragma once
// The cab panel as the train file defines it: pictures, positions and needle parameters.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cab/picture_loader.hpp"

namespace vantrel {

inline constexpr int kMaxOthers = 11;

struct PanelPicture {
    PictureRef picture;  // empty name: no picture
    int32_t left = 0, top = 0;
};

struct NeedleDef {
    PictureRef picture;  // empty name: the needle is dropped
    int32_t left = 0, top = 0, width = 0, height = 0;
    int32_t zero_angle = 0;  // degrees
    long double scale = 0;   // degrees per unit
};

struct ImageListDef {
    int32_t left = 0, top = 0;
    int width = 0, height = 0;          // size of the list (of its last size change)
    std::vector<PictureRef> pictures;  // only those since the last change of size
};

enum class Lamp {
    Door, Power, EB, Gen, Air, Ele, Ats, ATSP1, ATSP2, G, YG, Y, YY, R, Fwd, Back, Count
};

struct PanelDef {
    int32_t clock_x = 0, clock_y = 0, clock_length = 0;
    PanelPicture panel, panel2;
    std::array<PanelPicture, static_cast<int>(Lamp::Count)> lamps{};
    NeedleDef needle_speed, needle_bc, needle_sap, needle_er, needle_bp, needle_mr, needle_v, needle_i;
    ImageListDef notch_p, notch_b, gears;
    std::vector<PanelPicture> others;  // at most kMaxOthers
};

}  // namespace vantrel
