#include <gtest/gtest.h>

#include <string>

#include "cab/header_picture_loader.hpp"
#include "dynamics/train_reader.hpp"
#include "test_support.hpp"

using namespace vantrel;

namespace {

const std::string kError = "車両ファイルに誤りがあります";
const std::string kBasic = kError + "- 列車の基本設定";

// The values every train needs before it can run.
const std::string kRunValues = "[Tons]\n100\n[Cars]\n4\n[PowerDelay]\n1\n[BrakeDelay]\n1\n[SAPDelay]\n1\n";

class TrainFile : public ::testing::Test {
protected:
    Result<TrainParams> read(const std::string& text) {
        test::write_cp932(dir / "train_785.dat", text);
        return read_train_file("TRAIN_785.DAT", PathResolver(dir.path()), pictures);
    }
    // The error message of a file that must be refused ("" when it was accepted).
    std::string refusal(const std::string& text) {
        const auto r = read(text);
        return r ? std::string() : r.error().message;
    }

    test::TempDir dir;
    HeaderPictureLoader pictures;
};

const char* const kElectric = R"(; 785系 特急形電車
[Handle]    ; 0=ワンハンドル
0
[BrakeType] ; 電気指令式
2
[Brake] ; 常用7段 + 非常
8
[Power]
4
[Hold]
1
[BrakeRate]
4.25
[PowerDelay]
3
[BrakeDelay]
2
[SAPDelay]
4
[BrakeUp]
200
[BrakeDown]
150
[EBPress]
440
[SAPPress]
390
[HighAirPress]
880
[LowAirPress]
780
[Curr1]
300
[Curr2]
-250
[Engine_Type] ; 1=電車
1
[DoorType]
1
[Mt]
160.5
[Tt]
89.75
[Cars]
6
[StopLine] ; 停止位置
Image\StopLine.BMP
[Tons]
250.12346
[EB]
1
[MaxSpeed]
130
[Lose_elec]
7
[Mc]
1
[ATS_Type]
2
[ATS_Alert]
3
[ATS_Time]
50
[ATS_Cnt]
4
[Sound_br1]
20
[Sound_br2]
21
[Sound_EB]
22
[Sound_Ats1]
23
[Sound_Ats2]
24
[Sound_Atc]
25
[Sound_Horn]
26
[Sound_Horn2]
27
[Sound_Horn3]
28
[Sound_DoorOpen]
29
[Sound_DoorClose]
30
[Sound_EBring]
31
[Sound_squeak]
32
[CP_Start]
33
[CP_Cnt]
34
[CP_End]
35
[Stop]
36
[Buzzer]
37
38
[DepSign]
39

■ ノッチ曲線
[Notch]
3.0,2.5,40,70,0.98
3.0,2.5,45,75,0.98
3.2,2.6,50,80,0.975
3.2,2.6,55,85,1e0
# 終わり
[MotorSound] ; 主電動機
sound\モーター1.wav
0
0
60.5
0.5
1.5
50
100
sound\motor2.wav
2
30
130
0.8
2.0
20
80
#
[DriveSound]
sound\run00.wav
sound\run10.wav

#
[Clock]
600
400
20
[Panel] ; 運転台
image\パネル.bmp
0
240
[Panel2]

0
240
[Lamp_Door]
image\door.bmp
10
250
[Lamp_Back]
image\door.bmp
30
250
[Needle_Speed]
image\needle.bmp
100
260
80
80
-120
1.5
[Needle_BP]

0
0
0
0
0
0
[Needle_I]
image\needle.bmp
200
260
60
60
-90
0.125
[NotchImageP]
300
250
image\p0.bmp
image\P1.bmp
#
[Others]
image\door.bmp
5
6
image\door.bmp
7
8
#
)";

void write_electric_pictures(const test::TempDir& dir) {
    test::write_bmp(dir / "image" / "stopline.bmp", 15, 15);
    test::write_bmp(dir / "image" / "パネル.bmp", 640, 200);
    test::write_bmp(dir / "image" / "door.bmp", 20, 10);
    test::write_bmp(dir / "image" / "needle.bmp", 80, 80);
    test::write_bmp(dir / "image" / "p0.bmp", 40, 20);
    test::write_bmp(dir / "image" / "p1.bmp", 40, 20);
}

}  // namespace

