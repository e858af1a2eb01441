#pragma once

#include <QSerialPort>
#include <QString>

namespace LsComm {

// Why a port could or could not be opened, as far as the operator can act on it.
enum class PortAccess {
    Opened,  // it opened
    Denied,  // the user lacks the right to open the device
    Missing, // no such device
    Failed,  // anything else (busy, not a serial device, ...)
};

[[nodiscard]] PortAccess ClassifyOpenError(QSerialPort::SerialPortError error);
[[nodiscard]] const char *PortAccessName(PortAccess access);

// The group owning the device file (empty where the system has no such notion, e.g. Windows).
[[nodiscard]] QString PortOwnerGroup(const QString &location);

// The one-time message naming the port and the fix (joining the owning group).
[[nodiscard]] QString PortDeniedMessage(const QString &location, const QString &group);
// The short form for the status bar.
[[nodiscard]] QString PortDeniedStatus(const QString &location, const QString &group);

} // namespace LsComm
