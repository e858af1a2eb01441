// The simulated receiver driven without a pseudo-terminal: request bytes in, answer bytes out,
// on a manual clock. Answers are decoded by the link's own receive buffer and decoder.
#include "SimControl.h"
#include "SimReceiver.h"
#include "SimTestUtil.h"
#include "link/CUart_CommApp.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace FrameCodec;
using namespace simtest;

namespace {

constexpr qint64 kStartMs = 1700000000000LL; // 2023-11-14 22:13:20 UTC

const char *kScenario = R"({
  "receiver": {"address": "00000000000000a0", "rf": -20, "battery": 5},
  "radio": {"delayMs": [10, 10], "receiverDelayMs": 5, "scanStepMs": 100, "blockSize": 16, "blockGapMs": 20},
  "gprs": {"capacity": 4, "phones": ["111"], "loggers": [{"address": "00000000000000c1", "info": "t1", "bind": 1}]},
  "nodes": [
    {"name": "r1", "address": "00000000000000b1", "type": 4, "short": 10, "rf": -50},
    {"name": "t1", "address": "00000000000000c1", "type": 128, "parent": "r1", "short": 11,
     "realtimeInterval": 0, "rf": -70, "battery": 3, "faults": 4,
     "channels": [{"model": "constant", "value": 5}],
     "recording": {"startAgo": 3600, "interval": 60, "alarm": true, "limits": [2, 8, 0, 0]}},
    {"name": "th", "address": "00000000000000c2", "type": "0x8C", "short": 12, "longGmd": false,
     "channels": [{"model": "constant", "value": 21.5}, {"model": "constant", "value": 130}]},
    {"name": "late", "address": "00000000000000c3", "type": "0x88", "joinAfter": 100,
     "channels": [{"model": "sine", "mean": 0, "amplitude": 1, "period": 60},
                  {"model": "ramp", "from": 0, "to": 10, "period": 100}]}
  ]
})";

QJsonObject Scenario()
{
    return QJsonDocument::fromJson(kScenario).object();
}

// A simulated receiver whose output feeds the link's receive buffer.
struct Bench {
    SimReceiver sim{SimClock::Manual(kStartMs), 7};
    CUart_CommApp link;
    QByteArray raw;
    std::vector<QByteArray> chunks;
    std::vector<qint64> chunkTimes;

    explicit Bench(const QJsonObject &scenario = Scenario())
    {
        link.SetReplyHandler(nullptr); // collect complete records, no transaction engine
        QString error;
        loaded = sim.LoadScenario(scenario, &error);
        loadError = error;
        QObject::connect(&sim, &SimReceiver::Output, &sim, [this](const QByteArray &chunk) {
            raw += chunk;
            chunks.push_back(chunk);
            chunkTimes.push_back(sim.NowMs());
            link.OnReceive(reinterpret_cast<const quint8 *>(chunk.constData()), chunk.size());
        });
    }

    void Send(Command command, const QByteArray &body = {}) { sim.Feed(Request(command, body)); }
    std::vector<AffairReply> Take() { return link.DefaultHandler().TakeFinished(); }
    // Sends, lets time pass and returns the decoded answers.
    std::vector<AffairReply> Ask(Command command, const QByteArray &body = {}, qint64 waitMs = 2000)
    {
        Take();
        Send(command, body);
        sim.Advance(waitMs);
        return Take();
    }
    // The one answer of the given type among what arrived; fails the test otherwise.
    AffairReply One(Command command, const QByteArray &body, Command type)
    {
        auto replies = Ask(command, body);
        std::vector<AffairReply> of;
        for (auto &r : replies) {
            if (r.type == type)
                of.push_back(std::move(r));
        }
        if (of.size() != 1) {
            qWarning() << "expected one answer of type" << FrameCodec::CommandCode(type) << "got"
                       << of.size();
            return {};
        }
        return std::move(of.front());
    }

    bool loaded = false;
    QString loadError;
};

