// The engine's texts: what a request or a finished record says in the status line and the
// message log, and the type word it is logged with.
#include "link/CUartAffairLink.h"

#include "base/CvTime.h"
#include "base/NodeType.h"
#include "base/StringTable.h"
#include "base/ValueFormat.h"
#include "link/AffairStrings.h"

using namespace FrameCodec;

QString CUartAffairLink::NodePrefix(const ExtAddress &address, quint8 fallbackType)
{
    const QString text = AddressToText(address);
    const LinkServices::NodeInfo node = Services().FindNode(text);
    const quint8 type = node.id >= 0 ? node.type : fallbackType;
    return NodeType::Name(type) + QLatin1Char('[') + node.name +
           (node.name.isEmpty() ? QStringLiteral("ID:") : QStringLiteral(" ,ID:")) + text + QLatin1Char(']');
}

QString CUartAffairLink::AlarmText(quint8 alarmMode, float l1, float l2, float l3, float l4, quint8 type,
                                   int nodeId)
{
    if (!(alarmMode & kStatusAlarmEnabled))
        return LoadStr(Str::AlarmOff);
    const QString unit1 = nodeId >= 0 ? Services().ChannelUnit(nodeId, 1) : QString();
    const QString unit2 = nodeId >= 0 ? Services().ChannelUnit(nodeId, 2) : QString();
    QString text = LoadStr(Str::AlarmOn) + QStringLiteral(", ") + LoadStr(Str::Ch1Alarm) + QLatin1Char(':') +
                   FormatValue(l1, unit1) + QLatin1Char('~') + FormatValue(l2, unit1);
    if (NodeType::HasChannel2(type))
        text += QStringLiteral(", ") + LoadStr(Str::Ch2Alarm) + QLatin1Char(':') + FormatValue(l3, unit2) +
                QLatin1Char('~') + FormatValue(l4, unit2);
    return text;
}

QString CUartAffairLink::DescribeRequest(const AffairRequest &r)
{
    switch (r.kind) {
    case 11:
        return LoadStr(Str::ScanRunning);
    case 12:
        return LoadStr(Str::SelfCheck);
    case 13:
        return LoadStr(Str::LockGprs);
    default:
        break;
    }
    const LinkServices::NodeInfo node = Services().FindNode(r.ExtAddressText());
    QString text = NodePrefix(r.extAddress, 0);
    const QString sep = QStringLiteral(", ");
    switch (r.kind) {
    case 1:
        return text + LoadStr(Str::Get) + LoadStr(Str::RunInfoReceiver);
    case 2:
        return text + LoadStr(Str::Get) + LoadStr(Str::RunInfoNode);
    case 3:
        return text + LoadStr(Str::Get) + LoadStr(Str::RealTime);
    case 4:
        return text + LoadStr(Str::Set) + LoadStr(Str::StartState) + QLatin1Char(' ') +
               LoadStr(Str::StartTime) + QLatin1Char(':') + CvTime::FormatDateTime(r.startTime) + sep +
               LoadStr(Str::LogInterval) + QLatin1Char(':') + CvTime::FormatSpan(r.logInterval) + sep +
               AlarmText(r.alarmMode, r.limit1, r.limit2, r.limit3, r.limit4, node.type, node.id);
    case 5:
        return text + LoadStr(Str::Set) + LoadStr(Str::StopLog);
    case 6:
        return text + LoadStr(Str::Set) + LoadStr(Str::RtState) + QLatin1Char(' ') + LoadStr(Str::Interval) +
               QLatin1Char(':') + CvTime::FormatSpan(r.rtInterval);
    case 7:
        return text + LoadStr(Str::Get) + LoadStr(Str::LogInfo);
    case 8:
        text += LoadStr(Str::Download) + LoadStr(Str::LogData) + QLatin1Char(' ');
        if (r.downloadMode == 1)
            return text + LoadStr(Str::TimeRange) + QLatin1Char(':') + CvTime::FormatDateTime(r.planFrom) +
                   QLatin1Char('~') + CvTime::FormatDateTime(r.planTo);
        return text + LoadStr(Str::AllNew);
    case 9:
        return text + LoadStr(Str::Set) + LoadStr(Str::AlarmInfo) + QLatin1Char(' ') +
               AlarmText(r.alarmMode, r.limit1, r.limit2, r.limit3, r.limit4, node.type, node.id);
    default:
        return text;
    }
}

