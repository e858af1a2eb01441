#include "AnswerFrames.h"
#include "base/CvTime.h"
#include "link/AffairReply.h"
#include "link/CUart_CommApp.h"

#include <QSignalSpy>
#include <QtTest>

using namespace FrameCodec;
using namespace testframes;

namespace {

// The receive side with a handler that records every record offered and accepts the complete
// ones, as the link's interim handler does.
struct Link : IReplyHandler {
    Link() { app.SetReplyHandler(this); }
    bool HandleReply(AffairReply &reply) override
    {
        offered.push_back(reply);
        return reply.IsComplete();
    }
    void Feed(const QByteArray &bytes) { app.OnReceive(U8(bytes), bytes.size()); }
    // Feeds in chunks of the given sizes, cycling through them.
    void FeedChunks(const QByteArray &bytes, const std::vector<int> &sizes)
    {
        std::size_t k = 0;
        for (int at = 0; at < bytes.size(); k = (k + 1) % sizes.size()) {
            const int n = std::min<int>(sizes[k], int(bytes.size()) - at);
            Feed(bytes.mid(at, n));
            at += n;
        }
    }
    std::vector<Command> Types() const
    {
        std::vector<Command> t;
        for (const AffairReply &r : offered)
            t.push_back(r.type);
        return t;
    }
    CUart_CommApp app;
    std::vector<AffairReply> offered;
};

QByteArray LimitsLE(std::initializer_list<float> values)
{
    QByteArray out;
    for (float v : values)
        out += Measured(v);
    return out;
}

// One frame of every answer layout (both GMD forms).
std::vector<QByteArray> EveryAnswerKind()
{
    return {
        NodeInfo(Command::GDI, 0, Addr(1), 0x40, 0, 0, 0, 0, Addr(1)),
        NodeInfo(Command::GNI, 5, Addr(1), 0x8C, 1, 2, 3, 4, Addr(9)),
        Gmd(Addr(2), 0x88, QByteArray::fromHex("f6ff"), QByteArray::fromHex("1027"), 1, 0, 3, 30, 2),
        Gmd(Addr(2), 0x88, QByteArray::fromHex("f6ff"), QByteArray::fromHex("1027"), 1, 0, 3, 30, 2, 7),
        StatusAnswer(Command::STN, Addr(3), 1),
        StatusAnswer(Command::SPN, Addr(3), 2),
        Rtc(Addr(4), 30),
        Ghi(Addr(5), StartDate(), EndDate(), 4, LimitsLE({1, 2, 3, 4}), 60, 100, 0x8C),
        Dld(Addr(5), 0x20, QByteArray::fromHex("a1a2a3a4a5")),
        StatusAnswer(Command::WNN, Addr(3), 4),
        Meq(2),
        Mei(0, Addr(6)),
        Men(1, QByteArray(48, 'i')),
        Mgq(QByteArray::fromHex("9003")),
        Mgn(1, QByteArray(16, '5')),
        Mbn(0, QByteArray::fromHex("9001")),
    };
}

} // namespace

