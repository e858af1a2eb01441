#include "network/LinkEventHandler.h"
#include "network/NetworkLog.h"

#include "base/AppSettings.h"
#include "base/NodeType.h"
#include "base/StringIds.h"
#include "base/ValueFormat.h"
#include "link/AffairReply.h"
#include "link/CUartAffairLink.h"
#include "link/CUart_CommApp.h"
#include "network/CCorvaneBeeNode.h"
#include "network/LinkState.h"
#include "network/NetworkNotifier.h"
#include "storage/CCorvaneODBC.h"

namespace {

using namespace FrameCodec;

// Presence a record must carry (at least) to be applied by each step.
constexpr quint32 kNodePresence = 0x1E0630;
constexpr quint32 kRealTimePresence = 0x1E8270;
constexpr quint32 kRtcPresence = 0x1E8630;
constexpr quint32 kHistoryInfoPresence = 0x1E07BB;
constexpr quint32 kDownloadPresence = 0x1E0FBB;

constexpr qint64 kDefaultRtTimeout = 1800;

bool Has(const AffairReply &r, quint32 bits)
{
    return (r.presence & bits) == bits;
}

// What arrived of a download that stopped early: stored, but the download stays interrupted.
bool IsInterruptedDownload(const AffairReply &r)
{
    return r.block && r.block->interrupted;
}

bool IsResult(const AffairReply &r)
{
    return r.disposition == AffairReply::RequestResult;
}

} // namespace

LinkEventHandler::LinkEventHandler(CUart_CommApp &link, CCorvaneBeeNode &table, CCorvaneODBC &database,
                                   LinkState &state, QObject *parent)
    : QObject(parent), m_link(link), m_table(table), m_db(database), m_state(state)
{
}

NetworkNotifier &LinkEventHandler::Notifier()
{
    return m_table.Notifier();
}

bool LinkEventHandler::IsNearLimit(float value, float lower, float upper)
{
    if (lower == kNoValue || upper == kNoValue || value == kNoValue || !(upper > lower))
        return false;
    if (value < lower || value > upper)
        return false;
    const double margin = (double(upper) - double(lower)) * kPreAlarmShare;
    return value - lower <= margin || upper - value <= margin;
}

void LinkEventHandler::ProcessFinished()
{
    CUartAffairLink &engine = m_link.Link();
    Batch batch;
    while (std::unique_ptr<AffairReply> record = engine.TakeFinished())
        Apply(*record, batch);
    if (batch.logged) {
        engine.Services().SaveLog();
        emit messageLogged(false);
    }
    if (batch.topologyChanged)
        emit Notifier().topologyChanged();
}

void LinkEventHandler::Apply(AffairReply &record, Batch &batch)
{
    const bool haveDb = m_db.IsOpen();
    const int id = haveDb ? m_db.FindNodeIdByAddress(AddressToText(record.extAddress)) : -1;
    const int parentId = haveDb ? m_db.FindNodeIdByAddress(AddressToText(record.parentAddress)) : -1;

    // Only the receiver's own answer connects: a stray frame from a receiver that is not (or no
    // longer) connected would leave a connection without the receiver's name, self-check or scan.
    const bool wasConnected = m_state.IsConnected();
    if (!wasConnected) {
        if (record.type != Command::GDI)
            return;
        OnFirstAnswer(record, id);
    }
    // A receiver answer while connected (a keep-alive, a late probe answer) touches no node and
    // is not logged; as a request's result it still ends the status line and the progress.
    if (!wasConnected || record.type != Command::GDI)
        ApplyToNode(record, id, parentId, batch);

    if (IsResult(record)) {
        LinkStatus &status = m_link.Link().Status();
        status.statusText.clear();
        status.progress = 0;
        emit statusChanged();
    }
}

