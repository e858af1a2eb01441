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

    void Send(int command, const QByteArray &body = {}) { sim.Feed(Request(command, body)); }
    std::vector<AffairReply> Take() { return link.DefaultHandler().TakeFinished(); }
    // Sends, lets time pass and returns the decoded answers.
    std::vector<AffairReply> Ask(int command, const QByteArray &body = {}, qint64 waitMs = 2000)
    {
        Take();
        Send(command, body);
        sim.Advance(waitMs);
        return Take();
    }
    // The one answer of the given type among what arrived; fails the test otherwise.
    AffairReply One(int command, const QByteArray &body, int type)
    {
        auto replies = Ask(command, body);
        std::vector<AffairReply> of;
        for (auto &r : replies) {
            if (r.type == type)
                of.push_back(std::move(r));
        }
        if (of.size() != 1) {
            qWarning() << "expected one answer of type" << type << "got" << of.size();
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
    void scanAnswersNodeAfterNodeWithParents();
    void startThenHistoryInfoReportsNewStartAndInterval();
    void stopEndsRecording();
    void alarmLimitsChangeAndRaiseEventFlags();
    void realtimeReportsFollowTheirInterval();
    void downloadReturnsExactlyTheRecordedSamples();
    void gprsWritesAreEchoedByReads();
    void faultsDoWhatTheySay();
    void setValueKeepsRecordedHistory();
    void nodeLeavesAndRejoins();
    void requestScannerResynchronises();
    void scenarioErrorsAreReported_data();
    void scenarioErrorsAreReported();
    void scenarioFileErrors();
    void valueModels();
    void controlLines_data();
    void controlLines();
};

void TestSimReceiver::everyAnswerDecodesComplete_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("length");
    const QByteArray t1 = ByShort(11);
    QTest::newRow("GDI") << int(GDI) << QByteArray() << int(GDI) << 36;
    QTest::newRow("GNI short") << int(GNI) << t1 << int(GNI) << 36;
    QTest::newRow("GNI ext") << int(GNI) << ByExt(QStringLiteral("00000000000000c2")) << int(GNI) << 36;
    QTest::newRow("GNI receiver") << int(GNI) << ByShort(0) << int(GNI) << 36;
    QTest::newRow("GMD long") << int(GMD) << t1 << int(GMD) << 34;
    QTest::newRow("GMD short form") << int(GMD) << ByShort(12) << int(GMD) << 32;
    QTest::newRow("STN") << int(STN) << StnBody(t1, 0, kStartMs / 1000, 60, 4, Limits(1, 9, 0, 0)) << int(STN)
                         << 21;
    QTest::newRow("SPN") << int(SPN) << t1 << int(SPN) << 21;
    QTest::newRow("RTC") << int(RTC) << t1 + U24(30) << int(RTC) << 23;
    QTest::newRow("GHI") << int(GHI) << t1 << int(GHI) << 71;
    QTest::newRow("DLD") << int(DLD) << t1 + U24(0) + U24(10) << int(DLD) << 34;
    QTest::newRow("WNN") << int(WNN) << t1 + QByteArray(1, 4) + Limits(0, 1, 2, 3) << int(WNN) << 21;
    QTest::newRow("MEQ") << int(MEQ) << QByteArray() << int(MEQ) << 14;
    QTest::newRow("MEI") << int(MEI) << U16(0) << int(MEI) << 22;
    QTest::newRow("MEN") << int(MEN) << U16(0) << int(MEN) << 62;
    QTest::newRow("MGQ") << int(MGQ) << QByteArray() << int(MGQ) << 14;
    QTest::newRow("MGN") << int(MGN) << U16(9) << int(MGN) << 30;
    QTest::newRow("MBN") << int(MBN) << U16(0) << int(MBN) << 16;
}

void TestSimReceiver::everyAnswerDecodesComplete()
{
    QFETCH(int, command);
    QFETCH(QByteArray, body);
    QFETCH(int, type);
    QFETCH(int, length);
    Bench bench;
    QVERIFY2(bench.loaded, qPrintable(bench.loadError));
    bench.Take();
    bench.raw.clear();
    bench.chunks.clear();
    bench.Send(command, body);
    bench.sim.Advance(300);
    const auto replies = bench.Take();
    // Exactly one frame on the line, of the layout's length, decoded complete by the link.
    QCOMPARE(bench.chunks.size(), std::size_t(1));
    QCOMPARE(int(bench.raw.size()), length);
    QCOMPARE(replies.size(), std::size_t(1));
    QCOMPARE(int(replies[0].type), type);
    QVERIFY(replies[0].IsComplete());
    QCOMPARE(bench.link.ByteCount(), 0);
}