TEST_F(TrainFile, ReadsACompleteElectricTrain) {
    write_electric_pictures(dir);
    const auto r = read(kElectric);
    ASSERT_TRUE(r) << r.error().message << " line " << r.error().line;
    const TrainParams& t = r.value();
    EXPECT_EQ(t.handle_type, 0);
    EXPECT_EQ(t.brake_type, 2);
    EXPECT_EQ(t.brake_notches, 8);
    EXPECT_EQ(t.power_notches, 4);
    EXPECT_EQ(t.hold, 1);
    EXPECT_EQ(t.brake_rate, 42500);
    EXPECT_EQ(t.power_delay, 3);
    EXPECT_EQ(t.brake_delay, 2);
    EXPECT_EQ(t.sap_delay, 4);
    EXPECT_EQ(t.brake_up, 200);
    EXPECT_EQ(t.brake_down, 150);
    EXPECT_EQ(t.eb_press, 440);
    EXPECT_EQ(t.sap_press, 390);
    EXPECT_EQ(t.high_air_press, 880);
    EXPECT_EQ(t.low_air_press, 780);
    EXPECT_EQ(t.curr2, -250);
    EXPECT_EQ(t.engine_type, 1);
    EXPECT_EQ(t.mt, 1605000);
    EXPECT_EQ(t.tt, 897500);
    EXPECT_EQ(t.cars, 6);
    EXPECT_EQ(t.tons, 2501235);  // 250.12346 t to the nearest ten-thousandth
    EXPECT_EQ(t.eb, 1);
    EXPECT_EQ(t.max_speed, 130);
    EXPECT_EQ(t.lose_elec, 7);
    EXPECT_EQ(t.mc, 1);
    EXPECT_EQ(t.ats_type, 2);
    EXPECT_EQ(t.ats_cnt, 4);
    EXPECT_EQ(t.sound_br1, 20);
    EXPECT_EQ(t.sound_horn3, 28);
    EXPECT_EQ(t.sound_squeak, 32);
    EXPECT_EQ(t.cp_end, 35);
    EXPECT_EQ(t.sound_stop, 36);
    EXPECT_EQ(t.buzzer, (std::array<int32_t, 2>{37, 38}));
    EXPECT_EQ(t.dep_sign, 39);

    EXPECT_EQ(t.stop_line.name, "Image\\StopLine.BMP");
    EXPECT_EQ(t.stop_line.path, dir / "image" / "stopline.bmp");
    EXPECT_EQ(t.stop_line.width, 15);

    ASSERT_EQ(t.notches.size(), 4u);
    EXPECT_DOUBLE_EQ(t.notches[2].start_accel, 3.2);
    EXPECT_DOUBLE_EQ(t.notches[2].base_accel, 2.6);
    EXPECT_EQ(t.notches[2].base_speed, 50);
    EXPECT_EQ(t.notches[2].char_speed, 80);
    EXPECT_DOUBLE_EQ(t.notches[2].decay, 0.975);
    EXPECT_DOUBLE_EQ(t.notches[3].decay, 1.0);
    ASSERT_EQ(t.motor_sounds.size(), 2u);
    EXPECT_EQ(t.motor_sounds[0].file, "sound\\モーター1.wav");
    EXPECT_EQ(t.motor_sounds[0].end_speed, 60.5L);
    EXPECT_EQ(t.motor_sounds[1].mode, 2);
    EXPECT_EQ(t.motor_sounds[1].end_loudness, 80.0L);
    // An empty line is an entry (a channel without a sound); only "#" ends the list.
    EXPECT_EQ(t.drive_sounds, (std::vector<std::string>{"sound\\run00.wav", "sound\\run10.wav", ""}));

    const PanelDef& p = t.panel;
    EXPECT_EQ(p.clock_x, 600);
    EXPECT_EQ(p.clock_length, 20);
    EXPECT_EQ(p.panel.picture.width, 640);
    EXPECT_EQ(p.panel.top, 240);
    EXPECT_TRUE(p.panel2.picture.name.empty());  // empty file value: no picture, no error
    EXPECT_EQ(p.panel2.top, 240);
    EXPECT_EQ(p.lamps[static_cast<int>(Lamp::Door)].left, 10);
    EXPECT_EQ(p.lamps[static_cast<int>(Lamp::Back)].left, 30);
    EXPECT_EQ(p.lamps[static_cast<int>(Lamp::Back)].picture.height, 10);
    EXPECT_EQ(p.needle_speed.zero_angle, -120);
    EXPECT_EQ(p.needle_speed.scale, 1.5L);
    EXPECT_EQ(p.needle_speed.picture.width, 80);
    EXPECT_TRUE(p.needle_bp.picture.name.empty());  // dropped needle
    EXPECT_EQ(p.needle_i.left, 200);
    EXPECT_EQ(p.needle_i.scale, 0.125L);
    EXPECT_EQ(p.notch_p.left, 300);
    EXPECT_EQ(p.notch_p.pictures.size(), 2u);
    ASSERT_EQ(p.others.size(), 2u);
    EXPECT_EQ(p.others[1].left, 7);
    EXPECT_EQ(p.others[1].top, 8);
}

