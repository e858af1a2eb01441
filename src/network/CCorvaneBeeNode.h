#pragma once

#include "network/BeeNodeItem.h"
#include "network/NetworkNotifier.h"

#include <QString>

#include <list>
#include <unordered_map>
#include <vector>

// The network table: the live records of all nodes, newest first, plus the receiver's alarm
// phone book. One process-wide instance, theNodeTable(). It is used on the user-interface
// thread only (the serial link delivers its replies there), so it takes no lock.
//
// Iteration uses one shared cursor: MoveFirst / MoveNext / IsEOF / GetCurrentId; Ids() lists the
// nodes without it. Lookups by id and the counting functions never move it.
// The table owns the network's notifier: it announces nodes added and removed and every field
// that changes value, the network layer announces its domain events there. Setters return 1 when the node
// exists, 0 otherwise; getters of a missing node return the documented default.
class CCorvaneBeeNode {
public:
    static constexpr int kPhoneSlots = 10;

    CCorvaneBeeNode() = default;
    virtual ~CCorvaneBeeNode() = default;
    CCorvaneBeeNode(const CCorvaneBeeNode &) = delete;
    CCorvaneBeeNode &operator=(const CCorvaneBeeNode &) = delete;

    // Iteration and membership.
    void MoveFirst();
    void MoveNext();
    [[nodiscard]] int IsEOF() const;
    [[nodiscard]] int GetCurrentId() const;
    void Seek(int id);
    [[nodiscard]] int Exists(int id) const;
    // The ids of all nodes, newest first.
    [[nodiscard]] std::vector<int> Ids() const;
    [[nodiscard]] NetworkNotifier &Notifier() { return m_notifier; }
    // 0 when the id is present (its item stays as it is), 1 when a new item was put in front.
    int AddNode(int id);
    // Frees the item; a cursor on it moves on to the next item. 0 when the id is unknown.
    int RemoveNode(int id);
    [[nodiscard]] int Size() const { return int(m_items.size()); }
    // Read-only view of an item (nullptr when missing), for lists that show many fields.
    [[nodiscard]] const BeeNodeItem *Find(int id) const;

    // Per-node accessors.
    int SetFatherId(int id, quint32 fatherId);
    [[nodiscard]] quint32 GetFatherId(int id) const;
    int SetType(int id, quint8 type);
    [[nodiscard]] quint8 GetType(int id) const;
    int SetTreeOrder(int id, qint32 order);
    [[nodiscard]] qint32 GetTreeOrder(int id) const;
    int SetShortAddress(int id, qint32 shortAddress);
    [[nodiscard]] qint32 GetShortAddress(int id) const;
    int SetLastConnectTime(int id, qint64 time);
    [[nodiscard]] qint64 GetLastConnectTime(int id) const;
    int SetStatus(int id, quint8 status);
    [[nodiscard]] quint8 GetStatus(int id) const;
    int SetFaultFlags(int id, quint8 flags);
    [[nodiscard]] quint8 GetFaultFlags(int id) const;
    int SetRfLevel(int id, qint32 level);
    [[nodiscard]] qint32 GetRfLevel(int id) const;
    int SetPowerLevel(int id, quint8 level);
    [[nodiscard]] quint8 GetPowerLevel(int id) const;
    int SetCh1Upper(int id, float value);
    int SetCh1Lower(int id, float value);
    int SetCh2Upper(int id, float value);
    int SetCh2Lower(int id, float value);
    [[nodiscard]] float GetCh1Upper(int id) const;
    [[nodiscard]] float GetCh1Lower(int id) const;
    [[nodiscard]] float GetCh2Upper(int id) const;
    [[nodiscard]] float GetCh2Lower(int id) const;
    // 3600 s or less is stored plus 60 s, anything longer as 3600 s.
    int SetRtTimeout(int id, qint64 seconds);
    [[nodiscard]] qint64 GetRtTimeout(int id) const;
    int SetRtFlag(int id, quint8 flag);
    [[nodiscard]] quint8 GetRtFlag(int id) const;
    int SetRtInterval(int id, qint64 seconds);
    [[nodiscard]] qint64 GetRtInterval(int id) const;
    int SetRtRequestedInterval(int id, qint64 seconds);
    [[nodiscard]] qint64 GetRtRequestedInterval(int id) const;

    // Real-time samples: 1 when appended (loggers only).
    int AddRtSample(int id, qint64 time, float ch1, float ch2);
    [[nodiscard]] int GetRtCount(int id) const;
    [[nodiscard]] qint64 GetRtTime(int id, int i) const;
    [[nodiscard]] float GetRtCh1(int id, int i) const;
    [[nodiscard]] float GetRtCh2(int id, int i) const;
    [[nodiscard]] float GetCh1Max(int id) const;
    [[nodiscard]] float GetCh1Min(int id) const;
    [[nodiscard]] float GetCh2Max(int id) const;
    [[nodiscard]] float GetCh2Min(int id) const;

