#include "link/AffairReply.h"
#include "link/AffairRequest.h"
#include "link/RequestFrames.h"

#include <QtTest>

// Request frames byte by byte. Runs in Asia/Shanghai (UTC+8, no daylight saving).
namespace {

using Buffer = FrameCodec::RequestBuffer;

// 2014-03-05 08:07:09 local; its seven date bytes are 09 07 08 05 03 0E 14.
constexpr qint64 kNow = 1393978029;
const QByteArray kNowDate = QByteArray::fromHex("0907080503"
                                                "0e14");

// Bitwise CRC-8 (x^8+x^5+x^4+1), independent of the table the codec uses.
quint8 ReferenceCheck(const QByteArray &frame)
{
    quint8 crc = quint8(frame.size());
    for (char c : frame) {
        crc ^= quint8(c);
        for (int b = 0; b < 8; ++b)
            crc = (crc & 0x80) ? quint8((crc << 1) ^ 0x31) : quint8(crc << 1);
    }
    return crc;
}

// header, code, L, body, check byte, zeros to 64.
QByteArray Expected(const char *code, const QByteArray &body)
{
    QByteArray f = QByteArray::fromHex("ff7f757b") + QByteArray(code) + char(8 + body.size()) + body;
    f += char(ReferenceCheck(f));
    return f + QByteArray(64 - f.size(), '\0');
}

QByteArray Bytes(const Buffer &b)
{
    return QByteArray(reinterpret_cast<const char *>(b.data()), int(b.size()));
}

QByteArray Build(const AffairRequest &r, qint64 now = kNow)
{
    Buffer out;
    out.fill(0xAA);
    if (!RequestFrames::Build(r, now, out))
        return QByteArray();
    return Bytes(out);
}

const FrameCodec::ExtAddress kExt = {0x00, 0x12, 0x4b, 0x00, 0x01, 0x02, 0x03, 0x04};
const QByteArray kExtBytes = QByteArray::fromHex("00124b0001020304");

std::unique_ptr<AffairRequest> Request(FrameCodec::Command step, int addrMode = 3, int shortAddress = 0)
{
    auto r = std::make_unique<AffairRequest>();
    r->step = step;
    r->addrMode = quint32(addrMode);
    r->shortAddress = {quint8(shortAddress >> 8), quint8(shortAddress)};
    r->extAddress = kExt;
    return r;
}

} // namespace

class TestRequestFrames : public QObject {
    Q_OBJECT
private slots:
    void receiverQueryAndAddressing()
    {
        auto gdi = Request(FrameCodec::Command::GDI);
        QCOMPARE(Build(*gdi), QByteArray::fromHex("ff7f757b47444908da") + QByteArray(55, '\0'));

        auto gmd = Request(FrameCodec::Command::GMD, 2, 0x1234);
        QCOMPARE(Build(*gmd), Expected("GMD", QByteArray::fromHex("021234")));

        auto gniExt = Request(FrameCodec::Command::GNI, 3);
        QCOMPARE(Build(*gniExt), Expected("GNI", char(3) + kExtBytes));

        auto scan = Request(FrameCodec::Command::GNI, 15);
        QCOMPARE(Build(*scan), Expected("GNI", QByteArray::fromHex("0f")));
    }

    void startRecordingCarriesNowForAPastStart()
    {
        auto stn = Request(FrameCodec::Command::STN, 2, 0x0102);
        stn->startTime = kNow - 3600;
        stn->logInterval = 0x01020304; // only the low 24 bits travel
        stn->alarmMode = 4;
        stn->limit1 = -40.0f;
        stn->limit2 = 85.5f;
        stn->limit3 = -12.345f;
        stn->limit4 = 25.0f;
        RequestFrames::ApplyStartTimeRule(*stn, kNow);
        QCOMPARE(stn->startTime, kNow); // the stored request changes too
        const QByteArray body = QByteArray::fromHex("020102") + kNowDate + kNowDate +
                                QByteArray::fromHex("020304") +
                                QByteArray::fromHex("04"
                                                    "a08f"
                                                    "6621"
                                                    "d384"
                                                    "c409");
        QCOMPARE(Build(*stn), Expected("STN", body));

        // A future start stays; the second time field is always the PC's clock.
        stn->startTime = kNow + 86400;
        RequestFrames::ApplyStartTimeRule(*stn, kNow);
        QCOMPARE(stn->startTime, kNow + 86400);
        const QByteArray future = Build(*stn);
        QCOMPARE(future.mid(11, 7), QByteArray::fromHex("0907080603"
                                                        "0e14"));
        QCOMPARE(future.mid(18, 7), kNowDate);
    }

