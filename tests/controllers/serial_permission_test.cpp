// A serial port refused for lack of permission: the open error gains the device's group
// and the command that lets the user in.
#include <grp.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/device_access.hpp"
#include "test_support.hpp"

namespace vantrel::test {
namespace {

TEST(PermissionHint, NamesTheDevicesGroupOnlyForPermissionErrors) {
    TempDir tmp;
    const auto device = tmp / "ttyFAKE0";
    write_bytes(device, "");
    struct stat info {};
    ASSERT_EQ(::stat(device.c_str(), &info), 0);
    const group* g = getgrgid(info.st_gid);
    ASSERT_NE(g, nullptr);
    const QString name = QString::fromLocal8Bit(g->gr_name);
    const QString path = QString::fromStdString(device.string());
    for (const int error : {EACCES, EPERM}) {
        const QString hint = permission_hint(error, path);
        EXPECT_TRUE(hint.startsWith('\n')) << error;  // a line of its own under the Part's text
        EXPECT_TRUE(hint.contains("sudo usermod -aG " + name + " $USER")) << hint.toStdString();
        EXPECT_TRUE(hint.contains(path)) << hint.toStdString();
    }
    EXPECT_TRUE(permission_hint(ENOENT, path).isEmpty());
    EXPECT_TRUE(permission_hint(EBUSY, path).isEmpty());
    // A port name without a path is looked for under /dev; a device that is not there gives nothing.
    EXPECT_TRUE(permission_hint(EACCES, "ttyNO_SUCH_PORT").isEmpty());
}

}  // namespace
}  // namespace vantrel::test
