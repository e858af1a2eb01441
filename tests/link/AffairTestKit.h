#pragma once

#include "AnswerFrames.h"

#include "link/CUartAffairLink.h"
#include "network/CCorvaneBeeNode.h"
#include "network/ProgramLinkServices.h"

#include <QHash>
#include <QObject>

#include <vector>

// Test rig of the transaction engine: a fake clock, fake database and message-log services, the
// process-wide network table emptied for each test and fed with the engine's events as the
// program does, answer frames decoded as the receive side
// decodes them, and a record of every notification the engine sends.
namespace affairkit {

// 2014-07-15 12:34:56 in Asia/Shanghai.
constexpr qint64 kStart = 1405398896;

struct LogLine {
    QString type;
    qint64 time = 0;
    QString text;
};

class FakeServices : public TableLinkServices {
public:
    FakeServices() : TableLinkServices(theNodeTable()) {}
    NodeInfo FindNode(const QString &text) override { return nodes.value(text, NodeInfo{}); }
    QString NodeAddress(int id) override { return addresses.value(id); }
    StoredHistory StoredHistoryOf(const QString &text) override { return stored.value(text); }
    void LogEntry(MessageKind kind, qint64 time, const QString &text) override
    {
        pending.push_back({TypeWord(kind), time, text});
    }
    void SaveLog() override
    {
        saved.insert(saved.end(), pending.begin(), pending.end());
        pending.clear();
    }

    QHash<QString, NodeInfo> nodes;
    QHash<int, QString> addresses;
    QHash<QString, StoredHistory> stored;
    std::vector<LogLine> pending;
    std::vector<LogLine> saved;
};

// A domain event announced on the network notifier.
enum class Event { NodeChanged, NodeLost, AllNodesChanged, GprsLockFinished };
struct Notice {
    Event event;
    int node = 0; // node id; the ok flag of GprsLockFinished
    NodeAspect aspect = NodeAspect::Link;
    bool operator==(const Notice &o) const
    {
        return event == o.event && node == o.node && aspect == o.aspect;
    }
};

// Eight address bytes seed, seed+1, ... (as testframes::Addr).
[[nodiscard]] FrameCodec::ExtAddress Ext(quint8 seed);
[[nodiscard]] QString ExtText(quint8 seed);

class Rig : public QObject {
    Q_OBJECT
public:
    // Empties the network table and its phone book, loads the Chinese string table.
    explicit Rig(CUartAffairLink *external = nullptr);

    CUartAffairLink &link;
    FakeServices *services = nullptr;
    qint64 now = kStart;
    int ticks = 0;
    std::vector<Notice> notices;
    std::vector<bool> logged; // messageLogged: whether a node was declared lost
    int finishedSignals = 0;

    // A node known to the database and the network table.
    void AddNode(int id, quint8 seed, const QString &name, quint8 type, int shortAddress);
    // One link tick (the clock moves one second every five ticks); SendNext's result.
    int Tick();
    // Ticks until the queue is empty (at most limit ticks); the ticks, counted from 1, at which
    // a frame was sent; sentSteps holds the commands of those frames.
    std::vector<int> TickUntilIdle(int limit = 400);
    std::vector<FrameCodec::Command> sentSteps;
    // Ticks until SendNext returns 1 (at most limit ticks); the number of ticks, -1 when none.
    int TickUntilFrame(int limit = 400);
    [[nodiscard]] QByteArray Frame() const;
    [[nodiscard]] FrameCodec::Command FrameStep() const; // the command of the frame in the buffer
    // Decodes an answer frame and offers it to the engine; HandleReply's result.
    bool Feed(const QByteArray &answer);
    [[nodiscard]] bool Notified(const Notice &n) const;

private:
    std::unique_ptr<CUartAffairLink> m_own;
};

// GNI answer of a node (short address, ext seed, device type).
[[nodiscard]] QByteArray Gni(int shortAddress, quint8 seed, quint8 type, quint8 status = 0x02);
[[nodiscard]] QByteArray GmdFrom(quint8 seed, float v1, float v2, quint8 status = 0x02, quint8 events = 0);
// GHI answer: start time and the seven-byte form of it are given by the caller.
[[nodiscard]] QByteArray GhiFrom(quint8 seed, qint64 start, int logInterval, int dataLength, quint8 type);

} // namespace affairkit