// Runs with TZ=Asia/Shanghai.
class TestExtraction : public QObject {
    Q_OBJECT
private slots:
    void decodesEveryAnswerLayout()
    {
        {
            const AffairReply r =
                Decode(NodeInfo(Command::GNI, 0x1234, Addr(0x10), 0x8C, 0x05, 0x21, 3, 4, Addr(0x40)));
            QVERIFY(r.IsComplete());
            QCOMPARE(r.shortAddress, 0x1234);
            QCOMPARE(AddressToText(r.extAddress), QStringLiteral("1011121314151617"));
            QCOMPARE(AddressToText(r.parentAddress), QStringLiteral("4041424344454647"));
            QCOMPARE(r.deviceType, quint8(0x8C));
            QCOMPARE(r.status, quint8(5));
            QCOMPARE(r.eventFlags, quint8(0x21));
            QCOMPARE(r.powerLevel, quint8(3));
            QCOMPARE(r.rfLevel, quint8(4));
        }
        {
            // Short form: no short address, still complete.
            const AffairReply r = Decode(Gmd(Addr(1), 0x88, QByteArray::fromHex("f6ff"),
                                             QByteArray::fromHex("1027"), 2, 1, 3, 0x01020A, 5));
            QVERIFY(r.IsComplete());
            QCOMPARE(r.shortAddress, -1);
            QCOMPARE(r.value1, -0.1f);
            QCOMPARE(r.value2, 100.0f);
            QCOMPARE(r.rtInterval, qint64(0x01020A));
            QCOMPARE(r.rfLevel, quint8(5));
            QCOMPARE(r.powerLevel, quint8(3));
            const AffairReply l = Decode(Gmd(Addr(1), 0x88, QByteArray::fromHex("0000"),
                                             QByteArray::fromHex("0000"), 2, 1, 3, 10, 5, 0xABCD));
            QVERIFY(l.IsComplete());
            QCOMPARE(l.shortAddress, 0xABCD);
        }
        for (Command command : {Command::STN, Command::SPN, Command::WNN}) {
            const AffairReply r = Decode(StatusAnswer(command, Addr(7), 0x06));
            QVERIFY(r.IsComplete());
            QCOMPARE(r.status, quint8(6));
        }
        {
            const AffairReply r = Decode(Rtc(Addr(7), 0x123456));
            QVERIFY(r.IsComplete());
            QCOMPARE(r.rtInterval, qint64(0x123456));
        }
        {
            const AffairReply r = Decode(Ghi(Addr(9), StartDate(), EndDate(), 4,
                                             LimitsLE({-12.35f, 25.0f, -40.0f, 85.5f}), 600, 0x0A0B0C, 0x88));
            QCOMPARE(r.presence, 0x39Bu);
            QCOMPARE(r.startTime, qint64(1405398896));
            QCOMPARE(r.endTime, qint64(1405468800));
            QCOMPARE(r.alarmMode, quint8(4));
            QCOMPARE(r.limit4, 85.5f);
            QCOMPARE(r.logInterval, qint64(600));
            QCOMPARE(r.dataLength, 0x0A0B0Cu);
            QCOMPARE(r.deviceType, quint8(0x88));
        }
        {
            // Month 13 in the start date: the field stays 0 without its bit, the record is incomplete.
            QByteArray bad = StartDate();
            bad[4] = 13;
            const AffairReply r =
                Decode(Ghi(Addr(9), bad, EndDate(), 0, LimitsLE({0, 0, 0, 0}), 60, 10, 0x80));
            QVERIFY(r.valid);
            QCOMPARE(r.startTime, qint64(0));
            QCOMPARE(r.presence, 0x39Au);
            QVERIFY(!r.IsComplete());
        }
        {
            const AffairReply r = Decode(Dld(Addr(3), 0x000400, QByteArray::fromHex("a1a2a3")));
            QVERIFY(r.IsComplete());
            QCOMPARE(r.block->address, 0x400);
            QCOMPARE(r.block->data, QByteArray::fromHex("a1a2a3"));
        }
        {
            // GPRS answers carry no presence bits and are complete with 0 (their fields are read
            // back by the GPRS flows); a mask without its marker bits reads as no mask.
            const AffairReply meq = Decode(Meq(0x0102));
            QVERIFY(meq.IsComplete());
            QCOMPARE(meq.gprsLoggerCount, 0x0102);
            QCOMPARE(Decode(Mbn(2, QByteArray::fromHex("80ff"))).gprsBindMask, 0);
        }
        // A frame too short for its code's layout is refused, not read past its end.
        AffairReply r;
        const QByteArray gdi = NodeInfo(Command::GDI, 1, Addr(1), 0x40, 0, 0, 0, 0, Addr(1));
        QVERIFY(!DecodeAnswer(U8(gdi), 20, Command::GDI, r));
        QVERIFY(!r.valid);
    }

