#include "SimReceiver.h"
#include "SimLog.h"

#include "SimPty.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>

#include <algorithm>

namespace {

constexpr qint64 kMaxScenarioBytes = 16 * 1024 * 1024;
constexpr int kLineBitsPerByte = 10; // start bit, 8 data bits, stop bit
constexpr int kLineBaud = 38400;
constexpr int kSplitGapMs = 2; // a receiver that writes in pieces pauses between them
constexpr int kMaxNoiseBytes = 8;

qint64 LineMs(int bytes)
{
    const qint64 bits = static_cast<qint64>(bytes) * kLineBitsPerByte * 1000;
    return (bits + kLineBaud - 1) / kLineBaud;
}

bool IsProbability(double p)
{
    return p >= 0.0 && p <= 1.0;
}

} // namespace

SimReceiver::SimReceiver(SimClock clock, quint32 seed, QObject *parent)
    : QObject(parent), clock_(std::move(clock)), rng_(seed), seed_(seed)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &SimReceiver::RunDue);
}

SimReceiver::~SimReceiver() = default;

bool SimReceiver::LoadScenarioFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot open scenario %1: %2").arg(path, file.errorString());
        return false;
    }
    if (file.size() > kMaxScenarioBytes) {
        if (error)
            *error = QStringLiteral("scenario %1 is larger than 16 MiB").arg(path);
        return false;
    }
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject()) {
        if (error)
            *error = QStringLiteral("scenario %1 is not a JSON object: %2 at offset %3")
                         .arg(path, parseError.errorString())
                         .arg(parseError.offset);
        return false;
    }
    return LoadScenario(doc.object(), error);
}

bool SimReceiver::LoadScenario(const QJsonObject &json, QString *error)
{
    auto network = SimNetwork::FromJson(json, clock_.NowSeconds(), seed_, error);
    if (!network)
        return false;
    network_ = std::move(network);
    events_.clear();
    const std::size_t count = network_->Nodes().size();
    reportGeneration_.assign(count, 0);
    burstGeneration_.assign(count, 0);
    // Loggers already reporting start at staggered moments within their interval, as a real
    // network that has been running for a while does.
    for (std::size_t i = 0; i < count; ++i) {
        const qint64 interval = network_->Nodes()[i].rtInterval;
        if (interval > 0) {
            std::uniform_int_distribution<qint64> phase(1, interval * 1000);
            ScheduleReport(static_cast<int>(i), clock_.NowMs() + phase(rng_));
        }
    }
    Rearm();
    return true;
}

bool SimReceiver::OpenPty(QString *error)
{
    auto pty = std::make_unique<SimPty>();
    if (!pty->Open(error))
        return false;
    pty_ = std::move(pty);
    connect(pty_.get(), &SimPty::Received, this, &SimReceiver::Feed);
    connect(this, &SimReceiver::Output, pty_.get(), &SimPty::Write);
    return true;
}

QString SimReceiver::SlavePath() const
{
    return pty_ ? pty_->SlavePath() : QString();
}

void SimReceiver::Schedule(qint64 dueMs, Action action)
{
    events_.emplace(dueMs, std::move(action));
    Rearm();
}

void SimReceiver::Rearm()
{
    if (clock_.IsManual())
        return;
    if (events_.empty()) {
        timer_.stop();
        return;
    }
    timer_.start(static_cast<int>(std::min<qint64>(clock_.WallMsUntil(events_.begin()->first), 3600000)));
}

void SimReceiver::RunDue()
{
    while (!events_.empty() && events_.begin()->first <= clock_.NowMs()) {
        Action action = std::move(events_.begin()->second);
        events_.erase(events_.begin());
        action();
    }
    Rearm();
}

