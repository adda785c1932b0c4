#include <gtest/gtest.h>

#include <string>

#include "cab/header_picture_loader.hpp"
#include "route/route_reader.hpp"
#include "test_support.hpp"

using namespace vantrel;

namespace {

// A data folder with the pictures a route names, and the reader pointed at it.
class RouteFiles : public ::testing::Test {
protected:
    RouteFiles() {
        test::write_bmp(dir / "image/card.bmp", 200, 240);
        test::write_bmp(dir / "image/still.bmp", 480, 240);
        test::write_bmp(dir / "image/sign/up.bmp", 50, 50);
        test::write_bmp(dir / "image/sign/down.bmp", 50, 50);
        test::write_bmp(dir / "image/other/time.bmp", 100, 50);
        test::write_bmp(dir / "image/other/60.bmp", 100, 50);
        test::write_bmp(dir / "image/signal/r.bmp", 50, 100);
        test::write_bmp(dir / "image/signal/g.bmp", 50, 100);
    }

    Result<RouteTables> read(const std::string& text) {
        test::write_cp932(dir / "line_test.dat", text);
        return read_route_file("line_test.dat", resolver, loader, stop_line);
    }

    // The message of a file that must be refused.
    std::string refusal(const std::string& text, int* line = nullptr) {
        const auto r = read(text);
        if (r.ok()) return "(accepted)";
        EXPECT_EQ(r.error().file, "line_test.dat");
        if (line) *line = r.error().line;
        return r.error().message;
    }

    test::TempDir dir;
    PathResolver resolver{dir.path()};
    HeaderPictureLoader loader;
    PictureRef stop_line{"image\\stop.bmp", "stop.bmp", 50, 50};
};

const std::string kError = "路線ファイルに誤りがあります。";

std::string kanko18() {
    std::string s = "[KankoSound1]\n";
    for (int i = 1; i <= 18; ++i) s += (i == 5 ? "#" : "kanko\\k") + std::to_string(i) + ".wav\n";
    return s;
}

const std::string kRealRoute =
    "路線データ テスト線 上り\n"
    "[LineName]\n東都急行線\n"
    "[StartPos]\n100\n"
    "[FrameRate]\n15\n"
    "[Staf]\nimage\\CARD.bmp\nimage\\still.bmp\n"
    "[StartTime]\n972000\n"
    "[Speed_YY]\n25\n[Speed_Y]\n45\n[Speed_YG]\n65\n[Speed_G]\n95\n"
    "[DataName]\ntokyu_up\n"
    "[Pre_Time] 先行列車 (秒)\n60\n"
    "\n"
    "// 車掌の有無\n"
    "[OneMan]\n1\n"
    "\n"
    "[SoundData]\nsound\\発車ベル.wav\nsound\\tunnel.wav\n#\n"
    "[Announce]\n0,150\n1, 900\n#\n" +
    kanko18() +
    "[KankoSound2]\nkanko\\駅.wav\n#\n"
    "[Sound]\n; sound, start, end, speed, mode\n1,200,400,60,1\n;\n0,500,520,0,0\n#\n"
    "[Doppler]\n1,300,350,400\n#\n"
    "[Tunnel]\n500\n800\n1200\n1300\n#\n"
    "[Station] name, type, platform, sounds\n"
    "渋谷,0,100,140,0,970000,971000\n"
    "代官山,1,600,640,0,0,0\n"
    "中目黒,2,900,960,1,980000,981000\n"
    "#\n"
    "[StopSound]\n880\n#\n"
    "[Signal]\n0,第1閉塞,3,3,0,600,400,590,4,0\n2,場内,12,5,600,1000,950,1000,0,990000\n#\n"
    "[Slope]\n-2.5,0,300\n10.125,300,900\n#\n"
    "[Sign]\n1,100,200\n#\n"
    "[SignalKanko]\n0,0,1\n#\n"
    "[StationKanko]\n1,0,1100\n#\n"
    "[SpeedLimit]\n60,1,0,700,900\n#\n"
    "[SpeedCheck]\n55,850\n#\n"
    "[SignImageList]\nimage\\sign\\up.bmp\nimage\\sign\\down.bmp\n#\n"
    "[OtherImageList]\nimage\\other\\time.bmp\nsound\\chime.wav\nimage\\other\\60.bmp\n\n#\n"
    "[SignalImageList]\nimage\\signal\\r.bmp\nimage\\signal\\g.bmp\n#\n"
    "\n"
    "[SpeedUnit] start, end, speed at start, speed at end\n0,1000,60,60\n1000,2000,60,90\n#\n"
    "\n"
    "[Time]\n0,900,1000,975000\n#\n";

}  // namespace