QString CUartAffairLink::DescribeReply(const AffairReply &rec)
{
    if (rec.type == 12 || rec.type == 13)
        return LoadStr(Str::Done) + LoadStr(rec.type == 12 ? Str::SelfCheck : Str::LockGprs);
    const LinkServices::NodeInfo node = Services().FindNode(AddressToText(rec.extAddress));
    const quint8 type = node.id >= 0 ? node.type : rec.deviceType;
    const QString text = NodePrefix(rec.extAddress, rec.deviceType) + LoadStr(Str::Receive);
    const QString sep = QStringLiteral(", ");
    switch (rec.type) {
    case GDI:
        return text + LoadStr(Str::Get) + LoadStr(Str::RunInfoReceiver);
    case GNI:
        return text + LoadStr(Str::Get) + LoadStr(Str::RunInfoNode);
    case GMD: {
        QString out = text + LoadStr(Str::Get) + LoadStr(Str::RealTime);
        const quint8 flags = rec.eventFlags & 0x3F;
        if ((rec.status & kStatusAlarmEnabled) && flags) {
            const bool ch1 = NodeType::HasChannel1(rec.deviceType);
            const bool ch2 = NodeType::HasChannel2(rec.deviceType);
            const QString unit1 = node.id >= 0 ? Services().ChannelUnit(node.id, 1) : QString();
            const QString unit2 = node.id >= 0 ? Services().ChannelUnit(node.id, 2) : QString();
            QStringList items;
            if ((flags & 0x01) && ch1)
                items << LoadStr(Str::Ch1Data) + FormatValue(rec.value1, unit1);
            if ((flags & 0x02) && ch2)
                items << LoadStr(Str::Ch2Data) + FormatValue(rec.value2, unit2);
            if ((flags & 0x04) && ch1)
                items << LoadStr(Str::Ch1Fault);
            if ((flags & 0x08) && ch2)
                items << LoadStr(Str::Ch2Fault);
            if (flags & 0x10)
                items << LoadStr(Str::GprsFault);
            if (flags & 0x20)
                items << LoadStr(Str::RadioFault);
            out += QStringLiteral(" {") + items.join(QStringLiteral("; ")) + QLatin1Char('}');
        }
        return out;
    }
    case STN:
        return text + LoadStr(Str::Set) + LoadStr(Str::StartState) + QLatin1Char(' ') +
               LoadStr(Str::StartTime) + QLatin1Char(':') + CvTime::FormatDateTime(rec.startTime) + sep +
               LoadStr(Str::LogInterval) + QLatin1Char(':') + CvTime::FormatSpan(rec.logInterval) + sep +
               AlarmText(rec.alarmMode, rec.limit1, rec.limit2, rec.limit3, rec.limit4, type, node.id);
    case SPN:
        return text + LoadStr(Str::Set) + LoadStr(Str::StopLog);
    case RTC:
        return text + LoadStr(Str::Set) + LoadStr(Str::RtState) + QLatin1Char(' ') + LoadStr(Str::Interval) +
               QLatin1Char(':') + CvTime::FormatSpan(rec.rtInterval);
    case GHI:
        return text + LoadStr(Str::Get) + LoadStr(Str::LogInfo);
    case DLD:
        return text + LoadStr(Str::Download) + LoadStr(Str::LogData) + QLatin1Char(' ') +
               LoadStr(Str::TimeRange) + QLatin1Char(':') + CvTime::FormatDateTime(rec.startTime) +
               QLatin1Char('~') + CvTime::FormatDateTime(rec.endTime);
    case WNN:
        return text + LoadStr(Str::Set) + LoadStr(Str::AlarmInfo) + QLatin1Char(' ') +
               AlarmText(rec.alarmMode, rec.limit1, rec.limit2, rec.limit3, rec.limit4, type, node.id);
    default:
        return text;
    }
}

QString CUartAffairLink::EventTypeWord(const AffairReply &rec)
{
    const bool alarm = (rec.status & kStatusAlarmEnabled) && (rec.eventFlags & 0x3F);
    if (rec.disposition == AffairReply::RequestResult) {
        switch (rec.type) {
        case GNI:
        case 12:
            return LoadStr(Str::WordConnect);
        case GMD:
            return LoadStr(alarm ? Str::Warning : Str::WordGet);
        case STN:
        case SPN:
        case RTC:
        case WNN:
        case 13:
            return LoadStr(Str::WordSet);
        case GHI:
            return LoadStr(Str::WordGet);
        case DLD:
            return LoadStr(Str::WordDownload);
        default:
            return {};
        }
    }
    if (rec.disposition == AffairReply::Unsolicited) {
        if (rec.type == GNI)
            return LoadStr(Str::WordSystem);
        if (rec.type == GMD && alarm)
            return LoadStr(Str::Warning);
    }
    return {};
}
