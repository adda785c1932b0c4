#pragma once
// What to do when the system, not the data, refuses a device: the group that owns it
// and how a user joins that group, or who owns it when joining a group would not help.
#include <sys/types.h>

#include <QString>

namespace vantrel {

// For a permission error (EACCES, EPERM) on a serial port ("ttyUSB0" or a path), the lines
// to add under the open error. Empty for other errors or when the device cannot be looked at.
[[nodiscard]] QString permission_hint(int system_error, const QString& port_name);

// The advice for a device of that owner, group and mode: join the group only when it is
// not root's and may read and write the device, else who owns it.
[[nodiscard]] QString permission_advice(const QString& device, uid_t owner, gid_t group, mode_t mode);

}  // namespace vantrel
