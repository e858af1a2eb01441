#include "AnswerFrames.h"
#include "PtyPair.h"
#include "link/CUart_CommApp.h"
#include "link/ComPort.h"

#include <QSignalSpy>
#include <QtTest>

using namespace FrameCodec;
using namespace testframes;

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

// The serial port over a pseudo-terminal: the test writes the receiver's side on the master.
class TestComPortPty : public QObject {
    Q_OBJECT
private slots:
    void receivesAnswersInOddChunks()
    {
        PtyPair pty;
        QVERIFY(pty.IsValid());
        CUart_CommApp app;
        RecordingHandler handler;
        app.SetReplyHandler(&handler);
        QSignalSpy ready(&app, &CUart_CommApp::RepliesReady);
        QVERIFY(app.OpenPort(pty.SlavePath()));
        QVERIFY(app.Port().IsOpen());

        const QByteArray stream =
            NodeInfo(Command::GDI, 0, Addr(0x30), 0x40, 0, 0, 5, 5, Addr(0x30)) +
            QByteArray::fromHex("0011") +
            Gmd(Addr(0x31), 0x8C, QByteArray::fromHex("f6ff"), QByteArray::fromHex("1027"), 1, 0, 3, 30, 4) +
            Dld(Addr(0x31), 0x20, QByteArray(77, 'd')) + Mbn(3, QByteArray::fromHex("93ff"));
        const int sizes[] = {5, 11, 3, 29, 1, 17};
        int at = 0;
        for (int k = 0; at < stream.size(); ++k) {
            const int n = std::min<int>(sizes[k % 6], int(stream.size()) - at);
            QVERIFY(pty.Write(stream.mid(at, n)));
            at += n;
            QTest::qWait(2); // let each piece arrive as a chunk of its own
        }
        QTRY_COMPARE_WITH_TIMEOUT(handler.offered.size(), std::size_t(4), 10000);
        QCOMPARE(handler.offered[1].value2, 100.0f);
        QCOMPARE(handler.offered[2].block->data, QByteArray(77, 'd'));
        QCOMPARE(handler.offered[3].gprsBindMask, 0x3FF);
        QTRY_VERIFY(ready.count() >= 1);
    }

    void requestIsWrittenAsExactly64Bytes()
    {
        PtyPair pty;
        QVERIFY(pty.IsValid());
        CUart_CommApp app;
        QVERIFY(app.OpenPort(pty.SlavePath()));

        RequestBuffer gdi;
        QVERIFY(BuildRequest(Command::GDI, nullptr, 0, gdi));
        const quint8 body[] = {0x02, 0x12, 0x34};
        RequestBuffer gmd;
        QVERIFY(BuildRequest(Command::GMD, body, 3, gmd));

        QCOMPARE(app.WriteRequest(gdi), qint64(64));
        QCOMPARE(app.WriteRequest(gmd), qint64(64));
        const QByteArray got = ReadExactly(pty, 128);
        QCOMPARE(got.size(), 128);
        // The second request starts exactly 64 bytes after the first: nothing more, nothing less.
        QCOMPARE(got.left(64), QByteArray(reinterpret_cast<const char *>(gdi.data()), 64));
        QCOMPARE(got.mid(64), QByteArray(reinterpret_cast<const char *>(gmd.data()), 64));
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

    void portTableListsGivenPortsFirst()
    {
        PtyPair pty;
        QVERIFY(pty.IsValid());
        LsComm::CComPort port;
        const QString missing = QStringLiteral("/dev/corvane-no-such-port");
        const int present = port.EnumeratePorts({pty.SlavePath(), missing, pty.SlavePath()});
        const auto &table = port.PortTable();
        QVERIFY(table.size() <= LsComm::CComPort::kMaxPorts);
        QCOMPARE(table[0].location, pty.SlavePath());
        QVERIFY(table[0].present);
        QCOMPARE(table[1].location, missing);
        QVERIFY(!table[1].present);
        int counted = 0;
        for (const auto &entry : table)
            counted += entry.present ? 1 : 0;
        QCOMPARE(present, counted);
        // Probing closed the ports again: the slave can be opened afterwards.
        QVERIFY(port.OpenPort(pty.SlavePath()));
    }
};

QTEST_GUILESS_MAIN(TestComPortPty)
#include "test_comport_pty.moc"