void TestSimReceiver::scanAnswersNodeAfterNodeWithParents()
{
    Bench bench;
    QVERIFY(bench.loaded);
    bench.chunkTimes.clear();
    const qint64 sent = bench.sim.NowMs();
    const auto replies = bench.Ask(GNI, Broadcast(), 1000);
    // "late" has not joined yet; the receiver does not answer a scan.
    QCOMPARE(replies.size(), std::size_t(3));
    QCOMPARE(Text(replies[0].extAddress), QStringLiteral("00000000000000b1"));
    QCOMPARE(Text(replies[0].parentAddress), QStringLiteral("00000000000000a0"));
    QCOMPARE(Text(replies[1].extAddress), QStringLiteral("00000000000000c1"));
    QCOMPARE(Text(replies[1].parentAddress), QStringLiteral("00000000000000b1"));
    QCOMPARE(replies[1].shortAddress, 11);
    QCOMPARE(int(replies[1].deviceType), 0x80);
    QCOMPARE(int(replies[1].status), 2 | 4); // recording, alarm set
    QCOMPARE(int(replies[1].eventFlags), 4);
    QCOMPARE(int(replies[1].powerLevel), 3);
    QCOMPARE(qint8(replies[1].rfLevel), qint8(-70));
    QCOMPARE(Text(replies[2].extAddress), QStringLiteral("00000000000000c2"));
    // One after the other: scan step 100 ms plus 10 ms per hop.
    QCOMPARE(bench.chunkTimes.size(), std::size_t(3));
    QCOMPARE(bench.chunkTimes[0] - sent, 110);
    QCOMPARE(bench.chunkTimes[1] - sent, 220);
    QCOMPARE(bench.chunkTimes[2] - sent, 310);

    bench.sim.Advance(100000); // "late" joins with a short address of its own
    const auto after = bench.Ask(GNI, Broadcast(), 1000);
    QCOMPARE(after.size(), std::size_t(4));
    QCOMPARE(Text(after[3].extAddress), QStringLiteral("00000000000000c3"));
    QVERIFY(after[3].shortAddress >= 1);
    QVERIFY(after[3].shortAddress != 10 && after[3].shortAddress != 11 && after[3].shortAddress != 12);
}

void TestSimReceiver::startThenHistoryInfoReportsNewStartAndInterval()
{
    Bench bench;
    QVERIFY(bench.loaded);
    const QByteArray th = ByShort(12);
    const qint64 now = kStartMs / 1000;
    const AffairReply before = bench.One(GHI, th, GHI);
    QCOMPARE(before.dataLength, 0u); // never recorded

    // Start two minutes from now: armed, nothing recorded yet.
    const AffairReply started =
        bench.One(STN, StnBody(th, now + 120, now, 30, 4, Limits(-5, 35.5f, 10, 90)), STN);
    QCOMPARE(int(started.status), 1 | 4);
    AffairReply info = bench.One(GHI, th, GHI);
    QCOMPARE(info.startTime, now + 120);
    QCOMPARE(info.logInterval, 30);
    QCOMPARE(info.dataLength, 0u);
    QCOMPARE(int(info.alarmMode), 4);
    QCOMPARE(info.limit2, 35.5f);
    QCOMPARE(info.limit4, 90.0f);
    QCOMPARE(int(info.deviceType), 0x8C);

    // 3 min later (clock now + ~185 s): samples at +120, +150, +180 s, two channels each.
    bench.sim.Advance(180000);
    info = bench.One(GHI, th, GHI);
    QCOMPARE(info.dataLength, 3u * 4u);
    QCOMPARE(info.endTime, now + 180);
    QCOMPARE(int(bench.One(GNI, th, GNI).status), 2 | 4);
    // The humidity channel is held within 0..100 in the history as well.
    const QByteArray &data = bench.sim.Network().Node(2).rec.data;
    QCOMPARE(DecodeMeasured(reinterpret_cast<const quint8 *>(data.constData())), 21.5f);
    QCOMPARE(DecodeMeasured(reinterpret_cast<const quint8 *>(data.constData()) + 2), 100.0f);

    // A start time in the past starts now; a new start discards the old samples.
    const qint64 later = bench.sim.NowMs() / 1000;
    QCOMPARE(int(bench.One(STN, StnBody(th, later - 3600, later, 60, 0, Limits(0, 0, 0, 0)), STN).status), 2);
    info = bench.One(GHI, th, GHI);
    QCOMPARE(info.startTime, later);
    QCOMPARE(info.logInterval, 60);
    QCOMPARE(info.dataLength, 4u);

    // Refused starts change nothing and get no answer: interval 0, bad date, short body.
    QVERIFY(bench.Ask(STN, StnBody(th, later, later, 0, 0, Limits(0, 0, 0, 0))).empty());
    QByteArray badDate = StnBody(th, later, later, 60, 0, Limits(0, 0, 0, 0));
    badDate[3 + 4] = 13; // month 13
    QVERIFY(bench.Ask(STN, badDate).empty());
    QVERIFY(bench.Ask(STN, th + Date(later)).empty());
    QCOMPARE(bench.One(GHI, th, GHI).logInterval, 60);
}

