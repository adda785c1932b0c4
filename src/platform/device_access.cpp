#include "platform/device_access.hpp"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace vantrel {
namespace {

QString group_name(gid_t gid) {
    long size = sysconf(_SC_GETGR_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<size_t>(size > 0 ? size : 16384));
    group entry{};
    group* found = nullptr;
    if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->gr_name)
        return QString::fromLocal8Bit(found->gr_name);
    return QString::number(gid);
}

}  // namespace

QString permission_hint(int system_error, const QString& port_name) {
    if (system_error != EACCES && system_error != EPERM) return {};
    const QString device = port_name.startsWith('/') ? port_name : QStringLiteral("/dev/") + port_name;
    struct stat info {};
    if (::stat(device.toLocal8Bit().constData(), &info) != 0) return {};
    const QString group = group_name(info.st_gid);
    return QString::fromUtf8("\n%1 はグループ %2 のデバイスです。sudo usermod -aG %2 $USER を実行し、"
                             "ログインし直してください。\n"
                             "(%1 belongs to the group %2: run sudo usermod -aG %2 $USER, then log in again.)")
        .arg(device, group);
}

}  // namespace vantrel