void SimReceiver::Advance(qint64 ms)
{
    if (!clock_.IsManual())
        return;
    const qint64 target = clock_.NowMs() + std::max<qint64>(ms, 0);
    while (!events_.empty() && events_.begin()->first <= target) {
        clock_.SetManualNow(events_.begin()->first);
        Action action = std::move(events_.begin()->second);
        events_.erase(events_.begin());
        action();
    }
    clock_.SetManualNow(target);
}

void SimReceiver::Feed(const QByteArray &bytes)
{
    for (const SimRequest &request : scanner_.Feed(bytes)) {
        // A silent receiver hears nothing either: the request is lost, nothing changes.
        if (network_ && !Silent())
            HandleRequest(request);
    }
}

qint64 SimReceiver::RadioDelay(int node)
{
    const SimRadio &radio = network_->Radio();
    std::uniform_int_distribution<int> hop(radio.delayMinMs, std::max(radio.delayMinMs, radio.delayMaxMs));
    qint64 delay = 0;
    for (int i = network_->Hops(node); i > 0; --i)
        delay += hop(rng_);
    return delay;
}

void SimReceiver::HandleRequest(const SimRequest &request)
{
    const qint64 now = clock_.NowMs();
    SimOutcome outcome = network_->Handle(request, now / 1000);
    if (outcome.rtChangedNode >= 0) {
        const int node = outcome.rtChangedNode;
        ++reportGeneration_[static_cast<std::size_t>(node)];
        const qint64 interval = network_->Nodes()[static_cast<std::size_t>(node)].rtInterval;
        if (interval > 0)
            ScheduleReport(node, now + interval * 1000);
    }
    // A new download request replaces the blocks still to come of an earlier one.
    quint64 burst = 0;
    if (outcome.downloadNode >= 0)
        burst = ++burstGeneration_[static_cast<std::size_t>(outcome.downloadNode)];
    const SimRadio &radio = network_->Radio();
    qint64 blockBase = -1;
    for (SimReply &reply : outcome.replies) {
        qint64 delay = 0;
        switch (reply.pace) {
        case SimReply::Pace::Receiver:
            delay = radio.receiverDelayMs;
            break;
        case SimReply::Pace::Radio:
            delay = RadioDelay(reply.node);
            break;
        case SimReply::Pace::Scan:
            delay = static_cast<qint64>(reply.order + 1) * radio.scanStepMs + RadioDelay(reply.node);
            break;
        case SimReply::Pace::Block:
            if (blockBase < 0)
                blockBase = RadioDelay(reply.node);
            delay = blockBase + static_cast<qint64>(reply.order) * radio.blockGapMs;
            break;
        }
        const int node = reply.node;
        if (reply.pace == SimReply::Pace::Block) {
            Schedule(now + delay, [this, node, burst, frame = std::move(reply.frame)]() mutable {
                if (burstGeneration_[static_cast<std::size_t>(node)] == burst)
                    Deliver(node, std::move(frame));
            });
        } else {
            Schedule(now + delay, [this, node, frame = std::move(reply.frame)]() mutable {
                Deliver(node, std::move(frame));
            });
        }
    }
}

void SimReceiver::ScheduleReport(int node, qint64 dueMs)
{
    const quint64 generation = reportGeneration_[static_cast<std::size_t>(node)];
    Schedule(dueMs, [this, node, generation, dueMs]() {
        if (reportGeneration_[static_cast<std::size_t>(node)] != generation)
            return;
        const qint64 interval = network_->Nodes()[static_cast<std::size_t>(node)].rtInterval;
        if (interval <= 0)
            return;
        network_->Update(dueMs / 1000);
        if (network_->CanAnswer(node))
            Deliver(node, network_->ReportFrame(node, dueMs / 1000));
        ScheduleReport(node, dueMs + interval * 1000);
    });
}

bool SimReceiver::Chance(double probability)
{
    if (probability <= 0.0)
        return false;
    if (probability >= 1.0)
        return true;
    return std::uniform_real_distribution<double>(0.0, 1.0)(rng_) < probability;
}