TEST_F(TrainFile, ReadsADieselTrainWithItsGears) {
    const auto r = read(kRunValues + R"(; キハ40形 気動車
[Engine_Type] ; 0=気動車
0
[Power]
4
[EngineSound] ; エンジン音
40
41
42
[Gear_Type] ; 手動変速
MT
[Engine] ; 変速段
0,20,45,2.2,1.8,1.0
25,40,60,1.5,1.2,0.8
35,55,75,1.1,0.9,0.6
45,65,90,0.8,0.6,0.4
55,75,100,0.5,0.4,0.2
#
)");
    ASSERT_TRUE(r) << r.error().message;
    const TrainParams& t = r.value();
    EXPECT_EQ(t.engine_type, 0);
    EXPECT_EQ(t.engine_sound, (std::array<int32_t, 3>{40, 41, 42}));
    EXPECT_EQ(t.gear_manual, 1);
    ASSERT_EQ(t.gears.size(), 5u);
    EXPECT_EQ(t.gears[0].low_speed, 0);
    EXPECT_EQ(t.gears[0].high_speed, 45);
    EXPECT_DOUBLE_EQ(t.gears[0].low_accel, 2.2);
    EXPECT_EQ(t.gears[4].mid_speed, 75);
    EXPECT_DOUBLE_EQ(t.gears[4].high_accel, 0.2);
    EXPECT_TRUE(t.notches.empty());
}

TEST_F(TrainFile, NotchAndEngineListsAreCheckedAgainstTheEngineType) {
    const std::string notches = "[Notch]\n3,2.5,40,70,0.98\n3,2.5,40,70,0.98\n3,2.5,40,70,0.98\n3,2.5,40,70,0.98\n#\n";
    // Diesel with a valid notch list: refused as soon as the "#" line is read.
    EXPECT_EQ(refusal(kRunValues + "[Engine_Type]\n0\n[Power]\n4\n" + notches), "動力が気動車なのにNotch指定があります");
    // The engine type counts as it stands when the list ends.
    EXPECT_EQ(refusal(kRunValues + "[Power]\n4\n" + notches + "[Engine_Type]\n1\n"),
              "動力が気動車なのにNotch指定があります");
    EXPECT_EQ(refusal(kRunValues + "[Engine_Type]\n1\n[Power]\n5\n" + notches), "Power指定とNotch指定が矛盾しています");
    EXPECT_EQ(refusal(kRunValues + "[Engine_Type]\n1\n[Engine]\n0,20,45,2,1.5,1\n#\n"),
              "動力が電車なのにEngine指定があります");
    EXPECT_EQ(refusal(kRunValues + "[Engine_Type]\n1\n[Power]\n4\n" + notches), "");
}

