#include "SimNetwork.h"

#include <algorithm>

using namespace FrameCodec;

namespace {

constexpr int kModeShort = 2;
constexpr int kModeExtended = 3;
constexpr int kModeBroadcast = 15;
constexpr int kReceiverTarget = -2;
constexpr int kMaxShortAddress = 0xFFF0;

// Request body sizes after the addressing block.
constexpr int kStnBody = 7 + 7 + 3 + 1 + 8;
constexpr int kRtcBody = 3;
constexpr int kDldBody = 6;
constexpr int kWnnBody = 1 + 8;

// GHI answer body (offsets relative to the body, which starts at frame offset 7).
constexpr int kGhiBodySize = 59;
constexpr int kGhiStart = 24;
constexpr int kGhiEnd = 31;
constexpr int kGhiAlarmMode = 38;
constexpr int kGhiLimits = 39;
constexpr int kGhiInterval = 47;
constexpr int kGhiDataLength = 50;
constexpr int kGhiType = 58;

constexpr quint32 kMax24 = 0xFFFFFF;

quint8 *Bytes(QByteArray &a)
{
    return reinterpret_cast<quint8 *>(a.data());
}

void AppendAddress(QByteArray &body, const ExtAddress &address)
{
    body.append(reinterpret_cast<const char *>(address.data()), static_cast<int>(address.size()));
}

void Append16(QByteArray &body, quint32 value)
{
    quint8 b[2];
    Put16(value, b);
    body.append(reinterpret_cast<const char *>(b), 2);
}

void Append24(QByteArray &body, quint32 value)
{
    quint8 b[3];
    Put24(value, b);
    body.append(reinterpret_cast<const char *>(b), 3);
}

void AppendMeasured(QByteArray &body, double value)
{
    quint8 b[2];
    EncodeMeasured(static_cast<float>(value), b);
    body.append(reinterpret_cast<const char *>(b), 2);
}

double SampleValue(SimNode &node, int channel, qint64 loggerTime)
{
    double v = node.channels[static_cast<std::size_t>(channel)].ValueAt(loggerTime);
    if (channel == 1 && node.type == SimType::kTempHumidity)
        v = std::clamp(v, 0.0, 100.0);
    return v;
}

quint32 Clamp24(qint64 v)
{
    return static_cast<quint32>(std::clamp<qint64>(v, 0, kMax24));
}

} // namespace

int SimNetwork::FindNode(const QString &addressOrName) const
{
    if (const auto address = AddressFromText(addressOrName)) {
        const int i = FindByAddress(*address);
        if (i >= 0)
            return i;
    }
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        if (!nodes_[i].name.isEmpty() && nodes_[i].name == addressOrName)
            return static_cast<int>(i);
    }
    return -1;
}

int SimNetwork::FindByAddress(const ExtAddress &address) const
{
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        if (nodes_[i].address == address)
            return static_cast<int>(i);
    }
    return -1;
}

int SimNetwork::FindByShort(int shortAddress) const
{
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        if (nodes_[i].shortAddress >= 0 && nodes_[i].shortAddress == shortAddress)
            return static_cast<int>(i);
    }
    return -1;
}

bool SimNetwork::CanAnswer(int node) const
{
    // Parents form no cycle (checked at load), so the walk ends at the receiver.
    for (int i = node; i >= 0; i = nodes_[static_cast<std::size_t>(i)].parent) {
        const SimNode &n = nodes_[static_cast<std::size_t>(i)];
        if (!n.reachable || n.shortAddress < 0)
            return false;
    }
    return node >= 0;
}

int SimNetwork::Hops(int node) const
{
    int hops = 0;
    for (int i = node; i >= 0; i = nodes_[static_cast<std::size_t>(i)].parent)
        ++hops;
    return hops;
}

int SimNetwork::FreeShortAddress() const
{
    for (int candidate = 1; candidate <= kMaxShortAddress; ++candidate) {
        if (FindByShort(candidate) < 0)
            return candidate;
    }
    return -1;
}