TEST_F(RouteFiles, ReadsEveryKeyOfARealRouteFile) {
    using V = std::vector<int64_t>;
    const auto r = read(kRealRoute);
    ASSERT_TRUE(r.ok()) << r.error().message << " line " << r.error().line;
    const RouteTables& t = r.value();
    EXPECT_EQ(t.line_name, "東都急行線");
    EXPECT_EQ(t.data_name, "tokyu_up");
    EXPECT_EQ((V{t.start_pos, t.frame_rate, t.start_time, t.speed_yy, t.speed_y, t.speed_yg, t.speed_g, t.pre_time,
                 t.one_man}),
              (V{100, 15, 972000, 25, 45, 65, 95, 60, 1}));
    EXPECT_EQ(t.staf_card, "image\\CARD.bmp");
    EXPECT_EQ(t.card.path, dir / "image/card.bmp");
    EXPECT_EQ(t.still.width, 480);

    EXPECT_EQ(t.sound_data, (std::vector<std::string>{"sound\\発車ベル.wav", "sound\\tunnel.wav"}));
    ASSERT_EQ(t.announcements.size(), 2u);
    EXPECT_EQ((V{t.announcements[1].sound, t.announcements[1].frame}), (V{1, 900}));
    ASSERT_EQ(t.kanko_sound1.size(), 18u);
    EXPECT_EQ(t.kanko_sound1[4], "#5.wav");  // a "#" line inside the 18 is a file name
    EXPECT_EQ(t.kanko_sound1[17], "kanko\\k18.wav");
    EXPECT_EQ(t.kanko_sound2, (std::vector<std::string>{"kanko\\駅.wav"}));
    ASSERT_EQ(t.sounds.size(), 2u);  // the ";" lines are skipped, not the end of the list
    const SoundTrigger& st = t.sounds[0];
    EXPECT_EQ((V{st.sound, st.start, st.end, st.ref_speed, st.mode}), (V{1, 200, 400, 60, 1}));
    ASSERT_EQ(t.dopplers.size(), 1u);
    const DopplerSource& d = t.dopplers[0];
    EXPECT_EQ((V{d.sound, d.start, d.centre, d.end}), (V{1, 300, 350, 400}));
    ASSERT_EQ(t.tunnels.size(), 2u);
    EXPECT_EQ((V{t.tunnels[1].start, t.tunnels[1].end}), (V{1200, 1300}));

    ASSERT_EQ(t.stations.size(), 3u);  // the remark after "[Station]" does not hide the key
    const Station& sta = t.stations[2];
    EXPECT_EQ(sta.name, "中目黒");
    EXPECT_EQ((V{sta.type, sta.platform_start, sta.platform_end, sta.dep_sound, sta.dep_sound_time,
                 sta.door_close_time}),
              (V{2, 900, 960, 1, 980000, 981000}));
    EXPECT_EQ(t.stop_sounds, (std::vector<int32_t>{880}));
    ASSERT_EQ(t.signals.size(), 2u);
    const Signal& s = t.signals[1];
    EXPECT_EQ(s.name, "場内");
    EXPECT_EQ((V{s.kind, s.commentary, s.type, s.section_start, s.section_end, s.warning, s.signal_frame,
                 s.fixed_aspect, s.fixed_until}),
              (V{2, 12, 5, 600, 1000, 950, 1000, 0, 990000}));
    ASSERT_EQ(t.slopes.size(), 2u);  // gradient first, then the frames
    EXPECT_EQ((V{t.slopes[0].gradient, t.slopes[1].gradient, t.slopes[1].start, t.slopes[1].end}),
              (V{-25000, 101250, 300, 900}));
    ASSERT_EQ(t.signs.size(), 1u);  // picture first, then the frames
    EXPECT_EQ((V{t.signs[0].picture, t.signs[0].start, t.signs[0].end}), (V{1, 100, 200}));
    ASSERT_EQ(t.signal_kanko.size(), 1u);
    ASSERT_EQ(t.station_kanko.size(), 1u);
    EXPECT_EQ((V{t.signal_kanko[0].value, t.station_kanko[0].index, t.station_kanko[0].value}), (V{1, 1, 1100}));
    ASSERT_EQ(t.speed_limits.size(), 1u);
    const SpeedLimit& l = t.speed_limits[0];
    EXPECT_EQ((V{l.limit, l.picture, l.sign_frame, l.zone_end}), (V{60, 1, 700, 900}));
    ASSERT_EQ(t.speed_checks.size(), 1u);
    EXPECT_EQ((V{t.speed_checks[0].speed, t.speed_checks[0].frame}), (V{55, 850}));

    ASSERT_EQ(t.sign_images.size(), 3u);  // the train's stop marker stays first
    EXPECT_EQ(t.sign_images[0].name, "image\\stop.bmp");
    EXPECT_EQ(t.sign_images[2].path, dir / "image/sign/down.bmp");
    ASSERT_EQ(t.other_images.size(), 2u);
    EXPECT_EQ(t.other_images[0].wave, "sound\\chime.wav");
    EXPECT_EQ(t.other_images[1].picture.width, 100);
    EXPECT_EQ(t.other_images[1].wave, "");
    ASSERT_EQ(t.signal_images.size(), 2u);
    EXPECT_EQ(t.signal_images[1].height, 100);
    ASSERT_EQ(t.speed_units.size(), 2u);
    // 120 x 1000 / 2.16 = 55555.6 -> 55556; then 150 x 1000 / 2.16 = 69444.4 -> 69444.
    EXPECT_EQ((V{t.speed_units[1].start, t.speed_units[1].speed_end, t.speed_units[0].end_distance,
                 t.speed_units[1].end_distance}),
              (V{1000, 90, 55556, 125000}));
    ASSERT_EQ(t.time_checks.size(), 1u);
    const TimeCheck& tc = t.time_checks[0];
    EXPECT_EQ((V{tc.kind, tc.from, tc.to, tc.time}), (V{0, 900, 1000, 975000}));

    // Derived: signal 1 stands on the segment boundary and gets no mark; 代官山 passes.
    EXPECT_EQ(t.marks.size(), 2u);
    EXPECT_EQ(t.stations[0].stop_distance, 6667);  // frame 120
    EXPECT_EQ(t.move_menu.size(), 1u);
}

