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

} // namespace

class TestSimE2e : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
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
