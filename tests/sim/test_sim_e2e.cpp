// corvane-sim as a separate program on its pseudo-terminal, talked to through the project's own
// link layer: the port (CComPort), the receive buffer with frame extraction, and the decoder.
#include "SimTestUtil.h"
#include "ValueModel.h"
#include "link/CUart_CommApp.h"

#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

using namespace FrameCodec;
using namespace simtest;

namespace {

const QString kProgram = QStringLiteral(CORVANE_BINARY_DIR "/bin/corvane-sim");
const QString kDemo = QStringLiteral(CORVANE_SOURCE_DIR "/resources/demo-network.json");
// Generous bound for waiting on something that must come; it is never the thing tested.
constexpr int kPatienceMs = 8000;

const char *kFastScenario = R"({
  "receiver": {"address": "0000000000000a01"},
  "radio": {"delayMs": [5, 20], "receiverDelayMs": 5, "scanStepMs": 20, "blockSize": 32, "blockGapMs": 10},
  "nodes": [
    {"name": "router", "address": "0000000000000b01", "type": 4, "short": 100},
    {"name": "ticker", "address": "0000000000000c01", "type": "0x8C", "parent": "router", "short": 101,
     "realtimeInterval": 1,
     "channels": [{"model": "constant", "value": 12.25}, {"model": "constant", "value": 40}]}
  ]
})";

class SimProcess {
public:
    bool Start(const QString &scenario)
    {
        process_.setProgram(kProgram);
        process_.setArguments(
            {QStringLiteral("--scenario"), scenario, QStringLiteral("--seed"), QStringLiteral("3")});
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start();
        if (!process_.waitForStarted(kPatienceMs))
            return false;
        slave_ = ReadLine();
        return slave_.startsWith(QLatin1String("/dev/"));
    }

    QString ReadLine()
    {
        QElapsedTimer t;
        t.start();
        while (!process_.canReadLine() && t.elapsed() < kPatienceMs && process_.state() == QProcess::Running)
            process_.waitForReadyRead(100);
        return QString::fromLocal8Bit(process_.readLine()).trimmed();
    }

    // Sends one control line and returns its acknowledgement.
    QString Command(const QString &line)
    {
        process_.write((line + QLatin1Char('\n')).toLocal8Bit());
        process_.waitForBytesWritten(kPatienceMs);
        return ReadLine();
    }

    [[nodiscard]] QString Slave() const { return slave_; }
    QProcess &Process() { return process_; }

    ~SimProcess()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(kPatienceMs);
        }
    }

private:
    QProcess process_;
    QString slave_;
};

// The PC side: the link owner with its port open on the simulator's slave device.
class Pc {
public:
    bool Open(const QString &slave)
    {
        link_.SetReplyHandler(nullptr);
        return link_.OpenPort(slave);
    }

    void Send(int command, const QByteArray &body = {})
    {
        const QByteArray frame = Request(command, body);
        RequestBuffer buffer{};
        std::copy(frame.begin(), frame.end(), buffer.begin());
        QCOMPARE(link_.WriteRequest(buffer), qint64(64));
    }

    // Runs the event loop until the predicate holds or the patience runs out.
    bool WaitUntil(const std::function<bool()> &done, int patienceMs = kPatienceMs)
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < patienceMs)
            QTest::qWait(10);
        return done();
    }

    // Collects what has been decoded so far.
    std::vector<AffairReply> &Received()
    {
        for (AffairReply &r : link_.DefaultHandler().TakeFinished())
            received_.push_back(std::move(r));
        return received_;
    }
    void Clear()
    {
        Received();
        received_.clear();
    }

    // The first answer of a type (from a node, if given) after sending; empty when none came.
    std::optional<AffairReply> Ask(int command, const QByteArray &body, int type, const QString &from = {},
                                   int patienceMs = kPatienceMs)
    {
        Clear();
        Send(command, body);
        std::optional<AffairReply> found;
        WaitUntil(
            [&] {
                for (AffairReply &r : Received()) {
                    if (r.type == type && (from.isEmpty() || Text(r.extAddress) == from)) {
                        found = r;
                        return true;
                    }
                }
                return false;
            },
            patienceMs);
        return found;
    }

    CUart_CommApp &Link() { return link_; }

