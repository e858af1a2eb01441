// JSON form of a decoded answer record, shared by the frame and monitor commands.
#include "ReplyJson.h"

#include "link/FrameCodec.h"

#include <cmath>

using namespace FrameCodec;

namespace {

QString HexText(const quint8 *bytes, int count)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(bytes), count).toHex());
}

// Values travel in hundredths: print them as such, not with the float's binary tail.
double Hundredths(float value)
{
    return std::round(static_cast<double>(value) * 100.0) / 100.0;
}

// The GPRS answers carry no presence bits: their fields always go out.
void InsertGprsFields(const AffairReply &r, QJsonObject &o)
{
    switch (r.type) {
    case Command::MEQ:
        o.insert(QStringLiteral("gprsLoggerCount"), r.gprsLoggerCount);
        break;
    case Command::MEI:
        o.insert(QStringLiteral("gprsIndex"), r.gprsIndex);
        o.insert(QStringLiteral("gprsLoggerAddress"), AddressToText(r.gprsLoggerAddress));
        break;
    case Command::MEN:
        o.insert(QStringLiteral("gprsIndex"), r.gprsIndex);
        o.insert(QStringLiteral("gprsInfo"), HexText(r.gprsInfo.data(), int(r.gprsInfo.size())));
        break;
    case Command::MGQ:
        o.insert(QStringLiteral("phoneSlotMask"), r.phoneSlotMask);
        break;
    case Command::MGN:
        o.insert(QStringLiteral("phoneSlotIndex"), r.phoneSlotIndex);
        o.insert(QStringLiteral("phoneNumber"), HexText(r.phoneNumber.data(), int(r.phoneNumber.size())));
        break;
    case Command::MBN:
        o.insert(QStringLiteral("gprsIndex"), r.gprsIndex);
        o.insert(QStringLiteral("gprsBindMask"), r.gprsBindMask);
        break;
    default:
        break;
    }
}

// The readings, limits and data block of an answer, each when its presence bit is set.
void InsertMeasuredFields(const AffairReply &r, QJsonObject &o)
{
    using namespace ReplyBits;
    if (r.presence & kValues) {
        o.insert(QStringLiteral("value1"), Hundredths(r.value1));
        o.insert(QStringLiteral("value2"), Hundredths(r.value2));
    }
    if (r.presence & kAlarm) {
        o.insert(QStringLiteral("alarmMode"), r.alarmMode);
        o.insert(QStringLiteral("limit1"), Hundredths(r.limit1));
        o.insert(QStringLiteral("limit2"), Hundredths(r.limit2));
        o.insert(QStringLiteral("limit3"), Hundredths(r.limit3));
        o.insert(QStringLiteral("limit4"), Hundredths(r.limit4));
    }
    if ((r.presence & kBlock) && r.block) {
        QJsonObject block;
        block.insert(QStringLiteral("address"), r.block->address);
        block.insert(QStringLiteral("received"), r.block->received);
        block.insert(QStringLiteral("data"), QString::fromLatin1(r.block->data.toHex()));
        o.insert(QStringLiteral("block"), block);
    }
}

} // namespace

namespace cli {

QJsonObject ReplyToJson(const AffairReply &r)
{
    using namespace ReplyBits;
    QJsonObject o;
    const char *code = CommandCode(r.type);
    o.insert(QStringLiteral("code"), QString::fromLatin1(code ? code : ""));
    o.insert(QStringLiteral("type"), CommandNumber(r.type));
    o.insert(QStringLiteral("complete"), r.IsComplete());
    o.insert(QStringLiteral("presence"), qint64(r.presence));
    const auto has = [&](quint32 bit) { return (r.presence & bit) != 0; };
    if (has(kShortAddress))
        o.insert(QStringLiteral("shortAddress"), r.shortAddress);
    if (has(kExtAddress))
        o.insert(QStringLiteral("extAddress"), AddressToText(r.extAddress));
    if (has(kParentAddress))
        o.insert(QStringLiteral("parentAddress"), AddressToText(r.parentAddress));
    if (has(kStartTime))
        o.insert(QStringLiteral("startTime"), r.startTime);
    if (has(kEndTime))
        o.insert(QStringLiteral("endTime"), r.endTime);
    if (has(kLogInterval))
        o.insert(QStringLiteral("logInterval"), r.logInterval);
    if (has(kDeviceType))
        o.insert(QStringLiteral("deviceType"), r.deviceType);
    if (has(kStatus))
        o.insert(QStringLiteral("status"), r.status);
    if (has(kRfLevel))
        o.insert(QStringLiteral("rfLevel"), r.rfLevel);
    if (has(kPowerLevel))
        o.insert(QStringLiteral("powerLevel"), r.powerLevel);
    if (has(kEventFlags))
        o.insert(QStringLiteral("eventFlags"), r.eventFlags);
    if (has(kDataLength))
        o.insert(QStringLiteral("dataLength"), qint64(r.dataLength));
    if (has(kRtInterval))
        o.insert(QStringLiteral("rtInterval"), r.rtInterval);
    InsertMeasuredFields(r, o);
    InsertGprsFields(r, o);
    return o;
}

} // namespace cli
