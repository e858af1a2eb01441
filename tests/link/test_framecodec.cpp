#include "link/FrameCodec.h"

#include <QtTest>

#include <cmath>

using namespace FrameCodec;

namespace {

QByteArray Bytes(const quint8 *p, int n)
{
    return QByteArray(reinterpret_cast<const char *>(p), n);
}

QByteArray Hex(const char *hex)
{
    return QByteArray::fromHex(hex);
}

const quint8 *U8(const QByteArray &bytes)
{
    return reinterpret_cast<const quint8 *>(bytes.constData());
}

} // namespace

// Runs with TZ=Asia/Shanghai (UTC+8, no daylight saving).
class TestFrameCodec : public QObject {
    Q_OBJECT
private slots:
    // The request check byte is pinned by the request-frame tests; this is the answer variant.
    void answerCheckByteAndTrailer()
    {
        // The register starts at C, then takes the bytes.
        const QByteArray spn = Hex("ff7f757b53504e"
                                   "0102030405060708"
                                   "02"
                                   "7f7e7dff");
        QCOMPARE(spn.size(), 20);
        QCOMPARE(int(AnswerCheckByte(U8(spn), 20)), 0x20);
        QByteArray whole = spn + char(0x20);
        QVERIFY(HasTrailer(U8(whole), 21));
        QVERIFY(HasAnswerCheckByte(U8(whole), 21));
        whole[15] = 3;
        QVERIFY(HasTrailer(U8(whole), 21));
        QVERIFY(!HasAnswerCheckByte(U8(whole), 21));
        whole[17] = 0;
        QVERIFY(!HasTrailer(U8(whole), 21));
        // Lengths below the shortest answer are never a frame.
        QVERIFY(!HasTrailer(U8(whole), 11));
    }

    void requestLengthLimit()
    {
        RequestBuffer out;
        // The longest request (MDN: index + 48 bytes) fits with L = 58.
        quint8 big[51] = {};
        QVERIFY(BuildRequest(Command::MDN, big, 50, out));
        QCOMPARE(RequestLength(out), 58);
        QCOMPARE(int(out[58]), int(RequestCheckByte(out.data(), 58)));
        // One byte more, or a transaction result that is no frame, is refused with zeros.
        QVERIFY(!BuildRequest(Command::MDN, big, 51, out));
        QCOMPARE(Bytes(out.data(), 64), QByteArray(64, '\0'));
        QVERIFY(!BuildRequest(Command::SelfCheckResult, nullptr, 0, out));
    }

    // Answer lengths are pinned by the extraction tests, whose frames are laid out byte by byte.
    void codesThatAreNoAnswer()
    {
        // Request-only codes are no answers; 12, 13 and 26 name no frame.
        for (const char *code : {"SNM", "MDN", "XYZ", "gdi"})
            QVERIFY(!AnswerCommand(reinterpret_cast<const quint8 *>(code)));
        QCOMPARE(RequestCommand(reinterpret_cast<const quint8 *>("MDN")), Command::MDN);
        for (int number : {0, 12, 13, 26})
            QVERIFY(!CommandOfNumber(number));

        // An answer built from a body has header, code, trailer and a good check byte.
        const QByteArray frame = BuildAnswer(Command::SPN, Hex("010203040506070802"));
        QCOMPARE(frame, Hex("ff7f757b53504e010203040506070802"
                            "7f7e7dff20"));
        QVERIFY(BuildAnswer(Command::MDQ, QByteArray(2, '\0')).isEmpty());
    }

    void measuredValues()
    {
        QCOMPARE(DecodeMeasured(U8(Hex("0080"))), -327.68f);
        QCOMPARE(DecodeMeasured(U8(Hex("ff7f"))), 327.67f);
        quint8 out[2];
        struct Row {
            float value;
            const char *bytes;
        };
        const Row rows[] = {{-0.1f, "f6ff"},   {100.0f, "1027"},  {-12.345f, "2dfb"}, {0.004f, "0000"},
                            {-0.125f, "f3ff"}, {1000.0f, "ff7f"}, {-1000.0f, "0080"}};
        for (const Row &row : rows) {
            EncodeMeasured(row.value, out);
            QCOMPARE(Bytes(out, 2), Hex(row.bytes));
        }
    }

    void alarmLimits()
    {
        struct Row {
            float limit;
            const char *bytes;
            float back;
        };
        const Row rows[] = {
            {-12.345f, "d384", -12.35f}, {0.004f, "0000", 0.0f},    {-0.004f, "0000", 0.0f},
            {0.125f, "0d00", 0.13f},     {-0.125f, "0d80", -0.13f}, {400.0f, "ff7f", 327.67f},
            {-400.0f, "ffff", -327.67f},
        };
        quint8 out[2];
        for (const Row &row : rows) {
            EncodeLimit(row.limit, out);
            QCOMPARE(Bytes(out, 2), Hex(row.bytes));
            QCOMPARE(DecodeLimit(out), row.back);
        }
        EncodeLimit(std::nanf(""), out);
        QCOMPARE(Bytes(out, 2), Hex("0000"));
    }

    void slotMasks()
    {
        quint8 out[2];
        EncodeMask10(0x3FF, out);
        QCOMPARE(Bytes(out, 2), Hex("93ff"));
        EncodeMask10(0x155, out);
        QCOMPARE(Bytes(out, 2), Hex("9155"));
        QCOMPARE(DecodeMask10(U8(Hex("93ff"))), 0x3FF);
        QCOMPARE(DecodeMask10(U8(Hex("80ff"))), 0);
        QCOMPARE(DecodeMask10(U8(Hex("94ff"))), 0);
        QCOMPARE(DecodeMask10(U8(Hex("13ff"))), 0);
    }

    void sevenByteDates()
    {
        // 2014-07-15 12:34:56 in Shanghai.
        const QByteArray bytes = Hex("38220c0f070e14");
        const auto decoded = DecodeDate(U8(bytes));
        QVERIFY(decoded.has_value());
        QCOMPARE(*decoded, qint64(1405398896));
        quint8 out[7];
        EncodeDate(1405398896, out);
        QCOMPARE(Bytes(out, 7), bytes);

        // Month 13, day 0, 30 February, hour 24, minute 60, year byte 100: no date.
        for (const char *bad : {"38220c0f0d0e14", "38220c00070e14", "38220c1e020e14", "3822180f070e14",
                                "383c0c0f070e14", "38220c0f076414"}) {
            QVERIFY2(!DecodeDate(U8(Hex(bad))).has_value(), bad);
        }
        // 29 February only in a leap year.
        QVERIFY(DecodeDate(U8(Hex("0000001d021014"))).has_value());
        QVERIFY(!DecodeDate(U8(Hex("0000001d021114"))).has_value());
    }

    void extendedAddressText()
    {
        const ExtAddress address = {0x00, 0x12, 0x4b, 0x00, 0x0a, 0xBC, 0xde, 0xff};
        QCOMPARE(AddressToText(address), QStringLiteral("00124b000abcdeff"));
        QCOMPARE(AddressFromText(QStringLiteral("00124B000ABCDEFF")), std::optional<ExtAddress>(address));
        for (const char *bad : {"00124b000abcdef", "00124b000abcdeff0", "00124b000abcdefg", "",
                                " 0124b000abcdeff", "0x124b000abcdeff"})
            QVERIFY2(!AddressFromText(QString::fromLatin1(bad)).has_value(), bad);
    }
};

QTEST_GUILESS_MAIN(TestFrameCodec)
#include "test_framecodec.moc"