private:
    CUart_CommApp link_;
    std::vector<AffairReply> received_;
};

QByteArray Download(Pc &pc, const QString &logger, const QByteArray &addr, int total)
{
    QByteArray data;
    for (int attempt = 0; attempt < 40 && data.size() < total; ++attempt) {
        pc.Clear();
        pc.Send(DLD, addr + U24(data.size()) + U24(total - data.size()));
        // Take blocks in order; a gap (a lost or damaged block, seen as a later block or as
        // silence) means asking again from there.
        int idle = 0;
        bool gap = false;
        while (data.size() < total && idle < 15 && !gap) {
            QTest::qWait(20);
            bool progressed = false;
            std::vector<AffairReply> &got = pc.Received();
            for (AffairReply &r : got) {
                if (r.type != DLD || Text(r.extAddress) != logger || !r.block)
                    continue;
                if (r.block->address == data.size() && r.block->received > 0) {
                    data += r.block->data.left(r.block->received);
                    progressed = true;
                } else if (r.block->address > data.size()) {
                    gap = true;
                }
            }
            got.clear();
            idle = progressed ? 0 : idle + 1;
        }
    }
    return data;
}

} // namespace

class TestSimE2e : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void demoAnswersDecodeComplete();
    void demoHistoryDownloadsExactly();
    void reportsArriveOnTheirOwn();
    void runtimeFaults();
    void endsOnQuitOrEndOfInput();

private:
    QString FastScenario();
    QTemporaryDir dir_;
};

void TestSimE2e::initTestCase()
{
    QVERIFY(QFile::exists(kProgram));
    QVERIFY(dir_.isValid());
}

QString TestSimE2e::FastScenario()
{
    const QString path = dir_.filePath(QStringLiteral("fast.json"));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(kFastScenario);
    return path;
}

void TestSimE2e::demoAnswersDecodeComplete()
{
    SimProcess sim;
    QVERIFY(sim.Start(kDemo));
    Pc pc;
    QVERIFY(pc.Open(sim.Slave()));

    auto gdi = pc.Ask(GDI, {}, GDI);
    QVERIFY(gdi);
    QVERIFY(gdi->IsComplete());
    QCOMPARE(Text(gdi->extAddress), QStringLiteral("00124b0001c0a801"));
    QCOMPARE(int(gdi->deviceType), 0x40);

    auto gni = pc.Ask(GNI, ByShort(4113), GNI);
    QVERIFY(gni);
    QCOMPARE(Text(gni->extAddress), QStringLiteral("00124b0001d4e5f1"));
    QCOMPARE(Text(gni->parentAddress), QStringLiteral("00124b0001b0c0d1"));

    auto gmd =
        pc.Ask(GMD, ByExt(QStringLiteral("00124b0001d4e5f2")), GMD, QStringLiteral("00124b0001d4e5f2"));
    QVERIFY(gmd);
    QCOMPARE(gmd->shortAddress, 4114);
    QVERIFY(gmd->value1 > -23.0f && gmd->value1 < -15.0f);

    auto ghi = pc.Ask(GHI, ByShort(8209), GHI);
    QVERIFY(ghi);
    QCOMPARE(ghi->dataLength, 289u * 4u); // two days at ten minutes, both channels
    QCOMPARE(ghi->logInterval, 600);

    auto mgq = pc.Ask(MGQ, {}, MGQ);
    QVERIFY(mgq);
    QCOMPARE(mgq->phoneSlotMask, 0x7);
    auto mgn = pc.Ask(MGN, U16(0), MGN);
    QVERIFY(mgn);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(mgn->phoneNumber.data())), QByteArray("13800138001"));
    auto mei = pc.Ask(MEI, U16(1), MEI);
    QVERIFY(mei);
    QCOMPARE(Text(mei->gprsLoggerAddress), QStringLiteral("00124b0001d4e5f2"));

    // A network scan: every joined node answers with its parent.
    pc.Clear();
    pc.Send(GNI, Broadcast());
    QVERIFY(pc.WaitUntil([&] {
        int n = 0;
        for (const AffairReply &r : pc.Received())
            n += r.type == GNI ? 1 : 0;
        return n >= 8;
    }));
}