void SimNetwork::Update(qint64 nowSec)
{
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        SimNode &n = nodes_[i];
        if (n.shortAddress < 0 && n.joinAt <= nowSec)
            n.shortAddress = FreeShortAddress();
        CatchUp(static_cast<int>(i), nowSec);
    }
}

void SimNetwork::RecordUpTo(SimNode &node, qint64 loggerTime)
{
    SimRecording &rec = node.rec;
    if (rec.runState == 1 && loggerTime >= rec.start)
        rec.runState = 2;
    if (rec.runState != 2 || rec.interval <= 0)
        return;
    const int bytes = node.BytesPerRecord();
    while (rec.nextSample <= loggerTime) {
        if (rec.data.size() + bytes > std::min<qint64>(rec.capacity, kMax24)) {
            // Memory full: the logger keeps its samples and records no more; the next sample
            // time stays where it is so that nothing is recorded later out of step.
            return;
        }
        AppendMeasured(rec.data, SampleValue(node, 0, rec.nextSample));
        if (node.HasChannel2())
            AppendMeasured(rec.data, SampleValue(node, 1, rec.nextSample));
        rec.nextSample += rec.interval;
    }
}

void SimNetwork::CatchUp(int node, qint64 nowSec)
{
    SimNode &n = Node(node);
    if (n.IsLogger())
        RecordUpTo(n, nowSec + n.rec.clockOffset);
}

bool SimNetwork::SetChannelValue(int node, int channel, double value, qint64 nowSec)
{
    if (node < 0 || node >= static_cast<int>(nodes_.size()))
        return false;
    SimNode &n = Node(node);
    if (!n.IsLogger() || channel < 0 || channel >= static_cast<int>(n.channels.size()))
        return false;
    CatchUp(node, nowSec);
    n.channels[static_cast<std::size_t>(channel)] = ValueModel::Constant(value);
    return true;
}

double SimNetwork::ChannelValue(int node, int channel, qint64 nowSec)
{
    SimNode &n = Node(node);
    return SampleValue(n, channel, nowSec + n.rec.clockOffset);
}

quint8 SimNetwork::Status(int node) const
{
    const SimNode &n = nodes_[static_cast<std::size_t>(node)];
    if (!n.IsLogger())
        return n.statusBits;
    return static_cast<quint8>((n.rec.runState & 0x03) | (n.rec.alarmMode & 0x0C) | (n.statusBits & 0xF0));
}

quint8 SimNetwork::EventFlags(int node, qint64 nowSec)
{
    SimNode &n = Node(node);
    quint8 flags = n.faults & SimFlag::kFaultMask;
    if (!n.IsLogger() || (n.rec.alarmMode & 0x04) == 0)
        return flags;
    const auto outside = [](double v, float lower, float upper) { return v < lower || v > upper; };
    if (outside(ChannelValue(node, 0, nowSec), n.rec.limits[0], n.rec.limits[1]))
        flags |= SimFlag::kAlarm1;
    if (n.HasChannel2() && outside(ChannelValue(node, 1, nowSec), n.rec.limits[2], n.rec.limits[3]))
        flags |= SimFlag::kAlarm2;
    return flags;
}

