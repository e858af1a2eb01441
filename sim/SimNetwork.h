#pragma once

#include "SimRequest.h"
#include "ValueModel.h"
#include "link/FrameCodec.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>
#include <vector>

// Device type codes as the receiver reports them.
namespace SimType {
inline constexpr quint8 kReceiver = 0x40;
inline constexpr quint8 kRouter = 0x04;
inline constexpr quint8 kSingleTemp = 0x80;
inline constexpr quint8 kDualTemp = 0x88;
inline constexpr quint8 kTempHumidity = 0x8C;
} // namespace SimType

// Event flag bits of GNI and GMD answers.
namespace SimFlag {
inline constexpr quint8 kAlarm1 = 0x01;
inline constexpr quint8 kAlarm2 = 0x02;
inline constexpr quint8 kFaultMask = 0x3C; // sensor 1, sensor 2, GPRS, radio
inline constexpr quint8 kGprsFault = 0x10;
} // namespace SimFlag

struct SimRecording {
    quint8 runState = 0;           // 0 not recording, 1 armed for a later start time, 2 recording
    qint64 start = 0;              // seconds since 1970 on the logger's clock
    qint64 interval = 0;           // seconds
    quint8 alarmMode = 0;          // 4 when the alarm limits are in force
    std::array<float, 4> limits{}; // channel 1 lower, upper, channel 2 lower, upper
    QByteArray data;               // recorded samples: per record channel 1 then channel 2, 2 bytes each
    qint64 nextSample = 0;         // logger-clock time of the next sample
    qint64 clockOffset = 0;        // logger clock minus simulator clock, seconds (set by every start)
    int capacity = 65536;          // bytes of sample memory; a full logger records no more
};

struct SimNode {
    QString name;
    FrameCodec::ExtAddress address{};
    quint8 type = 0;
    int parent = -1;       // index of the parent router, -1 for the receiver
    int shortAddress = -1; // -1 while the node has not joined the network
    qint64 joinAt = 0;     // seconds; a node without short address joins then
    qint8 rfLevel = -60;   // dBm
    quint8 battery = 5;    // 1..5
    quint8 statusBits = 0; // routers: the whole status byte; loggers: extra bits 4-7
    quint8 faults = 0;     // event flag bits 2-5
    double loss = 0.0;     // probability that one of its answers is lost
    bool reachable = true;
    bool longGmd = true;              // answers GMD in the 34-byte form (with short address) once joined
    qint64 rtInterval = 0;            // seconds between real-time reports, 0 for none
    std::vector<ValueModel> channels; // channel 1 (and channel 2) of a logger
    SimRecording rec;

    [[nodiscard]] bool IsLogger() const { return (type & 0x80) != 0; }
    [[nodiscard]] bool IsRouter() const { return type == SimType::kRouter; }
    [[nodiscard]] bool HasChannel2() const { return IsLogger() && (type & 0x08) != 0; }
    [[nodiscard]] int BytesPerRecord() const { return HasChannel2() ? 4 : 2; }
};

struct SimReceiverInfo {
    FrameCodec::ExtAddress address{};
    quint8 status = 1;
    qint8 rfLevel = 0;
    quint8 battery = 5;
    quint8 faults = 0;
};

struct SimGprs {
    enum class Module { Ok, Fault, None };
    struct Entry {
        FrameCodec::ExtAddress address{};
        std::array<quint8, 48> info{};
        int bindMask = 0;
    };
    Module module = Module::Ok;
    int slotMask = 0;
    std::array<std::array<quint8, 16>, 10> phones{};
    int loggerCount = 0;
    std::vector<Entry> entries; // one per logger index the receiver can hold
};

struct SimRadio {
    int delayMinMs = 80; // answer delay per radio hop
    int delayMaxMs = 300;
    int receiverDelayMs = 15; // answers of the receiver itself
    int scanStepMs = 250;     // gap between the nodes answering a broadcast scan
    int blockSize = 64;       // largest DLD block (1..255)
    int blockGapMs = 40;      // between DLD blocks
    int rejoinSeconds = 30;   // a node told to leave (SNM) joins again after this
    double loss = 0.0;        // faults applying to every frame the receiver sends
    double corrupt = 0.0;
    double noise = 0.0;
    int split = 0; // largest chunk written at once, 0 for whole frames
};

