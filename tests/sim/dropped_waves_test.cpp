// The runner names every wave it drops, with the reason, once per file, with or without
// the mix being rendered.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "demo_data/demo_data.hpp"
#include "test_support.hpp"

namespace {

using vantrel::test::TempDir;

std::string errors_of(const TempDir& dir, const std::string& extra) {
    const std::string cmd = std::string(VANTREL_SIM_PATH) + " --data-dir " + dir.path().string() +
                            " --train train_demo.dat --seconds 1 " + extra + " >/dev/null 2>" +
                            (dir / "err.txt").string();
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    std::ifstream in(dir / "err.txt");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(DroppedWaves, EachIsNamedOnceWithItsReason) {
    TempDir dir;
    ASSERT_EQ(vantrel::demo::write_demo_data(dir.path()), "");
    vantrel::test::write_bytes(dir / "Sound" / "Run0.wav", "これは音ではありません\r\n");
    vantrel::test::write_bytes(dir / "Sound" / "Horn1.wav", "");
    for (const std::string& extra : {std::string(), "--audio " + (dir / "mix.wav").string()}) {
        const std::string err = errors_of(dir, extra);
        for (const char* name : {"Run0.wav: ", "Horn1.wav: "}) {
            const auto at = err.find(name);
            EXPECT_NE(at, std::string::npos) << name << "\n" << err;
            EXPECT_EQ(at, err.rfind(name)) << err;
        }
    }
}