QByteArray SimNetwork::InfoBody(int node) const
{
    QByteArray body;
    if (node < 0) {
        quint8 flags = receiver_.faults & SimFlag::kFaultMask;
        if (gprs_.module == SimGprs::Module::Fault)
            flags |= SimFlag::kGprsFault;
        Append16(body, 0);
        AppendAddress(body, receiver_.address);
        body.append(static_cast<char>(SimType::kReceiver));
        body.append(static_cast<char>(receiver_.status));
        body.append(static_cast<char>(flags));
        body.append(static_cast<char>(receiver_.battery));
        body.append('\0');
        body.append(static_cast<char>(receiver_.rfLevel));
        body.append(QByteArray(8, '\0')); // the coordinator has no parent
        return body;
    }
    const SimNode &n = nodes_[static_cast<std::size_t>(node)];
    // Flags without the alarm bits: reading the channels here would move a random walk from
    // a const path; GMD carries the alarm state.
    Append16(body, static_cast<quint32>(n.shortAddress));
    AppendAddress(body, n.address);
    body.append(static_cast<char>(n.type));
    body.append(static_cast<char>(Status(node)));
    body.append(static_cast<char>(n.faults & SimFlag::kFaultMask));
    body.append(static_cast<char>(n.battery));
    body.append('\0');
    body.append(static_cast<char>(n.rfLevel));
    AppendAddress(body,
                  n.parent < 0 ? receiver_.address : nodes_[static_cast<std::size_t>(n.parent)].address);
    return body;
}

QByteArray SimNetwork::ReportFrame(int node, qint64 nowSec)
{
    CatchUp(node, nowSec);
    SimNode &n = Node(node);
    QByteArray body;
    AppendAddress(body, n.address);
    body.append(static_cast<char>(n.type));
    AppendMeasured(body, ChannelValue(node, 0, nowSec));
    AppendMeasured(body, n.HasChannel2() ? ChannelValue(node, 1, nowSec) : 0.0);
    body.append(static_cast<char>(Status(node)));
    body.append(static_cast<char>(EventFlags(node, nowSec)));
    body.append(static_cast<char>(n.battery));
    Append24(body, Clamp24(n.rtInterval));
    body.append(static_cast<char>(n.rfLevel));
    if (n.longGmd && n.shortAddress >= 0)
        Append16(body, static_cast<quint32>(n.shortAddress));
    return BuildAnswer(Command::GMD, body);
}

QByteArray SimNetwork::StatusFrame(FrameCodec::Command command, int node) const
{
    QByteArray body;
    AppendAddress(body, nodes_[static_cast<std::size_t>(node)].address);
    body.append(static_cast<char>(Status(node)));
    return BuildAnswer(command, body);
}

QByteArray SimNetwork::HistoryFrame(int node) const
{
    const SimNode &n = nodes_[static_cast<std::size_t>(node)];
    const SimRecording &rec = n.rec;
    QByteArray body(kGhiBodySize, '\0');
    quint8 *b = Bytes(body);
    std::copy(n.address.begin(), n.address.end(), b);
    const qint64 records = rec.data.size() / n.BytesPerRecord();
    const qint64 end = records > 0 ? rec.start + (records - 1) * rec.interval : rec.start;
    EncodeDate(rec.start, b + kGhiStart);
    EncodeDate(end, b + kGhiEnd);
    b[kGhiAlarmMode] = rec.alarmMode;
    for (int i = 0; i < 4; ++i)
        EncodeMeasured(rec.limits[static_cast<std::size_t>(i)], b + kGhiLimits + 2 * i);
    Put24(Clamp24(rec.interval), b + kGhiInterval);
    Put24(Clamp24(rec.data.size()), b + kGhiDataLength);
    b[kGhiType] = n.type;
    return BuildAnswer(Command::GHI, body);
}

int SimNetwork::Resolve(const SimRequest &request) const
{
    if (request.addrMode == kModeShort)
        return request.shortAddress == 0 ? kReceiverTarget : FindByShort(request.shortAddress);
    if (request.addrMode == kModeExtended)
        return request.extAddress == receiver_.address ? kReceiverTarget : FindByAddress(request.extAddress);
    return -1;
}