void TestSimReceiver::stopEndsRecording()
{
    Bench bench;
    QVERIFY(bench.loaded);
    const QByteArray t1 = ByExt(QStringLiteral("00000000000000c1"));
    const AffairReply first = bench.One(GHI, t1, GHI);
    QCOMPARE(first.dataLength, 61u * 2u); // one hour at one minute, both ends included
    QCOMPARE(int(bench.One(SPN, t1, SPN).status), 0 | 4);
    bench.sim.Advance(600000);
    const AffairReply stopped = bench.One(GHI, t1, GHI);
    QCOMPARE(stopped.dataLength, first.dataLength);
    QCOMPARE(stopped.startTime, first.startTime);
    QCOMPARE(int(bench.One(GNI, t1, GNI).status) & 3, 0);
}

void TestSimReceiver::alarmLimitsChangeAndRaiseEventFlags()
{
    Bench bench;
    QVERIFY(bench.loaded);
    const QByteArray t1 = ByShort(11);
    // 5.0 lies within 2..8: only the sensor fault flag of the scenario.
    QCOMPARE(int(bench.One(GMD, t1, GMD).eventFlags), 4);
    QCOMPARE(int(bench.One(WNN, t1 + QByteArray(1, 4) + Limits(-1.5f, 3.0f, 0, 0), WNN).status), 2 | 4);
    const AffairReply info = bench.One(GHI, t1, GHI);
    QCOMPARE(int(info.alarmMode), 4);
    QCOMPARE(info.limit1, -1.5f);
    QCOMPARE(info.limit2, 3.0f);
    const AffairReply over = bench.One(GMD, t1, GMD);
    QCOMPARE(int(over.eventFlags), 4 | 1);
    QCOMPARE(over.value1, 5.0f);
    // Alarms switched off: no alarm flag although the value is still outside.
    QCOMPARE(int(bench.One(WNN, t1 + QByteArray(1, 0) + Limits(-1.5f, 3.0f, 0, 0), WNN).status), 2);
    QCOMPARE(int(bench.One(GMD, t1, GMD).eventFlags), 4);
}

void TestSimReceiver::realtimeReportsFollowTheirInterval()
{
    QJsonObject scenario = Scenario();
    QJsonArray nodes = scenario.value(QStringLiteral("nodes")).toArray();
    QJsonObject t1 = nodes[1].toObject();
    t1[QStringLiteral("realtimeInterval")] = 10;
    nodes[1] = t1;
    scenario[QStringLiteral("nodes")] = nodes;
    Bench bench(scenario);
    QVERIFY(bench.loaded);
    const auto reportTimes = [&](qint64 spanMs) {
        bench.Take();
        bench.chunkTimes.clear();
        bench.sim.Advance(spanMs);
        std::vector<qint64> times = bench.chunkTimes;
        for (const AffairReply &r : bench.Take()) {
            if (r.type != GMD || Text(r.extAddress) != QStringLiteral("00000000000000c1"))
                return std::vector<qint64>{-1};
        }
        return times;
    };
    std::vector<qint64> times = reportTimes(60000);
    QCOMPARE(times.size(), std::size_t(6));
    for (std::size_t i = 1; i < times.size(); ++i)
        QCOMPARE(times[i] - times[i - 1], 10000);

    // RTC 5: the next report 5 s after the answer, then every 5 s.
    const auto set = bench.One(RTC, ByShort(11) + U24(5), RTC);
    QCOMPARE(set.rtInterval, 5);
    times = reportTimes(30000);
    QVERIFY(times.size() >= 5);
    for (std::size_t i = 1; i < times.size(); ++i)
        QCOMPARE(times[i] - times[i - 1], 5000);
    // The reports carry the interval.
    bench.sim.Advance(5000);
    const auto reports = bench.Take();
    QVERIFY(!reports.empty());
    QCOMPARE(reports.back().rtInterval, 5);

    // RTC 0 stops them.
    QCOMPARE(bench.One(RTC, ByShort(11) + U24(0), RTC).rtInterval, 0);
    QVERIFY(reportTimes(120000).empty());
}