void LinkEventHandler::ApplyToNode(AffairReply &record, int id, int parentId, Batch &batch)
{
    bool log = true;
    switch (record.type) {
    case Command::GNI:
        // Node information that leaves the short address as it was is not worth a log entry.
        if (Has(record, kNodePresence))
            log = OnNodeInformation(record, id, parentId, batch);
        break;
    case Command::GMD:
        if (id >= 0 && Has(record, kRealTimePresence))
            OnRealTimeData(record, id);
        break;
    case Command::STN:
    case Command::SPN:
    case Command::RTC:
    case Command::GHI:
    case Command::DLD:
    case Command::WNN:
        if (id >= 0 && IsResult(record))
            OnCommandResult(record, id, parentId, batch);
        break;
    case Command::SelfCheckResult:
    case Command::GprsLockResult:
        if (IsResult(record))
            emit Notifier().gprsChanged();
        break;
    default:
        break;
    }

    // The interruption, logged by the link, stays the last message.
    if (log && !IsInterruptedDownload(record))
        LogRecord(record, id, batch);

    emit recordApplied(record, id);
}

void LinkEventHandler::OnFirstAnswer(const AffairReply &record, int id)
{
    m_state.connectedPort = m_state.scanIndex;
    m_link.Port().SetConnectedPort(m_state.connectedPort);
    const auto &ports = m_link.Port().PortTable();
    const int entry = m_state.connectedPort - 1;
    const QString portName = entry >= 0 && entry < ports.size() ? ports.at(entry).location : QString();
    QString text = LoadStr(Sid::ConnectedToPort) + portName + QStringLiteral(": ");

    if (record.type == Command::GDI && Has(record, kNodePresence) && id >= 0) {
        m_state.receiverId = id;
        if (m_db.SeekLookupNode(id))
            text += m_db.LookupCursor().Row().name;
        m_state.receiverTime = record.receivedTime;
        m_state.lastPreAlarmShort = -8;
        m_table.SetType(id, record.deviceType);
        m_table.SetStatus(id, record.status);
        m_table.SetLastConnectTime(id, record.receivedTime);
        m_table.SetFaultFlags(id, record.eventFlags);
        if (m_db.SeekEditNode(id)) {
            CCorvaneNetMger &cursor = m_db.EditCursor();
            if (cursor.Edit()) {
                cursor.Fields().type = record.deviceType;
                if (!cursor.Update())
                    qCWarning(lcNetwork) << "receiver row not updated:" << cursor.LastError();
            }
        }
        emit Notifier().nodeChanged(id, NodeAspect::Link);
        emit Notifier().gprsChanged();
        // Receiver self-check, then a scan of the network.
        (void)m_link.SubmitCommand(nullptr, RequestKind::SelfCheck, 0);
        (void)m_link.SubmitCommand(nullptr, RequestKind::Scan, 0);
    }
    m_state.connectionText = text;
    emit connectionTextChanged(text);
    emit connected();
}

bool LinkEventHandler::EditRow(int id, int parentId, quint8 type, const std::function<void(NodeRow &)> &edit)
{
    if (!m_db.SeekEditNode(id))
        return false;
    CCorvaneNetMger &cursor = m_db.EditCursor();
    const bool parentChanged = cursor.Row().fatherid != parentId;
    if (!cursor.Edit())
        return false;
    NodeRow &row = cursor.Fields();
    row.fatherid = parentId;
    row.type = type;
    if (edit)
        edit(row);
    if (!cursor.Update()) {
        qCWarning(lcNetwork) << "node row" << id << "not updated:" << cursor.LastError();
        return false;
    }
    return parentChanged;
}

void LinkEventHandler::SetLiveLink(const AffairReply &record, int id, bool withType)
{
    if (withType)
        m_table.SetType(id, record.deviceType);
    m_table.SetStatus(id, record.status);
    m_table.SetLastConnectTime(id, record.receivedTime);
    m_table.SetRfLevel(id, qint8(record.rfLevel)); // dBm, sent as a signed byte
    m_table.SetPowerLevel(id, record.powerLevel);
}

