#pragma once
// What to do when the system, not the data, refuses a device: the group that owns it
// and how a user joins that group.
#include <QString>

namespace vantrel {

// For a permission error (EACCES, EPERM) on a serial port ("ttyUSB0" or a path), the lines
// to add under the open error: the device's group and the command that lets the user in.
// Empty for other errors or when the device cannot be looked at.
[[nodiscard]] QString permission_hint(int system_error, const QString& port_name);

}  // namespace vantrel