void TestSimReceiver::downloadReturnsExactlyTheRecordedSamples()
{
    Bench bench;
    QVERIFY(bench.loaded);
    const QByteArray t1 = ByShort(11);
    QVERIFY(bench.sim.Network().SetChannelValue(1, 0, -12.34, kStartMs / 1000 + 1)); // from now on
    bench.sim.Advance(180500);                                                       // three more samples
    const AffairReply info = bench.One(GHI, t1, GHI);
    const QByteArray recorded = bench.sim.Network().Node(1).rec.data;
    QCOMPARE(int(info.dataLength), int(recorded.size()));
    QCOMPARE(recorded.size(), 64 * 2);
    // The scenario's constant 5.00 (F4 01), then the new value -12.34 (2E FB).
    QCOMPARE(recorded.left(2), QByteArray("\xF4\x01", 2));
    QCOMPARE(recorded.right(2), QByteArray("\x2E\xFB", 2));

    bench.Take();
    bench.Send(DLD, t1 + U24(0) + U24(info.dataLength));
    bench.sim.Advance(5000);
    QByteArray downloaded;
    int blocks = 0;
    for (const AffairReply &r : bench.Take()) {
        if (r.type != DLD)
            continue;
        QVERIFY(r.block.has_value());
        QCOMPARE(r.block->address, downloaded.size());
        QVERIFY(r.block->received <= 16);
        downloaded += r.block->data.left(r.block->received);
        ++blocks;
    }
    QCOMPARE(blocks, 8);
    QCOMPARE(downloaded, recorded);

    // From the middle, a count beyond the end, past the end.
    auto part = bench.Ask(DLD, t1 + U24(100) + U24(1000));
    QCOMPARE(part.size(), std::size_t(2));
    QCOMPARE(part[0].block->address, 100);
    QCOMPARE(part[1].block->data.left(part[1].block->received), recorded.mid(116));
    auto none = bench.Ask(DLD, t1 + U24(5000) + U24(10));
    QCOMPARE(none.size(), std::size_t(1));
    QCOMPARE(none[0].block->received, 0);

    // A new request replaces the blocks still to come of the one before.
    bench.Take();
    bench.Send(DLD, t1 + U24(0) + U24(128));
    bench.sim.Advance(50); // first two blocks out (10 + 20 ms), six still to come
    bench.Send(DLD, t1 + U24(120) + U24(8));
    bench.sim.Advance(2000);
    const auto mixed = bench.Take();
    QCOMPARE(mixed.size(), std::size_t(3));
    QCOMPARE(mixed[2].block->address, 120);
}