TEST_F(RouteFiles, KeysMatchOnTheirExactPrefixOnly) {
    const auto r = read("[station]\n渋谷,0,1,2,0,0,0\n#\n[Station]\n五反田,0,1,2,0,0,0\n#\n[OneMan] 車掌なし\n1\n");
    ASSERT_TRUE(r.ok()) << r.error().message;
    ASSERT_EQ(r.value().stations.size(), 1u);
    EXPECT_EQ(r.value().stations[0].name, "五反田");
    EXPECT_EQ(r.value().one_man, 1);
    EXPECT_EQ(r.value().frame_rate, 30);  // absent: the preceding train steps every tick
}

TEST_F(RouteFiles, RefusesBadRecordsNamingTheSectionAndTheLine) {
    int line = 0;
    EXPECT_EQ(refusal("[Signal]\n0,第1閉塞,3,3,0,600,400,590,4\n#\n", &line),
              kError + "[Signal]:0,第1閉塞,3,3,0,600,400,590,4");
    EXPECT_EQ(line, 2);
    EXPECT_EQ(refusal("[LineName]\nX\n[StartPos]\n12a\n", &line), kError + "other:12a");
    EXPECT_EQ(line, 4);
    EXPECT_EQ(refusal("[Tunnel]\n500\n8o0\n#\n"), kError + "[Tunnel]:8o0");
    EXPECT_EQ(refusal("[Slope]\n1.5,a,300\n#\n"), kError + "[Slope]:1.5,a,300");
    // A list left open at the end of the file is refused, not read for ever.
    EXPECT_EQ(refusal("[SoundData]\na.wav\n", &line), kError + "[SoundData]:");
    EXPECT_EQ(line, 2);
}

