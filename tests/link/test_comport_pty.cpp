#include "PtyPair.h"
#include "link/CUart_CommApp.h"
#include "link/ComPort.h"

#include <QSignalSpy>
#include <QtTest>

using namespace FrameCodec;

namespace {

// Reads from the master until count bytes have arrived (the event loop keeps running, so that
// the port under test can write).
QByteArray ReadExactly(PtyPair &pty, int count)
{
    QByteArray got;
    QDeadlineTimer deadline(10000);
    while (got.size() < count && !deadline.hasExpired()) {
        QCoreApplication::processEvents();
        got += pty.Read(20);
    }
    return got;
}

} // namespace

// The serial port over a pseudo-terminal: the test plays the receiver on the master side. (Answers
// arriving through a real port are covered end to end against the simulator.)
class TestComPortPty : public QObject {
    Q_OBJECT
private slots:
    void requestIsWrittenAsExactly64Bytes()
    {
        PtyPair pty;
        QVERIFY(pty.IsValid());
        CUart_CommApp app;
        QVERIFY(app.OpenPort(pty.SlavePath()));

        RequestBuffer gdi;
        QVERIFY(BuildRequest(Command::GDI, nullptr, 0, gdi));
        const QByteArray one(reinterpret_cast<const char *>(gdi.data()), 64);
        QCOMPARE(app.WriteRequest(gdi), qint64(64));
        QCOMPARE(app.WriteRequest(gdi), qint64(64));
        // The second request starts exactly 64 bytes after the first: nothing more, nothing less.
        QCOMPARE(ReadExactly(pty, 128), one + one);
    }

    void missingAndVanishingPorts()
    {
        LsComm::CComPort port;
        QVERIFY(!port.OpenPort(QStringLiteral("/dev/corvane-no-such-port")));
        QVERIFY(!port.IsOpen());
        const quint8 byte = 0;
        QCOMPARE(port.Write(&byte, 1), qint64(-1));
        port.ClosePort();

        // The device goes away while open: reading ends, the port closes, nothing crashes.
        auto pty = std::make_unique<PtyPair>();
        QVERIFY(port.OpenPort(pty->SlavePath()));
        int delivered = 0;
        port.SetReceiveCallback([&](const quint8 *, qint64 n) { delivered += int(n); });
        QVERIFY(pty->Write(QByteArray("abc")));
        QTRY_COMPARE(delivered, 3);
        QSignalSpy lost(&port, &LsComm::CComPort::PortLost);
        pty.reset();
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 10000);
        QVERIFY(!port.IsOpen());
        QCOMPARE(port.Write(&byte, 1), qint64(-1));
        port.ClosePort();
    }
};

QTEST_GUILESS_MAIN(TestComPortPty)
#include "test_comport_pty.moc"