// One answer frame to send and how it is paced.
struct SimReply {
    enum class Pace { Receiver, Radio, Scan, Block };
    int node = -1; // answering node, -1 for the receiver itself
    QByteArray frame;
    Pace pace = Pace::Receiver;
    int order = 0; // position among the nodes of a scan or the blocks of a download
};

struct SimOutcome {
    std::vector<SimReply> replies;
    int rtChangedNode = -1; // a node whose real-time interval was written
    int downloadNode = -1;  // a node that starts a new download burst
};

// The network behind the receiver: what every node is, records and answers. It knows nothing
// of time passing except through the "now" (seconds) passed to each call, and nothing of
// delivery: the receiver model decides when and how the frames go out.
class SimNetwork {
public:
    // Builds the network from a scenario object. Recordings given with a start time are filled
    // with the samples that the value models give from then up to nowSec. Seeds the random
    // walks from seed.
    [[nodiscard]] static std::optional<SimNetwork> FromJson(const QJsonObject &json, qint64 nowSec,
                                                            quint32 seed, QString *error);

    // Applies one request and returns the answers it causes (none for an unreachable or
    // unknown node, a refused request or a command without answer).
    [[nodiscard]] SimOutcome Handle(const SimRequest &request, qint64 nowSec);
    // The GMD frame a logger sends on its own.
    [[nodiscard]] QByteArray ReportFrame(int node, qint64 nowSec);

    // Joins nodes whose time has come and brings every recording up to nowSec.
    void Update(qint64 nowSec);
    // Records a logger's samples due up to nowSec.
    void CatchUp(int node, qint64 nowSec);

    // Index of a node by 16-digit address text or by name; -1 when there is none.
    [[nodiscard]] int FindNode(const QString &addressOrName) const;
    [[nodiscard]] int FindByAddress(const FrameCodec::ExtAddress &address) const;
    [[nodiscard]] int FindByShort(int shortAddress) const;
    // In the network and reachable through every router on its way to the receiver.
    [[nodiscard]] bool CanAnswer(int node) const;
    // Radio hops between the receiver and the node.
    [[nodiscard]] int Hops(int node) const;

    // Fixes a logger channel (0 or 1) at a value from now on; the samples already recorded keep
    // their values.
    [[nodiscard]] bool SetChannelValue(int node, int channel, double value, qint64 nowSec);
    // The channel's current reading (humidity kept within 0..100).
    [[nodiscard]] double ChannelValue(int node, int channel, qint64 nowSec);

    [[nodiscard]] quint8 Status(int node) const;
    [[nodiscard]] quint8 EventFlags(int node, qint64 nowSec);

    [[nodiscard]] const std::vector<SimNode> &Nodes() const { return nodes_; }
    [[nodiscard]] SimNode &Node(int index) { return nodes_[static_cast<std::size_t>(index)]; }
    [[nodiscard]] const SimReceiverInfo &Receiver() const { return receiver_; }
    [[nodiscard]] SimGprs &Gprs() { return gprs_; }
    [[nodiscard]] SimRadio &Radio() { return radio_; }
    [[nodiscard]] const SimRadio &Radio() const { return radio_; }

private:
    [[nodiscard]] QByteArray InfoBody(int node) const; // GDI / GNI body
    [[nodiscard]] QByteArray StatusFrame(FrameCodec::Command command, int node) const;
    [[nodiscard]] QByteArray HistoryFrame(int node) const;
    [[nodiscard]] int Resolve(const SimRequest &request) const; // -2 receiver, -1 nobody
    void HandleGprs(const SimRequest &request, SimOutcome &out);
    [[nodiscard]] bool StartRecording(int node, const SimRequest &request, qint64 nowSec);
    void RecordUpTo(SimNode &node, qint64 loggerTime);
    [[nodiscard]] int FreeShortAddress() const;

    SimReceiverInfo receiver_;
    std::vector<SimNode> nodes_;
    SimGprs gprs_;
    SimRadio radio_;
};