QByteArray StnBody(const QByteArray &addr, qint64 start, qint64 pcNow, qint64 interval, quint8 mode,
                   const QByteArray &limits)
{
    return addr + Date(start) + Date(pcNow) + U24(interval) + QByteArray(1, static_cast<char>(mode)) + limits;
}

} // namespace

class TestSimReceiver : public QObject {
    Q_OBJECT
private slots:
    void everyAnswerDecodesComplete_data();
    void everyAnswerDecodesComplete();
    void downloadReturnsExactlyTheRecordedSamples();
    void faultsDoWhatTheySay();
    void requestScannerResynchronises();
    void scenarioErrorsAreReported_data();
    void scenarioErrorsAreReported();
    void scenarioFileErrors();
    void controlLines_data();
    void controlLines();
};

void TestSimReceiver::everyAnswerDecodesComplete_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("length");
    const QByteArray t1 = ByShort(11);
    QTest::newRow("GDI") << int(Command::GDI) << QByteArray() << 36;
    QTest::newRow("GNI short") << int(Command::GNI) << t1 << 36;
    QTest::newRow("GNI ext") << int(Command::GNI) << ByExt(QStringLiteral("00000000000000c2")) << 36;
    QTest::newRow("GMD long") << int(Command::GMD) << t1 << 34;
    QTest::newRow("GMD short form") << int(Command::GMD) << ByShort(12) << 32;
    QTest::newRow("STN") << int(Command::STN) << StnBody(t1, 0, kStartMs / 1000, 60, 4, Limits(1, 9, 0, 0))
                         << 21;
    QTest::newRow("SPN") << int(Command::SPN) << t1 << 21;
    QTest::newRow("RTC") << int(Command::RTC) << t1 + U24(30) << 23;
    QTest::newRow("GHI") << int(Command::GHI) << t1 << 71;
    QTest::newRow("DLD") << int(Command::DLD) << t1 + U24(0) + U24(10) << 34;
    QTest::newRow("WNN") << int(Command::WNN) << t1 + QByteArray(1, 4) + Limits(0, 1, 2, 3) << 21;
    QTest::newRow("MEQ") << int(Command::MEQ) << QByteArray() << 14;
    QTest::newRow("MEI") << int(Command::MEI) << U16(0) << 22;
    QTest::newRow("MEN") << int(Command::MEN) << U16(0) << 62;
    QTest::newRow("MGQ") << int(Command::MGQ) << QByteArray() << 14;
    QTest::newRow("MGN") << int(Command::MGN) << U16(9) << 30;
    QTest::newRow("MBN") << int(Command::MBN) << U16(0) << 16;
}

void TestSimReceiver::everyAnswerDecodesComplete()
{
    QFETCH(int, command);
    QFETCH(QByteArray, body);
    QFETCH(int, length);
    Bench bench;
    QVERIFY2(bench.loaded, qPrintable(bench.loadError));
    bench.Take();
    bench.raw.clear();
    bench.chunks.clear();
    bench.Send(Command(command), body);
    bench.sim.Advance(300);
    const auto replies = bench.Take();
    // Exactly one frame on the line, of the layout's length, decoded complete by the link.
    QCOMPARE(bench.chunks.size(), std::size_t(1));
    QCOMPARE(int(bench.raw.size()), length);
    QCOMPARE(replies.size(), std::size_t(1));
    QCOMPARE(CommandNumber(replies[0].type), command);
    QVERIFY(replies[0].IsComplete());
    QCOMPARE(bench.link.ByteCount(), 0);
}

