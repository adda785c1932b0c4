#include <gtest/gtest.h>

#include "common/fixed_point.hpp"
#include "controllers/controller_fixture.hpp"
#include "controllers/mascon_reader.hpp"
#include "controllers/rx_char.hpp"
#include "test_support.hpp"

using namespace vantrel;
using vantrel::test::TempDir;
using Posted = std::vector<std::string>;
using Codes = std::vector<std::string>;

namespace {

Codes codes_of(const MasconTable& t) {
    return Codes(t.codes.begin(), t.codes.begin() + t.count);
}

// Codes for slots 0..21: "P1   " .. "P6   ", "N    ", "B1   " .. "B8   ", "EB   ",
// "F    ", "RN   ", "R    ", "K1   ", "K3   ", "K7   ".
std::string controller_file() {
    std::string text;
    for (const char* code : {"P1   ", "P2   ", "P3   ", "P4   ", "P5   ", "P6   ", "N    ", "B1   ", "B2   ",
                             "B3   ", "B4   ", "B5   ", "B6   ", "B7   ", "B8   ", "EB   ", "F    ", "RN   ",
                             "R    ", "K1   ", "K3   ", "K7   "})
        text += std::string(code) + "\n";
    return text + "#end\n";
}

struct RxCharTest : vantrel::test::ControllerFixture {
    TempDir dir;
    void SetUp() override {
        ControllerFixture::SetUp();
        vantrel::test::write_cp932(dir / "mascon.dat", controller_file());
        auto table = read_mascon_file(kMasconFile, PathResolver(dir.path()));
        ASSERT_TRUE(table.ok());
        run.controllers.mascon = table.value();
    }
};

}  // namespace

TEST(MasconReader, ReadsWholeLinesUpToTheHashLineAndAtMostTwentySixSlots) {
    struct Case {
        const char* name;
        std::string text;  // UTF-8; written as CP932 with CRLF
        Codes codes;
    };
    std::string many;
    for (int i = 0; i < 30; ++i) many += "C" + std::to_string(i) + "\n";
    Codes first26;
    for (int i = 0; i < 26; ++i) first26.push_back("C" + std::to_string(i));
    const Case cases[] = {
        {"kept whole", "P1   \n\n ab \n#rest\nignored\n", {"P1   ", "", " ab "}},
        {"hash only at the start", "a#b\n#\n", {"a#b"}},
        {"no hash", "x\ny", {"x", "y"}},
        {"hash first", "#\nx\n", {}},
        {"japanese", "ノッチ\n", {"ノッチ"}},
        {"too many lines", many, first26},
    };
    for (const Case& c : cases) {
        TempDir dir;
        vantrel::test::write_cp932(dir / "MASCON.DAT", c.text);
        auto table = read_mascon_file(kMasconFile, PathResolver(dir.path()));
        ASSERT_TRUE(table.ok()) << c.name;
        EXPECT_EQ(codes_of(table.value()), c.codes) << c.name;
    }
}

TEST(MasconReader, MissingFileGivesTheSystemsText) {
    TempDir dir;
    auto table = read_mascon_file(kMasconFile, PathResolver(dir.path()));
    ASSERT_FALSE(table.ok());
    EXPECT_EQ(table.error().message, "No such file or directory");
    EXPECT_EQ(table.error().file, "mascon.dat");
}

TEST_F(RxCharTest, PowerAndBrakeCodesSetBothHandlesAbsolutely) {
    struct Case {
        const char* chunk;
        int32_t power, brake;
    };
    set_handles(0, -8);  // emergency: a power code releases it at once
    for (const Case c : {Case{"P2   ", 2, 0}, {"P6   ", 5, 0}, {"B3   ", 0, -3}, {"N    ", 0, 0},
                         {"B8   ", 0, -8}, {"P1   ", 1, 0}}) {
        run.handles = {};
        RxChar(run, c.chunk);
        EXPECT_EQ(run.core.PowerHandle, c.power) << c.chunk;
        EXPECT_EQ(run.core.BrakeHandle, c.brake) << c.chunk;
        EXPECT_TRUE(run.handles.power_pending && run.handles.brake_pending && run.handles.sap_pending);
    }
    EXPECT_EQ(run.view.PowerLabel, "P1");  // masconupdate ran
}