void TestSimE2e::demoHistoryDownloadsExactly()
{
    SimProcess sim;
    QVERIFY(sim.Start(kDemo));
    Pc pc;
    QVERIFY(pc.Open(sim.Slave()));
    const QString fridge = QStringLiteral("00124b0001d4e5f1");
    const QByteArray addr = ByShort(4113);
    auto ghi = pc.Ask(GHI, addr, GHI);
    QVERIFY(ghi);
    QVERIFY(ghi->dataLength >= 865u * 2u); // three days at five minutes
    QCOMPARE(ghi->logInterval, 300);
    QCOMPARE(int(ghi->alarmMode), 4);
    QCOMPARE(ghi->limit2, 8.0f);

    // The samples the logger recorded are its value model at the sample times.
    QByteArray expected;
    ValueModel model = *ValueModel::FromJson(
        QJsonDocument::fromJson(R"({"model": "sine", "mean": 4.8, "amplitude": 1.3, "period": 2700})")
            .object(),
        nullptr);
    for (quint32 k = 0; k < ghi->dataLength / 2; ++k) {
        quint8 b[2];
        EncodeMeasured(static_cast<float>(model.ValueAt(ghi->startTime + qint64(k) * 300)), b);
        expected.append(reinterpret_cast<const char *>(b), 2);
    }
    QCOMPARE(ghi->endTime, ghi->startTime + qint64(ghi->dataLength / 2 - 1) * 300);

    QCOMPARE(Download(pc, fridge, addr, int(ghi->dataLength)), expected);

    // Again through a bad line: noise, small pieces, some damaged and lost blocks. The link
    // drops what is damaged; asking again from the gap still yields exactly the samples.
    QCOMPARE(sim.Command(QStringLiteral("noise 0.5")), QStringLiteral("ok noise 0.5"));
    QCOMPARE(sim.Command(QStringLiteral("split 9")), QStringLiteral("ok split 9"));
    QCOMPARE(sim.Command(QStringLiteral("corrupt 0.05")), QStringLiteral("ok corrupt 0.05"));
    QCOMPARE(sim.Command(QStringLiteral("loss 0.05")), QStringLiteral("ok loss 0.05"));
    QCOMPARE(Download(pc, fridge, addr, int(ghi->dataLength)), expected);
}

void TestSimE2e::reportsArriveOnTheirOwn()
{
    SimProcess sim;
    QVERIFY(sim.Start(FastScenario()));
    Pc pc;
    QVERIFY(pc.Open(sim.Slave()));
    const QString ticker = QStringLiteral("0000000000000c01");
    const auto reports = [&] {
        int n = 0;
        for (const AffairReply &r : pc.Received()) {
            if (r.type == GMD && Text(r.extAddress) == ticker) {
                ++n;
                if (r.rtInterval != 1 || r.value1 != 12.25f || r.value2 != 40.0f || r.shortAddress != 101)
                    return -1000;
            }
        }
        return n;
    };
    // Nothing asked: the logger reports every second on its own.
    QVERIFY(pc.WaitUntil([&] { return reports() >= 3; }));
    QVERIFY(reports() > 0);
    auto rtc = pc.Ask(RTC, ByShort(101) + U24(0), RTC);
    QVERIFY(rtc);
    QCOMPARE(rtc->rtInterval, 0);
}

