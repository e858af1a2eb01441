#pragma once

#include "base/MessageKind.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <memory>

// The 16 bytes of a phone slot: 1 to 16 ASCII digits, zero-padded; all 0 when empty.
using PhoneDigits = std::array<char, 16>;
// The 48-byte GPRS information block of a logger (its name as the receiver sends it).
using GprsName = std::array<quint8, 48>;

// The receiver's alarm phone book and the loggers' GPRS entries as the network layer keeps them;
// the GPRS self-check and lock flows read and compare them through this interface.
class GprsBook {
public:
    static constexpr int kPhoneSlots = 10;

    virtual ~GprsBook() = default;
    [[nodiscard]] virtual quint32 PhoneMask() const = 0;
    // -1 unknown, 0 differs from the receiver's, 1 the same.
    virtual void SetPhoneListState(qint32 state) = 0;
    [[nodiscard]] virtual bool SamePhone(int slot, const PhoneDigits &digits) const = 0;
    [[nodiscard]] virtual PhoneDigits Phone(int slot) const = 0;
    [[nodiscard]] virtual int CountLoggers() = 0;
    // Clears invalid or repeated slots; the lowest free slot or -1.
    [[nodiscard]] virtual int AssignGprsSlots() = 0;
    // The first logger without a slot, -1 when every logger has one.
    [[nodiscard]] virtual int FirstLoggerWithoutSlot() = 0;
    [[nodiscard]] virtual GprsName GprsNameOf(int nodeId) const = 0;
    [[nodiscard]] virtual quint32 BindMaskOf(int nodeId) const = 0;
    // What the receiver holds for a logger: its bind mask and name; then its slot.
    virtual void SetLoggerEntry(int nodeId, quint32 bindMask, const GprsName &name) = 0;
    virtual void SetGprsSlot(int nodeId, qint32 slot) = 0;
};

// What the transaction engine needs from the rest of the program: the node table of the
// database, the live network table (read only: the engine's changes leave it as signals), the
// GPRS book and the message log. The network layer implements it for the program; tests give
// their own.
class LinkServices {
public:
    struct NodeInfo {
        int id = -1; // node id in the node table; -1 when the database does not know the node
        QString name;
        quint8 type = 0;
    };
    // Download resume point: the node's history of the current recording already stored.
    struct StoredHistory {
        qint64 start = 0;
        qint32 length = 0;
    };

    virtual ~LinkServices() = default;
    // The node whose extended address text is given, looked up in the node table.
    [[nodiscard]] virtual NodeInfo FindNode(const QString &extAddressText) = 0;
    // The extended address text of a node id; empty when unknown.
    [[nodiscard]] virtual QString NodeAddress(int nodeId) = 0;
    [[nodiscard]] virtual StoredHistory StoredHistoryOf(const QString &extAddressText) = 0;
    // Adds one committed entry to the event log (the logged-in user is the services' business).
    virtual void LogEntry(MessageKind kind, qint64 time, const QString &text) = 0;
    virtual void SaveLog() = 0;

    // The node's current short network address; -1 when none is known.
    [[nodiscard]] virtual qint32 ShortAddress(int nodeId) = 0;
    // Nodes a network scan has yet to reach.
    [[nodiscard]] virtual int CountUnreached() = 0;
    // True when the node's real-time data are overdue (it was asked for them by the watchdog).
    [[nodiscard]] virtual bool RealTimeOverdue(int nodeId) = 0;
    // Unit text of channel 1 or 2 of a node; empty for an unknown node.
    [[nodiscard]] virtual QString ChannelUnit(int nodeId, int channel) = 0;
    [[nodiscard]] virtual GprsBook &Gprs() = 0;
};

// Services that pass everything on to other services; a base for those that watch some of it
// (the monitor command prints the log entries, tests record them).
class ForwardingLinkServices : public LinkServices {
public:
    explicit ForwardingLinkServices(std::unique_ptr<LinkServices> inner) : m_inner(std::move(inner)) {}
    [[nodiscard]] NodeInfo FindNode(const QString &text) override { return m_inner->FindNode(text); }
    [[nodiscard]] QString NodeAddress(int nodeId) override { return m_inner->NodeAddress(nodeId); }
    [[nodiscard]] StoredHistory StoredHistoryOf(const QString &text) override
    {
        return m_inner->StoredHistoryOf(text);
    }
    void LogEntry(MessageKind kind, qint64 time, const QString &text) override
    {
        m_inner->LogEntry(kind, time, text);
    }
    void SaveLog() override { m_inner->SaveLog(); }
    [[nodiscard]] qint32 ShortAddress(int nodeId) override { return m_inner->ShortAddress(nodeId); }
    [[nodiscard]] int CountUnreached() override { return m_inner->CountUnreached(); }
    [[nodiscard]] bool RealTimeOverdue(int nodeId) override { return m_inner->RealTimeOverdue(nodeId); }
    [[nodiscard]] QString ChannelUnit(int nodeId, int channel) override
    {
        return m_inner->ChannelUnit(nodeId, channel);
    }
    [[nodiscard]] GprsBook &Gprs() override { return m_inner->Gprs(); }

private:
    std::unique_ptr<LinkServices> m_inner;
};
