// The simulated receiver driven without a pseudo-terminal: request bytes in, answer bytes out,
// on a manual clock. Answers are decoded by the link's own receive buffer and decoder.
#include "../link/AnswerFrames.h"
#include "SimControl.h"
#include "SimReceiver.h"
#include "link/CUart_CommApp.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

using namespace FrameCodec;
using namespace testframes;

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

// A request frame as the PC writes it (64 bytes).
QByteArray Request(Command command, const QByteArray &body = {})
{
    RequestBuffer buffer{};
    if (!BuildRequest(command, U8(body), int(body.size()), buffer))
        return {};
    return QByteArray(reinterpret_cast<const char *>(buffer.data()), int(buffer.size()));
}

QByteArray ByShort(int shortAddress)
{
    return char(2) + Be16(shortAddress);
}

// A simulated receiver whose output feeds the link's receive buffer.
struct Bench {
    SimReceiver sim{SimClock::Manual(kStartMs), 7};
    CUart_CommApp link;
    QByteArray raw;
    std::vector<QByteArray> chunks;

    Bench()
    {
        link.SetReplyHandler(nullptr); // collect complete records, no transaction engine
        loaded = sim.LoadScenario(QJsonDocument::fromJson(kScenario).object(), &loadError);
        QObject::connect(&sim, &SimReceiver::Output, &sim, [this](const QByteArray &chunk) {
            raw += chunk;
            chunks.push_back(chunk);
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
    // The one answer of the command's own type among what arrived; an empty record otherwise.
    AffairReply One(Command command, const QByteArray &body)
    {
        std::vector<AffairReply> of;
        for (AffairReply &r : Ask(command, body)) {
            if (r.type == command)
                of.push_back(std::move(r));
        }
        return of.size() == 1 ? std::move(of.front()) : AffairReply{};
    }

    bool loaded = false;
    QString loadError;
};

// STN body: start now, every 60 s, alarm mode 4, zero limits.
QByteArray StnBody(const QByteArray &addr)
{
    return addr + Date7(kStartMs / 1000) + Date7(kStartMs / 1000) + Be24(60) + char(4) + QByteArray(8, '\0');
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
    QTest::newRow("GNI ext") << int(Command::GNI) << char(3) + QByteArray::fromHex("00000000000000c2") << 36;
    QTest::newRow("GMD long") << int(Command::GMD) << t1 << 34;
    QTest::newRow("GMD short form") << int(Command::GMD) << ByShort(12) << 32;
    QTest::newRow("STN") << int(Command::STN) << StnBody(t1) << 21;
    QTest::newRow("SPN") << int(Command::SPN) << t1 << 21;
    QTest::newRow("RTC") << int(Command::RTC) << t1 + Be24(30) << 23;
    QTest::newRow("GHI") << int(Command::GHI) << t1 << 71;
    QTest::newRow("DLD") << int(Command::DLD) << t1 + Be24(0) + Be24(10) << 34;
    QTest::newRow("WNN") << int(Command::WNN) << t1 + char(4) + QByteArray(8, '\0') << 21;
    QTest::newRow("MEQ") << int(Command::MEQ) << QByteArray() << 14;
    QTest::newRow("MEI") << int(Command::MEI) << Be16(0) << 22;
    QTest::newRow("MEN") << int(Command::MEN) << Be16(0) << 62;
    QTest::newRow("MGQ") << int(Command::MGQ) << QByteArray() << 14;
    QTest::newRow("MGN") << int(Command::MGN) << Be16(9) << 30;
    QTest::newRow("MBN") << int(Command::MBN) << Be16(0) << 16;
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
    const AffairReply info = bench.One(Command::GHI, t1);
    const QByteArray recorded = bench.sim.Network().Node(1).rec.data;
    QCOMPARE(int(info.dataLength), 64 * 2);
    QCOMPARE(recorded.right(2), QByteArray("\x2E\xFB", 2)); // the new value -12.34

    bench.Take();
    bench.Send(Command::DLD, t1 + Be24(0) + Be24(info.dataLength));
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
    auto part = bench.Ask(Command::DLD, t1 + Be24(100) + Be24(1000));
    QCOMPARE(part.size(), std::size_t(2));
    QCOMPARE(part[0].block->address, 100);
    QCOMPARE(part[1].block->data.left(part[1].block->received), recorded.mid(116));
    auto none = bench.Ask(Command::DLD, t1 + Be24(5000) + Be24(10));
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
    QVERIFY(bench.sim.SetLoss(0.0));

    // Corrupt frames reach the line and are dropped by the extraction.
    QVERIFY(bench.sim.SetCorrupt(1.0));
    bench.raw.clear();
    QVERIFY(bench.Ask(Command::GNI, th).empty());
    QCOMPARE(bench.raw.size(), 36);
    QVERIFY(bench.sim.SetCorrupt(0.0));

    // A router out of reach takes its loggers with it; the others still answer.
    QCOMPARE(bench.One(Command::RTC, t1 + Be24(10)).rtInterval, 10);
    QVERIFY(bench.sim.SetReachable(QStringLiteral("r1"), false));
    QVERIFY(bench.Ask(Command::GNI, t1).empty());
    QCOMPARE(bench.Ask(Command::GNI, th).size(), std::size_t(1));
    bench.sim.Advance(60000);
    QVERIFY(bench.Take().empty()); // no real-time reports from t1 either
    QVERIFY(bench.sim.SetReachable(QStringLiteral("00000000000000b1"), true)); // by address too

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
}

void TestSimReceiver::requestScannerResynchronises()
{
    RequestScanner scanner;
    const QByteArray gmd = Request(Command::GMD, ByShort(0x1234));
    // Garbage, a frame with a spoilt check byte, an unknown code, then good frames in pieces.
    QByteArray spoilt = gmd;
    spoilt[11] = static_cast<char>(0x9E);
    QByteArray unknown = Request(Command::GDI);
    unknown[4] = 'X';
    const QByteArray stream = QByteArray::fromHex("001122FF7F") + spoilt + unknown + gmd +
                              Request(Command::STN, StnBody(ByShort(3))) + Request(Command::GDI);
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
    QCOMPARE(strict.Feed(Request(Command::GNI, QByteArray(1, 0x0F))).size(), std::size_t(1));
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
    QTest::newRow("logger as parent") << R"({"receiver": {"address": "0000000000000001"},
              "nodes": [{"name": "a", "address": "0000000000000002", "type": 128,
                         "channels": [{"model": "constant", "value": 1}]},
                        {"address": "0000000000000003", "type": 4, "parent": "a"}]})"
                                      << "is not the receiver or a router";
    QTest::newRow("recording without interval") << R"({"receiver": {"address": "0000000000000001"},
              "nodes": [{"address": "0000000000000002", "type": 128,
                         "channels": [{"model": "constant", "value": 1}], "recording": {"startAgo": 10}}]})"
                                                << "\"interval\" is missing";
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
}

void TestSimReceiver::controlLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("quit");
    QTest::addColumn<QString>("reply");
    QTest::newRow("silence") << "silence 15" << true << false << "ok silence 15";
    QTest::newRow("unreach unknown") << "unreach ghost town" << false << false
                                     << "error unknown node ghost town";
    QTest::newRow("set") << "set th ch2 44.5" << true << false << "ok set th ch2 44.5";
    QTest::newRow("set bad channel") << "set th ch3 1" << false << false
                                     << "error usage: set NODE ch1|ch2 VALUE (within +-327.67)";
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
        QCOMPARE(bench.One(Command::GMD, ByShort(12)).value2, 44.5f);
}

QTEST_GUILESS_MAIN(TestSimReceiver)
#include "test_sim_receiver.moc"