void TestSimReceiver::gprsWritesAreEchoedByReads()
{
    Bench bench;
    QVERIFY(bench.loaded);
    // Scenario content first.
    QCOMPARE(bench.One(MGQ, {}, MGQ).phoneSlotMask, 1);
    QCOMPARE(bench.One(MEQ, {}, MEQ).gprsLoggerCount, 1);
    QCOMPARE(bench.One(MBN, U16(0), MBN).gprsBindMask, 1);

    QCOMPARE(bench.One(MSQ, Mask10(0x205), MGQ).phoneSlotMask, 0x205);
    QCOMPARE(bench.One(MGQ, {}, MGQ).phoneSlotMask, 0x205);
    const QByteArray phone = QByteArray("13912345678").leftJustified(16, '\0');
    AffairReply slot = bench.One(MSN, U16(9) + phone, MGN);
    QCOMPARE(slot.phoneSlotIndex, 9);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(slot.phoneNumber.data()), 16), phone);
    slot = bench.One(MGN, U16(9), MGN);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(slot.phoneNumber.data()), 16), phone);

    QCOMPARE(bench.One(MDQ, U16(3), MEQ).gprsLoggerCount, 3);
    QCOMPARE(bench.One(MDQ, U16(99), MEQ).gprsLoggerCount, 4); // what fits is what is echoed
    const QByteArray address = QByteArray::fromHex("0102030405060708");
    AffairReply entry = bench.One(MDI, U16(3) + address, MEI);
    QCOMPARE(entry.gprsIndex, 3);
    QCOMPARE(Text(entry.gprsLoggerAddress), QStringLiteral("0102030405060708"));
    QCOMPARE(Text(bench.One(MEI, U16(3), MEI).gprsLoggerAddress), QStringLiteral("0102030405060708"));
    QByteArray info(48, '\0');
    for (int i = 0; i < 48; ++i)
        info[i] = static_cast<char>(i * 5 + 1);
    entry = bench.One(MDN, U16(3) + info, MEN);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(entry.gprsInfo.data()), 48), info);
    entry = bench.One(MEN, U16(3), MEN);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(entry.gprsInfo.data()), 48), info);
    QCOMPARE(bench.One(MAN, U16(3) + Mask10(0x3FF), MBN).gprsBindMask, 0x3FF);
    QCOMPARE(bench.One(MBN, U16(3), MBN).gprsBindMask, 0x3FF);

    // Indices the receiver cannot hold get no answer.
    QVERIFY(bench.Ask(MDI, U16(4) + address).empty());
    QVERIFY(bench.Ask(MGN, U16(10)).empty());
    QVERIFY(bench.Ask(MBN, U16(0xFFFF)).empty());

    // Without a GPRS module nothing is answered.
    QJsonObject scenario = Scenario();
    scenario[QStringLiteral("gprs")] = QJsonObject{{QStringLiteral("module"), QStringLiteral("none")}};
    Bench bare(scenario);
    QVERIFY(bare.loaded);
    QVERIFY(bare.Ask(MGQ).empty());
    QVERIFY(bare.Ask(MSQ, Mask10(1)).empty());
    QCOMPARE(bare.One(GDI, {}, GDI).eventFlags, quint8(0));
    scenario[QStringLiteral("gprs")] = QJsonObject{{QStringLiteral("module"), QStringLiteral("fault")}};
    Bench faulty(scenario);
    QCOMPARE(int(faulty.One(GDI, {}, GDI).eventFlags), 0x10);
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
    QVERIFY(bench.Ask(GDI).empty());
    QVERIFY(bench.raw.isEmpty());
    QVERIFY(bench.sim.LostFrames() >= 1);
    QVERIFY(bench.sim.SetLoss(0.0));
    QVERIFY(!bench.sim.SetLoss(1.5));

    // Corrupt frames reach the line and are dropped by the extraction.
    QVERIFY(bench.sim.SetCorrupt(1.0));
    bench.raw.clear();
    for (int i = 0; i < 20; ++i)
        QVERIFY(bench.Ask(GNI, th).empty());
    QCOMPARE(bench.raw.size(), 20 * 36);
    QVERIFY(bench.sim.SetCorrupt(0.0));
    QCOMPARE(bench.Ask(GNI, th).size(), std::size_t(1));

    // Noise between frames and answers in small pieces still decode.
    QVERIFY(bench.sim.SetNoise(1.0));
    QVERIFY(bench.sim.SetSplit(5));
    bench.raw.clear();
    bench.chunks.clear();
    QCOMPARE(bench.Ask(GHI, t1).size(), std::size_t(1));
    QVERIFY(bench.raw.size() > 71);
    QVERIFY(bench.chunks.size() >= 15);
    for (const QByteArray &chunk : bench.chunks)
        QVERIFY(chunk.size() <= 5);
    QVERIFY(bench.sim.SetNoise(0.0));
    QVERIFY(bench.sim.SetSplit(0));

    // A router out of reach takes its loggers with it; the others still answer.
    QCOMPARE(bench.One(RTC, t1 + U24(10), RTC).rtInterval, 10);
    QVERIFY(bench.sim.SetReachable(QStringLiteral("r1"), false));
    QVERIFY(bench.Ask(GNI, t1).empty());
    QCOMPARE(bench.Ask(GNI, th).size(), std::size_t(1));
    bench.sim.Advance(60000);
    QVERIFY(bench.Take().empty()); // no real-time reports from t1 either
    QVERIFY(bench.sim.SetReachable(QStringLiteral("00000000000000b1"), true));
    bench.sim.Advance(10000);
    QCOMPARE(bench.Take().size(), std::size_t(1)); // reporting again
    QCOMPARE(bench.One(RTC, t1 + U24(0), RTC).rtInterval, 0);
    QCOMPARE(bench.Ask(GNI, t1).size(), std::size_t(1));
    QVERIFY(!bench.sim.SetReachable(QStringLiteral("nobody"), false));

    // Silence is silence: requests unheard, reports not sent, until the time is over.
    bench.sim.Silence(15000);
    bench.raw.clear();
    QVERIFY(bench.Ask(GDI, {}, 14000).empty());
    QVERIFY(bench.raw.isEmpty());
    bench.sim.Advance(1000);
    QCOMPARE(bench.Ask(GDI, {}, 100).size(), std::size_t(1));

    // Delay: the answer of a node two hops away takes both hops.
    QVERIFY(bench.sim.SetDelay(400, 400));
    QVERIFY(!bench.sim.SetDelay(5, 1));
    bench.Take();
    bench.Send(GNI, t1);
    bench.sim.Advance(799);
    QVERIFY(bench.Take().empty());
    bench.sim.Advance(1);
    QCOMPARE(bench.Take().size(), std::size_t(1));
}

