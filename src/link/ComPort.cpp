#include "link/ComPort.h"
#include "link/LinkLog.h"

#include <QSerialPortInfo>

#include <algorithm>

namespace LsComm {

namespace {

QSerialPort::Parity ParityFromIndex(int index)
{
    switch (index) {
    case 0:
        return QSerialPort::EvenParity;
    case 1:
        return QSerialPort::MarkParity;
    case 3:
        return QSerialPort::OddParity;
    case 4:
        return QSerialPort::SpaceParity;
    default:
        return QSerialPort::NoParity;
    }
}

QSerialPort::StopBits StopBitsFromIndex(int index)
{
    switch (index) {
    case 1:
        return QSerialPort::OneAndHalfStop;
    case 2:
        return QSerialPort::TwoStop;
    default:
        return QSerialPort::OneStop;
    }
}

QSerialPort::FlowControl FlowFromIndex(int index)
{
    if (index >= 1 && index <= 4)
        return QSerialPort::HardwareControl;
    if (index == 5)
        return QSerialPort::SoftwareControl;
    return QSerialPort::NoFlowControl;
}

} // namespace

CSerialPort::CSerialPort(QObject *parent) : QObject(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &CSerialPort::OnReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &CSerialPort::OnError);
}

CSerialPort::~CSerialPort()
{
    Close();
}

bool CSerialPort::Open(const QString &location, const LineSettings &settings)
{
    Close();
    m_port.setPortName(location);
    if (!m_port.open(QIODevice::ReadWrite)) {
        qCInfo(lcLink) << "cannot open" << location << m_port.errorString();
        return false;
    }
    const bool configured = m_port.setBaudRate(settings.baudRate) &&
                            m_port.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits)) &&
                            m_port.setParity(ParityFromIndex(settings.parityIndex)) &&
                            m_port.setStopBits(StopBitsFromIndex(settings.stopBitsIndex)) &&
                            m_port.setFlowControl(FlowFromIndex(settings.flowIndex));
    if (!configured) {
        qCInfo(lcLink) << "cannot configure" << location << m_port.errorString();
        m_port.close();
        return false;
    }
    // Stale bytes of an earlier session are not ours.
    m_port.clear();
    return true;
}

void CSerialPort::Close()
{
    if (m_port.isOpen())
        m_port.close();
}

bool CSerialPort::IsOpen() const
{
    return m_port.isOpen();
}

qint64 CSerialPort::Write(const char *data, qint64 count)
{
    if (!m_port.isOpen())
        return -1;
    const qint64 written = m_port.write(data, count);
    // Hand the bytes to the driver now rather than on the next event-loop turn.
    m_port.flush();
    return written;
}

QString CSerialPort::ErrorText() const
{
    return m_port.errorString();
}

void CSerialPort::OnReadyRead()
{
    while (m_port.isOpen() && m_port.bytesAvailable() > 0) {
        const QByteArray chunk = m_port.read(kReadChunk);
        if (chunk.isEmpty())
            break;
        emit Received(chunk);
    }
}

void CSerialPort::OnError(QSerialPort::SerialPortError error)
{
    // A vanished device shows as a resource error (or a failing read or write): stop reading.
    const bool fatal = error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
                       error == QSerialPort::WriteError || error == QSerialPort::DeviceNotFoundError;
    if (!fatal || !m_port.isOpen())
        return;
    qCInfo(lcLink) << "port failed:" << m_port.errorString();
    m_port.close();
    emit Lost();
}

CComPort::CComPort(QObject *parent) : QObject(parent)
{
    m_prober = [](const QString &location) {
        QSerialPort probe(location);
        if (probe.open(QIODevice::ReadWrite))
            return QSerialPort::NoError;
        return probe.error();
    };
}

CComPort::~CComPort()
{
    ClosePort();
}

int CComPort::EnumeratePorts(const QStringList &givenPorts)
{
    QStringList locations;
    for (const QString &port : givenPorts) {
        if (!port.isEmpty() && !locations.contains(port))
            locations << port;
    }
    QStringList system;
    const auto available = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : available)
        system << info.systemLocation();
    std::sort(system.begin(), system.end());
    for (const QString &port : std::as_const(system)) {
        if (!locations.contains(port))
            locations << port;
    }
    if (locations.size() > kMaxPorts)
        locations = locations.mid(0, kMaxPorts);

    m_table.clear();
    int present = 0;
    for (const QString &location : std::as_const(locations)) {
        PortEntry entry;
        entry.location = location;
        // The port in use is present by definition; probing it would disturb the link.
        const bool inUse = IsOpen() && location == m_location;
        entry.access = inUse ? PortAccess::Opened : ClassifyOpenError(m_prober(location));
        entry.present = entry.access == PortAccess::Opened;
        entry.group = PortOwnerGroup(location);
        present += entry.present ? 1 : 0;
        m_table.push_back(entry);
    }
    m_scanIndex = 0;
    return present;
}

bool CComPort::OpenPort(const QString &location, const CSerialPort::LineSettings &settings)
{
    ClosePort();
    auto serial = std::make_unique<CSerialPort>();
    if (!serial->Open(location, settings))
        return false;
    connect(serial.get(), &CSerialPort::Received, this, &CComPort::Deliver);
    connect(serial.get(), &CSerialPort::Lost, this, &CComPort::PortLost);
    m_serial = std::move(serial);
    m_location = location;
    return true;
}

bool CComPort::IsOpen() const
{
    return m_serial && m_serial->IsOpen();
}

qint64 CComPort::Write(const quint8 *bytes, qint64 count)
{
    if (!IsOpen())
        return -1;
    return m_serial->Write(reinterpret_cast<const char *>(bytes), count);
}

void CComPort::ClosePort()
{
    if (!m_serial)
        return;
    m_serial->disconnect(this);
    m_serial->Close();
    // Closing may happen inside one of the port's own signals: delete it later.
    m_serial.release()->deleteLater();
    m_location.clear();
}

void CComPort::Deliver(const QByteArray &bytes)
{
    if (m_callback && !bytes.isEmpty())
        m_callback(reinterpret_cast<const quint8 *>(bytes.constData()), bytes.size());
}

} // namespace LsComm