TEST_F(TrainFile, ErrorsNameTheSectionLastPassed) {
    auto r = read(kRunValues + "[Cars]\n12a\n");
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().message, kBasic);
    EXPECT_EQ(r.error().file, "TRAIN_785.DAT");
    EXPECT_EQ(r.error().line, 12);

    r = read(kRunValues + "[Engine_Type]\n1\n[Power]\n2\n[Notch]\n3,2.5,40,70,0.98\n3,2.5,40,0.98\n#\n");
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().message, kError + "[Notch]");  // field 5 reads "Error"
    EXPECT_EQ(r.error().line, 17);

    // A list without its "#" at the end of the file.
    r = read(kRunValues + "[DriveSound]\nrun0.wav\nrun1.wav");
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().message, kError + "[DriveSound]");
    EXPECT_EQ(r.error().line, 13);
    EXPECT_EQ(refusal(kRunValues + "[MotorSound]\nm.wav\n0\n0\n60\n1\n2\n"), kError + "[MotorSound]");
    EXPECT_EQ(refusal(kRunValues + "[NotchImageB]\n0\n0\n"), kError + "[NotchImageB]");
    EXPECT_EQ(refusal(kRunValues + "[Mc]\n"), kBasic);  // a number key without its value

    EXPECT_EQ(refusal(kRunValues + "[Clock]\n10\n20\nlong\n"), kError + "- アナログ時計");
    EXPECT_EQ(refusal(kRunValues + "[Lamp_R]\n\n1\nx\n"), kError + "- 運転台パネル");
    EXPECT_EQ(refusal(kRunValues + "[Needle_V]\n\n0\n0\n0\n0\n0\n1.2.3\n"), kError + "- 電圧計");
    EXPECT_EQ(refusal(kRunValues + "[Needle_SAP]\n\n0\n0\n0\n0\n0.5\n1\n"), kError + "- SAP圧力計");
    EXPECT_EQ(refusal(kRunValues + "[Others]\n\n0\n"), kError + "[Others]");

    r = read_train_file("missing.dat", PathResolver(dir.path()), pictures);
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().message, kError);  // no section yet
    EXPECT_EQ(r.error().line, 0);
}

TEST_F(TrainFile, KeysMatchTheirExactPrefixOnly) {
    const auto r = read(kRunValues + R"([brake]
9
[BrakeType]
0
[Brake] ; ブレーキ段数
8
[EBPress]
440
[PowerDelay]
5
[Engine_Type]
1
[EngineSound]
1
2
3
[Stop]  ; 停止合図
7
[Gear_Type]
[DriveSound]
a.wav
#
)");
    ASSERT_TRUE(r) << r.error().message;
    EXPECT_EQ(r.value().brake_notches, 8);  // brake type 0 forces 4 only after start-up
    EXPECT_EQ(r.value().eb_press, 440);
    EXPECT_EQ(r.value().eb, 0);  // "[EB]" is not a prefix of "[EBPress]"
    EXPECT_EQ(r.value().power_delay, 5);
    EXPECT_EQ(r.value().power_notches, 0);
    EXPECT_EQ(r.value().engine_type, 1);
    EXPECT_TRUE(r.value().gears.empty());
    EXPECT_EQ(r.value().sound_stop, 7);
    EXPECT_TRUE(r.value().stop_line.name.empty());
    // The keys after "[Gear_Type]" are tested against its value line.
    EXPECT_EQ(r.value().drive_sounds, std::vector<std::string>{"a.wav"});
}

TEST_F(TrainFile, GearTypeComparesTheWholeLine) {
    auto r = read(kRunValues + "[Gear_Type]\nMT \n");
    ASSERT_TRUE(r);
    EXPECT_EQ(r.value().gear_manual, 0);
    r = read(kRunValues + "[Gear_Type]\nMT\n[Gear_Type]\nmt\n");
    ASSERT_TRUE(r);
    EXPECT_EQ(r.value().gear_manual, 1);  // "mt" changes nothing
    r = read(kRunValues + "[Gear_Type]\nMT\n[Gear_Type]\nAT\n");
    ASSERT_TRUE(r);
    EXPECT_EQ(r.value().gear_manual, 0);
}

