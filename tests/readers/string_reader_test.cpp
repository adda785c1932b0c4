#include <gtest/gtest.h>

#include "cab/string_reader.hpp"
#include "test_support.hpp"

using namespace vantrel;

namespace {

Result<Strings> read_strings(const test::TempDir& dir, const std::string& text) {
    test::write_cp932(dir / "vantrel.dat", text);
    return read_string_file("Vantrel.DAT", PathResolver(dir.path()));
}

}  // namespace

TEST(StringFile, ReadsEveryKeyInAnyOrder) {
    test::TempDir dir;
    const auto r = read_strings(dir, R"(; 表示文字列
[Control]
コントローラ
[Path] ; 動画の場所
movie\
[Forward]
前進
[Neutral]
中立
[Reverse]
後進
[Stop] 停車駅
停車
[Pass]
通過
[Stop2]
臨時停車
[Neut]
ブレーキ緩め
[Neut2]
切
[Maintain]
保ち
[Hold]
重なり
[Apply]
ブレーキ込め
[Hold2]
抑速
[EB]
非常
[Start]
開始(&S)
[Move]
移動(&M)
[Display]
表示(&D)
速度表示
再描画
)");
    ASSERT_TRUE(r);
    const Strings& s = r.value();
    EXPECT_EQ(s.path, "movie\\");
    EXPECT_EQ(s.forward, "前進");
    EXPECT_EQ(s.neutral, "中立");
    EXPECT_EQ(s.reverse, "後進");
    EXPECT_EQ(s.stop, "停車");  // the key line continues after "[Stop]"
    EXPECT_EQ(s.pass, "通過");
    EXPECT_EQ(s.stop2, "臨時停車");
    EXPECT_EQ(s.neut, "ブレーキ緩め");
    EXPECT_EQ(s.neut2, "切");
    EXPECT_EQ(s.maintain, "保ち");
    EXPECT_EQ(s.hold, "重なり");
    EXPECT_EQ(s.apply, "ブレーキ込め");
    EXPECT_EQ(s.hold2, "抑速");
    EXPECT_EQ(s.eb, "非常");
    EXPECT_EQ(s.start, "開始(&S)");
    EXPECT_EQ(s.move, "移動(&M)");
    EXPECT_EQ(s.display, (std::array<std::string, 3>{"表示(&D)", "速度表示", "再描画"}));
    EXPECT_EQ(s.control, "コントローラ");
}

TEST(StringFile, TestsLaterKeysAgainstTheValueLine) {
    test::TempDir dir;
    // "[Forward]"'s value begins with the later key "[Stop]", which then takes "止まる".
    // "[Move]"'s value "[Forward]" is not tested again: that key comes earlier.
    auto r = read_strings(dir, "[Forward]\n[Stop]\n止まる\n[Move]\n[Forward]\nx\n[Control]\n");
    ASSERT_TRUE(r);
    EXPECT_EQ(r.value().forward, "[Stop]");
    EXPECT_EQ(r.value().stop, "止まる");
    EXPECT_EQ(r.value().move, "[Forward]");
    EXPECT_EQ(r.value().control, "");  // past the end of the file: empty
    EXPECT_EQ(r.value().neutral, "");

    // "[Display]" takes three lines; only the third is tested against "[Control]".
    r = read_strings(dir, "[Display]\n[Control]\nb\n[Control] c\nx\n");
    ASSERT_TRUE(r);
    EXPECT_EQ(r.value().display, (std::array<std::string, 3>{"[Control]", "b", "[Control] c"}));
    EXPECT_EQ(r.value().control, "x");
    r = read_strings(dir, "[Display]\n[Control]\nb\nc\nx\n");
    ASSERT_TRUE(r);
    EXPECT_EQ(r.value().control, "");

    r = read_strings(dir, "[Path]\n\n");
    ASSERT_TRUE(r);
    EXPECT_EQ(r.value().path, "");

    r = read_string_file("nothing.dat", PathResolver(dir.path()));
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().message, "stringファイルに誤りがあります");
    EXPECT_EQ(r.error().file, "nothing.dat");
    EXPECT_EQ(r.error().line, 0);
}
