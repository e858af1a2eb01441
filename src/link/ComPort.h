#pragma once

#include "link/PortAccess.h"

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>

namespace LsComm {

// Owns one open serial device and its line settings. Reading is event-driven: bytes arrive
// through readyRead on the thread that owns the object (the user-interface thread).
class CSerialPort : public QObject {
    Q_OBJECT
public:
    // Parity index: 0 even, 1 mark, 2 none, 3 odd, 4 space. Stop-bits index: 0 one, 1 one and a
    // half, 2 two. Flow index: 0 none, 1-4 hardware (RTS/CTS), 5 XON/XOFF.
    struct LineSettings {
        qint32 baudRate = 38400;
        int parityIndex = 2;
        int dataBits = 8;
        int stopBitsIndex = 0;
        int flowIndex = 0;
    };

    explicit CSerialPort(QObject *parent = nullptr);
    ~CSerialPort() override;

    // Opens and configures the device; false (and closed) when it cannot be opened or set up.
    [[nodiscard]] bool Open(const QString &location, const LineSettings &settings);
    void Close();
    [[nodiscard]] bool IsOpen() const;
    [[nodiscard]] qint64 Write(const char *data, qint64 count);
    [[nodiscard]] QString ErrorText() const;

signals:
    // One chunk of received bytes (at most kReadChunk bytes).
    void Received(const QByteArray &bytes);
    // The device failed while open (for example it was unplugged); it has been closed.
    void Lost();

public:
    // Largest chunk handed on per read, as the driver-side read buffer of the receiver link.
    static constexpr qint64 kReadChunk = 2048;

private:
    void OnReadyRead();
    void OnError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
};

// The port object of the link: the port table, open/close, write and the receive callback.
class CComPort : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxPorts = 256;

    struct PortEntry {
        QString location;     // system location, e.g. /dev/ttyUSB0 or COM3
        bool present = false; // could be opened when the table was made
        PortAccess access = PortAccess::Failed; // why it could (not) be opened
        QString group;                          // group owning the device file
    };

    // Tries to open a port for the table and reports the outcome (tests replace it: they run
    // with rights no operator has).
    using Prober = std::function<QSerialPort::SerialPortError(const QString &location)>;
    void SetProber(Prober prober) { m_prober = std::move(prober); }

    using ReceiveCallback = std::function<void(const quint8 *bytes, qint64 count)>;

    explicit CComPort(QObject *parent = nullptr);
    ~CComPort() override;

    // Fills the port table: the given ports first (--port, the simulated receiver), then the
    // system's serial ports sorted by location, without repeats, at most kMaxPorts entries.
    // Returns how many entries could be opened. Resets the scan index to 0.
    int EnumeratePorts(const QStringList &givenPorts = {});
    [[nodiscard]] const QVector<PortEntry> &PortTable() const { return m_table; }
    [[nodiscard]] int ScanIndex() const { return m_scanIndex; }
    void SetScanIndex(int index) { m_scanIndex = index; }
    // The table index of the port in use; negative while no receiver is connected.
    [[nodiscard]] int ConnectedPort() const { return m_connectedPort; }
    void SetConnectedPort(int index) { m_connectedPort = index; }

    // Opens the port (closing any port open before). False when it cannot be opened.
    [[nodiscard]] bool OpenPort(const QString &location,
                                const CSerialPort::LineSettings &settings = CSerialPort::LineSettings());
    [[nodiscard]] bool IsOpen() const;
    [[nodiscard]] QString OpenLocation() const { return m_location; }
    // Called for every received chunk; the bytes are valid only during the call.
    void SetReceiveCallback(ReceiveCallback callback) { m_callback = std::move(callback); }
    // Bytes accepted for sending; -1 when no port is open or the write failed.
    [[nodiscard]] qint64 Write(const quint8 *bytes, qint64 count);
    // Closes at once; nothing further is delivered.
    void ClosePort();

signals:
    // The open port failed (device removed); reading has ended and the port is closed.
    void PortLost();

private:
    void Deliver(const QByteArray &bytes);

    std::unique_ptr<CSerialPort> m_serial;
    Prober m_prober;
    ReceiveCallback m_callback;
    QString m_location;
    QVector<PortEntry> m_table;
    int m_scanIndex = 0;
    int m_connectedPort = -1;
};

} // namespace LsComm
