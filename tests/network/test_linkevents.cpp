// The link event handler and the link session against the real receive side, transaction engine,
// node table (SQLite) and network table; the receiver is played byte by byte.
#include "../link/AnswerFrames.h"
#include "../link/PtyPair.h"
#include "../storage/StorageTestSupport.h"

#include "link/CUartAffairLink.h"
#include "link/CUart_CommApp.h"
#include "network/CCorvaneBeeNode.h"
#include "network/LinkEventHandler.h"
#include "network/LinkSession.h"
#include "network/NetworkLoader.h"
#include "network/NetworkNotifier.h"
#include "network/ProgramLinkServices.h"
#include "storage/CCorvaneODBC.h"

#include <QtTest>

using namespace testframes;

namespace {

constexpr qint64 kT0 = 1405398896; // 2014-07-15 12:34:56 (Asia/Shanghai)
constexpr int kReceiver = 1;       // every test's receiver, 0x10

class LogRecorder : public TableLinkServices {
public:
    LogRecorder() : TableLinkServices(theNodeTable()) {}
    NodeInfo FindNode(const QString &) override { return {}; }
    QString NodeAddress(int) override { return {}; }
    StoredHistory StoredHistoryOf(const QString &) override { return {}; }
    void LogEntry(MessageKind kind, qint64, const QString &text) override
    {
        entries.append({TypeWord(kind), text});
    }
    void SaveLog() override { ++saves; }
    QList<QPair<QString, QString>> entries;
    int saves = 0;
};

QString AddrText(quint8 seed)
{
    return FrameCodec::AddressToText(U8(Addr(seed)));
}

// A node's information answer with the fault flags 0.
QByteArray Gni(int shortAddress, quint8 seed, quint8 type, quint8 parent, int rf, quint8 status = 0x01,
               int power = 3)
{
    return NodeInfo(FrameCodec::Command::GNI, shortAddress, Addr(seed), type, status, 0, power, rf,
                    Addr(parent));
}

// The receiver's own answer.
QByteArray Gdi(quint8 seed, quint8 status = 0x01, quint8 faults = 0)
{
    return NodeInfo(FrameCodec::Command::GDI, 0, Addr(seed), 0x40, status, faults, 0, 0, Addr(0));
}

} // namespace

class TestLinkEvents : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<CCorvaneODBC> db;
    std::unique_ptr<CUart_CommApp> app;
    std::unique_ptr<LinkSession> session;
    LogRecorder *log = nullptr;
    qint64 now = kT0;
    int dbCount = 0;

    int AddNode(quint8 seed, const QString &name, quint8 type, int parent, float lower = -2000.0f,
                float upper = -2000.0f)
    {
        NodeChange change;
        change.mask = 0x7CB6;
        change.values.name = name;
        change.values.extaddress = AddrText(seed);
        change.values.type = type;
        change.values.fatherid = parent;
        change.values.channel1_lower = lower;
        change.values.channel1_upper = upper;
        change.values.channel2_lower = -2000.0f;
        change.values.channel2_upper = -2000.0f;
        if (!db->SaveNode(change))
            return -1;
        return db->FindNodeIdByAddress(change.values.extaddress);
    }

    // Delivers answer bytes as the port would and lets the queued hand-over run.
    void Receive(const QByteArray &bytes)
    {
        app->OnReceive(reinterpret_cast<const quint8 *>(bytes.constData()), bytes.size());
        QCoreApplication::processEvents();
        session->Handler().ProcessFinished();
    }

    // Ticks until the engine has written a frame or the limit is reached.
    void TickEngine(int ticks)
    {
        for (int i = 0; i < ticks; ++i)
            (void)app->Link().SendNext();
    }

    // Loads the network table and connects to the receiver 0x10, with no queue or entry left.
    void LoadAndConnect()
    {
        (void)LoadNetworkTable(*db, theNodeTable());
        Receive(Gdi(0x10));
        QVERIFY(session->State().IsConnected());
        app->Link().ClearQueue();
        log->entries.clear();
    }