void TestSimReceiver::setValueKeepsRecordedHistory()
{
    Bench bench;
    QVERIFY(bench.loaded);
    const QByteArray before = bench.sim.Network().Node(1).rec.data;
    QVERIFY(bench.sim.SetValue(QStringLiteral("t1"), 0, 31.5));
    QVERIFY(bench.sim.SetValue(QStringLiteral("th"), 1, 55.25));
    QVERIFY(!bench.sim.SetValue(QStringLiteral("t1"), 1, 1.0)); // one channel only
    QVERIFY(!bench.sim.SetValue(QStringLiteral("r1"), 0, 1.0)); // a router measures nothing
    QCOMPARE(bench.One(GMD, ByShort(11), GMD).value1, 31.5f);
    const AffairReply th = bench.One(GMD, ByShort(12), GMD);
    QCOMPARE(th.value1, 21.5f);
    QCOMPARE(th.value2, 55.25f);
    QCOMPARE(th.shortAddress, -1);
    QCOMPARE(bench.sim.Network().Node(1).rec.data, before);
}

void TestSimReceiver::nodeLeavesAndRejoins()
{
    Bench bench;
    QVERIFY(bench.loaded);
    const QByteArray th = ByExt(QStringLiteral("00000000000000c2"));
    QVERIFY(bench.Ask(SNM, th).empty());
    QVERIFY(bench.Ask(GNI, th).empty());
    QVERIFY(bench.Ask(GNI, ByShort(12)).empty());
    bench.sim.Advance(30000);
    const AffairReply back = bench.One(GNI, th, GNI);
    QVERIFY(back.shortAddress >= 1);
    // Commands to the wrong kind of node, or to nobody, go unanswered.
    QVERIFY(bench.Ask(GHI, ByShort(10)).empty());
    QVERIFY(bench.Ask(GMD, ByShort(0x7777)).empty());
    QVERIFY(bench.Ask(GMD, Broadcast()).empty());
    QVERIFY(bench.Ask(NWS, ByShort(11)).empty());
}