TEST_F(RouteFiles, RefusesMissingPictures) {
    EXPECT_EQ(refusal("[Staf]\nimage\\card.bmp\nimage\\none.jpg\n"), kError + "other:image\\none.jpg");
    EXPECT_EQ(refusal("[SignImageList]\nimage\\sign\\up.bmp\nimage\\sign\\none.bmp\n#\n"),
              kError + "[SignImageList]:image\\sign\\none.bmp");
    EXPECT_EQ(refusal("[OtherImageList]\nimage\\other\\none.bmp\nx.wav\n#\n"),
              kError + "[OtherImageList]:image\\other\\none.bmp");
    // The lists take bitmaps only; the [Staf] pictures may be any format.
    test::write_bytes(dir / "image/signal/p.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x32\0\0\0\x64", 24));
    EXPECT_EQ(refusal("[SignalImageList]\nimage\\signal\\p.png\n#\n"), kError + "[SignalImageList]:image\\signal\\p.png");
    EXPECT_TRUE(read("[Staf]\nimage\\signal\\p.png\nimage\\still.bmp\n").ok());
}

TEST_F(RouteFiles, RefusesListsOverCapacity) {
    std::string sounds = "[Sound]\n";
    for (int i = 0; i < 100; ++i) sounds += "; remark\n0," + std::to_string(i) + ",1000,60,0\n";
    EXPECT_TRUE(read(sounds + "#\n").ok());  // 100 records; the remarks do not count
    EXPECT_EQ(refusal(sounds + "0,100,1000,60,0\n#\n"), kError + "[Sound]:0,100,1000,60,0");

    std::string signs = "[SignImageList]\n";
    for (int i = 0; i < 100; ++i) signs += "image\\sign\\up.bmp\n";
    const auto r = read(signs + "#\n");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value().sign_images.size(), 101u);  // the stop marker and 100 pictures
    EXPECT_EQ(refusal(signs + "image\\sign\\down.bmp\n#\n"), kError + "[SignImageList]:image\\sign\\down.bmp");
}

TEST_F(RouteFiles, RefusesARateOrSegmentsThatWouldDivideByZero) {
    for (const char* rate : {"0", "31", "-15"})
        EXPECT_EQ(refusal(std::string("[FrameRate]\n") + rate + "\n"), kError + "other:" + rate);
    EXPECT_EQ(read("[FrameRate]\n30\n").value().frame_rate, 30);
    EXPECT_EQ(read("[FrameRate]\n1\n").value().frame_rate, 1);
    EXPECT_EQ(refusal("[SpeedUnit]\n0,100,60,60\n100,100,60,60\n#\n"), kError + "[SpeedUnit]:100,100,60,60");
    EXPECT_EQ(refusal("[SpeedUnit]\n500,100,60,60\n#\n"), kError + "[SpeedUnit]:500,100,60,60");
}