    int SetRtCmdState(int id, quint8 state);
    [[nodiscard]] quint8 GetRtCmdState(int id) const;
    int SetLogStartTime(int id, qint64 time);
    [[nodiscard]] qint64 GetLogStartTime(int id) const;
    int SetLogInterval(int id, qint64 seconds);
    [[nodiscard]] qint64 GetLogInterval(int id) const;
    int SetAlarmEnable(int id, quint8 value);
    [[nodiscard]] quint8 GetAlarmEnable(int id) const;
    int SetDevCh1Upper(int id, float value);
    int SetDevCh1Lower(int id, float value);
    int SetDevCh2Upper(int id, float value);
    int SetDevCh2Lower(int id, float value);
    [[nodiscard]] float GetDevCh1Upper(int id) const;
    [[nodiscard]] float GetDevCh1Lower(int id) const;
    [[nodiscard]] float GetDevCh2Upper(int id) const;
    [[nodiscard]] float GetDevCh2Lower(int id) const;
    int SetLogCmdState(int id, quint8 state);
    [[nodiscard]] quint8 GetLogCmdState(int id) const;
    int SetDownloadCmdState(int id, quint8 state);
    // 1 for a missing node.
    [[nodiscard]] quint8 GetDownloadCmdState(int id) const;
    int SetDownloadPlanMode(int id, quint8 mode);
    [[nodiscard]] quint8 GetDownloadPlanMode(int id) const;
    int SetDownloadPlanFrom(int id, qint64 time);
    [[nodiscard]] qint64 GetDownloadPlanFrom(int id) const;
    int SetDownloadPlanTo(int id, qint64 time);
    [[nodiscard]] qint64 GetDownloadPlanTo(int id) const;
    int SetDownloadTime(int id, qint64 time);
    [[nodiscard]] qint64 GetDownloadTime(int id) const;

    // GPRS fields of a logger.
    // Stores slot when 0 <= slot < loggerCount (1); otherwise stores -1 (0).
    int SetGprsSlot(int id, qint32 slot);
    [[nodiscard]] qint32 GetGprsSlot(int id) const;
    int SetGprsName(int id, const GprsName &name);
    int GetGprsName(int id, GprsName &out) const;
    [[nodiscard]] int SameGprsName(int id, const GprsName &name) const;
    // A different mask is stored and clears the GPRS slot to -1.
    int SetGprsBindMask(int id, quint32 mask);
    [[nodiscard]] quint32 GetGprsBindMask(int id) const;
    [[nodiscard]] int HasGprsBindMask(int id, quint32 mask) const;

    // Unit texts of the node's channels from the current settings; empty for a missing node.
    [[nodiscard]] QString Ch1UnitText(int id) const;
    [[nodiscard]] QString Ch2UnitText(int id) const;

    // Counting.
    int CountLoggers();
    [[nodiscard]] int CountUnreached() const;
    [[nodiscard]] int GetLoggerCount() const { return m_loggerCount; }
    // Recounts loggers, clears invalid or repeated slots; the lowest free slot or -1.
    int AssignGprsSlots();
    [[nodiscard]] int FirstLoggerWithoutSlot() const;

    // Phone book (slots 0..9).
    int SetPhone(int slot, const QString &text);
    int GetPhone(int slot, PhoneDigits &out) const;
    [[nodiscard]] int SamePhone(int slot, const PhoneDigits &digits) const;
    [[nodiscard]] int FindPhone(const QString &text) const;
    [[nodiscard]] quint32 GetPhoneMask() const { return m_phoneMask; }
    int SetPhoneListState(qint32 state);
    [[nodiscard]] qint32 GetPhoneListState() const { return m_phoneListState; }
    int ClearPhoneBook();
    // Drops from every binding mask the bits of empty phone slots.
    void ApplyPhoneMask();

    // 0: the receiver link was lost; 1: a network scan starts (the receiver is spared).
    int ResetLive(int scope);

private:
    using ItemList = std::list<BeeNodeItem>;

    BeeNodeItem *Lookup(int id);
    const BeeNodeItem *Lookup(int id) const;
    template <typename T> int Set(int id, T BeeNodeItem::*field, T value);
    template <typename T> T Get(int id, T BeeNodeItem::*field, T missing) const;

    ItemList m_items;                                    // newest first
    std::unordered_map<int, ItemList::iterator> m_index; // id -> item
    ItemList::iterator m_cursor = m_items.end();         // end() = no cursor
    qint32 m_loggerCount = 0;
    qint32 m_phoneListState = -1;
    quint32 m_phoneMask = 0;
    std::array<PhoneDigits, 16> m_phones{};
    NetworkNotifier m_notifier;
};

// The process-wide network table.
[[nodiscard]] CCorvaneBeeNode &theNodeTable();
