#include "platform/device_access.hpp"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace vantrel {
namespace {

std::vector<char> name_buffer(int which) {
    const long size = sysconf(which);
    return std::vector<char>(static_cast<size_t>(size > 0 ? size : 16384));
}

QString group_name(gid_t gid) {
    std::vector<char> buffer = name_buffer(_SC_GETGR_R_SIZE_MAX);
    group entry{};
    group* found = nullptr;
    if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->gr_name)
        return QString::fromLocal8Bit(found->gr_name);
    return QString::number(gid);
}

QString user_name(uid_t uid) {
    std::vector<char> buffer = name_buffer(_SC_GETPW_R_SIZE_MAX);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name)
        return QString::fromLocal8Bit(found->pw_name);
    return QString::number(uid);
}

}  // namespace

QString permission_advice(const QString& device, uid_t owner, gid_t group, mode_t mode) {
    const QString group_text = group_name(group);
    // Joining root's group gives root's files away; a group without read and write gives nothing.
    const bool group_helps = group != 0 && (mode & S_IRGRP) && (mode & S_IWGRP);
    if (group_helps)
        return QString::fromUtf8("\n%1 はグループ %2 のデバイスです。sudo usermod -aG %2 $USER を実行し、"
                                 "ログインし直してください。\n"
                                 "(%1 belongs to the group %2: run sudo usermod -aG %2 $USER, then log in again.)")
            .arg(device, group_text);
    return QString::fromUtf8("\n%1 の所有者は %2 (グループ %3) で、グループには読み書きが許されていません。"
                             "使えるようにするには管理者に相談してください (udev の規則など)。\n"
                             "(%1 is owned by %2, group %3, and its group may not read and write it: "
                             "ask the administrator for access, for example by a udev rule.)")
        .arg(device, user_name(owner), group_text);
}

QString permission_hint(int system_error, const QString& port_name) {
    if (system_error != EACCES && system_error != EPERM) return {};
    const QString device = port_name.startsWith('/') ? port_name : QStringLiteral("/dev/") + port_name;
    struct stat info {};
    if (::stat(device.toLocal8Bit().constData(), &info) != 0) return {};
    return permission_advice(device, info.st_uid, info.st_gid, info.st_mode);
}

}  // namespace vantrel
