// The calibration codes from a real settings file under a temporary XDG_CONFIG_HOME.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/calibration_store.hpp"
#include "test_support.hpp"

using namespace vantrel;

namespace {

std::string read_all(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(CalibrationStore, ReadsInOrderUntilTheFirstMissingValueAndNeverWrites) {
    // Qt settles the settings folder at the first use in a process: this test is the only user.
    vantrel::test::TempDir home;
    ASSERT_EQ(::setenv("HOME", home.path().c_str(), 1), 0);
    ASSERT_EQ(::setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1), 0);
    const auto file = home / ".config/Vantrel/dgcontroller.conf";
    // B4 is missing: B5 and EB stay unread although present.
    const std::string text =
        "[General]\nP0=10\nP1=-20\nP2=30\nP3=40\nP4=50\nP5=60\nB0=0\nB1=1\nB2=2\nB3=3\nB5=5\nEB=15\n";
    vantrel::test::write_bytes(file, text);

    std::array<int32_t, 16> codes;
    codes.fill(99);
    EXPECT_EQ(read_calibration(codes), 10);
    EXPECT_EQ(codes, (std::array<int32_t, 16>{10, -20, 30, 40, 50, 60, 0, 1, 2, 3, 99, 99, 99, 99, 99, 99}));
    EXPECT_EQ(read_all(file), text);
}
