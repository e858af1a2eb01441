#include "AffairTestKit.h"

#include "base/AppSettings.h"

#include <QtTest>

using namespace affairkit;

// The transaction engine on a fake clock: timing of steps, time-outs, answers, downloads, the
// queue rules and the finished list. Runs in Asia/Shanghai.
namespace {

constexpr quint8 kNodeA = 0x10;
constexpr quint8 kNodeB = 0x30;
constexpr quint8 kNodeC = 0x50;

void QueueRealTimeRead(CUartAffairLink &link, quint8 seed, int shortAddress)
{
    QVERIFY(link.Create(RequestKind::ReadRealTime, ExtText(seed)));
    link.SetShortAddress(shortAddress);
    QCOMPARE(link.Commit(), 1);
}

void QueueStart(CUartAffairLink &link, quint8 seed, qint64 start)
{
    QVERIFY(link.Create(RequestKind::StartLogging, ExtText(seed)));
    QVERIFY(link.SetStartTime(start));
    QVERIFY(link.SetLogInterval(60));
    QVERIFY(link.SetAlarm(4, -10.0f, 30.0f, 20.0f, 80.0f));
    link.SetShortAddress(0x0102);
    QCOMPARE(link.Commit(), 1);
}

void QueueDownload(CUartAffairLink &link, quint8 seed, quint8 mode, qint64 planTo, qint64 storedStart,
                   qint32 storedLength)
{
    QVERIFY(link.Create(RequestKind::Download, ExtText(seed)));
    QVERIFY(link.SetDownloadPlan(mode, 0, planTo, storedStart, storedLength));
    link.SetShortAddress(0x0102);
    QCOMPARE(link.Commit(), 1);
}

QByteArray Pattern(int offset, int n)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b.append(char((offset + i) * 7 + 3));
    return b;
}

// Runs a kind-8 request up to its first DLD frame.
void ReachDownload(Rig &rig, qint64 loggerStart, int dataLength)
{
    QCOMPARE(rig.TickUntilFrame(), 1);
    QVERIFY(rig.Feed(Gni(0x0102, kNodeA, 0x88)));
    QCOMPARE(rig.link.Status().progress, 10);
    QCOMPARE(rig.TickUntilFrame(), 1);
    QCOMPARE(rig.FrameStep(), FrameCodec::Command::GHI);
    QVERIFY(rig.Feed(GhiFrom(kNodeA, loggerStart, 60, dataLength, 0x88)));
}

// Address and count of the DLD frame in the buffer.
QPair<int, int> DldRange(const Rig &rig)
{
    const QByteArray f = rig.Frame();
    const auto *p = reinterpret_cast<const quint8 *>(f.constData());
    return {int(FrameCodec::Get24(p + 11)), int(FrameCodec::Get24(p + 14))};
}

} // namespace

