// The program's core (link session, transaction engine, link event handling, node table and
// network table) against the receiver simulator on a pseudo-terminal, with real timers.
#include "SimReceiver.h"

#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "link/CUartAffairLink.h"
#include "link/CUart_CommApp.h"
#include "network/CCorvaneBeeNode.h"
#include "network/LinkSession.h"
#include "network/NetworkLoader.h"
#include "network/NetworkNotifier.h"
#include "network/ProgramLinkServices.h"
#include "storage/CCorvaneODBC.h"

#include <QtTest>

namespace {

const QString kReceiver = QStringLiteral("00124b00000000a0");
const QString kRelay = QStringLiteral("00124b00000000b1");
const QString kFridge = QStringLiteral("00124b00000000c1");

// The program's services, with every log entry kept for the test as well.
class RecordingServices : public ForwardingLinkServices {
public:
    using ForwardingLinkServices::ForwardingLinkServices;
    void LogEntry(MessageKind kind, qint64 time, const QString &text) override
    {
        ForwardingLinkServices::LogEntry(kind, time, text);
        entries.append({TypeWord(kind), text});
    }
    [[nodiscard]] bool Has(const QString &type, const QString &text) const
    {
        return entries.contains({type, text});
    }
    QList<QPair<QString, QString>> entries;
};

} // namespace

class TestLinkE2e : public QObject {
    Q_OBJECT
private:
    CCorvaneODBC *db = nullptr; // the process-wide one, as the engine's services use it
    std::unique_ptr<SimReceiver> sim;
    std::unique_ptr<CUart_CommApp> app;
    std::unique_ptr<LinkSession> session;
    RecordingServices *log = nullptr;
    qint64 offset = 0; // seconds the session's clock runs ahead of the wall clock
    int runs = 0;
    int fridge = -1;

    int AddNode(const QString &address, const QString &name, quint8 type, int parent, float lower,
                float upper)
    {
        NodeChange change;
        change.mask = 0x7CB6;
        change.values.name = name;
        change.values.extaddress = address;
        change.values.type = type;
        change.values.fatherid = parent;
        change.values.runstate = 1;
        change.values.channel1_lower = lower;
        change.values.channel1_upper = upper;
        change.values.channel2_lower = -2000.0f;
        change.values.channel2_upper = -2000.0f;
        return db->SaveNode(change) ? db->FindNodeIdByAddress(address) : -1;
    }

    // Starts the simulator and the session and waits for the connection.
    void ConnectToSimulator()
    {
        QString error;
        sim = std::make_unique<SimReceiver>(SimClock::System(), 7);
        QVERIFY2(sim->LoadScenarioFile(QStringLiteral(CORVANE_TEST_DATA_DIR "/e2e-network.json"), &error),
                 qPrintable(error));
        QVERIFY2(sim->OpenPty(&error), qPrintable(error));
        session->SetGivenPorts({sim->SlavePath()});
        session->Connect();
        QTRY_VERIFY_WITH_TIMEOUT(session->State().IsConnected(), 5000);
    }

private slots:
    void init()
    {
        offset = 0;
        AppSettings &settings = AppSettings::Instance();
        settings.SetHomeFolder(qEnvironmentVariable("CORVANE_TEST_HOME"));
        settings.SetLanguage(UiLanguage::Chinese);
        settings.SetUser(QStringLiteral("admin"), 1);
        QDir().mkpath(settings.DatabaseFolder());
        const QString name = QStringLiteral("e2e%1.mdb").arg(++runs);
        db = &theDatabase();
        QFile::remove(settings.DatabaseFolder() + QLatin1Char('/') + name);
        QVERIFY(db->CreateDatabase(settings.DatabaseFolder() + QLatin1Char('/') + name));
        QVERIFY(db->OpenDatabase(name));
        QCOMPARE(AddNode(kReceiver, QStringLiteral("中心接收器"), 0x40, 0, -2000.0f, -2000.0f), 1);
        fridge = AddNode(kFridge, QStringLiteral("疫苗冰箱"), 0x80, 1, 2.0f, 8.0f);
        while (theNodeTable().Size() > 0) {
            theNodeTable().MoveFirst();
            theNodeTable().RemoveNode(theNodeTable().GetCurrentId());
        }
        (void)LoadNetworkTable(*db, theNodeTable());

        app = std::make_unique<CUart_CommApp>();
        auto services = std::make_unique<RecordingServices>(MakeProgramLinkServices(theNodeTable(), *db));
        log = services.get();
        app->Link().SetServices(std::move(services));
        session = std::make_unique<LinkSession>(*app, theNodeTable(), *db);
        session->SetClock([this] { return CvTime::Now() + offset; });
    }