void LinkEventHandler::NotifyManager(int id, bool parentChanged)
{
    if (parentChanged)
        emit Notifier().topologyChanged();
    else
        emit Notifier().nodeChanged(id, NodeAspect::Link);
}

bool LinkEventHandler::OnNodeInformation(const AffairReply &record, int id, int parentId, Batch &batch)
{
    // A router the database does not know joins it and, at once, the network table: the
    // watchdog then sees it and its next answers are no news.
    if (id < 0 && record.deviceType == NodeType::Router)
        id = AddRouter(record);
    if (id < 0)
        return true;
    bool topology = false;
    if (m_db.SeekEditNode(id)) {
        const NodeRow &row = m_db.EditCursor().Row();
        if (row.fatherid != parentId || row.type != record.deviceType)
            topology = EditRow(id, parentId, record.deviceType, nullptr);
    }
    batch.topologyChanged = batch.topologyChanged || topology;
    SetLiveLink(record, id);
    m_table.SetFaultFlags(id, record.eventFlags);
    const bool relayOrLogger = (record.deviceType & 0x88) != 0 || record.deviceType == NodeType::Router;
    if (relayOrLogger && m_table.GetRtFlag(id) == 0) {
        m_table.SetRtFlag(id, 1);
        m_table.SetRtTimeout(id, kDefaultRtTimeout);
    }
    const qint32 oldShort = m_table.GetShortAddress(id);
    m_table.SetShortAddress(id, record.shortAddress);
    if (!topology)
        emit Notifier().nodeChanged(id, NodeAspect::Link);
    emit Notifier().nodeChanged(id, NodeAspect::Logging);
    return oldShort != record.shortAddress;
}

int LinkEventHandler::AddRouter(const AffairReply &record)
{
    NodeChange change;
    change.mask = 0x7CB6;
    change.values.name = QStringLiteral(" ");
    change.values.extaddress = AddressToText(record.extAddress);
    change.values.type = NodeType::Router;
    change.values.fatherid = 0;
    change.values.runstate = 1;
    change.values.sampleCap = 0;
    change.values.channel1_upper = kNoValue;
    change.values.channel1_lower = kNoValue;
    change.values.channel2_upper = kNoValue;
    change.values.channel2_lower = kNoValue;
    const int id = m_db.SaveNode(change) ? m_db.FindNodeIdByAddress(change.values.extaddress) : -1;
    if (id < 0) {
        qCWarning(lcNetwork) << "router not added:" << m_db.LastError();
        return -1;
    }
    m_table.AddNode(id);
    m_table.SetType(id, NodeType::Router);
    emit Notifier().topologyChanged();
    emit Notifier().allNodesChanged();
    return id;
}

void LinkEventHandler::OnRealTimeData(const AffairReply &record, int id)
{
    SetLiveLink(record, id);
    m_table.SetFaultFlags(id, record.eventFlags);
    if (record.shortAddress != -1)
        m_table.SetShortAddress(id, record.shortAddress);
    emit Notifier().nodeChanged(id, NodeAspect::Link);
    if (IsResult(record))
        m_table.SetRtCmdState(id, RtRead);
    m_table.SetRtFlag(id, 1);
    if (record.rtInterval > 0) {
        m_table.SetRtInterval(id, record.rtInterval);
        m_table.SetRtTimeout(id, record.rtInterval);
    } else {
        m_table.SetRtInterval(id, 0);
        m_table.SetRtTimeout(id, kDefaultRtTimeout);
    }
    m_table.AddRtSample(id, record.receivedTime, record.value1, record.value2);
    emit Notifier().nodeChanged(id, NodeAspect::RealTime);
    emit Notifier().newSample(id);
}