void SimReceiver::Deliver(int node, QByteArray frame)
{
    if (Silent() || (node >= 0 && !network_->CanAnswer(node)))
        return;
    const SimRadio &radio = network_->Radio();
    const double nodeLoss = node >= 0 ? network_->Nodes()[static_cast<std::size_t>(node)].loss : 0.0;
    if (Chance(1.0 - (1.0 - radio.loss) * (1.0 - nodeLoss))) {
        ++lost_;
        return;
    }
    if (Chance(radio.corrupt) && frame.size() > 4) {
        // One damaged byte behind the header: the check byte catches every such change, so
        // the frame is dropped by the PC's extraction after resynchronising.
        std::uniform_int_distribution<int> position(4, static_cast<int>(frame.size()) - 1);
        std::uniform_int_distribution<int> flip(1, 255);
        const int at = position(rng_);
        frame[at] = static_cast<char>(frame[at] ^ flip(rng_));
    }
    QByteArray bytes;
    if (Chance(radio.noise)) {
        // Never 0xFF, so that noise cannot look like the start of a frame.
        std::uniform_int_distribution<int> count(1, kMaxNoiseBytes);
        std::uniform_int_distribution<int> value(0, 0xFE);
        for (int i = count(rng_); i > 0; --i)
            bytes.append(static_cast<char>(value(rng_)));
    }
    bytes.append(frame);
    WriteLine(bytes);
}

void SimReceiver::WriteLine(const QByteArray &bytes)
{
    const int split = network_->Radio().split;
    const int chunkSize = split > 0 ? split : static_cast<int>(bytes.size());
    for (int at = 0; at < bytes.size(); at += chunkSize) {
        const QByteArray chunk = bytes.mid(at, chunkSize);
        const qint64 now = clock_.NowMs();
        const qint64 when = std::max(now, lineFreeAtMs_);
        lineFreeAtMs_ = when + LineMs(static_cast<int>(chunk.size())) + (split > 0 ? kSplitGapMs : 0);
        if (when <= now)
            emit Output(chunk);
        else
            Schedule(when, [this, chunk]() { emit Output(chunk); });
    }
}

void SimReceiver::Silence(qint64 ms)
{
    silentUntilMs_ = std::max(silentUntilMs_, clock_.NowMs() + std::max<qint64>(ms, 0));
    qCInfo(lcSim) << "silent until" << silentUntilMs_;
}

bool SimReceiver::SetReachable(const QString &node, bool reachable)
{
    const int i = network_ ? network_->FindNode(node) : -1;
    if (i < 0)
        return false;
    network_->Node(i).reachable = reachable;
    return true;
}

bool SimReceiver::SetValue(const QString &node, int channel, double value)
{
    const int i = network_ ? network_->FindNode(node) : -1;
    return i >= 0 && network_->SetChannelValue(i, channel, value, clock_.NowSeconds());
}

bool SimReceiver::SetLoss(double probability)
{
    if (!network_ || !IsProbability(probability))
        return false;
    network_->Radio().loss = probability;
    return true;
}

bool SimReceiver::SetCorrupt(double probability)
{
    if (!network_ || !IsProbability(probability))
        return false;
    network_->Radio().corrupt = probability;
    return true;
}

bool SimReceiver::SetNoise(double probability)
{
    if (!network_ || !IsProbability(probability))
        return false;
    network_->Radio().noise = probability;
    return true;
}

bool SimReceiver::SetSplit(int maxChunk)
{
    if (!network_ || maxChunk < 0)
        return false;
    network_->Radio().split = maxChunk;
    return true;
}

bool SimReceiver::SetDelay(int minMs, int maxMs)
{
    if (!network_ || minMs < 0 || maxMs < minMs || maxMs > 60000)
        return false;
    network_->Radio().delayMinMs = minMs;
    network_->Radio().delayMaxMs = maxMs;
    return true;
}