// Values whose sums would leave their integer types during a run are refused where they
// are read; the edges of each range are accepted.
TEST_F(RouteFiles, RefusesValuesTheRunCannotComputeWith) {
    const struct { const char* text; const char* refused; } cases[] = {
        {"[Announce]\n2147483647,100\n#\n", "[Announce]:2147483647,100"},
        {"[Announce]\n-1,100\n#\n", "[Announce]:-1,100"},
        {"[Sound]\n500,0,1000,60,0\n#\n", "[Sound]:500,0,1000,60,0"},
        {"[Doppler]\n2147483647,0,10,20\n#\n", "[Doppler]:2147483647,0,10,20"},
        {"[Station]\nA,0,0,10,500,0,0\n#\n", "[Station]:A,0,0,10,500,0,0"},
        {"[Station]\nA,0,0,10,0,2147483646,0\n#\n", "[Station]:A,0,0,10,0,2147483646,0"},
        {"[StartTime]\n2147483646\n", "other:2147483646"},
        {"[StartTime]\n-1\n", "other:-1"},
        {"[StartTime]\n5184001\n", "other:5184001"},
        {"[Speed_Y]\n2147483647\n", "other:2147483647"},
        {"[Speed_G]\n-5\n", "other:-5"},
        {"[SpeedLimit]\n2147483647,1,0,100,200\n#\n", "[SpeedLimit]:2147483647,1,0,100,200"},
        // A limit of 0 would make a mark of the same form as a signal's.
        {"[SpeedLimit]\n0,1,0,100,200\n#\n", "[SpeedLimit]:0,1,0,100,200"},
    };
    for (const auto& c : cases) EXPECT_EQ(refusal(c.text), kError + c.refused) << c.text;

    const auto r = read(
        "[StartTime]\n5184000\n[Speed_Y]\n9999\n[Speed_G]\n0\n"
        "[Announce]\n0,100\n499,200\n#\n[Station]\nA,0,0,10,499,0,5184000\n#\n"
        "[SpeedLimit]\n1,1,0,100,200\n9999,1,0,300,400\n#\n");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value().start_time, 5184000);
    EXPECT_EQ(r.value().announcements[1].sound, 499);
    EXPECT_EQ(r.value().speed_limits[1].limit, 9999);
}

TEST_F(RouteFiles, AValueLineThatIsAKeyIsStillTestedForTheKeysAfterIt) {
    // "[StartPos]" is [LineName]'s value, then itself tested: its own value follows.
    auto r = read("[LineName]\n[StartPos]\n100\n");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value().line_name, "[StartPos]");
    EXPECT_EQ(r.value().start_pos, 100);
    // A key earlier in the order is not tested again on that value line: X is never read.
    r = read("[DataName]\n[LineName]\nX\n");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value().data_name, "[LineName]");
    EXPECT_EQ(r.value().line_name, "");
    // Single values come before the lists, so a list key as a value opens its list.
    r = read("[LineName]\n[SoundData]\na.wav\n#\n");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value().sound_data, (std::vector<std::string>{"a.wav"}));
    // The 18th commentary line opens the next list.
    std::string kanko = "[KankoSound1]\n";
    for (int i = 0; i < 17; ++i) kanko += "k.wav\n";
    r = read(kanko + "[KankoSound2]\nb.wav\n#\n");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value().kanko_sound1.back(), "[KankoSound2]");
    EXPECT_EQ(r.value().kanko_sound2, (std::vector<std::string>{"b.wav"}));
}

TEST_F(RouteFiles, TheSectionIsOtherAgainOnEveryNewLine) {
    EXPECT_EQ(refusal("[Signal]\n0,a,0,1,0,10,5,8,4,0\n#\n[StartPos]\nx\n"), kError + "other:x");
    // A list reached through a value line names that list.
    EXPECT_EQ(refusal("[LineName]\n[Slope]\n1.5,a,3\n#\n"), kError + "[Slope]:1.5,a,3");
}

TEST_F(RouteFiles, SegmentLengthsRoundHalfCentimetresToEven) {
    // (13 + 14) x 25 / 2.16 = 312.5 -> 312; (14 + 13) x 175 / 2.16 = 2187.5 -> 2188, so 312 + 2188.
    const auto r = read("[SpeedUnit]\n0,25,13,14\n25,200,14,13\n#\n");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value().speed_units[0].end_distance, 312);
    EXPECT_EQ(r.value().speed_units[1].end_distance, 2500);
}
