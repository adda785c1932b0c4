// A serial port refused for lack of permission: the open error gains advice that works,
// the device's group only where joining it lets the user in.
#include <sys/stat.h>

#include <cerrno>

#include "platform/device_access.hpp"
#include "test_support.hpp"

namespace vantrel::test {
namespace {

TEST(PermissionHint, OnlyForPermissionErrorsOnADeviceThatIsThere) {
    TempDir tmp;
    const auto device = tmp / "ttyFAKE0";
    write_bytes(device, "");
    const QString path = QString::fromStdString(device.string());
    for (const int error : {EACCES, EPERM}) {
        const QString hint = permission_hint(error, path);
        EXPECT_TRUE(hint.startsWith('\n')) << error;  // a line of its own under the open error
        EXPECT_TRUE(hint.contains(path)) << hint.toStdString();
    }
    EXPECT_TRUE(permission_hint(ENOENT, path).isEmpty());
    EXPECT_TRUE(permission_hint(EBUSY, path).isEmpty());
    // A port name without a path is looked for under /dev; a device that is not there gives nothing.
    EXPECT_TRUE(permission_hint(EACCES, "ttyNO_SUCH_PORT").isEmpty());
}

TEST(PermissionHint, NamesAGroupOnlyWhenJoiningItHelps) {
    constexpr gid_t kDialout = 4242;  // unnamed on any machine: shown as its number
    struct Case {
        gid_t group;
        mode_t mode;
        bool join;
    };
    for (const Case c : {Case{kDialout, 0660, true}, Case{kDialout, 0600, false}, Case{kDialout, 0640, false},
                         Case{0, 0660, false}, Case{0, 0600, false}}) {
        const QString hint = permission_advice("/dev/ttyUSB0", 0, c.group, S_IFCHR | c.mode);
        EXPECT_EQ(hint.contains("usermod"), c.join) << c.group << " " << c.mode << hint.toStdString();
        EXPECT_FALSE(hint.contains("-aG root")) << hint.toStdString();
        if (!c.join) {
            EXPECT_TRUE(hint.contains("owned by root")) << hint.toStdString();
        }
    }
    EXPECT_TRUE(permission_advice("/dev/ttyUSB0", 0, kDialout, 0660).contains("usermod -aG 4242 $USER"));
}

}  // namespace
}  // namespace vantrel::test
