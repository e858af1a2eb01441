// corvane-sim as a separate program on its pseudo-terminal: control lines on its standard input
// change what the project's own link layer (port, extraction, decoder) receives, and the program
// ends on "quit".
#include "link/CUart_CommApp.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {

const QString kProgram = QStringLiteral(CORVANE_BINARY_DIR "/bin/corvane-sim");
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

struct SimProcess {
    QProcess process;
    QString slave; // the device its pseudo-terminal offers

    bool Start(const QString &scenario)
    {
        process.start(kProgram, {QStringLiteral("--scenario"), scenario, QStringLiteral("--seed"),
                                 QStringLiteral("3")});
        if (!process.waitForStarted(kPatienceMs))
            return false;
        slave = ReadLine();
        return slave.startsWith(QLatin1String("/dev/"));
    }

    QString ReadLine()
    {
        QDeadlineTimer deadline(kPatienceMs);
        while (!process.canReadLine() && !deadline.hasExpired() && process.state() == QProcess::Running)
            process.waitForReadyRead(100);
        return QString::fromLocal8Bit(process.readLine()).trimmed();
    }

    // Sends one control line and returns its acknowledgement.
    QString Command(const QString &line)
    {
        process.write((line + QLatin1Char('\n')).toLocal8Bit());
        process.waitForBytesWritten(kPatienceMs);
        return ReadLine();
    }

    ~SimProcess()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(kPatienceMs);
        }
    }
};

} // namespace

class TestSimE2e : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void controlLinesReachTheLine();
    void endsOnQuitOrRefusesABadScenario();

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

// The logger reports every second on its own; after "set" its reports carry the new value, also
// when the line delivers them in pieces with noise between frames.
void TestSimE2e::controlLinesReachTheLine()
{
    SimProcess sim;
    QVERIFY(sim.Start(FastScenario()));
    CUart_CommApp link;
    link.SetReplyHandler(nullptr); // collect complete records, no transaction engine
    QVERIFY(link.OpenPort(sim.slave));
    for (const char *line : {"set ticker ch1 31.5", "split 4", "noise 1"})
        QCOMPARE(sim.Command(QLatin1String(line)), QStringLiteral("ok ") + QLatin1String(line));
    std::vector<AffairReply> got;
    const auto changed = [&] {
        for (AffairReply &r : link.DefaultHandler().TakeFinished())
            got.push_back(std::move(r));
        return std::any_of(got.begin(), got.end(), [](const AffairReply &r) {
            return r.type == FrameCodec::Command::GMD && r.value1 == 31.5f && r.shortAddress == 101;
        });
    };
    QTRY_VERIFY_WITH_TIMEOUT(changed(), kPatienceMs);
}

void TestSimE2e::endsOnQuitOrRefusesABadScenario()
{
    {
        SimProcess sim;
        QVERIFY(sim.Start(FastScenario()));
        QCOMPARE(sim.Command(QStringLiteral("quit")), QStringLiteral("ok quit"));
        QVERIFY(sim.process.waitForFinished(kPatienceMs));
        QCOMPARE(sim.process.exitCode(), 0);
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
