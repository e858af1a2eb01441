// Byte-level checks of the history table encodings: the chained byte scrambling, summary and
// data rows, segment headers, calendar bytes, limits and table codes.
#include "storage/HistoryCodec.h"

#include "base/CvTime.h"

#include <QTest>

using namespace HistoryCodec;

// Chains as maps from header id to previous header id (-1: the row is no header).
using Previous = QMap<int, int>;

class TestHistoryCodec : public QObject {
    Q_OBJECT
private slots:
    void scrambleKnownBytes()
    {
        // A = 0x01 exchanges bits 0 and 7; C = 0 leaves the rotations a full turn.
        ScrambleKey key{0x01, 0x0F, 0x00};
        QCOMPARE(EncodeByte(key, 0x01), quint8(0x8F));
        QCOMPARE(key.b, quint8(0x01));
        QCOMPARE(key.c, quint8(0x01));
        // C = 1 flips bit 0 before the last rotation: 0 -> 1 -> 2, XOR B (0x01) = 0x03.
        QCOMPARE(EncodeByte(key, 0x00), quint8(0x03));
        QCOMPARE(key.c, quint8(0x03));

        // C advances 2C + 1 below 128 and 2C + 2 from 128, modulo 256.
        ScrambleKey k{0, 0, 0x7F};
        (void)EncodeByte(k, 0);
        QCOMPARE(k.c, quint8(0xFF));
        (void)EncodeByte(k, 0);
        QCOMPARE(k.c, quint8(0x00)); // 2 * 255 + 2 = 512
    }

    void keysAndFallbacks()
    {
        // id 0x010203: 3 ^ 2 ^ 1 = 0.
        QCOMPARE(IdKeyByte(0x010203), quint8(0));
        QCOMPARE(XorOfText(QStringLiteral("AB")), quint8(0x41 ^ 0x42));

        const QString key = QStringLiteral("0a1b2c3d4e5f6071");
        const ScrambleKey s1 = SummaryKey(1, key);
        QCOMPARE(s1.a, quint8(1));
        QCOMPARE(s1.b, XorOfText(key));
        QCOMPARE(s1.c, quint8(s1.b ^ 1));
        const ScrambleKey s0 = SummaryKey(0x0101, key); // A would be 0
        QCOMPARE(s0.a, kFallback1);
        const ScrambleKey sEmpty = SummaryKey(5, QString());
        QCOMPARE(sEmpty.b, kFallback2);
        // B equal to A gives C = F3.
        const ScrambleKey same = SummaryKey(0x41, QStringLiteral("A"));
        QCOMPARE(same.c, kFallback3);

        const ScrambleKey d = DataRowKey(0x0101, QStringLiteral("AA"), 0);
        QCOMPARE(d.a, kFallback2);
        QCOMPARE(d.b, kFallback1);
        // s = 0x123: (0x23 ^ 0x01 ^ A) where A = 7.
        const ScrambleKey d2 = DataRowKey(7, QStringLiteral("x"), 0x123);
        QCOMPARE(d2.c, quint8(0x23 ^ 0x01 ^ 7));
        const ScrambleKey d3 = DataRowKey(0x22, QStringLiteral("x"), 0x122); // 0x22 ^ 1 ^ 0x22 = 1
        QCOMPARE(d3.c, quint8(1));
        const ScrambleKey d4 = DataRowKey(0x23, QStringLiteral("x"), 0x122); // 0x22 ^ 1 ^ 0x23 = 0
        QCOMPARE(d4.c, kFallback4);
    }