private slots:
    void init()
    {
        now = kT0;
        QVERIFY(storagetest::UseTestHome());
        AppSettings::Instance().SetLanguage(UiLanguage::Chinese);
        AppSettings::Instance().SetUser(QStringLiteral("admin"), 1);
        db = std::make_unique<CCorvaneODBC>();
        QVERIFY(storagetest::OpenNewDatabase(*db, QStringLiteral("events%1.mdb").arg(++dbCount)));
        QCOMPARE(AddNode(0x10, QStringLiteral("总站"), 0x40, 0), kReceiver);
        app = std::make_unique<CUart_CommApp>();
        auto services = std::make_unique<LogRecorder>();
        log = services.get();
        app->Link().SetServices(std::move(services));
        theNodeTable().ClearPhoneBook();
        while (theNodeTable().Size() > 0) {
            theNodeTable().MoveFirst();
            theNodeTable().RemoveNode(theNodeTable().GetCurrentId());
        }
        session = std::make_unique<LinkSession>(*app, theNodeTable(), *db);
        session->SetAutomaticTimers(false);
        session->SetClock([this] { return now; });
    }

    void cleanup()
    {
        session.reset();
        app.reset();
        db.reset();
    }

    void unknownRouterIsAddedButUnknownLoggerIsNot()
    {
        LoadAndConnect();

        Receive(Gni(0x0203, 0x30, 0x04, 0x10, 200));
        const int router = db->FindNodeIdByAddress(AddrText(0x30));
        QVERIFY(router > 0);
        QVERIFY(db->SeekLookupNode(router));
        QCOMPARE(db->LookupCursor().Row().fatherid, 1);
        // It has a live record at once, seen by the watchdog; the same answer again is no news.
        QCOMPARE(theNodeTable().GetShortAddress(router), 0x0203);
        QCOMPARE(theNodeTable().GetRfLevel(router), -56); // 0xC8 as a signed byte
        QCOMPARE(int(theNodeTable().GetRtFlag(router)), 1);
        log->entries.clear();
        Receive(Gni(0x0203, 0x30, 0x04, 0x10, 200));
        QVERIFY(log->entries.isEmpty());

        Receive(Gni(0x0204, 0x40, 0x88, 0x10, 200));
        QCOMPARE(db->FindNodeIdByAddress(AddrText(0x40)), -1);
    }

    // A router joins and, in the same chunk, a known logger names it as its parent: the logger is
    // found under the router at once; the tree reloads for the join and once after the batch
    // (not per parent change), with no link notice for either node.
    void loggerMovesUnderARouterThatJoinsInTheSameChunk()
    {
        const int logger = AddNode(0x20, QStringLiteral("A"), 0x80, 1);
        LoadAndConnect();
        QSignalSpy reloads(&session->Notifier(), &NetworkNotifier::topologyChanged);
        QSignalSpy changes(&session->Notifier(), &NetworkNotifier::nodeChanged);

        Receive(Gni(0x0203, 0x30, 0x04, 0x10, 200) + Gni(0x0111, 0x20, 0x80, 0x30, 100));
        const int router = db->FindNodeIdByAddress(AddrText(0x30));
        QCOMPARE(router, 3);
        QVERIFY(db->SeekLookupNode(logger));
        QCOMPARE(db->LookupCursor().Row().fatherid, router);
        QCOMPARE(reloads.size(), 2);
        for (const QList<QVariant> &change : changes)
            QVERIFY(change.at(1).value<NodeAspect>() != NodeAspect::Link);
    }

    void nearLimitRule_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<float>("lower");
        QTest::addColumn<float>("upper");
        QTest::addColumn<bool>("near");
        QTest::newRow("just inside upper margin") << 45.0f << 0.0f << 50.0f << true;
        QTest::newRow("just outside upper margin") << 44.9f << 0.0f << 50.0f << false;
        QTest::newRow("on the lower margin") << 5.0f << 0.0f << 50.0f << true;
        QTest::newRow("on the limit") << 50.0f << 0.0f << 50.0f << true;
        QTest::newRow("beyond the limit is an alarm, not a pre-alarm") << 50.5f << 0.0f << 50.0f << false;
        QTest::newRow("no limits") << 1.0f << -2000.0f << -2000.0f << false;
        QTest::newRow("empty span") << 5.0f << 5.0f << 5.0f << false;
    }
    void nearLimitRule()
    {
        QFETCH(float, value);
        QFETCH(float, lower);
        QFETCH(float, upper);
        QTEST(LinkEventHandler::IsNearLimit(value, lower, upper), "near");
    }

    void realTimeSamplesAndThePreAlarmRepeatFilter()
    {
        const int logger = AddNode(0x20, QStringLiteral("冰箱"), 0x80, 1, 2.0f, 8.0f);
        LoadAndConnect();
        QSignalSpy samples(&session->Notifier(), &NetworkNotifier::newSample);
        QSignalSpy messages(&session->Notifier(), &NetworkNotifier::messageLogged);

        QByteArray v(2, 0);
        const auto reading = [&v](float value) {
            FrameCodec::EncodeMeasured(value, reinterpret_cast<quint8 *>(v.data()));
            return Gmd(Addr(0x20), 0x80, v, QByteArray::fromHex("30f8"), 0x05, 0, 3, 60, 170, 0x0105);
        };
        Receive(reading(7.6f)); // within 10 % of the span below the upper limit
        QCOMPARE(log->entries.size(), 1);
        QCOMPARE(log->entries.at(0).first, QStringLiteral("预警"));
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().at(0).value<MessageKind>(), MessageKind::PreAlarm);

        now += 10;
        Receive(reading(7.7f));
        QCOMPARE(log->entries.size(), 1);
        now += 10;
        Receive(reading(7.8f));
        QCOMPARE(log->entries.size(), 2);
        now += 1;
        Receive(reading(5.0f)); // comfortably inside: nothing to log
        QCOMPARE(log->entries.size(), 2);

        QCOMPARE(theNodeTable().GetRtCount(logger), 4);
        QCOMPARE(samples.size(), 4);
        QCOMPARE(theNodeTable().GetRtTimeout(logger), qint64(120));
    }

    void commandResultsWriteRowsAndProgress()
    {
        const int logger = AddNode(0x20, QStringLiteral("仓库"), 0x88, 1, 1.0f, 9.0f);
        LoadAndConnect();
        CUartAffairLink &engine = app->Link();
        const QString address = AddrText(0x20);

        // Real-time reporting stopped: the watchdog time-out falls back to 1800 + 60 s.
        QVERIFY(engine.Create(RequestKind::SetRealTime, address));
        engine.SetRtInterval(0);
        QCOMPARE(engine.Commit(), 1);
        TickEngine(1);
        Receive(Gni(0x0102, 0x20, 0x88, 0x10, 180));
        TickEngine(1);
        Receive(Rtc(Addr(0x20), 0));
        QCOMPARE(int(theNodeTable().GetRtCmdState(logger)), 23);
        QCOMPARE(theNodeTable().GetRtTimeout(logger), qint64(1860));

        // Recording started without alarms: alarm fields off, the row's limits untouched.
        QVERIFY(engine.Create(RequestKind::StartLogging, address));
        QVERIFY(engine.SetStartTime(now + 3600));
        QVERIFY(engine.SetLogInterval(300));
        QVERIFY(engine.SetAlarm(0, 3.0f, 4.0f, 5.0f, 6.0f));
        QCOMPARE(engine.Commit(), 1);
        TickEngine(1);
        Receive(Gni(0x0102, 0x20, 0x88, 0x10, 180));
        TickEngine(1);
        Receive(StatusAnswer(FrameCodec::Command::STN, Addr(0x20), 0x01));
        QCOMPARE(int(theNodeTable().GetLogCmdState(logger)), 21);
        QCOMPARE(int(theNodeTable().GetAlarmEnable(logger)), 0);
        QVERIFY(db->SeekLookupNode(logger));
        QCOMPARE(db->LookupCursor().Row().channel1_lower, 1.0f);
        QCOMPARE(db->LookupCursor().Row().channel1_upper, 9.0f);

        // Recording stopped: run state and link fields follow the answer, the live type does not.
        QVERIFY(engine.Create(RequestKind::StopLogging, address));
        QCOMPARE(engine.Commit(), 1);
        TickEngine(1);
        Receive(Gni(0x0103, 0x20, 0x88, 0x10, 160, 0x01, 2));
        theNodeTable().SetType(logger, 0x80);
        TickEngine(1);
        Receive(StatusAnswer(FrameCodec::Command::SPN, Addr(0x20), 0x00));
        QCOMPARE(int(theNodeTable().GetLogCmdState(logger)), 23);
        QCOMPARE(int(theNodeTable().GetType(logger)), 0x80);
        QVERIFY(db->SeekLookupNode(logger));
        QCOMPARE(int(db->LookupCursor().Row().runstate), 0x00);
    }

    void sessionProbesKeepsAliveAndDropsTheLink()
    {
        PtyPair pty;
        QVERIFY(pty.IsValid());
        const int logger = AddNode(0x20, QStringLiteral("L"), 0x80, 1);
        (void)LoadNetworkTable(*db, theNodeTable());
        session->SetGivenPorts({pty.SlavePath()});
        QSignalSpy lost(&session->Notifier(), &NetworkNotifier::linkLost);

        session->Connect();
        QVERIFY(session->IsProbing());
        session->ProbeStep();
        QCOMPARE(pty.Read(2000), LinkSession::KeepAliveFrame()); // the probe is a GDI query

        pty.Write(Gdi(0x10, 0x01, 0x10));
        QTRY_VERIFY(session->State().IsConnected());
        QVERIFY(session->IsTicking() && session->IsWatching());
        QCOMPARE(theNodeTable().GetFaultFlags(kReceiver), quint8(0x10));
        app->Link().ClearQueue();
        theNodeTable().SetShortAddress(logger, 0x0102);
        theNodeTable().SetStatus(kReceiver, 1);

        app->SetLastReceiveTime(now);
        now += 6;
        for (int i = 0; i < 10; ++i)
            session->LinkTick();
        QVERIFY(pty.Read(100).isEmpty());
        now += 1;
        for (int i = 0; i < 5; ++i)
            session->LinkTick();
        QCOMPARE(pty.Read(1000), LinkSession::KeepAliveFrame());
        QCOMPARE(LinkSession::AlarmFrame().left(9), QByteArray::fromHex("ff7f757b414c4108b6"));

        now += 4;
        session->LinkTick();
        QCOMPARE(lost.size(), 1);
        QVERIFY(!session->State().IsConnected());
        QCOMPARE(theNodeTable().GetShortAddress(logger), -1);
        QCOMPARE(app->Link().QueueSize(), 0);

        // The lost receiver's port is asked again; a stray report does not connect, the
        // receiver's answer connects as the first time did (name, self-check, scan).
        QVERIFY(session->IsRecovering());
        QVERIFY(session->IsProbing());
        Receive(Gni(0x0102, 0x20, 0x80, 0x10, 100));
        QVERIFY(!session->State().IsConnected());
        session->ProbeStep();
        QCOMPARE(pty.Read(2000).left(9), QByteArray::fromHex("ff7f757b474449"
                                                             "08da"));
        QVERIFY(session->IsProbing());
        pty.Write(Gdi(0x10));
        QTRY_VERIFY(session->State().IsConnected());
        QCOMPARE(session->State().connectedPort, 1);
        QVERIFY(session->State().connectionText.endsWith(QStringLiteral(": 总站")));
        QVERIFY(!session->IsRecovering());
        QCOMPARE(app->Link().QueueSize(), 2);
        QCOMPARE(int(app->Link().QueuedAt(0)->kind), 12);
        QCOMPARE(int(app->Link().QueuedAt(1)->kind), 11);
    }

    void watchdogAsksSilentLoggersAndDropsSilentRouters()
    {
        const int router = AddNode(0x30, QStringLiteral("中转"), 0x04, 1);
        const int logger = AddNode(0x20, QStringLiteral("L"), 0x80, 2);
        LoadAndConnect();
        Receive(Gni(0x0201, 0x30, 0x04, 0x10, 100));
        Receive(Gni(0x0202, 0x20, 0x80, 0x30, 100));
        app->Link().ClearQueue();
        QSignalSpy loggersLost(&session->Notifier(), &NetworkNotifier::nodeLost);
        QSignalSpy routersLost(&session->Notifier(), &NetworkNotifier::routerLost);

        now += 90;
        session->Watchdog();
        QCOMPARE(app->Link().QueueSize(), 0);

        now += 1800;
        session->Watchdog();
        QCOMPARE(int(theNodeTable().GetRtFlag(logger)), 2);
        QCOMPARE(app->Link().QueueSize(), 1);
        QCOMPARE(int(app->Link().Head()->kind), 3);
        QCOMPARE(int(theNodeTable().GetStatus(router)), 0);
        // A silent router is announced as such, not as a lost logger.
        QCOMPARE(routersLost.size(), 1);
        QCOMPARE(routersLost.first().at(0).toInt(), router);
        QCOMPARE(loggersLost.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestLinkEvents)
#include "test_linkevents.moc"