void TestSimReceiver::downloadReturnsExactlyTheRecordedSamples()
{
    Bench bench;
    QVERIFY(bench.loaded);
    const QByteArray t1 = ByShort(11);
    QVERIFY(bench.sim.Network().SetChannelValue(1, 0, -12.34, kStartMs / 1000 + 1)); // from now on
    bench.sim.Advance(180500);                                                       // three more samples
    const AffairReply info = bench.One(Command::GHI, t1, Command::GHI);
    const QByteArray recorded = bench.sim.Network().Node(1).rec.data;
    QCOMPARE(int(info.dataLength), 64 * 2);
    // The scenario's constant 5.00 (F4 01), then the new value -12.34 (2E FB).
    QCOMPARE(recorded.left(2), QByteArray("\xF4\x01", 2));
    QCOMPARE(recorded.right(2), QByteArray("\x2E\xFB", 2));

    bench.Take();
    bench.Send(Command::DLD, t1 + U24(0) + U24(info.dataLength));
    bench.sim.Advance(5000);
    QByteArray downloaded;
    int blocks = 0;
    for (const AffairReply &r : bench.Take()) {
        if (r.type != Command::DLD)
            continue;
        QCOMPARE(r.block->address, downloaded.size());
        QVERIFY(r.block->received <= 16);
        downloaded += r.block->data.left(r.block->received);
        ++blocks;
    }
    QCOMPARE(blocks, 8);
    QCOMPARE(downloaded, recorded);

    // From the middle, a count beyond the end, past the end.
    auto part = bench.Ask(Command::DLD, t1 + U24(100) + U24(1000));
    QCOMPARE(part.size(), std::size_t(2));
    QCOMPARE(part[0].block->address, 100);
    QCOMPARE(part[1].block->data.left(part[1].block->received), recorded.mid(116));
    auto none = bench.Ask(Command::DLD, t1 + U24(5000) + U24(10));
    QCOMPARE(none.size(), std::size_t(1));
    QCOMPARE(none[0].block->received, 0);
}

void TestSimReceiver::faultsDoWhatTheySay()
{
    Bench bench;
    QVERIFY(bench.loaded);
    const QByteArray t1 = ByShort(11);
    const QByteArray th = ByShort(12);
    QVERIFY(bench.sim.SetReachable(QStringLiteral("t1"), true));

    // Lost answers are not answered at all.
    QVERIFY(bench.sim.SetLoss(1.0));
    bench.raw.clear();
    QVERIFY(bench.Ask(Command::GDI).empty());
    QVERIFY(bench.raw.isEmpty());
    QVERIFY(bench.sim.LostFrames() >= 1);
    QVERIFY(bench.sim.SetLoss(0.0));

    // Corrupt frames reach the line and are dropped by the extraction.
    QVERIFY(bench.sim.SetCorrupt(1.0));
    bench.raw.clear();
    QVERIFY(bench.Ask(Command::GNI, th).empty());
    QCOMPARE(bench.raw.size(), 36);
    QVERIFY(bench.sim.SetCorrupt(0.0));

    // A router out of reach takes its loggers with it; the others still answer.
    QCOMPARE(bench.One(Command::RTC, t1 + U24(10), Command::RTC).rtInterval, 10);
    QVERIFY(bench.sim.SetReachable(QStringLiteral("r1"), false));
    QVERIFY(bench.Ask(Command::GNI, t1).empty());
    QCOMPARE(bench.Ask(Command::GNI, th).size(), std::size_t(1));
    bench.sim.Advance(60000);
    QVERIFY(bench.Take().empty()); // no real-time reports from t1 either
    QVERIFY(bench.sim.SetReachable(QStringLiteral("00000000000000b1"), true));
    bench.sim.Advance(10000);
    QCOMPARE(bench.Take().size(), std::size_t(1)); // reporting again

    // Noise between frames and answers in small pieces still decode.
    QVERIFY(bench.sim.SetNoise(1.0) && bench.sim.SetSplit(5));
    bench.chunks.clear();
    QCOMPARE(bench.Ask(Command::GHI, t1).size(), std::size_t(1));
    QVERIFY(bench.chunks.size() >= 15);
    QVERIFY(bench.sim.SetNoise(0.0) && bench.sim.SetSplit(0));

    // Silence: requests unheard, reports not sent, until the time is over.
    bench.sim.Silence(15000);
    QVERIFY(bench.Ask(Command::GDI, {}, 14000).empty());
    bench.sim.Advance(1000);
    QCOMPARE(bench.Ask(Command::GDI, {}, 100).size(), std::size_t(1));

    // Delay: the answer of a node two hops away takes both hops.
    QVERIFY(bench.sim.SetDelay(400, 400));
    QVERIFY(!bench.sim.SetDelay(5, 1));
    bench.Take();
    bench.Send(Command::GNI, t1);
    bench.sim.Advance(799);
    QVERIFY(bench.Take().empty());
    bench.sim.Advance(1);
    QCOMPARE(bench.Take().size(), std::size_t(1));
}

