#include "link/CUartAffairLink.h"
#include "link/LinkLog.h"

#include "base/CvTime.h"
#include "base/NodeType.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "link/RequestFrames.h"

#include <algorithm>
#include <cstring>

using namespace FrameCodec;

namespace {

// Ticks before a download block that stops arriving is asked for again.
constexpr quint8 kBlockResend = 10;

// The services before the program has set its own: no node is known and nothing is kept.
class NoLinkServices : public LinkServices, public GprsBook {
public:
    NodeInfo FindNode(const QString &) override { return {}; }
    QString NodeAddress(int) override { return {}; }
    StoredHistory StoredHistoryOf(const QString &) override { return {}; }
    void LogEntry(MessageKind kind, qint64, const QString &text) override
    {
        qCWarning(lcLink) << "no message log for" << TypeWord(kind) << text;
    }
    void SaveLog() override {}
    qint32 ShortAddress(int) override { return -1; }
    int CountUnreached() override { return 0; }
    bool RealTimeOverdue(int) override { return false; }
    QString ChannelUnit(int, int) override { return {}; }
    GprsBook &Gprs() override { return *this; }

    quint32 PhoneMask() const override { return 0; }
    void SetPhoneListState(qint32) override {}
    bool SamePhone(int, const PhoneDigits &) const override { return false; }
    PhoneDigits Phone(int) const override { return {}; }
    int CountLoggers() override { return 0; }
    int AssignGprsSlots() override { return -1; }
    int FirstLoggerWithoutSlot() override { return -1; }
    GprsName GprsNameOf(int) const override { return {}; }
    quint32 BindMaskOf(int) const override { return 0; }
    void SetLoggerEntry(int, quint32, const GprsName &) override {}
    void SetGprsSlot(int, qint32) override {}
};

} // namespace

LinkCommandState::Codes LinkCommandState::ForRequest(const AffairRequest &request)
{
    switch (request.kind) {
    case RequestKind::StartLogging:
        return {CommandField::Logging, 7, 20};
    case RequestKind::StopLogging:
        return {CommandField::Logging, 11, 22};
    case RequestKind::SetAlarm:
        return {CommandField::Logging, 15, 24};
    case RequestKind::SetRealTime:
        return request.rtInterval > 0 ? Codes{CommandField::RealTime, 7, 20}
                                      : Codes{CommandField::RealTime, 11, 22};
    case RequestKind::ReadRealTime:
        return {CommandField::RealTime, 15, 24};
    case RequestKind::Download:
        return {CommandField::Download, 7, 15};
    default:
        return {};
    }
}

CUartAffairLink::CUartAffairLink(QObject *parent) : QObject(parent), m_clock([] { return CvTime::Now(); }) {}

CUartAffairLink::~CUartAffairLink() = default;

void CUartAffairLink::SetClock(std::function<qint64()> clock)
{
    m_clock = std::move(clock);
}

void CUartAffairLink::SetServices(std::unique_ptr<LinkServices> services)
{
    m_services = std::move(services);
}

LinkServices &CUartAffairLink::Services()
{
    if (!m_services)
        m_services = std::make_unique<NoLinkServices>();
    return *m_services;
}

// ---------------------------------------------------------------------------------------------
// Building a request

bool CUartAffairLink::Create(RequestKind kind, const QString &extAddressText)
{
    const std::optional<ExtAddress> address = AddressFromText(extAddressText);
    // Receiver queries and the scan address no particular node. Any other request needs an
    // address that reads as 16 hexadecimal digits: a damaged one would name a node that is not
    // the one meant.
    if (!address && kind != RequestKind::ReceiverInfo && kind != RequestKind::Scan) {
        m_building.reset();
        return false;
    }
    return Create(kind, address.value_or(ExtAddress{}));
}