void TestSimReceiver::requestScannerResynchronises()
{
    RequestScanner scanner;
    const QByteArray gmd = Request(GMD, ByShort(0x1234));
    QCOMPARE(gmd.left(12), QByteArray::fromHex("FF7F757B474D440B0212349F"));
    // Garbage, a frame with a spoilt check byte, an unknown code, then good frames in pieces.
    QByteArray spoilt = gmd;
    spoilt[11] = static_cast<char>(0x9E);
    QByteArray unknown = Request(GDI);
    unknown[4] = 'X';
    const QByteArray stream = QByteArray::fromHex("001122FF7F") + spoilt + unknown + gmd +
                              Request(STN, StnBody(ByShort(3), 0, 1, 1, 0, Limits(1, 2, 3, 4))) +
                              Request(GDI);
    std::vector<SimRequest> found;
    for (int at = 0; at < stream.size(); at += 7) {
        for (SimRequest &r : scanner.Feed(stream.mid(at, 7)))
            found.push_back(std::move(r));
    }
    QCOMPARE(found.size(), std::size_t(3));
    QCOMPARE(found[0].command, int(GMD));
    QCOMPARE(found[0].addrMode, 2);
    QCOMPARE(int(found[0].shortAddress), 0x1234);
    QVERIFY(found[0].body.isEmpty());
    QCOMPARE(found[1].command, int(STN));
    QCOMPARE(int(found[1].body.size()), 26);
    QCOMPARE(found[2].command, int(GDI));
    QCOMPARE(scanner.RejectedFrames(), 2);
    QVERIFY(scanner.Buffered() < 4);

    // Malformed addressing blocks are refused.
    RequestScanner strict;
    QVERIFY(strict.Feed(Request(GNI, QByteArray(1, 7))).empty());
    QVERIFY(strict.Feed(Request(GNI, QByteArray(1, 3) + QByteArray(4, 1))).empty());
    QCOMPARE(strict.Feed(Request(GNI, Broadcast())).size(), std::size_t(1));
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
    QTest::newRow("unknown type") << R"({"receiver": {"address": "0000000000000001"},
              "nodes": [{"address": "0000000000000002", "type": 66}]})"
                                  << "must be 0x04";
    QTest::newRow("channel count") << R"({"receiver": {"address": "0000000000000001"},
              "nodes": [{"name": "x", "address": "0000000000000002", "type": "0x88",
                         "channels": [{"model": "constant", "value": 1}]}]})"
                                   << "x: this logger type needs 2";
    QTest::newRow("unknown model") << R"({"receiver": {"address": "0000000000000001"},
              "nodes": [{"address": "0000000000000002", "type": 128, "channels": [{"model": "square"}]}]})"
                                   << "unknown value model";
    QTest::newRow("duplicate address") << R"({"receiver": {"address": "0000000000000001"},
              "nodes": [{"address": "0000000000000001", "type": 4}]})"
                                       << "used twice";
    QTest::newRow("duplicate short") << R"({"receiver": {"address": "0000000000000001"},
              "nodes": [{"address": "0000000000000002", "type": 4, "short": 5},
                        {"address": "0000000000000003", "type": 4, "short": 5}]})"
                                     << "short address 5 is used twice";
    QTest::newRow("logger as parent") << R"({"receiver": {"address": "0000000000000001"},
              "nodes": [{"name": "a", "address": "0000000000000002", "type": 128,
                         "channels": [{"model": "constant", "value": 1}]},
                        {"address": "0000000000000003", "type": 4, "parent": "a"}]})"
                                      << "is not the receiver or a router";
    QTest::newRow("router loop") << R"({"receiver": {"address": "0000000000000001"},
              "nodes": [{"name": "a", "address": "0000000000000002", "type": 4, "parent": "b"},
                        {"name": "b", "address": "0000000000000003", "type": 4, "parent": "a"}]})"
                                 << "loop";
    QTest::newRow("battery range") << R"({"receiver": {"address": "0000000000000001", "battery": 9}})"
                                   << "battery";
    QTest::newRow("recording without interval") << R"({"receiver": {"address": "0000000000000001"},
              "nodes": [{"address": "0000000000000002", "type": 128,
                         "channels": [{"model": "constant", "value": 1}], "recording": {"startAgo": 10}}]})"
                                                << "\"interval\" is missing";
    QTest::newRow("alarm without limits") << R"({"receiver": {"address": "0000000000000001"},
              "nodes": [{"address": "0000000000000002", "type": 128,
                         "channels": [{"model": "constant", "value": 1}],
                         "recording": {"startAgo": 10, "interval": 5, "alarm": true}}]})"
                                          << "needs \"limits\"";
    QTest::newRow("eleven phones") << R"({"receiver": {"address": "0000000000000001"},
              "gprs": {"phones": ["1","2","3","4","5","6","7","8","9","10","11"]}})"
                                   << "at most 10";
    QTest::newRow("unknown unreachable")
        << R"({"receiver": {"address": "0000000000000001"}, "radio": {"unreachable": ["ghost"]}})"
        << "ghost";
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

