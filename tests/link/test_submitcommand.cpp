#include "AffairTestKit.h"

#include "link/CUartAffairInterface.h"
#include "link/CUart_CommApp.h"
#include "link/LinkErrorDisplay.h"

#include <QtTest>

using namespace affairkit;

// SubmitCommand: the refusals, what each kind collects from its parameter source, and the
// addressing chosen from the network table.
namespace {

class RecordingDisplay : public LinkErrorDisplay {
public:
    void ShowLinkError(int stringId) override { shown.push_back(stringId); }
    std::vector<int> shown;
};

// A view's rows: row i is the node of ids[i].
class FakeSource : public CUartAffairInterface {
public:
    struct Row {
        int id = -1;
        QString ext;
        qint64 rtInterval = 0;
        qint64 start = 0;
        qint64 interval = 0;
        quint8 alarmMode = 0;
        float limits[4] = {0, 0, 0, 0};
        quint8 downloadMode = 0;
        qint64 planFrom = 0;
        qint64 planTo = 0;
    };
    std::vector<Row> rows;

    qint32 NodeId(int r) override { return rows.at(size_t(r)).id; }
    QString ExtAddressText(int r) override { return rows.at(size_t(r)).ext; }
    qint64 RtInterval(int r) override { return rows.at(size_t(r)).rtInterval; }
    qint64 LogStartTime(int r) override { return rows.at(size_t(r)).start; }
    qint64 LogInterval(int r) override { return rows.at(size_t(r)).interval; }
    quint8 AlarmMode(int r) override { return rows.at(size_t(r)).alarmMode; }
    float Ch1Lower(int r) override { return rows.at(size_t(r)).limits[0]; }
    float Ch1Upper(int r) override { return rows.at(size_t(r)).limits[1]; }
    float Ch2Lower(int r) override { return rows.at(size_t(r)).limits[2]; }
    float Ch2Upper(int r) override { return rows.at(size_t(r)).limits[3]; }
    quint8 DownloadMode(int r) override { return rows.at(size_t(r)).downloadMode; }
    qint64 DownloadPlanFrom(int r) override { return rows.at(size_t(r)).planFrom; }
    qint64 DownloadPlanTo(int r) override { return rows.at(size_t(r)).planTo; }
};

constexpr quint8 kNodeA = 0x10; // id 1, short address 0x0102
constexpr quint8 kNodeB = 0x30; // id 2, not connected

} // namespace

class TestSubmitCommand : public QObject {
    Q_OBJECT
private slots:
    void notConnectedShowsTheRefusal()
    {
        CUart_CommApp comm;
        Rig rig(&comm.Link());
        rig.AddNode(1, kNodeA, QStringLiteral("A"), 0x80, 0x0102);
        FakeSource source;
        source.rows.push_back({1, ExtText(kNodeA)});
        comm.Port().SetConnectedPort(-1);
        RecordingDisplay display;
        comm.SetErrorDisplay(&display);
        QCOMPARE(comm.SubmitCommand(&source, RequestKind::ReadRealTime, 0), 0);
        QCOMPARE(comm.SubmitCommand(nullptr, RequestKind::Scan, 0), 0);
        QCOMPARE(display.shown, (std::vector<int>{294, 294}));
        QCOMPARE(comm.Link().QueueSize(), 0);
    }