    void decodingResetsTheReusedRecord()
    {
        AffairReply r;
        QVERIFY(DecodeAnswer(U8(Mgq(QByteArray::fromHex("93ff"))), 14, Command::MGQ, r));
        QCOMPARE(r.phoneSlotMask, 0x3FF);
        const QByteArray mei = Mei(1, Addr(2));
        QVERIFY(DecodeAnswer(U8(mei), int(mei.size()), Command::MEI, r));
        QCOMPARE(r.phoneSlotMask, 0); // nothing of the previous answer survives
        QCOMPARE(r.type, Command::MEI);
    }

    void dldBadCheckByteVersusBadTrailer()
    {
        // A data block that happens to contain a complete SPN answer.
        const QByteArray inner = StatusAnswer(Command::SPN, Addr(9), 1);
        const QByteArray dld = Dld(Addr(3), 0, inner + QByteArray::fromHex("0102"));
        {
            Link link;
            link.Feed(dld);
            QCOMPARE(link.Types(), std::vector<Command>{Command::DLD});
            QCOMPARE(link.offered[0].block->data, inner + QByteArray::fromHex("0102"));
        }
        {
            // Good trailer, bad check byte: dropped whole, never searched inside.
            Link link;
            QByteArray bad = dld;
            bad[bad.size() - 1] = char(bad[bad.size() - 1] ^ 0x5A);
            link.Feed(bad);
            QVERIFY(link.offered.empty());
            QCOMPARE(link.app.ByteCount(), 0);
        }
        {
            // Bad trailer: one byte of resynchronisation, the search goes on inside the block.
            Link link;
            QByteArray bad = dld;
            bad[bad.size() - 3] = 0;
            link.Feed(bad);
            QCOMPARE(link.Types(), std::vector<Command>{Command::SPN});
        }
        {
            // A block length at offset 18 makes the frame wait for its full size.
            Link link;
            link.Feed(dld.left(30));
            QVERIFY(link.offered.empty());
            link.Feed(dld.mid(30));
            QCOMPARE(link.Types(), std::vector<Command>{Command::DLD});
        }
    }

    void overflowDropsTheWholeChunk()
    {
        // A DLD frame whose first 200 bytes wait in the buffer for the rest.
        QByteArray data(255, '\0');
        for (int i = 0; i < data.size(); ++i)
            data[i] = char(i);
        const QByteArray dld = Dld(Addr(3), 0x10, data);
        Link link;
        link.Feed(dld.left(200));
        link.app.SetLastReceiveTime(0);
        // 200 + 5945 > 6144: nothing of it is stored, yet reception is stamped.
        const qint64 before = CvTime::Now();
        link.Feed(QByteArray(CUart_CommApp::kBufferSize - 200 + 1, char(0x55)));
        QCOMPARE(link.app.ByteCount(), 200);
        QVERIFY(link.app.LastReceiveTime() >= before);
        link.Feed(dld.mid(200));
        QCOMPARE(link.Types(), std::vector<Command>{Command::DLD});
        QCOMPARE(link.offered[0].block->data, data);
    }