void TestSimReceiver::requestScannerResynchronises()
{
    RequestScanner scanner;
    const QByteArray gmd = Request(Command::GMD, ByShort(0x1234));
    QCOMPARE(gmd.left(12), QByteArray::fromHex("FF7F757B474D440B0212349F"));
    // Garbage, a frame with a spoilt check byte, an unknown code, then good frames in pieces.
    QByteArray spoilt = gmd;
    spoilt[11] = static_cast<char>(0x9E);
    QByteArray unknown = Request(Command::GDI);
    unknown[4] = 'X';
    const QByteArray stream = QByteArray::fromHex("001122FF7F") + spoilt + unknown + gmd +
                              Request(Command::STN, StnBody(ByShort(3), 0, 1, 1, 0, Limits(1, 2, 3, 4))) +
                              Request(Command::GDI);
    std::vector<SimRequest> found;
    for (int at = 0; at < stream.size(); at += 7) {
        for (SimRequest &r : scanner.Feed(stream.mid(at, 7)))
            found.push_back(std::move(r));
    }
    QCOMPARE(found.size(), std::size_t(3));
    QCOMPARE(found[0].command, Command::GMD);
    QCOMPARE(int(found[0].shortAddress), 0x1234);
    QCOMPARE(found[1].command, Command::STN);
    QCOMPARE(int(found[1].body.size()), 26);
    QCOMPARE(found[2].command, Command::GDI);
    QCOMPARE(scanner.RejectedFrames(), 2);

    // Malformed addressing blocks are refused.
    RequestScanner strict;
    QVERIFY(strict.Feed(Request(Command::GNI, QByteArray(1, 7))).empty());
    QVERIFY(strict.Feed(Request(Command::GNI, QByteArray(1, 3) + QByteArray(4, 1))).empty());
    QCOMPARE(strict.Feed(Request(Command::GNI, Broadcast())).size(), std::size_t(1));
    QCOMPARE(strict.RejectedFrames(), 2);
}

void TestSimReceiver::scenarioErrorsAreReported_data()
{
    QTest::addColumn<QString>("json");
    QTest::addColumn<QString>("message");
    QTest::newRow("no receiver") << R"({"nodes": []})"
                                 << "no receiver";
    QTest::newRow("bad address") << R"({"receiver": {"address": "12"}})"
                                 << "16 hexadecimal";
    QTest::newRow("channel count") << R"({"receiver": {"address": "0000000000000001"},
              "nodes": [{"name": "x", "address": "0000000000000002", "type": "0x88",
                         "channels": [{"model": "constant", "value": 1}]}]})"
                                   << "x: this logger type needs 2";
    QTest::newRow("duplicate short") << R"({"receiver": {"address": "0000000000000001"},
              "nodes": [{"address": "0000000000000002", "type": 4, "short": 5},
                        {"address": "0000000000000003", "type": 4, "short": 5}]})"
                                     << "short address 5 is used twice";
    QTest::newRow("logger as parent") << R"({"receiver": {"address": "0000000000000001"},
              "nodes": [{"name": "a", "address": "0000000000000002", "type": 128,
                         "channels": [{"model": "constant", "value": 1}]},
                        {"address": "0000000000000003", "type": 4, "parent": "a"}]})"
                                      << "is not the receiver or a router";
    QTest::newRow("recording without interval") << R"({"receiver": {"address": "0000000000000001"},
              "nodes": [{"address": "0000000000000002", "type": 128,
                         "channels": [{"model": "constant", "value": 1}], "recording": {"startAgo": 10}}]})"
                                                << "\"interval\" is missing";
    QTest::newRow("phase beyond any clock") << R"({"receiver": {"address": "0000000000000001"},
              "nodes": [{"address": "0000000000000002", "type": 128,
                         "channels": [{"model": "sine", "mean": 0, "amplitude": 1, "period": 60, "phase": 2e42}]}]})"
                                            << "phase";
    QTest::newRow("bad delay")
        << R"({"receiver": {"address": "0000000000000001"}, "radio": {"delayMs": [5, 1]}})"
        << "delayMs";
}