    void summaryRowRoundTrip()
    {
        const QString key = QStringLiteral("00124b0001a2b3c4");
        SummaryPlain p;
        p.startTime = *CvTime::FromLocal({2014, 3, 9, 8, 30, 0});
        p.endTime = *CvTime::FromLocal({2014, 3, 10, 8, 30, 15});
        p.dataLength = 0x01020304;
        p.interval = 0x0A0B0C;
        p.alarmFlag = 4;
        p.ch1Lower = -10.5f;
        p.ch1Upper = 30.25f;
        p.ch2Lower = 20.0f;
        p.ch2Upper = 80.0f;
        p.lastHeaderId = 123457;
        p.deviceType = 0x8C;

        const SummaryStored s = EncodeSummary(p, 3, key);
        // The stored bytes are the plain ones run through the chain in the documented order.
        ScrambleKey k = SummaryKey(3, key);
        const quint8 plainChain[31] = {20, 14, 3, 9, 8, 30, 0, 20, 14, 3, 10, 8, 30, 15, 1, 2, 3, 4, 0x0A,
                                       0x0B, 0x0C, 4,
                                       // ch1 lower -1050 = 0xFBE6, ch1 upper 3025 = 0x0BD1
                                       0xFB, 0xE6, 0x0B, 0xD1,
                                       // ch2 lower 2000 = 0x07D0, ch2 upper 8000 = 0x1F40
                                       0x07, 0xD0, 0x1F, 0x40, 0x8C};
        QByteArray chain;
        for (const quint8 b : plainChain)
            chain += char(EncodeByte(k, b));
        const auto bytes = [](const auto &a) {
            return QByteArray(reinterpret_cast<const char *>(a.data()), a.size());
        };
        QCOMPARE(bytes(s.startTime) + bytes(s.endTime) + bytes(s.lengthDatas) + bytes(s.sampleCap),
                 chain.left(21));
        // Columns stand upper before lower; the chain runs lower before upper.
        QCOMPARE(bytes(s.limits).left(4), chain.mid(24, 2) + chain.mid(22, 2));
        QCOMPARE(s.insType, quint8(chain[30]));
        const quint32 word = k.a ^ 123457u ^ (quint32(k.c) << 8) ^ (quint32(k.b) << 16);
        QCOMPARE(s.tablestartid, qint32(word));

        TimeBytes startBytes{};
        const SummaryPlain back = DecodeSummary(s, 3, key, &startBytes);
        QCOMPARE(startBytes, (TimeBytes{20, 14, 3, 9, 8, 30, 0}));
        const auto fields = [](const SummaryPlain &v) {
            return QList<qint64>{v.startTime, v.endTime,      v.dataLength, v.interval,
                                 v.alarmFlag, v.lastHeaderId, v.deviceType};
        };
        QCOMPARE(fields(back), fields(p));
        QCOMPARE((QList<float>{back.ch1Lower, back.ch1Upper, back.ch2Lower, back.ch2Upper}),
                 (QList<float>{-10.5f, 30.25f, 20.0f, 80.0f}));
    }

    void dataRowRoundTrip()
    {
        Row plain{};
        for (int i = 0; i < kRowBytes; ++i)
            plain[i] = static_cast<quint8>(i * 7 + 3);
        const QString table = QStringLiteral("00124b0001a2b3c4DataA01");
        for (const qint64 id : {qint64(1), qint64(256), qint64(0x010203), qint64(500001)}) {
            const Row stored = EncodeDataRow(plain, id, table, 57);
            // Byte by byte through the chain with the row's key.
            ScrambleKey k = DataRowKey(id, table, 57);
            for (int i = 0; i < kRowBytes; ++i)
                QCOMPARE(stored[i], EncodeByte(k, plain[i]));
            QCOMPARE(DecodeDataRow(stored, id, table, 57), plain);
            QVERIFY(DecodeDataRow(stored, id, table, 58) != plain);
        }
    }

    void calendarBytes()
    {
        const qint64 t = *CvTime::FromLocal({2014, 12, 31, 23, 59, 58});
        QCOMPARE(TimeToBytes(t), (TimeBytes{20, 14, 12, 31, 23, 59, 58}));
        QCOMPARE(TimeFromBytes({20, 14, 12, 31, 23, 59, 58}), t);
        // Month 13, February 30 and the unconvertible mark read as 0.
        QCOMPARE(TimeFromBytes({20, 14, 13, 1, 0, 0, 0}), qint64(0));
        QCOMPARE(TimeFromBytes({0, 0, 0, 0, 255, 255, 255}), qint64(0));
        QCOMPARE(TimeFromBytes({19, 12, 6, 1, 0, 0, 0}), qint64(0)); // before 1970: damaged
        QCOMPARE(TimeToBytes(-5), (TimeBytes{0, 0, 0, 0, 255, 255, 255}));
    }

