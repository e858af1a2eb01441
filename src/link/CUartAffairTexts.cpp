// The engine's texts: what a request or a finished record says in the status line and the
// message log, and the type word it is logged with.
#include "link/CUartAffairLink.h"

#include "base/CvTime.h"
#include "base/NodeType.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/ValueFormat.h"

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
    if (!(alarmMode & NodeType::kStatusAlarmEnabled))
        return LoadStr(Sid::LinkAlarmOff);
    const QString unit1 = nodeId >= 0 ? Services().ChannelUnit(nodeId, 1) : QString();
    const QString unit2 = nodeId >= 0 ? Services().ChannelUnit(nodeId, 2) : QString();
    QString text = LoadStr(Sid::LinkAlarmOn) + QStringLiteral(", ") + LoadStr(Sid::LinkCh1Alarm) +
                   QLatin1Char(':') + FormatValue(l1, unit1) + QLatin1Char('~') + FormatValue(l2, unit1);
    if (NodeType::HasChannel2(type))
        text += QStringLiteral(", ") + LoadStr(Sid::LinkCh2Alarm) + QLatin1Char(':') +
                FormatValue(l3, unit2) + QLatin1Char('~') + FormatValue(l4, unit2);
    return text;
}

QString CUartAffairLink::DescribeRequest(const AffairRequest &r)
{
    switch (r.kind) {
    case RequestKind::Scan:
        return LoadStr(Sid::LinkScanRunning);
    case RequestKind::SelfCheck:
        return LoadStr(Sid::LinkSelfCheck);
    case RequestKind::GprsLock:
        return LoadStr(Sid::LinkLockGprs);
    default:
        break;
    }
    const LinkServices::NodeInfo node = Services().FindNode(r.ExtAddressText());
    QString text = NodePrefix(r.extAddress, 0);
    const QString sep = QStringLiteral(", ");
    switch (r.kind) {
    case RequestKind::ReceiverInfo:
        return text + LoadStr(Sid::LinkGet) + LoadStr(Sid::LinkRunInfoReceiver);
    case RequestKind::NodeInfo:
        return text + LoadStr(Sid::LinkGet) + LoadStr(Sid::LinkRunInfoNode);
    case RequestKind::ReadRealTime:
        return text + LoadStr(Sid::LinkGet) + LoadStr(Sid::LinkRealTime);
    case RequestKind::StartLogging:
        return text + LoadStr(Sid::LinkSet) + LoadStr(Sid::LinkStartState) + QLatin1Char(' ') +
               LoadStr(Sid::LinkStartTime) + QLatin1Char(':') + CvTime::FormatDateTime(r.startTime) + sep +
               LoadStr(Sid::LinkLogInterval) + QLatin1Char(':') + CvTime::FormatSpan(r.logInterval) + sep +
               AlarmText(r.alarmMode, r.limit1, r.limit2, r.limit3, r.limit4, node.type, node.id);
    case RequestKind::StopLogging:
        return text + LoadStr(Sid::LinkSet) + LoadStr(Sid::LinkStopLog);
    case RequestKind::SetRealTime:
        return text + LoadStr(Sid::LinkSet) + LoadStr(Sid::LinkRtState) + QLatin1Char(' ') +
               LoadStr(Sid::LinkInterval) + QLatin1Char(':') + CvTime::FormatSpan(r.rtInterval);
    case RequestKind::RefreshConnection:
        return text + LoadStr(Sid::LinkGet) + LoadStr(Sid::LinkLogInfo);
    case RequestKind::Download:
        text += LoadStr(Sid::LinkDownload) + LoadStr(Sid::LinkLogData) + QLatin1Char(' ');
        if (r.downloadMode == 1)
            return text + LoadStr(Sid::LinkTimeRange) + QLatin1Char(':') +
                   CvTime::FormatDateTime(r.planFrom) + QLatin1Char('~') + CvTime::FormatDateTime(r.planTo);
        return text + LoadStr(Sid::LinkAllNew);
    case RequestKind::SetAlarm:
        return text + LoadStr(Sid::LinkSet) + LoadStr(Sid::LinkAlarmInfo) + QLatin1Char(' ') +
               AlarmText(r.alarmMode, r.limit1, r.limit2, r.limit3, r.limit4, node.type, node.id);
    default:
        return text;
    }
}