    void alarmLimitsAndIntervals()
    {
        auto wnn = Request(FrameCodec::Command::WNN, 3);
        wnn->alarmMode = 4;
        wnn->limit1 = -40.0f;
        wnn->limit2 = 85.5f;
        wnn->limit3 = 0.004f;
        wnn->limit4 = -0.5f;
        QCOMPARE(Build(*wnn),
                 Expected("WNN", char(3) + kExtBytes + QByteArray::fromHex("04a08f662100003280")));

        auto rtc = Request(FrameCodec::Command::RTC, 2, 0x0001);
        rtc->rtInterval = 300;
        QCOMPARE(Build(*rtc), Expected("RTC", QByteArray::fromHex("020001"
                                                                  "00012c")));
    }

    void downloadCarriesAddressAndCount()
    {
        auto dld = Request(FrameCodec::Command::DLD, 2, 0x0102);
        dld->result = std::make_unique<AffairReply>();
        dld->result->block.emplace();
        dld->result->block->startOffset = 1000;
        dld->result->block->address = 1000;
        dld->result->block->total = 4000;
        QCOMPARE(Build(*dld), Expected("DLD", QByteArray::fromHex("020102"
                                                                  "0003e8"
                                                                  "000fa0")));
        // After 1500 bytes arrived: the next byte and what is still missing.
        dld->result->block->address = 2500;
        dld->result->block->received = 1500;
        QCOMPARE(Build(*dld), Expected("DLD", QByteArray::fromHex("020102"
                                                                  "0009c4"
                                                                  "0009c4")));
    }

    void gprsWritesAndReads()
    {
        auto r = Request(FrameCodec::Command::MDQ);
        r->gprsLoggerCount = 3;
        r->gprsIndex = 0x0102;
        r->gprsLoggerAddress = kExt;
        for (int i = 0; i < 48; ++i)
            r->gprsInfo[size_t(i)] = quint8(0x30 + i);
        r->gprsBindMask = 0x205;
        r->phoneSlotMask = 0x3FF;
        r->phoneSlotIndex = 9;
        const QByteArray phone("13800138000");
        for (int i = 0; i < phone.size(); ++i)
            r->phoneNumber[size_t(i)] = quint8(phone[i]);
        const QByteArray info(reinterpret_cast<const char *>(r->gprsInfo.data()), 48);

        struct Case {
            FrameCodec::Command step;
            QByteArray body;
        };
        const Case cases[] = {
            {FrameCodec::Command::MDQ, QByteArray::fromHex("0003")},
            {FrameCodec::Command::MEQ, QByteArray()},
            {FrameCodec::Command::MDI, QByteArray::fromHex("0102") + kExtBytes},
            {FrameCodec::Command::MEI, QByteArray::fromHex("0102")},
            {FrameCodec::Command::MDN, QByteArray::fromHex("0102") + info},
            {FrameCodec::Command::MSQ, QByteArray::fromHex("93ff")},
            {FrameCodec::Command::MSN, QByteArray::fromHex("0009") + phone + QByteArray(5, '\0')},
            {FrameCodec::Command::MGN, QByteArray::fromHex("0009")},
            {FrameCodec::Command::MAN, QByteArray::fromHex("0102") + QByteArray::fromHex("9205")},
        };
        for (const Case &c : cases) {
            r->step = c.step;
            QCOMPARE(Build(*r), Expected(FrameCodec::CommandCode(c.step), c.body));
        }
    }

    void stepsThatAreNoRequestGiveNothing()
    {
        for (int step : {0, 12, 255}) {
            auto r = Request(FrameCodec::Command(step));
            Buffer out;
            out.fill(0xAA);
            QVERIFY(!RequestFrames::Build(*r, kNow, out));
            QCOMPARE(Bytes(out), QByteArray(64, '\0'));
        }
    }
};

QTEST_GUILESS_MAIN(TestRequestFrames)
#include "test_requestframes.moc"