    void limitWords_data()
    {
        QTest::addColumn<float>("limit");
        QTest::addColumn<int>("word");
        QTest::addColumn<float>("back");
        QTest::newRow("0.125 half away") << 0.125f << 13 << 0.13f;
        QTest::newRow("-0.125 half away") << -0.125f << 0xFFF3 << -0.13f; // -13
        QTest::newRow("327.67") << 327.67f << 0x7FFF << 327.67f;
        QTest::newRow("327.68 wraps") << 327.68f << 0x8000 << -327.68f;
        QTest::newRow("nan") << std::numeric_limits<float>::quiet_NaN() << 0 << 0.0f;
    }

    void limitWords()
    {
        QFETCH(float, limit);
        QTEST(int(LimitToWord(limit)), "word");
        QTEST(LimitFromWord(LimitToWord(limit)), "back");
    }

    void segmentHeader()
    {
        SegmentHeader h;
        h.firstId = 0x01020304;
        h.byteCount = 121;
        h.lastId = 0x01020305;
        h.previousHeaderId = 9;
        h.name = QByteArrayLiteral("Cold room");
        const Row row = EncodeSegmentHeader(h);
        QCOMPARE(row[0], quint8(0x7F));
        QCOMPARE(row[1], quint8(0x7F));
        QCOMPARE(row[9], quint8(121));
        QCOMPARE(row[19], quint8('C'));
        QCOMPARE(row[19 + 9], quint8(0)); // zero-padded name
        const auto back = DecodeSegmentHeader(row);
        QVERIFY(back.has_value());
        QCOMPARE(back->firstId, h.firstId);
        QCOMPARE(back->lastId, h.lastId);

        Row sample = row;
        sample[1] = 0x7E;
        QVERIFY(!DecodeSegmentHeader(sample).has_value());
    }

    void tableCodeAdvance_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QByteArray>("next");
        QTest::newRow("A01") << QByteArray("A01") << QByteArray("A02");
        QTest::newRow("A09") << QByteArray("A09") << QByteArray("A19");
        QTest::newRow("A99") << QByteArray("A99") << QByteArray("A:9");
        QTest::newRow("wrap to blank") << QByteArray("A\xff"
                                                     "9")
                                       << QByteArray("A 9");
    }

    void tableCodeAdvance()
    {
        QFETCH(QByteArray, code);
        QTEST(AdvanceTableCode(code), "next");
    }

    void chainWalk_data()
    {
        QTest::addColumn<Previous>("previous");
        QTest::addColumn<int>("last");
        QTest::addColumn<QList<int>>("expected");
        QTest::addColumn<bool>("damaged");
        QTest::newRow("three segments")
            << Previous{{3, 0}, {5, 3}, {9, 5}} << 9 << QList<int>{3, 5, 9} << false;
        QTest::newRow("own id ends") << Previous{{3, 3}, {5, 3}} << 5 << QList<int>{3, 5} << false;
        QTest::newRow("sample row ends") << Previous{{3, -1}, {5, 3}} << 5 << QList<int>{5} << false;
        QTest::newRow("no chain") << Previous{} << 0 << QList<int>{} << false;
        QTest::newRow("loop behind a sound part")
            << Previous{{3, 7}, {5, 3}, {7, 5}, {9, 7}} << 9 << QList<int>{} << true;
    }

    void chainWalk()
    {
        QFETCH(Previous, previous);
        QFETCH(int, last);
        QFETCH(bool, damaged);
        int reads = 0;
        const ChainWalk walk = WalkSegmentChain(last, [&](qint32 id) -> std::optional<SegmentHeader> {
            ++reads;
            if (!previous.contains(id) || previous[id] < 0)
                return std::nullopt;
            SegmentHeader h;
            h.previousHeaderId = previous[id];
            return h;
        });
        QList<int> ids;
        for (const auto &entry : walk.headers)
            ids << entry.first;
        QTEST(ids, "expected");
        QCOMPARE(walk.damaged, damaged);
        QVERIFY(reads <= previous.size() + 1);
    }
};

QTEST_GUILESS_MAIN(TestHistoryCodec)
#include "test_historycodec.moc"