    void cleanup()
    {
        session.reset();
        app.reset();
        sim.reset();
        db->CloseDatabase();
    }

    void probeConnectsScansAndFeedsLiveRecords()
    {
        ConnectToSimulator();
        const QString text = session->State().connectionText;
        QVERIFY2(text.endsWith(QStringLiteral(": 中心接收器")), qPrintable(text));
        QCOMPARE(session->State().receiverId, 1);

        // The self-check and the network scan run; the scan finds the relay the table lacks.
        QTRY_VERIFY_WITH_TIMEOUT(db->FindNodeIdByAddress(kRelay) > 0, 15000);

        // The fridge: live record from the scan, then real-time samples every two seconds.
        QTRY_COMPARE_WITH_TIMEOUT(theNodeTable().GetShortAddress(fridge), 4113, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(theNodeTable().GetRtCount(fridge) >= 2, 10000);
        QCOMPARE(theNodeTable().GetRtCh1(fridge, 0), 5.0f);
        // The receiver's self-check names no node; its completion is logged all the same.
        QTRY_VERIFY_WITH_TIMEOUT(log->Has(QStringLiteral("连接"), QStringLiteral("操作完成接收器自检")),
                                 15000);
    }

    void silentLoggerIsPolledByTheWatchdogAndDeclaredLost()
    {
        ConnectToSimulator();
        QTRY_COMPARE_WITH_TIMEOUT(theNodeTable().GetShortAddress(fridge), 4113, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(theNodeTable().GetRtCount(fridge) >= 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(app->Link().QueueSize(), 0, 20000);
        QVERIFY(sim->SetReachable(kFridge, false));
        QSignalSpy messages(&session->Notifier(), &NetworkNotifier::messageLogged);

        // The watchdog finds the fridge silent past its time-out and asks it for data.
        theNodeTable().SetLastConnectTime(fridge, CvTime::Now() - theNodeTable().GetRtTimeout(fridge) - 1);
        session->Watchdog();
        QCOMPARE(int(theNodeTable().GetRtFlag(fridge)), 2);
        QCOMPARE(app->Link().QueueSize(), 1);
        // The request runs out after 175 link ticks; tick by hand rather than wait 35 s.
        for (int i = 0; i < 400 && app->Link().QueueSize() > 0; ++i)
            session->LinkTick();
        QCOMPARE(app->Link().QueueSize(), 0);
        // A lost node makes the main window send the alarm frame; the warning is the message shown.
        bool lostShown = false;
        for (const auto &m : messages)
            lostShown = lostShown || (m.at(2).toBool() && m.at(0).value<MessageKind>() == MessageKind::Alarm);
        QVERIFY(lostShown);
        QCOMPARE(theNodeTable().GetShortAddress(fridge), -1);
    }

    void receiverSilenceDropsTheLinkAndItsReturnReconnectsWhole()
    {
        ConnectToSimulator();
        QTRY_COMPARE_WITH_TIMEOUT(theNodeTable().GetShortAddress(fridge), 4113, 15000);
        QSignalSpy lost(&session->Notifier(), &NetworkNotifier::linkLost);
        sim->Silence(13000);
        // Let what was already on the line arrive, then hold the session's clock still.
        QTest::qWait(500);
        const qint64 base = CvTime::Now();
        app->SetLastReceiveTime(base);
        session->SetClock([this, base] { return base + offset; });
        // Ten seconds of silence keep the link; eleven drop it.
        offset = 10;
        session->LinkTick();
        QVERIFY(session->State().IsConnected());
        offset = 11;
        QTRY_COMPARE_WITH_TIMEOUT(lost.size(), 1, 3000);
        QVERIFY(!session->State().IsConnected());
        QCOMPARE(session->State().receiverId, -1);
        QCOMPARE(theNodeTable().GetShortAddress(fridge), -1);

        // When the receiver talks again, the connection is made whole as the first one was.
        log->entries.clear();
        session->SetClock(&CvTime::Now);
        QTRY_VERIFY_WITH_TIMEOUT(session->State().IsConnected(), 20000);
        QVERIFY(session->State().connectionText.endsWith(QStringLiteral(": 中心接收器")));
        QTRY_VERIFY_WITH_TIMEOUT(log->Has(QStringLiteral("连接"), QStringLiteral("操作完成接收器自检")),
                                 15000);
        QTRY_COMPARE_WITH_TIMEOUT(theNodeTable().GetShortAddress(fridge), 4113, 15000);
    }
};

QTEST_GUILESS_MAIN(TestLinkE2e)
#include "test_link_e2e.moc"
