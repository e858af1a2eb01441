// A download that stops after some blocks arrived: what arrived is stored and the next
// download resumes after it, but the download ends as interrupted (state 15) and the
// interruption stays the last message. Link, event handling and history tables are the real
// ones; the receiver is played frame by frame with a fake clock.
#include "../link/AnswerFrames.h"
#include "../storage/StorageTestSupport.h"

#include "link/CUartAffairLink.h"
#include "link/CUart_CommApp.h"
#include "network/CCorvaneBeeNode.h"
#include "network/LinkEventHandler.h"
#include "network/LinkSession.h"
#include "network/NetworkLoader.h"
#include "network/ProgramLinkServices.h"
#include "storage/CCorvaneODBC.h"
#include "storage/HistoryTables.h"

#include <QtTest>

using namespace testframes;

namespace {

constexpr qint64 kT0 = 1405398896;
constexpr qint64 kRecordStart = kT0 - 3600;
constexpr int kInterval = 60;
constexpr int kDataLength = 40; // 20 one-channel records
constexpr quint8 kLoggerSeed = 0x20;

class RecordingServices : public ForwardingLinkServices {
public:
    using ForwardingLinkServices::ForwardingLinkServices;
    void LogEntry(MessageKind kind, qint64 time, const QString &text) override
    {
        ForwardingLinkServices::LogEntry(kind, time, text);
        last = TypeWord(kind) + text;
    }
    QString last;
};

QByteArray Samples(int first, int count)
{
    QByteArray data;
    for (int i = first; i < first + count; ++i)
        data += Measured(float(i));
    return data;
}

} // namespace

class TestDownloadInterrupt : public QObject {
    Q_OBJECT

    CCorvaneODBC *db = nullptr;
    std::unique_ptr<CUart_CommApp> app;
    std::unique_ptr<LinkSession> session;
    RecordingServices *log = nullptr;
    qint64 now = kT0;
    int logger = -1;

    void Receive(const QByteArray &bytes)
    {
        app->OnReceive(U8(bytes), bytes.size());
        QCoreApplication::processEvents();
        session->Handler().ProcessFinished();
    }
    void Tick(int ticks)
    {
        for (int i = 0; i < ticks; ++i) {
            (void)app->Link().SendNext();
            ++now;
        }
        QCoreApplication::processEvents();
        session->Handler().ProcessFinished();
    }
    // Queues a download and answers it up to the history information.
    void StartDownload()
    {
        const QString address = FrameCodec::AddressToText(U8(Addr(kLoggerSeed)));
        QVERIFY(app->Link().Create(RequestKind::Download, address));
        const LinkServices::StoredHistory stored = app->Link().Services().StoredHistoryOf(address);
        app->Link().SetDownloadPlan(0, 0, 0, stored.start, stored.length);
        app->Link().SetShortAddress(0x1020);
        QCOMPARE(app->Link().Commit(), 1);
        Tick(1);
        Receive(NodeInfo(FrameCodec::Command::GNI, 0x1020, Addr(kLoggerSeed), 0x80, 0x02, 0, 5, 0x40,
                         Addr(0x10)));
        Tick(1);
        Receive(Ghi(Addr(kLoggerSeed), Date7(kRecordStart), Date7(kRecordStart + 20 * kInterval), 0,
                    QByteArray(8, '\0'), kInterval, kDataLength, 0x80));
    }
    qint64 StoredLength()
    {
        CHistoryStore &h = db->History();
        const QString key = FrameCodec::AddressToText(U8(Addr(kLoggerSeed)));
        if (!h.OpenSummaryTable(key) || !h.MoveLastRecord() || h.IsRecordEnd())
            return -1;
        return h.DataLength();
    }

private slots:
    void init()
    {
        QVERIFY(storagetest::UseTestHome());
        AppSettings::Instance().SetLanguage(UiLanguage::Chinese);
        AppSettings::Instance().SetUser(QStringLiteral("admin"), 1);
        db = &theDatabase();
        QVERIFY(storagetest::OpenNewDatabase(*db, QStringLiteral("dl.mdb")));
        for (const auto &[seed, type] : {std::pair<quint8, quint8>{0x10, 0x40}, {kLoggerSeed, 0x80}}) {
            NodeChange change;
            change.mask = NodeChange::ExtAddress | NodeChange::Type | NodeChange::Name;
            change.values.extaddress = FrameCodec::AddressToText(U8(Addr(seed)));
            change.values.type = type;
            change.values.name = QStringLiteral("N%1").arg(seed);
            QCOMPARE(db->SaveNode(change), 1);
        }
        logger = db->FindNodeIdByAddress(FrameCodec::AddressToText(U8(Addr(kLoggerSeed))));
        (void)LoadNetworkTable(*db, theNodeTable());

        app = std::make_unique<CUart_CommApp>();
        auto services = std::make_unique<RecordingServices>(MakeProgramLinkServices(theNodeTable(), *db));
        log = services.get();
        app->Link().SetServices(std::move(services));
        app->Link().SetClock([this] { return now; });
        session = std::make_unique<LinkSession>(*app, theNodeTable(), *db);
        session->SetAutomaticTimers(false);
        session->SetClock([this] { return now; });
        Receive(NodeInfo(FrameCodec::Command::GDI, 0, Addr(0x10), 0x40, 0x01, 0, 0, 0, Addr(0)));
        QVERIFY(session->State().IsConnected());
        app->Link().ClearQueue();
    }

    void cleanup()
    {
        session.reset();
        app.reset();
        db->CloseDatabase();
    }

    void interruptedDownloadKeepsItsBlocksAndItsState()
    {
        StartDownload();
        Receive(Dld(Addr(kLoggerSeed), 0, Samples(0, 5)));          // 10 bytes
        Receive(Dld(Addr(kLoggerSeed), 10, Samples(5, 2).left(3))); // half a record more
        QCOMPARE(int(theNodeTable().GetDownloadCmdState(logger)), 7);
        Tick(AffairRequest::kStepLife + 2); // silence: the step times out
        QCOMPARE(app->Link().QueueSize(), 0);

        QCOMPARE(int(theNodeTable().GetDownloadCmdState(logger)), 15);
        QCOMPARE(StoredLength(), qint64(12)); // six whole records of the 13 bytes
        QCOMPARE(db->History().EndTime(), kRecordStart + 6 * kInterval);
        QVERIFY2(log->last.startsWith(QStringLiteral("中断")) && log->last.endsWith(QStringLiteral("未完成")),
                 qPrintable(log->last));
        QCOMPARE(app->Link().Status().msgKind, MessageKind::Interrupted);

        // The next download asks only for what is missing and completes the same record.
        StartDownload();
        QCOMPARE(app->Link().Head()->result->block->startOffset, 12);
        Receive(Dld(Addr(kLoggerSeed), 12, Samples(6, 14)));
        Tick(2);
        QCOMPARE(int(theNodeTable().GetDownloadCmdState(logger)), int(LinkEventHandler::Downloaded));
        QCOMPARE(StoredLength(), qint64(kDataLength));
        QCOMPARE(db->History().RecordCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDownloadInterrupt)
#include "test_downloadinterrupt.moc"