TEST_F(TrainFile, ListsLongerThanTheirTablesAreRefused) {
    auto repeat = [](const std::string& entry, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += entry;
        return s;
    };
    EXPECT_EQ(refusal(kRunValues + "[DriveSound]\n" + repeat("run.wav\n", 100) + "#\n"), "");
    EXPECT_EQ(refusal(kRunValues + "[DriveSound]\n" + repeat("run.wav\n", 101) + "#\n"), kError + "[DriveSound]");
    const std::string motor = "m.wav\n0\n0\n60\n1\n2\n10\n100\n";
    EXPECT_EQ(refusal(kRunValues + "[MotorSound]\n" + repeat(motor, 100) + "#\n"), "");
    EXPECT_EQ(refusal(kRunValues + "[MotorSound]\n" + repeat(motor, 101) + "#\n"), kError + "[MotorSound]");
    const std::string gear = "0,20,45,2,1.5,1\n";
    EXPECT_EQ(refusal(kRunValues + "[Engine]\n" + repeat(gear, 6) + "#\n"), kError + "[Engine]");
    const std::string notch = "3,2.5,40,70,0.98\n";
    EXPECT_EQ(refusal(kRunValues + "[Engine_Type]\n1\n[Power]\n101\n[Notch]\n" + repeat(notch, 101) + "#\n"),
              kError + "[Notch]");
    test::write_bmp(dir / "o.bmp", 8, 8);
    EXPECT_EQ(refusal(kRunValues + "[Others]\n" + repeat("o.bmp\n1\n2\n", 11) + "#\n"), "");
    EXPECT_EQ(refusal(kRunValues + "[Others]\n" + repeat("o.bmp\n1\n2\n", 12) + "#\n"), kError + "[Others]");
}

TEST_F(TrainFile, ImageListsKeepThePicturesSinceTheLastSizeChange) {
    test::write_bmp(dir / "img" / "a.bmp", 40, 20);
    test::write_bmp(dir / "img" / "b.bmp", 40, 20);
    test::write_bmp(dir / "img" / "wide.bmp", 60, 20);
    const auto r = read(kRunValues + R"([NotchImageB]
10
20
img\a.bmp

img\B.BMP
#
[GearImageList]
1
2
img\a.bmp
img\wide.bmp
img\b.bmp
img\wide.bmp
#
[NotchImageP]
3
4
img\a.bmp
#
[NotchImageP]
5
6
img\b.bmp
#
)");
    ASSERT_TRUE(r) << r.error().message;
    const PanelDef& p = r.value().panel;
    ASSERT_EQ(p.notch_b.pictures.size(), 2u);  // the blank line adds nothing
    EXPECT_EQ(p.notch_b.pictures[1].name, "img\\B.BMP");
    EXPECT_EQ(p.notch_b.width, 40);
    EXPECT_EQ(p.notch_b.left, 10);
    // a, wide (empties), b (empties), wide (empties): only the last remains.
    ASSERT_EQ(p.gears.pictures.size(), 1u);
    EXPECT_EQ(p.gears.width, 60);
    // A repeated key adds to the same list.
    EXPECT_EQ(p.notch_p.pictures.size(), 2u);
    EXPECT_EQ(p.notch_p.left, 5);
}

TEST_F(TrainFile, PicturesThatCannotBeLoadedAreFileErrors) {
    using namespace std::literals;
    test::write_bytes(dir / "img" / "needle.png", "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x10\0\0\0\x10"sv);
    test::write_bmp(dir / "img" / "ok.bmp", 8, 8);
    auto r = read(kRunValues + "[Panel]\nimg\\gone.bmp\n0\n240\n");
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().message, kError + "- 運転台パネル");
    EXPECT_EQ(r.error().missing_file, "img\\gone.bmp");
    EXPECT_EQ(r.error().line, 12);

    r = read(kRunValues + "[StopLine]\nimg\\stop.bmp\n");
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().message, kBasic);
    EXPECT_EQ(r.error().missing_file, "img\\stop.bmp");

    // Needles and image lists take bitmaps only.
    EXPECT_EQ(refusal(kRunValues + "[Needle_MR]\nimg\\needle.png\n0\n0\n16\n16\n0\n1\n"), kError + "- MR圧力計");
    EXPECT_EQ(refusal(kRunValues + "[GearImageList]\n0\n0\nimg\\ok.bmp\nimg\\needle.png\n#\n"),
              kError + "[GearImageList]");
    EXPECT_EQ(refusal(kRunValues + "[Others]\nimg\\needle.png\n0\n0\n#\n"), "");
}