void TestSimReceiver::scenarioErrorsAreReported()
{
    QFETCH(QString, json);
    QFETCH(QString, message);
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(json.toUtf8(), &parseError);
    QCOMPARE(parseError.error, QJsonParseError::NoError);
    SimReceiver sim(SimClock::Manual(kStartMs));
    QString error;
    QVERIFY(!sim.LoadScenario(doc.object(), &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY(!sim.IsLoaded());
}

void TestSimReceiver::scenarioFileErrors()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SimReceiver sim(SimClock::Manual(kStartMs));
    QString error;
    QVERIFY(!sim.LoadScenarioFile(dir.filePath(QStringLiteral("missing.json")), &error));
    QVERIFY(error.contains(QStringLiteral("cannot open")));
    QFile broken(dir.filePath(QStringLiteral("broken.json")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("{\"receiver\": {\"address\": ");
    broken.close();
    QVERIFY(!sim.LoadScenarioFile(broken.fileName(), &error));
    QVERIFY2(error.contains(QStringLiteral("not a JSON object")), qPrintable(error));
    // The shipped demo network loads, with history on two loggers.
    QVERIFY2(sim.LoadScenarioFile(QStringLiteral(CORVANE_SOURCE_DIR "/resources/demo-network.json"), &error),
             qPrintable(error));
    int withHistory = 0;
    int alarmed = 0;
    for (std::size_t i = 0; i < sim.Network().Nodes().size(); ++i) {
        const SimNode &n = sim.Network().Nodes()[i];
        withHistory += n.rec.data.size() > 500 ? 1 : 0;
        if (n.IsLogger()) {
            // Look over one day for alarms on every logger.
            for (qint64 t = 0; t < 86400; t += 300)
                alarmed += (sim.Network().EventFlags(static_cast<int>(i), kStartMs / 1000 + t) & 3) ? 1 : 0;
        }
    }
    QVERIFY(withHistory >= 2);
    QVERIFY(alarmed > 0);
}

void TestSimReceiver::controlLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("quit");
    QTest::addColumn<QString>("reply");
    QTest::newRow("silence") << "silence 15" << true << false << "ok silence 15";
    QTest::newRow("silence bad") << "silence -1" << false << false
                                 << "error usage: silence SECONDS (0 to 86400)";
    QTest::newRow("unreach unknown") << "unreach ghost town" << false << false
                                     << "error unknown node ghost town";
    QTest::newRow("set") << "set th ch2 44.5" << true << false << "ok set th ch2 44.5";
    QTest::newRow("set bad channel") << "set th ch3 1" << false << false
                                     << "error usage: set NODE ch1|ch2 VALUE (within +-327.67)";
    QTest::newRow("delay reversed") << "delay 50 5" << false << false
                                    << "error usage: delay MIN_MS MAX_MS (0 <= MIN <= MAX <= 60000)";
    QTest::newRow("quit") << "quit" << true << true << "ok quit";
    QTest::newRow("unknown") << "dance" << false << false << "error unknown command dance";
}

void TestSimReceiver::controlLines()
{
    QFETCH(QString, line);
    QFETCH(bool, ok);
    QFETCH(bool, quit);
    QFETCH(QString, reply);
    Bench bench;
    QVERIFY(bench.loaded);
    const ControlResult result = RunControlLine(bench.sim, line);
    QCOMPARE(result.ok, ok);
    QCOMPARE(result.quit, quit);
    QCOMPARE(result.reply, reply);
    if (line == QLatin1String("set th ch2 44.5"))
        QCOMPARE(bench.One(Command::GMD, ByShort(12), Command::GMD).value2, 44.5f);
}

QTEST_GUILESS_MAIN(TestSimReceiver)
#include "test_sim_receiver.moc"
