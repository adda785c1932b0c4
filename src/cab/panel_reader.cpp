#include "cab/panel_reader.hpp"

#include <array>
#include <string>
#include <string_view>

namespace vantrel {
namespace {

constexpr std::string_view kPanelLabel = "- 運転台パネル";

struct LampKey {
    std::string_view key;
    Lamp lamp;
};

constexpr std::array<LampKey, static_cast<std::size_t>(Lamp::Count)> kLampKeys{{
    {"[Lamp_Door]", Lamp::Door},   {"[Lamp_Power]", Lamp::Power}, {"[Lamp_EB]", Lamp::EB},
    {"[Lamp_Gen]", Lamp::Gen},     {"[Lamp_Air]", Lamp::Air},     {"[Lamp_Ele]", Lamp::Ele},
    {"[Lamp_Ats]", Lamp::Ats},     {"[Lamp_ATSP1]", Lamp::ATSP1}, {"[Lamp_ATSP2]", Lamp::ATSP2},
    {"[Lamp_G]", Lamp::G},         {"[Lamp_YG]", Lamp::YG},       {"[Lamp_Y]", Lamp::Y},
    {"[Lamp_YY]", Lamp::YY},       {"[Lamp_R]", Lamp::R},         {"[Lamp_Fwd]", Lamp::Fwd},
    {"[Lamp_Back]", Lamp::Back},
}};

struct NeedleKey {
    std::string_view key;
    std::string_view label;
    NeedleDef PanelDef::*needle;
};

constexpr std::array<NeedleKey, 8> kNeedleKeys{{
    {"[Needle_Speed]", "- 速度計", &PanelDef::needle_speed},
    {"[Needle_BC]", "- BC圧力計", &PanelDef::needle_bc},
    {"[Needle_SAP]", "- SAP圧力計", &PanelDef::needle_sap},
    {"[Needle_ER]", "- ER圧力計", &PanelDef::needle_er},
    {"[Needle_BP]", "- BP圧力計", &PanelDef::needle_bp},
    {"[Needle_MR]", "- MR圧力計", &PanelDef::needle_mr},
    {"[Needle_V]", "- 電圧計", &PanelDef::needle_v},
    {"[Needle_I]", "- 電流計", &PanelDef::needle_i},
}};

struct ImageListKey {
    std::string_view key;  // also the label
    ImageListDef PanelDef::*list;
};

constexpr std::array<ImageListKey, 3> kImageListKeys{{
    {"[NotchImageP]", &PanelDef::notch_p},
    {"[NotchImageB]", &PanelDef::notch_b},
    {"[GearImageList]", &PanelDef::gears},
}};

// Image file (empty: none), left, top.
bool read_picture(TrainFileContext& c, PanelPicture& out) {
    return c.load_optional_picture(c.read_text(), PictureFormat::Any, out.picture) && c.read_int(out.left) &&
           c.read_int(out.top);
}

// Image file (a bitmap; empty: the needle is dropped), left, top, width, height, zero
// angle, scale.
bool read_needle(TrainFileContext& c, NeedleDef& out) {
    return c.load_optional_picture(c.read_text(), PictureFormat::Bitmap, out.picture) && c.read_int(out.left) &&
           c.read_int(out.top) && c.read_int(out.width) && c.read_int(out.height) &&
           c.read_int(out.zero_angle) && c.read_real(out.scale);
}

// Left, top, then one bitmap per line. The list takes the size of each picture added, and
// a change of size empties it, so only the pictures since the last change remain. The
// list is the form's own, so a repeated key adds to it.
bool read_image_list(TrainFileContext& c, ImageListDef& list) {
    if (!c.read_int(list.left) || !c.read_int(list.top)) return false;
    for (;;) {
        bool ended = false;
        if (!c.next_entry(ended)) return false;
        if (ended) return true;
        const std::string& line = c.cursor().current();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;  // a blank line adds nothing
        PictureRef picture;
        if (!c.load_picture(line, PictureFormat::Bitmap, picture)) return false;
        if (picture.path.empty()) continue;  // not loaded: a collecting reader has noted it
        if (picture.width != list.width || picture.height != list.height) {
            if (!list.pictures.empty())
                c.warn("train.imagelist.size", "the " + std::to_string(list.pictures.size()) +
                                                   " picture(s) before this line are dropped");
            list.pictures.clear();
            list.width = picture.width;
            list.height = picture.height;
        }
        list.pictures.push_back(std::move(picture));
    }
}

// Triples of image file, left, top; the run-time table has kMaxOthers slots. Unlike a
// lamp, an entry cannot go without its picture.
bool read_others(TrainFileContext& c, std::vector<PanelPicture>& others) {
    others.clear();
    for (;;) {
        bool ended = false;
        if (!c.next_entry(ended)) return false;
        if (ended) return true;
        // A full table still reads the entry's lines, so a collecting reader stays in step.
        const bool full = others.size() >= static_cast<std::size_t>(kMaxOthers);
        if (full && !c.fail("train.list.full")) return false;
        PanelPicture entry;
        if (!c.load_picture(c.cursor().current(), PictureFormat::Any, entry.picture) ||
            !c.read_int(entry.left) || !c.read_int(entry.top))
            return false;
        if (!full) others.push_back(std::move(entry));
    }
}

}  // namespace

bool read_panel_keys(TrainFileContext& c, PanelDef& panel) {
    c.set_label("- アナログ時計");
    if (c.key("[Clock]") &&
        !(c.read_int(panel.clock_x) && c.read_int(panel.clock_y) && c.read_int(panel.clock_length)))
        return false;
    c.set_label(kPanelLabel);
    if (c.key("[Panel]") && !read_picture(c, panel.panel)) return false;
    if (c.key("[Panel2]") && !read_picture(c, panel.panel2)) return false;
    for (const LampKey& k : kLampKeys) {
        if (c.key(k.key) && !read_picture(c, panel.lamps[static_cast<std::size_t>(k.lamp)])) return false;
    }
    for (const NeedleKey& k : kNeedleKeys) {
        c.set_label(k.label);
        if (c.key(k.key) && !read_needle(c, panel.*k.needle)) return false;
    }
    for (const ImageListKey& k : kImageListKeys) {
        c.set_label(k.key);
        if (c.key(k.key) && !read_image_list(c, panel.*k.list)) return false;
    }
    c.set_label("[Others]");
    if (c.key("[Others]") && !read_others(c, panel.others)) return false;
    return true;
}

}  // namespace vantrel