bool SimNetwork::StartRecording(int node, const SimRequest &request, qint64 nowSec)
{
    if (request.body.size() < kStnBody)
        return false;
    const auto *b = reinterpret_cast<const quint8 *>(request.body.constData());
    const auto start = DecodeDate(b);
    const auto pcNow = DecodeDate(b + 7);
    const qint64 interval = Get24(b + 14);
    if (!start || !pcNow || interval <= 0)
        return false;
    SimRecording &rec = Node(node).rec;
    rec.clockOffset = *pcNow - nowSec; // the start sets the logger's clock
    rec.start = std::max(*start, *pcNow);
    rec.interval = interval;
    rec.alarmMode = b[17];
    for (int i = 0; i < 4; ++i)
        rec.limits[static_cast<std::size_t>(i)] = DecodeLimit(b + 18 + 2 * i);
    rec.data.clear();
    rec.nextSample = rec.start;
    rec.runState = rec.start > *pcNow ? 1 : 2;
    return true;
}

SimOutcome SimNetwork::Handle(const SimRequest &request, qint64 nowSec)
{
    SimOutcome out;
    Update(nowSec);
    const FrameCodec::Command command = request.command;
    if (command >= Command::MDQ) {
        HandleGprs(request, out);
        return out;
    }
    if (command == Command::GDI) {
        out.replies.push_back({-1, BuildAnswer(Command::GDI, InfoBody(-1)), SimReply::Pace::Receiver, 0});
        return out;
    }
    if (request.addrMode == kModeBroadcast) {
        if (command != Command::GNI)
            return out;
        int order = 0;
        for (std::size_t i = 0; i < nodes_.size(); ++i) {
            const int node = static_cast<int>(i);
            if (CanAnswer(node))
                out.replies.push_back(
                    {node, BuildAnswer(Command::GNI, InfoBody(node)), SimReply::Pace::Scan, order++});
        }
        return out;
    }
    const int target = Resolve(request);
    if (target == kReceiverTarget) {
        if (command == Command::GNI)
            out.replies.push_back({-1, BuildAnswer(Command::GNI, InfoBody(-1)), SimReply::Pace::Receiver, 0});
        return out;
    }
    if (target < 0 || !CanAnswer(target))
        return out;
    SimNode &n = Node(target);
    const auto reply = [&](QByteArray frame) {
        out.replies.push_back({target, std::move(frame), SimReply::Pace::Radio, 0});
    };
    if (command == Command::GNI) {
        reply(BuildAnswer(Command::GNI, InfoBody(target)));
        return out;
    }
    if (command == Command::SNM) {
        n.shortAddress = -1;
        n.joinAt = nowSec + radio_.rejoinSeconds;
        return out;
    }
    if (!n.IsLogger())
        return out;
    const auto *b = reinterpret_cast<const quint8 *>(request.body.constData());
    switch (command) {
    case Command::GMD:
        reply(ReportFrame(target, nowSec));
        break;
    case Command::STN:
        if (StartRecording(target, request, nowSec))
            reply(StatusFrame(Command::STN, target));
        break;
    case Command::SPN:
        n.rec.runState = 0;
        reply(StatusFrame(Command::SPN, target));
        break;
    case Command::RTC:
        if (request.body.size() >= kRtcBody) {
            n.rtInterval = Get24(b);
            out.rtChangedNode = target;
            QByteArray body;
            AppendAddress(body, n.address);
            Append24(body, Clamp24(n.rtInterval));
            reply(BuildAnswer(Command::RTC, body));
        }
        break;
    case Command::GHI:
        reply(HistoryFrame(target));
        break;
    case Command::DLD:
        if (request.body.size() >= kDldBody) {
            const qint64 address = Get24(b);
            const qint64 end = std::min<qint64>(address + Get24(b + 3), n.rec.data.size());
            const int blockSize = std::clamp(radio_.blockSize, 1, 255);
            int order = 0;
            qint64 at = address;
            do {
                const int count = static_cast<int>(std::clamp<qint64>(end - at, 0, blockSize));
                QByteArray body;
                AppendAddress(body, n.address);
                Append24(body, static_cast<quint32>(at));
                body.append(static_cast<char>(count));
                body.append(n.rec.data.mid(static_cast<int>(at), count));
                out.replies.push_back(
                    {target, BuildAnswer(Command::DLD, body), SimReply::Pace::Block, order++});
                at += count;
            } while (at < end);
            out.downloadNode = target;
        }
        break;
    case Command::WNN:
        if (request.body.size() >= kWnnBody) {
            n.rec.alarmMode = b[0];
            for (int i = 0; i < 4; ++i)
                n.rec.limits[static_cast<std::size_t>(i)] = DecodeLimit(b + 1 + 2 * i);
            reply(StatusFrame(Command::WNN, target));
        }
        break;
    default:
        break;
    }
    return out;
}