bool CUartAffairLink::Create(RequestKind kind, const ExtAddress &extAddress)
{
    // A refused request leaves nothing behind that a later commit could queue.
    if (KindNumber(kind) < 1 || KindNumber(kind) > 13) {
        m_building.reset();
        return false;
    }
    // A request created but never committed is simply replaced.
    m_building = std::make_unique<AffairRequest>();
    AffairRequest &r = *m_building;
    r.kind = kind;
    r.extAddress = extAddress;
    switch (kind) {
    case RequestKind::ReceiverInfo:
        r.step = Command::GDI;
        break;
    case RequestKind::SelfCheck:
        r.step = Command::MGQ;
        break;
    case RequestKind::GprsLock:
        r.step = Command::MSQ;
        break;
    default:
        r.step = Command::GNI;
        r.params = AffairRequest::kParamAddress;
        break;
    }
    return true;
}

bool CUartAffairLink::SetRtInterval(qint64 seconds)
{
    if (!m_building)
        return false;
    m_building->rtInterval = seconds;
    m_building->params |= AffairRequest::kParamRtInterval;
    return true;
}

bool CUartAffairLink::SetStartTime(qint64 time)
{
    if (!m_building || time == 0)
        return false;
    m_building->startTime = time;
    m_building->params |= AffairRequest::kParamStartTime;
    return true;
}

bool CUartAffairLink::SetLogInterval(qint64 seconds)
{
    if (!m_building || seconds == 0)
        return false;
    m_building->logInterval = seconds;
    m_building->params |= AffairRequest::kParamLogInterval;
    return true;
}

bool CUartAffairLink::SetAlarm(quint8 mode, float limit1, float limit2, float limit3, float limit4)
{
    if (!m_building)
        return false;
    AffairRequest &r = *m_building;
    r.alarmMode = mode;
    r.limit1 = limit1;
    r.limit2 = limit2;
    r.limit3 = limit3;
    r.limit4 = limit4;
    r.params |= AffairRequest::kParamAlarm;
    return true;
}

bool CUartAffairLink::SetDownloadPlan(quint8 mode, qint64 from, qint64 to, qint64 storedStart,
                                      qint32 storedLength)
{
    if (!m_building)
        return false;
    AffairRequest &r = *m_building;
    r.downloadMode = mode;
    r.planFrom = from;
    r.planTo = to;
    r.storedStart = storedStart;
    r.storedLength = std::max<qint32>(0, storedLength);
    r.params |= AffairRequest::kParamDownloadPlan;
    return true;
}

void CUartAffairLink::SetShortAddress(int shortAddress)
{
    if (!m_building)
        return;
    AffairRequest &r = *m_building;
    if (r.kind == RequestKind::Scan) {
        r.addrMode = 15;
        r.shortAddress = {0xFF, 0xFF};
    } else if (shortAddress >= 1) {
        r.addrMode = 2;
        r.shortAddress = {quint8((shortAddress >> 8) & 0xFF), quint8(shortAddress & 0xFF)};
    }
}

void CUartAffairLink::SetGprsStart(qint32 loggerCount, qint32 phoneSlotMask)
{
    if (!m_building)
        return;
    m_building->gprsLoggerCount = loggerCount;
    m_building->phoneSlotMask = phoneSlotMask;
}

