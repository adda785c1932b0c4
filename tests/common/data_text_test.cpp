#include <gtest/gtest.h>

#include "common/common_utilities.hpp"
#include "common/data_text.hpp"
#include "common/numbers.hpp"
#include "test_support.hpp"

using namespace vantrel;

TEST(DataText, SplitsLfCrlfAndCrWithoutAnExtraFinalLine) {
    EXPECT_EQ(split_lines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(split_lines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(split_lines("").empty());
}

TEST(DataText, DecodesCp932AndSurvivesBadBytes) {
    EXPECT_EQ(cp932_to_utf8("\x8e\x9f\x97\xbc"), "次両");  // 次 両
    EXPECT_EQ(cp932_to_utf8("\x95\x5c"), "表");            // trail byte 0x5C is not a backslash
    // A lone lead byte at the end and an undefined byte each become U+FFFD; the rest stays.
    EXPECT_EQ(cp932_to_utf8("A\xA0" "B\x81"), "A\xEF\xBF\xBD" "B\xEF\xBF\xBD");
    const auto back = utf8_to_cp932("列車の基本設定");
    ASSERT_TRUE(back);
    EXPECT_EQ(cp932_to_utf8(*back), "列車の基本設定");
}

TEST(DataText, ReadsARealLookingFile) {
    test::TempDir dir;
    test::write_cp932(dir / "t.dat", "[Cars]  ; 両数\n6\n[Name]\n快速\n");
    const auto lines = read_cp932_lines(dir / "t.dat");
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines, (std::vector<std::string>{"[Cars]  ; 両数", "6", "[Name]", "快速"}));
    EXPECT_FALSE(read_cp932_lines(dir / "missing.dat"));
    EXPECT_FALSE(read_cp932_lines(dir.path()));  // a folder is not a file

    LineCursor cursor(*lines);
    EXPECT_EQ(cursor.next(), "[Cars]  ; 両数");
    EXPECT_TRUE(starts_with_key(cursor.current(), "[Cars]"));
    EXPECT_FALSE(starts_with_key(cursor.current(), "[cars]"));
    cursor.next();
    cursor.next();
    cursor.next();
    EXPECT_TRUE(cursor.at_end());
    EXPECT_EQ(cursor.line_number(), 4);
    EXPECT_EQ(cursor.next(), "");  // reading past the end gives an empty line
}

TEST(DataText, AByteOrderMarkMeansUtf8AndIsDropped) {
    test::TempDir dir;
    const struct { std::string bytes; std::vector<std::string> lines; bool utf8; } cases[] = {
        {"\xEF\xBB\xBF[Name]\r\n快速\r\n", {"[Name]", "快速"}, true},
        {"\xEF\xBB\xBF", {}, true},
        {"\xEF\xBB\xBF" "A\xFF" "B", {"A\xEF\xBF\xBD" "B"}, true},  // a broken sequence, not a lost line
        {"[Name]\r\n\x8b\x7d", {"[Name]", "急"}, false},  // no mark: CP932 as ever
    };
    for (const auto& c : cases) {
        test::write_bytes(dir / "t.dat", c.bytes);
        const auto text = read_data_file_text(dir / "t.dat");
        ASSERT_TRUE(text);
        EXPECT_EQ(text->lines, c.lines) << c.bytes;
        EXPECT_EQ(text->utf8_bom, c.utf8) << c.bytes;
    }
}

TEST(Numbers, Int32AcceptsSignAndBlanksOnly) {
    EXPECT_EQ(parse_int32("12"), 12);
    EXPECT_EQ(parse_int32("-7"), -7);
    EXPECT_EQ(parse_int32("+7"), 7);
    EXPECT_EQ(parse_int32(" 12\t"), 12);
    EXPECT_EQ(parse_int32("2147483647"), 2147483647);
    EXPECT_FALSE(parse_int32("2147483648"));
    EXPECT_FALSE(parse_int32("12a"));
    EXPECT_FALSE(parse_int32("1 2"));
    EXPECT_FALSE(parse_int32(""));
    EXPECT_FALSE(parse_int32("Error"));
    EXPECT_FALSE(parse_int32("+-1"));
    EXPECT_FALSE(parse_int32("1.0"));
    EXPECT_FALSE(parse_int32("１２"));  // full-width digits are not numbers
}

TEST(Numbers, DecimalsAreLocaleIndependentWithExponent) {
    EXPECT_EQ(parse_decimal("2.5"), 2.5L);
    EXPECT_EQ(parse_decimal("-0.98"), -0.98L);
    EXPECT_EQ(parse_decimal("1e2"), 100.0L);
    EXPECT_EQ(parse_decimal(".5"), 0.5L);
    EXPECT_FALSE(parse_decimal("2,5"));
    EXPECT_FALSE(parse_decimal("nan"));
    EXPECT_FALSE(parse_decimal("inf"));
    EXPECT_FALSE(parse_decimal("1e99999"));
    EXPECT_EQ(parse_fixed4("250.12346"), 2501235);  // nearest ten-thousandth
    EXPECT_EQ(parse_fixed4("-3.2"), -32000);
    EXPECT_EQ(parse_fixed4("0.00005"), 0);  // a tie rounds to even
    EXPECT_EQ(parse_fixed4("0.00015"), 2);
    // Ties are decided on the decimal text, not on its nearest binary value.
    EXPECT_EQ(parse_fixed4("4.73585"), 47358);
    EXPECT_EQ(parse_fixed4("1.00015"), 10002);
    EXPECT_EQ(parse_fixed4("250.12345"), 2501234);
    EXPECT_EQ(parse_fixed4("-4.73585"), -47358);
    EXPECT_EQ(parse_fixed4("4.735850001"), 47359);
    EXPECT_EQ(parse_fixed4("473585e-5"), 47358);
    EXPECT_EQ(parse_fixed4("0.473585E1"), 47358);
    EXPECT_EQ(parse_fixed4("12.5e-4"), 12);
    EXPECT_EQ(parse_fixed4("0e99999"), 0);
    EXPECT_EQ(parse_fixed4(" 3.5 "), 35000);
    EXPECT_EQ(parse_fixed4("+.00025"), 2);
    EXPECT_FALSE(parse_fixed4("1e300"));
}

TEST(CommonUtilities, CommaFieldCountsFieldsAndSaysError) {
    EXPECT_EQ(comma_field("", 1), "");
    EXPECT_EQ(comma_field("", 2), "Error");
    EXPECT_EQ(comma_field("a,", 1), "a");
    EXPECT_EQ(comma_field("a,", 2), "");
    EXPECT_EQ(comma_field("a,", 3), "Error");
    EXPECT_EQ(comma_field("東京,0, 12", 1), "東京");
    EXPECT_EQ(comma_field("東京,0, 12", 3), " 12");
    EXPECT_EQ(comma_field("a,,b", 2), "");
    EXPECT_EQ(comma_field("a,b", 0), "");
    EXPECT_EQ(comma_field("a,b", -3), "");
}

TEST(CommonUtilities, NotchClampAndHandPoints) {
    EXPECT_EQ(notch_clamp(6, 4, 8), 4);
    EXPECT_EQ(notch_clamp(-9, 4, 8), -8);
    EXPECT_EQ(notch_clamp(-9, 4, 10), -9);
    EXPECT_EQ(notch_clamp(0, 4, 8), 0);
    const long double half_pi = 1.5707963267948966192L;
    EXPECT_EQ(hand_point_x(10, 100, half_pi), 110);
    EXPECT_EQ(hand_point_y(10, 100, half_pi), 100);
    EXPECT_EQ(hand_point_x(10, 25, 0), 25);
    EXPECT_EQ(hand_point_y(10, 25, 0), 15);  // 0 points up
}