class TestAffairLink : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { AppSettings::Instance().SetCurrentTempUnit(AppSettings::Instance().CelsiusText()); }

    // A real-time read whose node answers GNI but not GMD, and an overdue poll the node does not
    // answer at all: the step is resent every 26 ticks and runs out 175 ticks after the last
    // progress; only the overdue poll declares the node lost.
    void realTimeReadTimesOut_data()
    {
        QTest::addColumn<bool>("answersGni");
        QTest::addColumn<int>("rtFlag");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QList<int>>("sentAt"); // ticks after the first frame
        QTest::newRow("answers GNI, not GMD") << true << 0 << QStringLiteral("Cold room") << 0x88
                                              << QStringLiteral("双温度记录仪[Cold room ,ID:%1]")
                                              << QList<int>{1, 27, 53, 79, 105, 131, 157, 176};
        QTest::newRow("overdue poll, no answer")
            << false << 2 << QString() << 0x80 << QStringLiteral("单温度记录仪[ID:%1]")
            << QList<int>{26, 52, 78, 104, 130, 156, 175};
    }
    void realTimeReadTimesOut()
    {
        QFETCH(bool, answersGni);
        QFETCH(int, rtFlag);
        QFETCH(QString, name);
        QFETCH(int, type);
        QFETCH(QString, prefix);
        Rig rig;
        rig.AddNode(1, kNodeA, name, quint8(type), 0x0102);
        CCorvaneBeeNode &table = theNodeTable();
        table.SetRtFlag(1, quint8(rtFlag));
        QueueRealTimeRead(rig.link, kNodeA, 0x0102);
        prefix = prefix.arg(ExtText(kNodeA));
        const QString description = prefix + QStringLiteral("获取即时数据");

        QCOMPARE(rig.Tick(), 1);
        QCOMPARE(rig.Frame().left(11), QByteArray::fromHex("ff7f757b474e490b020102"));
        QVERIFY(rig.Notified({Event::NodeChanged, 1, NodeAspect::RealTime}));
        if (answersGni) {
            QVERIFY(rig.Feed(Gni(0x0102, kNodeA, 0x88)));
            QCOMPARE(rig.link.Head()->step, FrameCodec::Command::GMD);
        }
        const int first = rig.ticks;
        const std::vector<int> sent = rig.TickUntilIdle();
        const FrameCodec::Command step = answersGni ? FrameCodec::Command::GMD : FrameCodec::Command::GNI;
        QCOMPARE(rig.sentSteps, std::vector<FrameCodec::Command>(sent.size(), step));
        QTEST(QList<int>(sent.begin(), sent.end()) << rig.ticks - first, "sentAt");
        QCOMPARE(rig.services->saved[0].type, QStringLiteral("中断"));
        QCOMPARE(rig.services->saved[0].text, description + QStringLiteral("未完成"));
        QCOMPARE(int(table.GetRtCmdState(1)), 24);
        if (rtFlag != 2) {
            QCOMPARE(rig.services->saved.size(), size_t(1));
            QCOMPARE(rig.logged, std::vector<bool>{false});
            QCOMPARE(table.GetShortAddress(1), 0x0102);
            return;
        }
        QCOMPARE(int(table.GetStatus(1)), 0x0F);
        QCOMPARE(table.GetShortAddress(1), -1);
        QCOMPARE(int(table.GetRtFlag(1)), 0);
        QVERIFY(rig.Notified({Event::NodeLost, 1}));
        QCOMPARE(rig.services->saved[1].type, QStringLiteral("警告"));
        QCOMPARE(rig.services->saved[1].text, prefix + QStringLiteral("连接断开"));
        QCOMPARE(rig.logged, std::vector<bool>{true});
        // The warning, not the interruption, is the message shown (it raises the alarm).
        QCOMPARE(rig.link.Status().msgKind, MessageKind::Alarm);
        QCOMPARE(rig.link.Status().msgText, prefix + QStringLiteral("连接断开"));
    }

    // A read whose GMD had to be sent again: the result (and with it the sample and the last
    // contact) is dated by the answer that carried the readings, not by the earlier GNI.
    void retriedReadIsDatedByItsReadings()
    {
        Rig rig;
        rig.AddNode(1, kNodeA, QStringLiteral("A"), 0x80, 0x0102);
        QueueRealTimeRead(rig.link, kNodeA, 0x0102);
        QCOMPARE(rig.Tick(), 1);
        QVERIFY(rig.Feed(Gni(0x0102, kNodeA, 0x80)));
        const qint64 gniTime = rig.now;
        for (int i = 0; i < 120; ++i)
            (void)rig.Tick();
        QVERIFY(rig.now >= gniTime + 20);
        QVERIFY(rig.Feed(GmdFrom(kNodeA, 4.5f, 0.0f)));
        QCOMPARE(rig.link.FinishedCount(), 1);
        QCOMPARE(rig.link.FirstFinished()->receivedTime, rig.now);
        QCOMPARE(rig.link.FirstFinished()->value1, 4.5f);
    }

    void scanWithEveryNodeConnectedEndsAtTheNextTick()
    {
        Rig rig;
        rig.AddNode(1, 0x20, QStringLiteral("Receiver"), 0x40, 0);
        rig.AddNode(2, kNodeA, QStringLiteral("A"), 0x80, 5);
        rig.AddNode(3, kNodeB, QStringLiteral("B"), 0x04, 6);
        theNodeTable().SetStatus(3, 0x01); // a router: it sends no reports that would restore this
        QVERIFY(rig.link.Create(RequestKind::Scan, FrameCodec::PlaceholderAddressText()));
        rig.link.SetShortAddress(0xFFFF);
        QCOMPARE(rig.link.Commit(), 1);

        QCOMPARE(rig.Tick(), 1);
        // Every node was reached already: the scan changes no live state.
        QVERIFY(!rig.Notified({Event::AllNodesChanged}));
        QCOMPARE(theNodeTable().GetShortAddress(2), 5);
        QCOMPARE(theNodeTable().GetShortAddress(3), 6);
        QCOMPARE(int(theNodeTable().GetStatus(3)), 0x01);

        QCOMPARE(rig.Tick(), 0);
        QCOMPARE(rig.link.QueueSize(), 0);
        QCOMPARE(rig.services->saved.size(), size_t(1));
        QCOMPARE(rig.services->saved[0].type, QStringLiteral("扫描"));
        QCOMPARE(rig.link.Status().msgText, QStringLiteral("网络扫描结束"));
    }

    void scanWithAMissingNodeIsExtendedOnce()
    {
        Rig rig;
        rig.AddNode(1, 0x20, QStringLiteral("Receiver"), 0x40, 0);
        rig.AddNode(2, kNodeA, QStringLiteral("A"), 0x80, 5);
        rig.AddNode(3, kNodeB, QStringLiteral("B"), 0x80, -1);
        QVERIFY(rig.link.Create(RequestKind::Scan, FrameCodec::PlaceholderAddressText()));
        rig.link.SetShortAddress(-1);
        QCOMPARE(rig.link.Commit(), 1);
        QCOMPARE(rig.Tick(), 1);
        // The scan starts from scratch: every node but the receiver is unreached again.
        QCOMPARE(theNodeTable().GetShortAddress(2), -1);
        QCOMPARE(theNodeTable().GetShortAddress(1), 0);
        QCOMPARE(rig.Tick(), 0);
        // Scan answers are the nodes' own reports.
        QVERIFY(rig.Feed(Gni(7, kNodeB, 0x80)));
        QCOMPARE(rig.link.FinishedCount(), 1);
        QCOMPARE(int(rig.link.FirstFinished()->disposition), int(AffairReply::Unsolicited));
        const std::vector<int> sentAt = rig.TickUntilIdle();
        // One unreached node at the start gives one extension of 25 ticks when life ran low.
        QCOMPARE(sentAt, (std::vector<int>{25, 51, 77, 103, 129, 155, 181}));
        QCOMPARE(rig.ticks, 201);
        QCOMPARE(rig.services->saved.back().text, QStringLiteral("网络扫描结束"));
    }

    void unsolicitedReportsAndRejectedRecords()
    {
        Rig rig;
        // No request: a logger's own report.
        QVERIFY(rig.Feed(GmdFrom(kNodeC, 21.5f, 60.0f)));
        QCOMPARE(rig.link.FinishedCount(), 1);
        QCOMPARE(int(rig.link.FirstFinished()->disposition), int(AffairReply::Unsolicited));
        QCOMPARE(rig.link.FirstFinished()->receivedTime, rig.now);
        // A newer report of the same node replaces the older one still waiting.
        rig.now += 10;
        QVERIFY(rig.Feed(GmdFrom(kNodeC, 22.5f, 61.0f)));
        QCOMPARE(rig.link.FinishedCount(), 1);
        QCOMPARE(rig.link.FirstFinished()->value1, 22.5f);
        QCOMPARE(rig.link.FirstFinished()->receivedTime, rig.now);
        // Another node's report is kept beside it.
        QVERIFY(rig.Feed(GmdFrom(kNodeB, 5.0f, 6.0f)));
        QCOMPARE(rig.link.FinishedCount(), 2);

        // With a request for another node at the head the report is still unsolicited, and so
        // is a GPRS answer outside a GPRS transaction.
        QueueRealTimeRead(rig.link, kNodeA, 0x0102);
        QVERIFY(rig.Feed(GmdFrom(kNodeC, 23.0f, 62.0f)));
        QVERIFY(rig.Feed(testframes::Meq(3)));
        QCOMPARE(rig.link.FinishedCount(), 3);
        QCOMPARE(int(rig.link.Head()->phase), int(AffairRequest::kPhaseQueued));
        QVERIFY(!rig.link.Head()->result);

        // Incomplete records are refused and left as they were.
        AffairReply partial = testframes::Decode(GmdFrom(kNodeC, 1.0f, 2.0f));
        partial.presence &= ~ReplyBits::kRfLevel;
        QVERIFY(!rig.link.HandleReply(partial));
        AffairReply invalid = testframes::Decode(GmdFrom(kNodeC, 1.0f, 2.0f));
        invalid.valid = false;
        QVERIFY(!rig.link.HandleReply(invalid));
        QCOMPARE(rig.link.FinishedCount(), 3);
    }

    void downloadSizing_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<qint64>("planToOffset"); // from the logger's start; 0 = no plan end
        QTest::addColumn<bool>("sameRecording");
        QTest::addColumn<int>("storedLength");
        QTest::addColumn<int>("dataLength");
        QTest::addColumn<int>("address"); // -1: finished at once
        QTest::addColumn<int>("count");
        QTest::newRow("all, fresh") << 0 << qint64(0) << false << 0 << 5000 << 0 << 5000;
        QTest::newRow("all, resume at 1000 of 5000")
            << 0 << qint64(0) << true << 1000 << 5000 << 1000 << 4000;
        QTest::newRow("all, new recording ignores stored")
            << 0 << qint64(0) << false << 1000 << 5000 << 0 << 5000;
        QTest::newRow("all, nothing new") << 0 << qint64(0) << true << 5000 << 5000 << -1 << 0;
        QTest::newRow("range of 100 records, two channels")
            << 1 << qint64(6000) << false << 0 << 5000 << 0 << 404;
        QTest::newRow("range capped by data") << 1 << qint64(600000) << false << 0 << 5000 << 0 << 5000;
        QTest::newRow("range ends before start") << 1 << qint64(-60) << false << 0 << 5000 << -1 << 0;
        QTest::newRow("unknown mode") << 2 << qint64(6000) << false << 0 << 5000 << -1 << 0;
    }
    void downloadSizing()
    {
        QFETCH(int, mode);
        QFETCH(qint64, planToOffset);
        QFETCH(bool, sameRecording);
        QFETCH(int, storedLength);
        QFETCH(int, dataLength);
        QFETCH(int, address);
        QFETCH(int, count);
        Rig rig;
        rig.AddNode(1, kNodeA, QStringLiteral("A"), 0x88, 0x0102);
        const qint64 loggerStart = kStart - 86400;
        const qint64 planTo = planToOffset ? loggerStart + planToOffset : 0;
        QueueDownload(rig.link, kNodeA, quint8(mode), planTo, sameRecording ? loggerStart : loggerStart - 60,
                      storedLength);
        ReachDownload(rig, loggerStart, dataLength);
        if (address < 0) {
            QCOMPARE(rig.link.QueueSize(), 0);
            QCOMPARE(rig.link.Status().progress, 115);
            const AffairReply &r = *rig.link.FirstFinished();
            QCOMPARE(r.presence, quint32(0x1E0FBB));
            QCOMPARE(r.block->received, 0);
            return;
        }
        QCOMPARE(rig.link.Status().progress, 15);
        QCOMPARE(rig.TickUntilFrame(), 1);
        QCOMPARE(rig.FrameStep(), FrameCodec::Command::DLD);
        QCOMPARE(DldRange(rig), qMakePair(address, count));
    }

    void downloadCollectsBlocksInOrder()
    {
        Rig rig;
        rig.AddNode(1, kNodeA, QStringLiteral("A"), 0x88, 0x0102);
        const qint64 loggerStart = kStart - 86400;
        QueueDownload(rig.link, kNodeA, 0, 0, loggerStart, 1000);
        QCOMPARE(rig.TickUntilFrame(), 1);
        QCOMPARE(int(theNodeTable().GetDownloadCmdState(1)), 7);
        QVERIFY(rig.Notified({Event::NodeChanged, 1, NodeAspect::Download}));
        QVERIFY(rig.Feed(Gni(0x0102, kNodeA, 0x88)));
        QCOMPARE(rig.TickUntilFrame(), 1);
        QVERIFY(rig.Feed(GhiFrom(kNodeA, loggerStart, 60, 1600, 0x88)));
        QCOMPARE(rig.TickUntilFrame(), 1);
        QCOMPARE(DldRange(rig), qMakePair(1000, 600));

        QVERIFY(rig.Feed(testframes::Dld(testframes::Addr(kNodeA), 1000, Pattern(1000, 200))));
        QCOMPARE(rig.link.Status().progress, 15 + 200 * 100 / 600);
        // A block stops arriving: the rest is asked for after 10 ticks.
        QCOMPARE(rig.TickUntilFrame(), 10);
        QCOMPARE(DldRange(rig), qMakePair(1200, 400));
        // Out of order and overflowing blocks are dropped; the late GNI too.
        QVERIFY(rig.Feed(testframes::Dld(testframes::Addr(kNodeA), 1400, Pattern(1400, 200))));
        QVERIFY(rig.Feed(Gni(0x0102, kNodeA, 0x88)));
        QVERIFY(rig.Feed(testframes::Dld(testframes::Addr(kNodeA), 1200, Pattern(1200, 200))));
        QVERIFY(rig.Feed(testframes::Dld(testframes::Addr(kNodeA), 1400, Pattern(1400, 201))));
        QCOMPARE(rig.link.Head()->result->block->received, 400);
        QVERIFY(rig.Feed(testframes::Dld(testframes::Addr(kNodeA), 1400, Pattern(1400, 200))));
        QCOMPARE(rig.link.QueueSize(), 0);
        QCOMPARE(rig.link.Status().progress, 115);
        const AffairReply &r = *rig.link.FirstFinished();
        QCOMPARE(r.block->startOffset, 1000);
        QCOMPARE(r.block->data.left(600), Pattern(1000, 600));
    }

    // A download that runs out of time delivers the whole records that arrived, or nothing.
    void downloadTimingOut_data()
    {
        QTest::addColumn<int>("blocks");
        QTest::newRow("after three blocks") << 3;
        QTest::newRow("without data") << 0;
    }
    void downloadTimingOut()
    {
        QFETCH(int, blocks);
        Rig rig;
        rig.AddNode(1, kNodeA, QStringLiteral("A"), 0x88, 0x0102);
        const qint64 loggerStart = kStart - 86400;
        QueueDownload(rig.link, kNodeA, 0, 0, 0, 0);
        ReachDownload(rig, loggerStart, 1000);
        QCOMPARE(rig.TickUntilFrame(), 1);
        for (int address = 0; address < blocks * 102; address += 102)
            QVERIFY(rig.Feed(testframes::Dld(testframes::Addr(kNodeA), address, Pattern(address, 102))));
        // An empty block is no progress: the time-out falls 176 ticks after the last data (or after
        // the GHI answer, the tick before the first DLD went out).
        const int lastProgress = rig.ticks - (blocks ? 0 : 1);
        rig.Tick();
        QVERIFY(rig.Feed(testframes::Dld(testframes::Addr(kNodeA), blocks * 102, QByteArray())));
        (void)rig.TickUntilIdle();
        QCOMPARE(rig.ticks - lastProgress, 176);
        QCOMPARE(rig.finishedSignals, blocks ? 1 : 0);
        QCOMPARE(rig.services->saved.back().type, QStringLiteral("中断"));
        QCOMPARE(int(theNodeTable().GetDownloadCmdState(1)), 15);
        if (!blocks)
            return;
        const AffairReply &r = *rig.link.FirstFinished();
        QCOMPARE(int(r.disposition), int(AffairReply::RequestResult));
        // 306 bytes arrived; whole records of two channels (4 bytes) are kept: 76 records.
        QCOMPARE(r.block->total, 304);
        QCOMPARE(r.block->data, Pattern(0, 304));
        QCOMPARE(r.endTime, loggerStart + 76 * 60);
    }

    void queueRules()
    {
        Rig rig;
        // Cancelling never touches the head.
        QueueStart(rig.link, kNodeA, kStart + 600);
        const AffairRequest *head = rig.link.Head();
        QueueStart(rig.link, kNodeA, kStart + 1200);
        QueueRealTimeRead(rig.link, kNodeA, 0x0102);
        QCOMPARE(rig.link.CancelQueued(RequestKind::StartLogging, Ext(kNodeA)), 1);
        QCOMPARE(rig.link.Head(), head);
        QCOMPARE(int(rig.link.QueuedAt(1)->kind), 3);
        QCOMPARE(rig.link.CancelQueued(RequestKind::ReadRealTime, Ext(kNodeB)), 0);

        // A newer kind 4 for a node replaces the queued older one and goes to the tail.
        QueueStart(rig.link, kNodeB, kStart + 600);
        QueueStart(rig.link, kNodeC, kStart + 600);
        QueueStart(rig.link, kNodeB, kStart + 900);
        QCOMPARE(rig.link.QueueSize(), 4);
        QCOMPARE(rig.link.QueuedAt(2)->extAddress, Ext(kNodeC));
        QCOMPARE(rig.link.QueuedAt(3)->extAddress, Ext(kNodeB));
        QCOMPARE(rig.link.QueuedAt(3)->startTime, kStart + 900);

        // Kind 1 jumps the queue; its answer retires every other receiver query.
        QVERIFY(rig.link.Create(RequestKind::ReceiverInfo, FrameCodec::PlaceholderAddressText()));
        QCOMPARE(rig.link.Commit(), 1);
        QVERIFY(rig.link.Create(RequestKind::ReceiverInfo, FrameCodec::PlaceholderAddressText()));
        QCOMPARE(rig.link.Commit(), 1);
        QCOMPARE(rig.link.QueueSize(), 6);
        QCOMPARE(rig.Tick(), 1);
        QCOMPARE(rig.Frame(), QByteArray::fromHex("ff7f757b47444908da") + QByteArray(55, '\0'));
        QVERIFY(rig.Feed(testframes::NodeInfo(FrameCodec::Command::GDI, 0, testframes::Addr(0x20), 0x40, 1, 0,
                                              5, 0, testframes::Addr(0))));
        QCOMPARE(rig.link.QueueSize(), 4);
        QCOMPARE(rig.link.Head(), head);
        QCOMPARE(rig.link.FirstFinished()->type, FrameCodec::Command::GDI);

        // Refusals: wrong parameters, unknown kinds, SNM, an address that is no address; a
        // refused request cannot be committed afterwards.
        QVERIFY(rig.link.Create(RequestKind::StartLogging, ExtText(kNodeA)));
        QVERIFY(!rig.link.SetStartTime(0));
        QVERIFY(!rig.link.SetLogInterval(0));
        QCOMPARE(rig.link.Commit(), 0);
        QVERIFY(rig.link.Create(RequestKind::Leave, ExtText(kNodeA)));
        QCOMPARE(rig.link.Commit(), 0);
        for (const int kind : {0, 14})
            QVERIFY(!rig.link.Create(RequestKind(kind), ExtText(kNodeA)));
        QVERIFY(rig.link.Create(RequestKind::NodeInfo, ExtText(kNodeB)));
        QVERIFY(!rig.link.Create(RequestKind::NodeInfo, QStringLiteral("00124b0001020 04")));
        QCOMPARE(rig.link.Commit(), 0);
        QCOMPARE(rig.link.QueueSize(), 4);
        // Receiver queries address no node: they take eight zero bytes instead.
        QVERIFY(rig.link.Create(RequestKind::ReceiverInfo, QStringLiteral("00124b00010203zz")));
        QCOMPARE(rig.link.Building()->extAddress, FrameCodec::ExtAddress{});

        rig.link.ClearQueue();
        QCOMPARE(rig.link.QueueSize(), 0);
        QCOMPARE(rig.Tick(), 2);
        QCOMPARE(rig.Frame(), QByteArray(64, '\0'));
    }

    void queueHoldsAtMost2500()
    {
        Rig rig;
        for (int i = 0; i < CUartAffairLink::kQueueCap; ++i) {
            FrameCodec::ExtAddress a{};
            a[6] = quint8(i >> 8);
            a[7] = quint8(i);
            QVERIFY(rig.link.Create(RequestKind::NodeInfo, a));
            QCOMPARE(rig.link.Commit(), 1);
        }
        // Full: even a receiver query, which would jump the queue, is refused.
        QVERIFY(rig.link.Create(RequestKind::ReceiverInfo, FrameCodec::PlaceholderAddressText()));
        QCOMPARE(rig.link.Commit(), 0);
        QCOMPARE(rig.link.QueueSize(), 2500);
    }
};

QTEST_GUILESS_MAIN(TestAffairLink)
#include "test_affairlink.moc"