TEST_F(TrainFile, RefusesValuesTheRunWouldDivideByOrNeverReach) {
    EXPECT_EQ(refusal(kRunValues), "");
    EXPECT_EQ(refusal("[Cars]\n4\n[PowerDelay]\n1\n[BrakeDelay]\n1\n[SAPDelay]\n1\n"), kBasic);  // no [Tons]
    EXPECT_EQ(refusal(kRunValues + "[Tons]\n-1\n"), kBasic);
    // Below 1 t the air resistance alone swings the speed further every step.
    EXPECT_EQ(refusal(kRunValues + "[Tons]\n0.9999\n"), kBasic);
    EXPECT_EQ(refusal(kRunValues + "[Tons]\n1\n"), "");
    EXPECT_EQ(refusal(kRunValues + "[Cars]\n0\n"), kBasic);
    EXPECT_EQ(refusal(kRunValues + "[Cars]\n21\n"), kBasic);
    EXPECT_EQ(refusal(kRunValues + "[Cars]\n20\n"), "");
    EXPECT_EQ(refusal(kRunValues + "[SAPDelay]\n0\n"), kBasic);
    EXPECT_EQ(refusal(kRunValues + "[PowerDelay]\n-3\n"), kBasic);

    // Gear curves divide by (middle - low) below the middle speed and by (high - low).
    EXPECT_EQ(refusal(kRunValues + "[Engine]\n20,20,45,2,1.5,1\n#\n"), kError + "[Engine]");
    EXPECT_EQ(refusal(kRunValues + "[Engine]\n0,20,0,2,1.5,1\n#\n"), kError + "[Engine]");
    EXPECT_EQ(refusal(kRunValues + "[Engine]\n0,0,45,2,1.5,1\n20,45,45,2,1.5,1\n#\n"), "");
    // A notch curve divides by the speed above its base speed, so 0 would at a standstill.
    EXPECT_EQ(refusal(kRunValues + "[Engine_Type]\n1\n[Power]\n1\n[Notch]\n3,2.5,0,70,0.98\n#\n"), kError + "[Notch]");
}

TEST_F(TrainFile, OnlyLampPanelAndNeedlePicturesMayBeLeftEmpty) {
    test::write_bmp(dir / "a.bmp", 8, 8);
    // Empty lamp, panel and needle values mean no picture; their numbers are still read.
    EXPECT_EQ(refusal(kRunValues + "[Lamp_Door]\n\n1\n2\n[Panel2]\n\n0\n0\n[Needle_MR]\n\n0\n0\n0\n0\n0\n1\n"), "");
    // A value of blanks is not empty: it names a file that does not exist.
    EXPECT_EQ(refusal(kRunValues + "[Lamp_Door]\n \n1\n2\n"), kError + "- 運転台パネル");
    EXPECT_EQ(refusal(kRunValues + "[Needle_Speed]\n\t\n0\n0\n0\n0\n0\n1\n"), kError + "- 速度計");
    // The stop marker and the "[Others]" pictures have no empty form.
    EXPECT_EQ(refusal(kRunValues + "[StopLine]\n\n"), kBasic);
    EXPECT_EQ(refusal(kRunValues + "[StopLine]"), kBasic);  // the value read at the end of the file
    EXPECT_EQ(refusal(kRunValues + "[Others]\na.bmp\n1\n2\n\n3\n4\n#\n"), kError + "[Others]");
    // A blank line in an image list still adds nothing.
    EXPECT_EQ(refusal(kRunValues + "[NotchImageP]\n0\n0\n\n \na.bmp\n#\n"), "");
}

TEST_F(TrainFile, NotchAndGearNumbersAreTheNearestDouble) {
    // Read through a wider type first, these round twice and land one double off.
    auto r = read(kRunValues + "[Engine_Type]\n1\n[Power]\n1\n[Notch]\n0.4080711115, 7.718344863,40,70,5.66505703746\n#\n");
    ASSERT_TRUE(r) << r.error().message;
    EXPECT_EQ(r.value().notches[0].start_accel, 0.4080711115);
    EXPECT_EQ(r.value().notches[0].base_accel, 7.718344863);
    EXPECT_EQ(r.value().notches[0].decay, 5.66505703746);
    r = read(kRunValues + "[Engine]\n0,20,45,6.6095233839584,8.873530251649,1e-400\n#\n");
    ASSERT_TRUE(r) << r.error().message;
    EXPECT_EQ(r.value().gears[0].low_accel, 6.6095233839584);
    EXPECT_EQ(r.value().gears[0].mid_accel, 8.873530251649);
    EXPECT_EQ(r.value().gears[0].high_accel, 0.0);  // too small for a double: 0
}