int CUartAffairLink::Commit()
{
    if (!m_building || QueueSize() >= kQueueCap)
        return 0;
    if (m_building->params != RequiredParams(m_building->kind))
        return 0;
    m_building->queuedTime = Now();
    // A newer request of the same kind for the same node replaces a queued older one; the head
    // is being worked on and stays.
    if (!m_queue.empty()) {
        const RequestKind kind = m_building->kind;
        const ExtAddress address = m_building->extAddress;
        m_queue.erase(
            std::remove_if(std::next(m_queue.begin()), m_queue.end(),
                           [&](const RequestPtr &q) { return q->kind == kind && q->extAddress == address; }),
            m_queue.end());
    }
    if (m_building->kind == RequestKind::ReceiverInfo)
        m_queue.push_front(std::move(m_building));
    else
        m_queue.push_back(std::move(m_building));
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Link tick

int CUartAffairLink::SendNext()
{
    m_buffer.fill(0);
    if (m_queue.empty())
        return 2;
    AffairRequest &head = *m_queue.front();
    --head.life;
    if (head.life >= 0) {
        head.resendCountdown = quint8(head.resendCountdown - 1);
        if (head.resendCountdown > AffairRequest::kResendClamp)
            head.resendCountdown = AffairRequest::kResendClamp;
        if (head.resendCountdown != 0)
            return 0;
        const qint64 now = Now();
        if (head.step == Command::STN)
            RequestFrames::ApplyStartTimeRule(head, now);
        if (!RequestFrames::Build(head, now, m_buffer)) {
            qCWarning(lcLink) << "no frame for step" << CommandNumber(head.step);
            return 0;
        }
        BuildSideEffects(head);
        return 1;
    }
    RequestPtr done = std::move(m_queue.front());
    m_queue.pop_front();
    if (done->IsFinished()) {
        if (done->result) {
            AddFinished(std::move(done->result), AffairReply::RequestResult);
            emit finishedAvailable();
        }
        return 0;
    }
    TimeOut(*done);
    return 0;
}

void CUartAffairLink::BuildSideEffects(AffairRequest &head)
{
    if (head.step == Command::GNI) {
        m_status.statusText = DescribeRequest(head);
        m_status.progress = 0;
        if (head.addrMode == 15) {
            const int unreached = Services().CountUnreached();
            if (head.scanBudget == -1)
                head.scanBudget = unreached;
            if (unreached == 0) {
                // Nothing left to find: the scan ends at the next tick and changes no live state.
                head.life = -1;
            } else if (head.life < 30 && head.scanBudget >= 1) {
                head.life += 25;
                --head.scanBudget;
            }
            if (head.phase == AffairRequest::kPhaseQueued && unreached != 0) {
                head.phase = AffairRequest::kPhaseRunning;
                emit scanStarted();
            }
        }
        AnnounceCommandState(head, true);
        emit statusChanged();
    } else if (head.step == Command::NWS) {
        m_status.statusText = DescribeRequest(head);
        emit statusChanged();
    } else if ((head.kind == RequestKind::SelfCheck && head.step == Command::MGQ) ||
               (head.kind == RequestKind::GprsLock && head.step == Command::MSQ)) {
        SetStatus(LoadStr(head.kind == RequestKind::SelfCheck ? Sid::LinkSelfCheck : Sid::LinkLockGprs), 0);
    }
}

// The command's progress code at its first node information (atStart) or at its time-out; the
// node id, -1 when the kind drives no field or the node is unknown.
int CUartAffairLink::AnnounceCommandState(const AffairRequest &head, bool atStart)
{
    const LinkCommandState::Codes codes = LinkCommandState::ForRequest(head);
    if (codes.field == CommandField::None)
        return -1;
    const int id = Services().FindNode(head.ExtAddressText()).id;
    if (id < 0)
        return -1;
    if (atStart && head.kind == RequestKind::Download)
        m_status.progress = 5;
    emit commandStateChanged(id, head.kind, codes.field, atStart ? codes.atStart : codes.atTimeOut);
    return id;
}

void CUartAffairLink::TimeOut(AffairRequest &head)
{
    if (head.kind == RequestKind::GprsLock)
        emit gprsLockFinished(false);
    const bool delivered = head.kind == RequestKind::Download && DeliverPartialDownload(head);

    const qint64 now = Now();
    const bool scan = head.kind == RequestKind::Scan;
    m_status.msgKind = scan ? MessageKind::Scan : MessageKind::Interrupted;
    m_status.msgText =
        scan ? LoadStr(Sid::LinkScanFinished) : DescribeRequest(head) + LoadStr(Sid::LinkNotFinished);
    LinkServices &services = Services();
    services.LogEntry(m_status.msgKind, now, m_status.msgText);
    SetStatus(QString(), 0);

    bool lost = false;
    const int id = AnnounceCommandState(head, false);
    // A real-time read issued because the node's data were overdue: the node is gone. The
    // warning, not the interruption, is the message shown, so that it raises the alarm.
    if (id >= 0 && head.kind == RequestKind::ReadRealTime && services.RealTimeOverdue(id)) {
        emit nodeLost(id);
        m_status.msgKind = MessageKind::Alarm;
        m_status.msgText = NodePrefix(head.extAddress, 0) + LoadStr(Sid::LinkConnectionLost);
        services.LogEntry(m_status.msgKind, now, m_status.msgText);
        lost = true;
    }
    services.SaveLog();
    emit messageLogged(lost);
    if (delivered)
        emit finishedAvailable();
}

// A download that stops after some blocks arrived keeps them: what arrived, cut to whole
// records, is delivered as a finished result so that it is stored and the next download
// resumes after it.
bool CUartAffairLink::DeliverPartialDownload(AffairRequest &head)
{
    if (head.step != Command::DLD || !head.result || !head.result->block)
        return false;
    AffairReply &result = *head.result;
    DownloadBlock &block = *result.block;
    const int bytesPerRecord =
        (NodeType::HasChannel1(result.deviceType) ? 2 : 0) + ((result.deviceType & 0x08) ? 2 : 0);
    if (block.received < 1 || bytesPerRecord == 0)
        return false;
    const qint64 records = (qint64(block.startOffset) + block.received) / bytesPerRecord;
    const qint64 keep = records * bytesPerRecord - block.startOffset;
    if (keep < 1)
        return false;
    block.received = qint32(keep);
    block.total = block.received;
    block.address = block.startOffset + block.received;
    block.data.truncate(block.received);
    block.interrupted = true;
    result.endTime = result.startTime + records * result.logInterval;
    result.type = Command::DLD;
    result.presence |= ReplyBits::kBlock;
    AddFinished(std::move(head.result), AffairReply::RequestResult);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Answers

bool CUartAffairLink::HandleReply(AffairReply &reply)
{
    if (!reply.IsComplete())
        return false;
    auto record = std::make_unique<AffairReply>(std::move(reply));
    record->receivedTime = Now();
    if (m_queue.empty()) {
        AddFinished(std::move(record), AffairReply::Unsolicited);
        return true;
    }
    AffairRequest &head = *m_queue.front();
    const Command type = record->type;
    const bool sameNode = record->extAddress == head.extAddress;
    if (type == head.step && IsNetworkCommand(type) && (sameNode || type == Command::GDI)) {
        Merge(head, std::move(record));
        Advance(head, type);
        FinishHeadIfDone();
        return true;
    }
    if (type == Command::GNI && sameNode && head.step > Command::GNI)
        return true; // a late duplicate of the answer that already moved the head on
    if (IsGprsCommand(type) && (head.kind == RequestKind::SelfCheck || head.kind == RequestKind::GprsLock)) {
        if (!head.result) {
            head.result = std::move(record);
            RunGprsFlow(head, *head.result);
        } else {
            RunGprsFlow(head, *record);
        }
        FinishHeadIfDone();
        return true;
    }
    AddFinished(std::move(record), AffairReply::Unsolicited);
    return true;
}

namespace {

// Copies the fields an answer carries (its presence bits) into the request's result.
void MergeFields(AffairReply &res, const AffairReply &r)
{
    using namespace ReplyBits;
    const quint32 p = r.presence;
    res.type = r.type;
    // The result's time is that of the answer that carried its readings: a later answer
    // without them (a retried step) must not date the readings or the last contact late.
    if ((p & kValues) || !(res.presence & kValues))
        res.receivedTime = r.receivedTime;
    if (p & kShortAddress)
        res.shortAddress = r.shortAddress;
    if (p & kExtAddress)
        res.extAddress = r.extAddress;
    if (p & kParentAddress)
        res.parentAddress = r.parentAddress;
    if (p & kStartTime)
        res.startTime = r.startTime;
    if (p & kEndTime)
        res.endTime = r.endTime;
    if (p & kLogInterval)
        res.logInterval = r.logInterval;
    if (p & kDeviceType)
        res.deviceType = r.deviceType;
    if (p & kStatus)
        res.status = r.status;
    if (p & kValues) {
        res.value1 = r.value1;
        res.value2 = r.value2;
    }
    if (p & kAlarm) {
        res.alarmMode = r.alarmMode;
        res.limit1 = r.limit1;
        res.limit2 = r.limit2;
        res.limit3 = r.limit3;
        res.limit4 = r.limit4;
    }
    if (p & kDataLength)
        res.dataLength = r.dataLength;
    if (p & kRtInterval)
        res.rtInterval = r.rtInterval;
    if (p & kRfLevel)
        res.rfLevel = r.rfLevel;
    if (p & kPowerLevel)
        res.powerLevel = r.powerLevel;
    if (p & kEventFlags)
        res.eventFlags = r.eventFlags;
}

// The result records what was written, not only what the node answered.
void RecordWritten(const AffairRequest &head, AffairReply &res)
{
    const bool started = head.kind == RequestKind::StartLogging && res.type == Command::STN;
    if (started) {
        res.startTime = head.startTime;
        res.logInterval = head.logInterval;
    }
    if (started || (head.kind == RequestKind::SetAlarm && res.type == Command::WNN)) {
        res.alarmMode = head.alarmMode;
        res.limit1 = head.limit1;
        res.limit2 = head.limit2;
        res.limit3 = head.limit3;
        res.limit4 = head.limit4;
    }
}

} // namespace

void CUartAffairLink::Merge(AffairRequest &head, std::unique_ptr<AffairReply> reply)
{
    if (!head.result) {
        head.result = std::move(reply);
    } else {
        MergeFields(*head.result, *reply);
        if ((reply->presence & ReplyBits::kBlock) && head.step == Command::DLD && head.result->block &&
            reply->block)
            AppendBlock(head, *reply->block);
        head.result->presence |= reply->presence;
    }
    RecordWritten(head, *head.result);
}

void CUartAffairLink::AppendBlock(AffairRequest &head, const DownloadBlock &in)
{
    DownloadBlock &into = *head.result->block;
    // Only the block that continues the data fits; others are asked for again.
    if (in.address != into.address || in.received > into.total - into.received)
        return;
    const int n = in.received;
    if (into.data.size() < into.received + n)
        into.data.resize(into.received + n);
    if (n > 0) {
        std::memcpy(into.data.data() + into.received, in.data.constData(), size_t(n));
        // An empty block is no progress: it must not keep a silent download alive.
        head.resendCountdown = kBlockResend;
        head.life = AffairRequest::kStepLife;
    }
    into.address += n;
    into.received += n;
}

void CUartAffairLink::Advance(AffairRequest &head, Command replyType)
{
    switch (head.kind) {
    case RequestKind::ReceiverInfo:
        if (replyType == Command::GDI) {
            head.phase = AffairRequest::kPhaseFinished;
            // Every queued receiver query is answered by this one.
            m_queue.erase(
                std::remove_if(std::next(m_queue.begin()), m_queue.end(),
                               [](const RequestPtr &q) { return q->kind == RequestKind::ReceiverInfo; }),
                m_queue.end());
        }
        break;
    case RequestKind::NodeInfo:
        if (replyType == Command::GNI)
            head.phase = AffairRequest::kPhaseFinished;
        break;
    case RequestKind::ReadRealTime:
    case RequestKind::StartLogging:
    case RequestKind::StopLogging:
    case RequestKind::SetRealTime:
    case RequestKind::SetAlarm:
    case RequestKind::Scan:
        // These kinds' second step is the command of the same number.
        if (replyType == Command::GNI)
            head.BeginStep(Command(KindNumber(head.kind)));
        else if (CommandNumber(replyType) == KindNumber(head.kind))
            head.phase = AffairRequest::kPhaseFinished;
        break;
    case RequestKind::RefreshConnection:
        if (replyType == Command::GNI) {
            if (NodeType::IsRouter(head.result->deviceType))
                head.phase = AffairRequest::kPhaseFinished; // a router records nothing
            else
                head.BeginStep(Command::GHI);
        } else if (replyType == Command::GHI) {
            head.phase = AffairRequest::kPhaseFinished;
        }
        break;
    case RequestKind::Download:
        if (replyType == Command::GNI) {
            m_status.progress = 10;
            head.BeginStep(Command::GHI);
            emit statusChanged();
        } else if (replyType == Command::GHI) {
            SizeDownload(head);
            emit statusChanged();
        } else if (replyType == Command::DLD && head.result->block) {
            const DownloadBlock &block = *head.result->block;
            head.phase = AffairRequest::kPhaseReceiving;
            if (block.total > 0)
                m_status.progress = int(15 + qint64(block.received) * 100 / block.total);
            if (block.received == block.total) {
                head.phase = AffairRequest::kPhaseFinished;
                m_status.progress = 115;
            }
        }
        break;
    default:
        break;
    }
}

void CUartAffairLink::SizeDownload(AffairRequest &head)
{
    AffairReply &res = *head.result;
    if (!res.block)
        res.block.emplace();
    DownloadBlock &block = *res.block;
    block = DownloadBlock{};
    head.step = Command::DLD;

    qint64 needed = 0;
    if (head.downloadMode == 1) {
        if (head.planTo != 0 && head.planTo >= res.startTime && res.logInterval > 0) {
            const qint64 records = (head.planTo - res.startTime) / res.logInterval;
            needed = ((res.deviceType & 0x80) ? records * 2 + 2 : 0) +
                     ((res.deviceType & 0x08) ? records * 2 + 2 : 0);
            needed = std::min<qint64>(needed, res.dataLength);
        }
    } else if (head.downloadMode == 0) {
        needed = res.dataLength;
    }
    if (needed > 0) {
        if (res.startTime == head.storedStart) {
            // The same recording as the one in the database: continue after it.
            if (head.storedLength < needed) {
                block.startOffset = block.address = head.storedLength;
                block.total = qint32(needed - head.storedLength);
            }
        } else {
            block.total = qint32(needed);
        }
    }
    if (block.total < 1) {
        m_status.progress = 115;
        res.type = Command::DLD;
        res.presence |= ReplyBits::kBlock;
        head.phase = AffairRequest::kPhaseFinished;
        return;
    }
    block.data.reserve(block.total + 1000);
    m_status.progress = 15;
    head.BeginStep(Command::DLD);
}

void CUartAffairLink::FinishHeadIfDone()
{
    if (m_queue.empty())
        return;
    AffairRequest &head = *m_queue.front();
    if (!head.IsFinished() || !head.result)
        return;
    const bool lock = head.kind == RequestKind::GprsLock;
    AddFinished(std::move(head.result), AffairReply::RequestResult);
    m_queue.pop_front();
    if (lock)
        emit gprsLockFinished(true);
}

// ---------------------------------------------------------------------------------------------
// Queue and finished list

const AffairRequest *CUartAffairLink::Head() const
{
    return m_queue.empty() ? nullptr : m_queue.front().get();
}

const AffairRequest *CUartAffairLink::QueuedAt(int index) const
{
    if (index < 0 || index >= QueueSize())
        return nullptr;
    return std::next(m_queue.begin(), index)->get();
}

int CUartAffairLink::CancelQueued(RequestKind kind, const ExtAddress &extAddress)
{
    if (m_queue.size() < 2)
        return 0;
    const auto before = m_queue.size();
    m_queue.erase(
        std::remove_if(std::next(m_queue.begin()), m_queue.end(),
                       [&](const RequestPtr &q) { return q->kind == kind && q->extAddress == extAddress; }),
        m_queue.end());
    return m_queue.size() != before ? 1 : 0;
}

void CUartAffairLink::ClearQueue()
{
    m_queue.clear();
}

void CUartAffairLink::AddFinished(std::unique_ptr<AffairReply> record, quint8 disposition)
{
    record->disposition = disposition;
    // Only the newest of equal records is kept until the main window takes it.
    m_finished.remove_if([&](const std::unique_ptr<AffairReply> &old) {
        return old->disposition == record->disposition && old->extAddress == record->extAddress &&
               old->presence == record->presence && old->type == record->type;
    });
    m_finished.push_back(std::move(record));
}

const AffairReply *CUartAffairLink::FirstFinished() const
{
    return m_finished.empty() ? nullptr : m_finished.front().get();
}

std::unique_ptr<AffairReply> CUartAffairLink::TakeFinished()
{
    if (m_finished.empty())
        return nullptr;
    auto record = std::move(m_finished.front());
    m_finished.pop_front();
    return record;
}

bool CUartAffairLink::RemoveFinished(const AffairReply *record)
{
    const auto it = std::find_if(m_finished.begin(), m_finished.end(),
                                 [&](const std::unique_ptr<AffairReply> &r) { return r.get() == record; });
    if (it == m_finished.end())
        return false;
    m_finished.erase(it);
    return true;
}

void CUartAffairLink::SetStatus(const QString &text, int progress)
{
    m_status.statusText = text;
    m_status.progress = progress;
    emit statusChanged();
}
