#include "link/PortAccess.h"

#include "base/StringIds.h"
#include "base/StringTable.h"

#include <QFileInfo>

namespace LsComm {

PortAccess ClassifyOpenError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
        return PortAccess::Opened;
    case QSerialPort::PermissionError:
        return PortAccess::Denied;
    case QSerialPort::DeviceNotFoundError:
        return PortAccess::Missing;
    default:
        return PortAccess::Failed;
    }
}

const char *PortAccessName(PortAccess access)
{
    switch (access) {
    case PortAccess::Opened:
        return "ok";
    case PortAccess::Denied:
        return "permission-denied";
    case PortAccess::Missing:
        return "missing";
    case PortAccess::Failed:
        break;
    }
    return "failed";
}

QString PortOwnerGroup(const QString &location)
{
    // /dev/serial/by-id names are links; the group that matters is the device's.
    const QFileInfo info(location);
    const QString target = info.canonicalFilePath();
    return target.isEmpty() ? info.group() : QFileInfo(target).group();
}

QString PortDeniedMessage(const QString &location, const QString &group)
{
    return group.isEmpty() ? LoadStr(Sid::PortDenied).arg(location)
                           : LoadStr(Sid::PortDeniedGroup).arg(location, group);
}

QString PortDeniedStatus(const QString &location, const QString &group)
{
    return group.isEmpty() ? LoadStr(Sid::PortDeniedStatus).arg(location)
                           : LoadStr(Sid::PortDeniedStatusGroup).arg(location, group);
}

} // namespace LsComm