namespace {

// Presence a command's result must carry before it is applied; nothing for other answers.
std::optional<quint32> ResultPresence(Command type)
{
    switch (type) {
    case Command::RTC:
        return kRtcPresence;
    case Command::STN:
    case Command::SPN:
    case Command::WNN:
        return kNodePresence;
    case Command::GHI:
        return kHistoryInfoPresence;
    case Command::DLD:
        return kDownloadPresence;
    default:
        return std::nullopt;
    }
}

// What a command's result writes into the stored row beyond father id and type.
void EditResultRow(const AffairReply &record, NodeRow &row)
{
    if (record.type == Command::RTC)
        return;
    row.runstate = record.status;
    if (record.type == Command::SPN)
        return;
    if (record.type != Command::WNN) {
        row.startTime = record.startTime;
        row.sampleCap = qint32(record.logInterval);
    }
    if (record.type == Command::DLD)
        row.endTime = record.endTime;
    if (record.status & NodeType::kStatusAlarmEnabled) {
        row.channel1_lower = record.limit1;
        row.channel1_upper = record.limit2;
        row.channel2_lower = record.limit3;
        row.channel2_upper = record.limit4;
    }
}

} // namespace

void LinkEventHandler::OnCommandResult(const AffairReply &record, int id, int parentId, Batch &batch)
{
    const std::optional<quint32> presence = ResultPresence(record.type);
    if (!presence || !Has(record, *presence))
        return;
    const bool parentChanged =
        EditRow(id, parentId, record.deviceType, [&record](NodeRow &row) { EditResultRow(record, row); });
    // The stop answer refreshes the link fields only; the live type stays as the node had it.
    SetLiveLink(record, id, record.type != Command::SPN);
    m_table.SetShortAddress(id, record.shortAddress);
    NotifyManager(id, parentChanged);
    ApplyCommandState(record, id);
    batch.topologyChanged = batch.topologyChanged || parentChanged;
}

void LinkEventHandler::ApplyCommandState(const AffairReply &record, int id)
{
    switch (record.type) {
    case Command::RTC:
        ApplyRealTimeInterval(record.rtInterval, id);
        break;
    case Command::STN:
        m_table.SetLogStartTime(id, record.startTime);
        m_table.SetLogInterval(id, record.logInterval);
        ApplyAlarmFields(record, id);
        m_table.SetLogCmdState(id, LogStarted);
        emit Notifier().nodeChanged(id, NodeAspect::Logging);
        break;
    case Command::SPN:
        m_table.SetLogCmdState(id, LogStopped);
        emit Notifier().nodeChanged(id, NodeAspect::Logging);
        break;
    case Command::WNN:
        ApplyAlarmFields(record, id);
        m_table.SetLogCmdState(id, LimitsWritten);
        emit Notifier().nodeChanged(id, NodeAspect::Logging);
        break;
    case Command::DLD:
        StoreDownload(record, id);
        // The link has already set an interrupted download's state (15).
        if (!IsInterruptedDownload(record))
            m_table.SetDownloadCmdState(id, Downloaded);
        emit Notifier().nodeChanged(id, NodeAspect::Download);
        break;
    default:
        break;
    }
}

void LinkEventHandler::ApplyRealTimeInterval(qint64 interval, int id)
{
    m_table.SetRtFlag(id, 1);
    m_table.SetRtCmdState(id, interval == 0 ? RtStopped : RtStarted);
    m_table.SetRtTimeout(id, interval == 0 ? kDefaultRtTimeout : interval);
    m_table.SetRtInterval(id, interval);
    emit Notifier().nodeChanged(id, NodeAspect::RealTime);
}

void LinkEventHandler::ApplyAlarmFields(const AffairReply &record, int id)
{
    const bool alarm = (record.status & NodeType::kStatusAlarmEnabled) != 0;
    m_table.SetAlarmEnable(id, alarm ? 4 : 0);
    if (!alarm)
        return;
    m_table.SetDevCh1Lower(id, record.limit1);
    m_table.SetDevCh1Upper(id, record.limit2);
    m_table.SetDevCh2Lower(id, record.limit3);
    m_table.SetDevCh2Upper(id, record.limit4);
}