void SimNetwork::HandleGprs(const SimRequest &request, SimOutcome &out)
{
    if (gprs_.module == SimGprs::Module::None)
        return;
    const auto *b = reinterpret_cast<const quint8 *>(request.body.constData());
    const int size = static_cast<int>(request.body.size());
    const int capacity = static_cast<int>(gprs_.entries.size());
    const int index = size >= 2 ? static_cast<int>(Get16(b)) : -1;
    const auto send = [&](FrameCodec::Command command, const QByteArray &body) {
        out.replies.push_back({-1, BuildAnswer(command, body), SimReply::Pace::Receiver, 0});
    };
    const auto indexed = [&](FrameCodec::Command command, const quint8 *data, int count) {
        QByteArray body;
        Append16(body, static_cast<quint32>(index));
        body.append(reinterpret_cast<const char *>(data), count);
        send(command, body);
    };
    const auto mask = [](int value) {
        QByteArray body(2, '\0');
        EncodeMask10(value, Bytes(body));
        return body;
    };
    const bool loggerIndex = index >= 0 && index < capacity;
    const bool slotIndex = index >= 0 && index < static_cast<int>(gprs_.phones.size());
    SimGprs::Entry *entry = loggerIndex ? &gprs_.entries[static_cast<std::size_t>(index)] : nullptr;
    auto *slot = slotIndex ? &gprs_.phones[static_cast<std::size_t>(index)] : nullptr;

    switch (request.command) {
    case Command::MDQ:
        if (size < 2)
            return;
        // The receiver keeps what fits; the echo tells the PC what that was.
        gprs_.loggerCount = std::min(index, capacity);
        [[fallthrough]];
    case Command::MEQ: {
        QByteArray body;
        Append16(body, static_cast<quint32>(gprs_.loggerCount));
        send(Command::MEQ, body);
        break;
    }
    case Command::MDI:
        if (!entry || size < 10)
            return;
        entry->address = AddressFromBytes(b + 2);
        [[fallthrough]];
    case Command::MEI:
        if (entry)
            indexed(Command::MEI, entry->address.data(), 8);
        break;
    case Command::MDN:
        if (!entry || size < 50)
            return;
        std::copy(b + 2, b + 50, entry->info.begin());
        [[fallthrough]];
    case Command::MEN:
        if (entry)
            indexed(Command::MEN, entry->info.data(), 48);
        break;
    case Command::MSQ:
        if (size < 2)
            return;
        gprs_.slotMask = DecodeMask10(b);
        [[fallthrough]];
    case Command::MGQ:
        send(Command::MGQ, mask(gprs_.slotMask));
        break;
    case Command::MSN:
        if (!slot || size < 18)
            return;
        std::copy(b + 2, b + 18, slot->begin());
        [[fallthrough]];
    case Command::MGN:
        if (slot)
            indexed(Command::MGN, slot->data(), 16);
        break;
    case Command::MAN:
        if (!entry || size < 4)
            return;
        entry->bindMask = DecodeMask10(b + 2);
        [[fallthrough]];
    case Command::MBN:
        if (entry) {
            const QByteArray m = mask(entry->bindMask);
            indexed(Command::MBN, reinterpret_cast<const quint8 *>(m.constData()), 2);
        }
        break;
    default:
        break;
    }
}