QString CUartAffairLink::DescribeReply(const AffairReply &rec)
{
    const bool selfCheck = rec.type == Command::SelfCheckResult;
    if (selfCheck || rec.type == Command::GprsLockResult)
        return LoadStr(Sid::LinkDone) + LoadStr(selfCheck ? Sid::LinkSelfCheck : Sid::LinkLockGprs);
    const LinkServices::NodeInfo node = Services().FindNode(AddressToText(rec.extAddress));
    const quint8 type = node.id >= 0 ? node.type : rec.deviceType;
    const QString text = NodePrefix(rec.extAddress, rec.deviceType) + LoadStr(Sid::LinkReceive);
    const QString sep = QStringLiteral(", ");
    switch (rec.type) {
    case Command::GDI:
        return text + LoadStr(Sid::LinkGet) + LoadStr(Sid::LinkRunInfoReceiver);
    case Command::GNI:
        return text + LoadStr(Sid::LinkGet) + LoadStr(Sid::LinkRunInfoNode);
    case Command::GMD: {
        QString out = text + LoadStr(Sid::LinkGet) + LoadStr(Sid::LinkRealTime);
        const quint8 flags = rec.eventFlags & 0x3F;
        if ((rec.status & NodeType::kStatusAlarmEnabled) && flags) {
            const bool ch1 = NodeType::HasChannel1(rec.deviceType);
            const bool ch2 = NodeType::HasChannel2(rec.deviceType);
            const QString unit1 = node.id >= 0 ? Services().ChannelUnit(node.id, 1) : QString();
            const QString unit2 = node.id >= 0 ? Services().ChannelUnit(node.id, 2) : QString();
            QStringList items;
            if ((flags & 0x01) && ch1)
                items << LoadStr(Sid::Ch1Data) + FormatValue(rec.value1, unit1);
            if ((flags & 0x02) && ch2)
                items << LoadStr(Sid::Ch2Data) + FormatValue(rec.value2, unit2);
            if ((flags & 0x04) && ch1)
                items << LoadStr(Sid::LinkCh1Fault);
            if ((flags & 0x08) && ch2)
                items << LoadStr(Sid::LinkCh2Fault);
            if (flags & 0x10)
                items << LoadStr(Sid::LinkGprsFault);
            if (flags & 0x20)
                items << LoadStr(Sid::LinkRadioFault);
            out += QStringLiteral(" {") + items.join(QStringLiteral("; ")) + QLatin1Char('}');
        }
        return out;
    }
    case Command::STN:
        return text + LoadStr(Sid::LinkSet) + LoadStr(Sid::LinkStartState) + QLatin1Char(' ') +
               LoadStr(Sid::LinkStartTime) + QLatin1Char(':') + CvTime::FormatDateTime(rec.startTime) + sep +
               LoadStr(Sid::LinkLogInterval) + QLatin1Char(':') + CvTime::FormatSpan(rec.logInterval) + sep +
               AlarmText(rec.alarmMode, rec.limit1, rec.limit2, rec.limit3, rec.limit4, type, node.id);
    case Command::SPN:
        return text + LoadStr(Sid::LinkSet) + LoadStr(Sid::LinkStopLog);
    case Command::RTC:
        return text + LoadStr(Sid::LinkSet) + LoadStr(Sid::LinkRtState) + QLatin1Char(' ') +
               LoadStr(Sid::LinkInterval) + QLatin1Char(':') + CvTime::FormatSpan(rec.rtInterval);
    case Command::GHI:
        return text + LoadStr(Sid::LinkGet) + LoadStr(Sid::LinkLogInfo);
    case Command::DLD:
        return text + LoadStr(Sid::LinkDownload) + LoadStr(Sid::LinkLogData) + QLatin1Char(' ') +
               LoadStr(Sid::LinkTimeRange) + QLatin1Char(':') + CvTime::FormatDateTime(rec.startTime) +
               QLatin1Char('~') + CvTime::FormatDateTime(rec.endTime);
    case Command::WNN:
        return text + LoadStr(Sid::LinkSet) + LoadStr(Sid::LinkAlarmInfo) + QLatin1Char(' ') +
               AlarmText(rec.alarmMode, rec.limit1, rec.limit2, rec.limit3, rec.limit4, type, node.id);
    default:
        return text;
    }
}

MessageKind CUartAffairLink::EventKind(const AffairReply &rec)
{
    const bool alarm = (rec.status & NodeType::kStatusAlarmEnabled) && (rec.eventFlags & 0x3F);
    if (rec.disposition == AffairReply::RequestResult) {
        switch (rec.type) {
        case Command::GNI:
        case Command::SelfCheckResult:
            return MessageKind::Connection;
        case Command::GMD:
            return alarm ? MessageKind::Alarm : MessageKind::Get;
        case Command::STN:
        case Command::SPN:
        case Command::RTC:
        case Command::WNN:
        case Command::GprsLockResult:
            return MessageKind::Setting;
        case Command::GHI:
            return MessageKind::Get;
        case Command::DLD:
            return MessageKind::Download;
        default:
            return MessageKind::None;
        }
    }
    if (rec.disposition == AffairReply::Unsolicited) {
        if (rec.type == Command::GNI)
            return MessageKind::System;
        if (rec.type == Command::GMD && alarm)
            return MessageKind::Alarm;
    }
    return MessageKind::None;
}