void LinkEventHandler::StoreDownload(const AffairReply &record, int id)
{
    if (!record.block || record.block->received <= 0 || record.block->data.isEmpty())
        return;
    if (!m_db.SeekLookupNode(id))
        return;
    const NodeRow &row = m_db.LookupCursor().Row();
    HistoryBlockInput input;
    input.nodeKey = row.extaddress;
    input.nodeName = row.name;
    input.startTime = row.startTime;
    input.endTime = row.endTime;
    input.interval = row.sampleCap;
    input.alarmFlag = (row.runstate & NodeType::kStatusAlarmEnabled) ? 4 : 0;
    input.ch1Lower = row.channel1_lower;
    input.ch1Upper = row.channel1_upper;
    input.ch2Lower = row.channel2_lower;
    input.ch2Upper = row.channel2_upper;
    input.deviceType = row.type;
    input.startOffset = record.block->startOffset;
    input.total = record.block->total;
    input.received = record.block->received;
    input.data = record.block->data.left(record.block->received);
    if (!m_db.LinkHistory().StoreHistoryBlock(input))
        qCWarning(lcNetwork) << "download of node" << id << "not stored:" << m_db.LastError();
}

QString LinkEventHandler::PreAlarmText(const AffairReply &record, int id)
{
    if (record.type != Command::GMD || !(record.status & NodeType::kStatusAlarmEnabled) ||
        (record.eventFlags & 0x3F) != 0)
        return {};
    if (!m_db.SeekLookupNode(id))
        return {};
    const NodeRow &row = m_db.LookupCursor().Row();
    const QString fahrenheit = AppSettings::Instance().FahrenheitText();
    QStringList items;
    if (NodeType::HasChannel1(record.deviceType) &&
        IsNearLimit(record.value1, row.channel1_lower, row.channel1_upper))
        items << LoadStr(Sid::Ch1Data) + FormatValue(record.value1, m_table.Ch1UnitText(id), fahrenheit);
    if (NodeType::HasChannel2(record.deviceType) &&
        IsNearLimit(record.value2, row.channel2_lower, row.channel2_upper))
        items << LoadStr(Sid::Ch2Data) + FormatValue(record.value2, m_table.Ch2UnitText(id), fahrenheit);
    if (items.isEmpty())
        return {};
    return m_link.Link().DescribeReply(record) + QStringLiteral(" {") + items.join(QStringLiteral("; ")) +
           QStringLiteral("}");
}

void LinkEventHandler::LogRecord(const AffairReply &record, int id, Batch &batch)
{
    CUartAffairLink &engine = m_link.Link();
    MessageKind kind = engine.EventKind(record);
    QString text;
    if (kind == MessageKind::None && id >= 0) {
        text = PreAlarmText(record, id);
        if (!text.isEmpty())
            kind = MessageKind::PreAlarm;
    }
    // The self-check and the GPRS lock concern the receiver, whose answers name no node.
    const bool receiverWide =
        record.type == Command::SelfCheckResult || record.type == Command::GprsLockResult;
    if (kind == MessageKind::None || (id < 0 && !receiverWide))
        return;
    if (text.isEmpty())
        text = engine.DescribeReply(record);
    if (kind == MessageKind::PreAlarm && RepeatedPreAlarm(record))
        return;
    engine.Services().LogEntry(kind, engine.Now(), text);
    LinkStatus &status = engine.Status();
    status.msgKind = kind;
    status.msgText = text;
    batch.logged = true;
}

bool LinkEventHandler::RepeatedPreAlarm(const AffairReply &record)
{
    // The same node again within the repeat time (or with an earlier time) is not logged twice.
    const bool sameNode = m_state.lastPreAlarmShort > 0 && m_state.lastPreAlarmShort == record.shortAddress;
    if (sameNode && record.receivedTime - m_state.lastPreAlarmTime < kPreAlarmRepeatSeconds)
        return true;
    m_state.lastPreAlarmShort = record.shortAddress;
    m_state.lastPreAlarmTime = record.receivedTime;
    return false;
}