    void collectsParametersPerKind()
    {
        CUart_CommApp comm;
        Rig rig(&comm.Link());
        rig.AddNode(1, kNodeA, QStringLiteral("A"), 0x88, 0x0102);
        rig.AddNode(2, kNodeB, QStringLiteral("B"), 0x80, -1);
        rig.services->stored.insert(ExtText(kNodeA), {kStart - 86400, 1000});
        RecordingDisplay display;
        comm.SetErrorDisplay(&display);
        comm.Port().SetConnectedPort(0);
        CUartAffairLink &link = comm.Link();

        FakeSource source;
        FakeSource::Row a{1, ExtText(kNodeA),   300, kStart + 600,  60,
                          4, {-10, 30, 20, 80}, 1,   kStart - 3600, kStart};
        // Rows 1 to 3 differ from row 0 in one respect each.
        source.rows = {a, a, a, a};
        source.rows[1].id = 2;
        source.rows[1].ext = ExtText(kNodeB);
        source.rows[2].ext = ExtText(kNodeA).left(15);
        source.rows[3].start = 0;

        // Kind 3 by short address: the first frame is GNI to 0x0102.
        QCOMPARE(comm.SubmitCommand(&source, RequestKind::ReadRealTime, 0), 1);
        QCOMPARE(rig.Tick(), 1);
        QCOMPARE(rig.Frame().left(11), QByteArray::fromHex("ff7f757b474e490b020102"));

        // A node without a short address is reached by its extended address.
        QCOMPARE(comm.SubmitCommand(&source, RequestKind::NodeInfo, 1), 1);
        QCOMPARE(link.QueuedAt(1)->addrMode, 3u);
        QCOMPARE(link.QueuedAt(1)->extAddress, Ext(kNodeB));

        // Refusals: a 15-character address, a start without its time.
        QCOMPARE(comm.SubmitCommand(&source, RequestKind::StartLogging, 2), 0);
        QCOMPARE(comm.SubmitCommand(&source, RequestKind::StartLogging, 3), 0);
        QCOMPARE(link.QueueSize(), 2);

        QCOMPARE(comm.SubmitCommand(&source, RequestKind::StartLogging, 0), 1);
        const AffairRequest *start = link.QueuedAt(2);
        QCOMPARE(start->startTime, kStart + 600);
        QCOMPARE(start->logInterval, qint64(60));
        QCOMPARE(start->limit4, 80.0f);
        QCOMPARE(start->params, 0x289u);

        QCOMPARE(comm.SubmitCommand(&source, RequestKind::SetRealTime, 0), 1);
        QCOMPARE(link.QueuedAt(3)->rtInterval, qint64(300));

        QCOMPARE(comm.SubmitCommand(&source, RequestKind::Download, 0), 1);
        const AffairRequest *download = link.QueuedAt(4);
        QCOMPARE(int(download->downloadMode), 1);
        QCOMPARE(download->planTo, kStart);
        QCOMPARE(download->storedStart, kStart - 86400);
        QCOMPARE(download->storedLength, 1000);

        QCOMPARE(comm.SubmitCommand(&source, RequestKind::SetAlarm, 0), 1);
        // Kinds that need no source; kinds 12 and 13 refuse one.
        QCOMPARE(comm.SubmitCommand(nullptr, RequestKind::ReadRealTime, 0), 1);
        QCOMPARE(link.QueuedAt(6)->extAddress, FrameCodec::PlaceholderAddress());
        QCOMPARE(link.QueuedAt(6)->shortAddress, (std::array<quint8, 2>{0xFF, 0xFF}));
        QCOMPARE(comm.SubmitCommand(nullptr, RequestKind::Scan, 0), 1);
        QCOMPARE(link.QueuedAt(7)->addrMode, 15u);
        QCOMPARE(comm.SubmitCommand(&source, RequestKind::SelfCheck, 0), 0);
        QCOMPARE(comm.SubmitCommand(nullptr, RequestKind::Leave, 0), 0);

        CCorvaneBeeNode &table = theNodeTable();
        QCOMPARE(table.SetPhone(2, QStringLiteral("10086")), 1);
        table.SetPhoneListState(1);
        QCOMPARE(comm.SubmitCommand(nullptr, RequestKind::SelfCheck, 0), 1);
        QCOMPARE(link.QueuedAt(8)->step, FrameCodec::Command::MGQ);
        QCOMPARE(comm.SubmitCommand(nullptr, RequestKind::GprsLock, 0), 1);
        const AffairRequest *lock = link.QueuedAt(9);
        QCOMPARE(lock->step, FrameCodec::Command::MSQ);
        QCOMPARE(lock->phoneSlotMask, 0x4);
        QCOMPARE(table.GetPhoneListState(), 0);
        QVERIFY(display.shown.empty());
    }
};

QTEST_GUILESS_MAIN(TestSubmitCommand)
#include "test_submitcommand.moc"