TEST_F(RxCharTest, EmergencyCodeIsMinusNineClampedAndSounds) {
    RxChar(run, "EB   ");
    EXPECT_EQ(run.core.BrakeHandle, -8);
    EXPECT_EQ(snd.calls, (Codes{"stop 3", "play 3"}));
    run.train.brake_notches = 10;
    RxChar(run, "EB   ");
    EXPECT_EQ(run.core.BrakeHandle, -9);  // a service notch on a ten-position brake
}

TEST_F(RxCharTest, MatchIsOnTheFirstFiveBytesExactly) {
    struct Case {
        const char* chunk;
        int32_t power;
    };
    // Case, length and blanks must agree; every code of a chunk acts in order wherever it
    // starts, and a partial one after them is dropped.
    for (const Case c : {Case{"P3   P5   ", 5}, {"P3   xyz", 3}, {"p4   ", 0}, {"P4", 0}, {"P4  ", 0},
                         {"P4    ", 4}, {"P2 ", 0}, {"", 0}, {"P5   P2   P3", 2}, {"xP3   ", 3},
                         {"P1   \r\nP3   \r\n", 3}, {"\nP2   ", 2}, {"\r\nP6   \r\nP2  \r\n", 5}}) {
        set_handles(0, 0);
        RxChar(run, c.chunk);
        EXPECT_EQ(run.core.PowerHandle, c.power) << '"' << c.chunk << '"';
    }
    // A stored line longer than five characters never matches.
    run.controllers.mascon.codes[0] = "P1    ";
    set_handles(0, 0);
    RxChar(run, "P1    ");
    EXPECT_EQ(run.core.PowerHandle, 0);
}

TEST_F(RxCharTest, CodesMergedInOneReadActInOrder) {
    set_handles(0, 0);
    RxChar(run, "P3   B2   ");
    EXPECT_EQ(run.core.PowerHandle, 0);
    EXPECT_EQ(run.core.BrakeHandle, -2);
    RxChar(run, "B2   P3   ");
    EXPECT_EQ(run.core.PowerHandle, 3);
    EXPECT_EQ(run.core.BrakeHandle, 0);
    RxChar(run, "K1   K3   K1   ");
    EXPECT_EQ(take_posted(), (Posted{"1", "3", "1"}));
    EXPECT_EQ(run.controllers.value_caption, "K1   K3   K1   ");  // the echo is the whole read
}

TEST_F(RxCharTest, ReverserCodesOnlyAtOneKilometrePerHour) {
    run.core.Speed = kFixedOne;
    RxChar(run, "R    ");
    EXPECT_EQ(run.core.Reverser, -1);
    RxChar(run, "RN   ");
    EXPECT_EQ(run.core.Reverser, 0);
    run.core.Speed = -kFixedOne - 1;
    RxChar(run, "F    ");
    EXPECT_EQ(run.core.Reverser, 0);
    run.core.Speed = 0;
    RxChar(run, "F    ");
    EXPECT_EQ(run.core.Reverser, 1);
    EXPECT_FALSE(run.view.Lamp_Bck);  // the lamps are the keyboard's
}

TEST_F(RxCharTest, ButtonsPostKeysAndEveryChunkCountsAndEchoes) {
    run.ats.vigilance_counter = 40;
    run.view.Lamp_EB = true;
    RxChar(run, "K1   ");
    RxChar(run, "K7   ");
    RxChar(run, "K3   ");
    EXPECT_EQ(take_posted(), (Posted{"1", "7", "3"}));
    RxChar(run, "\x83\x6d\x83\x62\x83\x60??");  // "ノッチ??" in CP932: nothing matches
    EXPECT_EQ(run.controllers.value_caption, "ノッチ??");
    run.ats.vigilance_counter = 40;
    RxChar(run, "zzz");
    EXPECT_EQ(run.ats.vigilance_counter, 0);
    EXPECT_FALSE(run.view.Lamp_EB);
    EXPECT_EQ(run.controllers.value_caption, "zzz");
    EXPECT_EQ(take_posted(), (Posted{}));
}