    void announcesOnlyAcceptedRecordsQueued()
    {
        CUart_CommApp app;
        app.SetReplyHandler(&app.DefaultHandler()); // complete records only
        QSignalSpy ready(&app, &CUart_CommApp::RepliesReady);
        QSignalSpy progress(&app, &CUart_CommApp::ProgressChanged);
        QByteArray badDate = StartDate();
        badDate[4] = 13;
        // An incomplete GHI (bad start date) between two good frames is removed but not queued.
        const QByteArray frames =
            Gmd(Addr(1), 0x80, QByteArray(2, '\0'), QByteArray(2, '\0'), 0, 0, 0, 0, 0) +
            Ghi(Addr(9), badDate, EndDate(), 0, LimitsLE({0, 0, 0, 0}), 60, 10, 0x80) +
            Dld(Addr(1), 0, QByteArray::fromHex("0102"));
        app.OnReceive(U8(frames), frames.size());
        QCOMPARE(ready.count(), 0); // not before the event loop runs
        QCOMPARE(progress.count(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(ready.count(), 1);
        QCOMPARE(progress.count(), 1);
        const std::vector<AffairReply> taken = app.DefaultHandler().TakeFinished();
        QCOMPARE(taken.size(), std::size_t(2));
        QCOMPARE(taken[0].type, Command::GMD);
        QVERIFY(taken[0].receivedTime > 0);
        QCOMPARE(taken[1].type, Command::DLD);
        QCOMPARE(app.ByteCount(), 0);
    }

    void singleByteDamageCostsOnlyThatFrame()
    {
        // Every byte of every answer kind damaged in turn, followed by a good frame and idle-line
        // zeros: the damaged frame never comes through (the check byte catches any one-byte
        // error), the good frame always does, exactly once, and the buffer ends resynchronised.
        const QByteArray good = NodeInfo(Command::GDI, 0x0102, Addr(0xA0), 0x40, 0, 0, 0, 0, Addr(0xA0));
        const QByteArray idle(300, '\0');
        for (const QByteArray &frame : EveryAnswerKind()) {
            for (int at = 0; at < frame.size(); ++at) {
                for (const char flip : {char(0x01), char(0x5A), char(0x80)}) {
                    QByteArray damaged = frame;
                    damaged[at] = char(damaged[at] ^ flip);
                    Link link;
                    link.Feed(damaged + good + idle);
                    const QString where = QStringLiteral("%1 byte %2 ^ %3")
                                              .arg(QString::fromLatin1(frame.mid(4, 3)))
                                              .arg(at)
                                              .arg(int(quint8(flip)), 2, 16, QLatin1Char('0'));
                    QVERIFY2(link.Types() == std::vector<Command>{Command::GDI}, qPrintable(where));
                    QVERIFY2(link.offered[0].extAddress == AddressFromBytes(U8(Addr(0xA0))),
                             qPrintable(where));
                    QVERIFY2(link.app.ByteCount() == 3, qPrintable(where));
                }
            }
        }
    }

    void bufferBoundaryKeepsOrDropsWholeChunks()
    {
        struct Row {
            int buffered;
            int chunk;
            bool stored;
        };
        const Row rows[] = {{6140, 10, false}, {6140, 4, true},  {6143, 1, true}, {6144, 1, false},
                            {0, 6144, true},   {0, 6145, false}, {6144, 0, true}};
        for (const Row &row : rows) {
            ReceiveBuffer rx;
            QByteArray before(row.buffered, '\0');
            for (int i = 0; i < before.size(); ++i)
                before[i] = char(i * 7);
            QVERIFY(rx.Append(U8(before), before.size()));
            const QByteArray chunk(row.chunk, char(0x33));
            QCOMPARE(rx.Append(U8(chunk), chunk.size()), row.stored);
            const QByteArray expected = row.stored ? before + chunk : before;
            QCOMPARE(rx.Count(), int(expected.size()));
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(rx.Data()), rx.Count()), expected);
        }
    }

    void mixedStreamInOddChunks()
    {
        // Every answer kind after noise and a header with an unknown code, fed in chunks of 1, 7,
        // 13 and 64 bytes.
        QByteArray stream;
        std::vector<Command> expected;
        for (const QByteArray &f : EveryAnswerKind()) {
            stream += QByteArray::fromHex("00ff7f757b") + "XYZ" + f;
            expected.push_back(*AnswerCommand(U8(f) + 4));
        }
        Link link;
        link.FeedChunks(stream, {1, 7, 13, 64});
        QCOMPARE(link.Types(), expected);
        for (const AffairReply &r : link.offered)
            QVERIFY2(r.IsComplete(), qPrintable(QString::number(CommandNumber(r.type))));
    }
};

QTEST_GUILESS_MAIN(TestExtraction)
#include "test_extraction.moc"