void TestSimReceiver::valueModels()
{
    const auto parse = [](const char *json) {
        QString error;
        auto m = ValueModel::FromJson(QJsonDocument::fromJson(json).object(), &error);
        return m;
    };
    auto sine = parse(R"({"model": "sine", "mean": 10, "amplitude": 2, "period": 400})");
    QVERIFY(sine);
    QCOMPARE(sine->ValueAt(100), 12.0);
    QCOMPARE(sine->ValueAt(300), 8.0);
    QCOMPARE(sine->ValueAt(-100), 8.0);
    auto ramp = parse(R"({"model": "ramp", "from": 0, "to": 10, "period": 100, "phase": 50})");
    QVERIFY(ramp);
    QCOMPARE(ramp->ValueAt(50), 0.0);
    QCOMPARE(ramp->ValueAt(75), 2.5);
    QCOMPARE(ramp->ValueAt(149), 9.9);
    QVERIFY(!parse(R"({"model": "sine", "mean": 1, "amplitude": 1, "period": 0})"));
    QVERIFY(!parse(R"({"model": "walk", "start": 1, "step": -1})"));
    QVERIFY(!parse(R"({"model": "constant"})"));

    // A seeded walk repeats itself, stays within its bounds and moves.
    const char *walkJson =
        R"({"model": "walk", "start": 50, "step": 5, "stepSeconds": 10, "min": 40, "max": 60})";
    auto a = parse(walkJson);
    auto b = parse(walkJson);
    auto c = parse(walkJson);
    a->Seed(42);
    b->Seed(42);
    c->Seed(43);
    bool moved = false;
    bool differs = false;
    for (qint64 t = 1000; t < 100000; t += 10) {
        const double va = a->ValueAt(t);
        QCOMPARE(va, b->ValueAt(t));
        QVERIFY(va >= 40.0 && va <= 60.0);
        moved = moved || va != 50.0;
        differs = differs || va != c->ValueAt(t);
    }
    QVERIFY(moved);
    QVERIFY(differs);
    QCOMPARE(a->ValueAt(5000), a->ValueAt(99990)); // never backwards
}

void TestSimReceiver::controlLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("quit");
    QTest::addColumn<QString>("reply");
    QTest::newRow("blank") << "   " << true << false << "";
    QTest::newRow("comment") << "# hello" << true << false << "";
    QTest::newRow("silence") << "silence 15" << true << false << "ok silence 15";
    QTest::newRow("silence bad") << "silence -1" << false << false
                                 << "error usage: silence SECONDS (0 to 86400)";
    QTest::newRow("unreach name") << "unreach  t1" << true << false << "ok unreach t1";
    QTest::newRow("reach address") << "reach 00000000000000b1" << true << false
                                   << "ok reach 00000000000000b1";
    QTest::newRow("unreach unknown") << "unreach ghost town" << false << false
                                     << "error unknown node ghost town";
    QTest::newRow("set") << "set th ch2 44.5" << true << false << "ok set th ch2 44.5";
    QTest::newRow("set bad channel") << "set th ch3 1" << false << false
                                     << "error usage: set NODE ch1|ch2 VALUE (within +-327.67)";
    QTest::newRow("set too large") << "set th ch1 400" << false << false
                                   << "error usage: set NODE ch1|ch2 VALUE (within +-327.67)";
    QTest::newRow("loss") << "loss 0.2" << true << false << "ok loss 0.2";
    QTest::newRow("loss bad") << "loss 2" << false << false << "error usage: loss|corrupt|noise P (0 to 1)";
    QTest::newRow("corrupt") << "corrupt 0.5" << true << false << "ok corrupt 0.5";
    QTest::newRow("noise") << "noise 1" << true << false << "ok noise 1";
    QTest::newRow("split") << "split 3" << true << false << "ok split 3";
    QTest::newRow("split bad") << "split x" << false << false
                               << "error usage: split BYTES (0 for whole frames)";
    QTest::newRow("delay") << "delay 5 50" << true << false << "ok delay 5 50";
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
        QCOMPARE(bench.One(GMD, ByShort(12), GMD).value2, 44.5f);
    if (line == QLatin1String("split 3")) {
        bench.chunks.clear();
        QCOMPARE(bench.Ask(GDI).size(), std::size_t(1));
        QCOMPARE(bench.chunks.size(), std::size_t(12));
    }
}

QTEST_GUILESS_MAIN(TestSimReceiver)
#include "test_sim_receiver.moc"