void TestSimE2e::runtimeFaults()
{
    SimProcess sim;
    QVERIFY(sim.Start(FastScenario()));
    Pc pc;
    QVERIFY(pc.Open(sim.Slave()));
    const QString ticker = QStringLiteral("0000000000000c01");
    QVERIFY(pc.Ask(GDI, {}, GDI));
    QCOMPARE(pc.Ask(RTC, ByShort(101) + U24(0), RTC)->rtInterval, 0); // quiet line from here on
    // Waiting out a second of nothing is how "no answer" shows; the answer would take < 50 ms.
    constexpr int kQuietMs = 1000;

    QCOMPARE(sim.Command(QStringLiteral("loss 1")), QStringLiteral("ok loss 1"));
    QVERIFY(!pc.Ask(GDI, {}, GDI, {}, kQuietMs));
    QCOMPARE(sim.Command(QStringLiteral("loss 0")), QStringLiteral("ok loss 0"));
    QVERIFY(pc.Ask(GDI, {}, GDI));

    // Damaged frames arrive (the line is heard) but are dropped by the extraction.
    QCOMPARE(sim.Command(QStringLiteral("corrupt 1")), QStringLiteral("ok corrupt 1"));
    pc.Link().SetLastReceiveTime(0);
    QVERIFY(!pc.Ask(GNI, ByShort(101), GNI, {}, kQuietMs));
    QVERIFY(pc.Link().LastReceiveTime() > 0);
    QCOMPARE(sim.Command(QStringLiteral("corrupt 0")), QStringLiteral("ok corrupt 0"));
    QVERIFY(pc.Ask(GNI, ByShort(101), GNI));

    // Silence: nothing is heard, then the receiver is back.
    QCOMPARE(sim.Command(QStringLiteral("silence 1.5")), QStringLiteral("ok silence 1.5"));
    pc.Link().SetLastReceiveTime(0);
    QVERIFY(!pc.Ask(GDI, {}, GDI, {}, kQuietMs));
    QCOMPARE(pc.Link().LastReceiveTime(), qint64(0));
    QVERIFY(pc.WaitUntil([&] { return pc.Ask(GDI, {}, GDI, {}, 300).has_value(); }));

    // A router out of reach hides its logger until it is back.
    QCOMPARE(sim.Command(QStringLiteral("unreach router")), QStringLiteral("ok unreach router"));
    QVERIFY(!pc.Ask(GNI, ByShort(101), GNI, {}, kQuietMs));
    QCOMPARE(sim.Command(QStringLiteral("reach router")), QStringLiteral("ok reach router"));
    QVERIFY(pc.Ask(GNI, ByShort(101), GNI));

    // New readings and a line that delivers in pieces with noise between frames.
    QCOMPARE(sim.Command(QStringLiteral("set ticker ch1 31.5")), QStringLiteral("ok set ticker ch1 31.5"));
    QCOMPARE(sim.Command(QStringLiteral("split 4")), QStringLiteral("ok split 4"));
    QCOMPARE(sim.Command(QStringLiteral("noise 1")), QStringLiteral("ok noise 1"));
    QCOMPARE(sim.Command(QStringLiteral("delay 50 60")), QStringLiteral("ok delay 50 60"));
    auto gmd = pc.Ask(GMD, ByShort(101), GMD, ticker);
    QVERIFY(gmd);
    QCOMPARE(gmd->value1, 31.5f);
    QCOMPARE(sim.Command(QStringLiteral("set nobody ch1 1")),
             QStringLiteral("error nobody is no logger with channel ch1"));
}

void TestSimE2e::endsOnQuitOrEndOfInput()
{
    {
        SimProcess sim;
        QVERIFY(sim.Start(FastScenario()));
        QCOMPARE(sim.Command(QStringLiteral("quit")), QStringLiteral("ok quit"));
        QVERIFY(sim.Process().waitForFinished(kPatienceMs));
        QCOMPARE(sim.Process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.Process().exitCode(), 0);
    }
    {
        SimProcess sim;
        QVERIFY(sim.Start(FastScenario()));
        sim.Process().closeWriteChannel();
        QVERIFY(sim.Process().waitForFinished(kPatienceMs));
        QCOMPARE(sim.Process().exitCode(), 0);
    }
    {
        // A scenario that does not load: a message and a non-zero status, no device line.
        QProcess bad;
        bad.start(kProgram, {QStringLiteral("--scenario"), dir_.filePath(QStringLiteral("none.json"))});
        QVERIFY(bad.waitForFinished(kPatienceMs));
        QCOMPARE(bad.exitCode(), 1);
        QVERIFY(bad.readAllStandardOutput().isEmpty());
        QVERIFY(bad.readAllStandardError().contains("cannot open scenario"));
    }
}

QTEST_GUILESS_MAIN(TestSimE2e)
#include "test_sim_e2e.moc"
