#include "network/CCorvaneBeeNode.h"

#include "base/AppSettings.h"
#include "base/NodeType.h"

#include <algorithm>

CCorvaneBeeNode &theNodeTable()
{
    static CCorvaneBeeNode table;
    return table;
}

BeeNodeItem *CCorvaneBeeNode::Lookup(int id)
{
    return const_cast<BeeNodeItem *>(std::as_const(*this).Lookup(id));
}

const BeeNodeItem *CCorvaneBeeNode::Lookup(int id) const
{
    if (m_cursor != m_items.end() && int(m_cursor->id) == id)
        return &*m_cursor;
    const auto it = m_index.find(id);
    return it == m_index.end() ? nullptr : &*it->second;
}

const BeeNodeItem *CCorvaneBeeNode::Find(int id) const
{
    return Lookup(id);
}

template <typename T> int CCorvaneBeeNode::Set(int id, T BeeNodeItem::*field, T value)
{
    BeeNodeItem *item = Lookup(id);
    if (!item)
        return 0;
    if (!(item->*field == value)) {
        item->*field = value;
        emit m_notifier.nodeFieldsChanged(id);
    }
    return 1;
}

template <typename T> T CCorvaneBeeNode::Get(int id, T BeeNodeItem::*field, T missing) const
{
    const BeeNodeItem *item = Lookup(id);
    return item ? item->*field : missing;
}

void CCorvaneBeeNode::MoveFirst()
{
    m_cursor = m_items.begin();
}

void CCorvaneBeeNode::MoveNext()
{
    if (m_cursor != m_items.end())
        ++m_cursor;
}

int CCorvaneBeeNode::IsEOF() const
{
    return m_cursor == m_items.end() ? 1 : 0;
}

int CCorvaneBeeNode::GetCurrentId() const
{
    return m_cursor == m_items.end() ? -1 : int(m_cursor->id);
}

void CCorvaneBeeNode::Seek(int id)
{
    const auto it = m_index.find(id);
    m_cursor = it == m_index.end() ? m_items.end() : it->second;
}

std::vector<int> CCorvaneBeeNode::Ids() const
{
    std::vector<int> ids;
    ids.reserve(m_items.size());
    for (const BeeNodeItem &item : m_items)
        ids.push_back(int(item.id));
    return ids;
}

int CCorvaneBeeNode::Exists(int id) const
{
    return m_index.count(id) ? 1 : 0;
}

int CCorvaneBeeNode::AddNode(int id)
{
    if (m_index.count(id))
        return 0;
    m_items.emplace_front(quint32(id));
    m_index.emplace(id, m_items.begin());
    emit m_notifier.nodeAdded(id);
    return 1;
}

int CCorvaneBeeNode::RemoveNode(int id)
{
    const auto it = m_index.find(id);
    if (it == m_index.end())
        return 0;
    if (m_cursor == it->second)
        ++m_cursor;
    m_items.erase(it->second);
    m_index.erase(it);
    emit m_notifier.nodeRemoved(id);
    return 1;
}

int CCorvaneBeeNode::SetFatherId(int id, quint32 fatherId)
{
    return Set(id, &BeeNodeItem::fatherId, fatherId);
}
quint32 CCorvaneBeeNode::GetFatherId(int id) const
{
    return Get(id, &BeeNodeItem::fatherId, quint32(0));
}
int CCorvaneBeeNode::SetType(int id, quint8 type)
{
    return Set(id, &BeeNodeItem::type, type);
}
quint8 CCorvaneBeeNode::GetType(int id) const
{
    return Get(id, &BeeNodeItem::type, quint8(0));
}
int CCorvaneBeeNode::SetTreeOrder(int id, qint32 order)
{
    return Set(id, &BeeNodeItem::treeOrder, order);
}
qint32 CCorvaneBeeNode::GetTreeOrder(int id) const
{
    return Get(id, &BeeNodeItem::treeOrder, qint32(-1));
}
int CCorvaneBeeNode::SetShortAddress(int id, qint32 a)
{
    return Set(id, &BeeNodeItem::shortAddress, a);
}
qint32 CCorvaneBeeNode::GetShortAddress(int id) const
{
    return Get(id, &BeeNodeItem::shortAddress, qint32(-1));
}
int CCorvaneBeeNode::SetLastConnectTime(int id, qint64 t)
{
    return Set(id, &BeeNodeItem::lastConnectTime, t);
}
qint64 CCorvaneBeeNode::GetLastConnectTime(int id) const
{
    return Get(id, &BeeNodeItem::lastConnectTime, qint64(0));
}
int CCorvaneBeeNode::SetStatus(int id, quint8 status)
{
    return Set(id, &BeeNodeItem::status, status);
}
quint8 CCorvaneBeeNode::GetStatus(int id) const
{
    return Get(id, &BeeNodeItem::status, quint8(0));
}
int CCorvaneBeeNode::SetFaultFlags(int id, quint8 flags)
{
    return Set(id, &BeeNodeItem::faultFlags, flags);
}
quint8 CCorvaneBeeNode::GetFaultFlags(int id) const
{
    return Get(id, &BeeNodeItem::faultFlags, quint8(0));
}
int CCorvaneBeeNode::SetRfLevel(int id, qint32 level)
{
    return Set(id, &BeeNodeItem::rfLevel, level);
}
qint32 CCorvaneBeeNode::GetRfLevel(int id) const
{
    return Get(id, &BeeNodeItem::rfLevel, qint32(kNoValue));
}
int CCorvaneBeeNode::SetPowerLevel(int id, quint8 level)
{
    return Set(id, &BeeNodeItem::powerLevel, level);
}
quint8 CCorvaneBeeNode::GetPowerLevel(int id) const
{
    return Get(id, &BeeNodeItem::powerLevel, quint8(0));
}

int CCorvaneBeeNode::SetCh1Upper(int id, float v)
{
    return Set(id, &BeeNodeItem::ch1Upper, v);
}
int CCorvaneBeeNode::SetCh1Lower(int id, float v)
{
    return Set(id, &BeeNodeItem::ch1Lower, v);
}
int CCorvaneBeeNode::SetCh2Upper(int id, float v)
{
    return Set(id, &BeeNodeItem::ch2Upper, v);
}
int CCorvaneBeeNode::SetCh2Lower(int id, float v)
{
    return Set(id, &BeeNodeItem::ch2Lower, v);
}
float CCorvaneBeeNode::GetCh1Upper(int id) const
{
    return Get(id, &BeeNodeItem::ch1Upper, kNoValue);
}
float CCorvaneBeeNode::GetCh1Lower(int id) const
{
    return Get(id, &BeeNodeItem::ch1Lower, kNoValue);
}
float CCorvaneBeeNode::GetCh2Upper(int id) const
{
    return Get(id, &BeeNodeItem::ch2Upper, kNoValue);
}
float CCorvaneBeeNode::GetCh2Lower(int id) const
{
    return Get(id, &BeeNodeItem::ch2Lower, kNoValue);
}

int CCorvaneBeeNode::SetRtTimeout(int id, qint64 seconds)
{
    // Up to an hour the wait gets a minute of grace; longer intervals are capped at an hour.
    const qint64 stored = seconds <= 3600 ? seconds + 60 : qint64(3600);
    return Set(id, &BeeNodeItem::rtTimeout, stored);
}
qint64 CCorvaneBeeNode::GetRtTimeout(int id) const
{
    return Get(id, &BeeNodeItem::rtTimeout, qint64(0));
}
int CCorvaneBeeNode::SetRtFlag(int id, quint8 flag)
{
    return Set(id, &BeeNodeItem::rtFlag, flag);
}
quint8 CCorvaneBeeNode::GetRtFlag(int id) const
{
    return Get(id, &BeeNodeItem::rtFlag, quint8(0));
}
int CCorvaneBeeNode::SetRtInterval(int id, qint64 s)
{
    return Set(id, &BeeNodeItem::rtInterval, s);
}
qint64 CCorvaneBeeNode::GetRtInterval(int id) const
{
    return Get(id, &BeeNodeItem::rtInterval, qint64(0));
}
int CCorvaneBeeNode::SetRtRequestedInterval(int id, qint64 s)
{
    return Set(id, &BeeNodeItem::rtRequestedInterval, s);
}
qint64 CCorvaneBeeNode::GetRtRequestedInterval(int id) const
{
    return Get(id, &BeeNodeItem::rtRequestedInterval, qint64(0));
}

int CCorvaneBeeNode::AddRtSample(int id, qint64 time, float ch1, float ch2)
{
    BeeNodeItem *item = Lookup(id);
    return item && item->AddRtSample(time, ch1, ch2) ? 1 : 0;
}

int CCorvaneBeeNode::GetRtCount(int id) const
{
    const BeeNodeItem *item = Lookup(id);
    return item ? item->RtCount() : 0;
}

qint64 CCorvaneBeeNode::GetRtTime(int id, int i) const
{
    const BeeNodeItem *item = Lookup(id);
    return item ? item->RtTime(i) : 0;
}

float CCorvaneBeeNode::GetRtCh1(int id, int i) const
{
    const BeeNodeItem *item = Lookup(id);
    return item ? item->RtCh1(i) : kNoValue;
}

float CCorvaneBeeNode::GetRtCh2(int id, int i) const
{
    const BeeNodeItem *item = Lookup(id);
    return item ? item->RtCh2(i) : kNoValue;
}

float CCorvaneBeeNode::GetCh1Max(int id) const
{
    return Get(id, &BeeNodeItem::ch1Max, kNoValue);
}
float CCorvaneBeeNode::GetCh1Min(int id) const
{
    return Get(id, &BeeNodeItem::ch1Min, 1000.0f);
}
float CCorvaneBeeNode::GetCh2Max(int id) const
{
    return Get(id, &BeeNodeItem::ch2Max, kNoValue);
}
float CCorvaneBeeNode::GetCh2Min(int id) const
{
    return Get(id, &BeeNodeItem::ch2Min, 1000.0f);
}

int CCorvaneBeeNode::SetRtCmdState(int id, quint8 s)
{
    return Set(id, &BeeNodeItem::rtCmdState, s);
}
quint8 CCorvaneBeeNode::GetRtCmdState(int id) const
{
    return Get(id, &BeeNodeItem::rtCmdState, quint8(0));
}
int CCorvaneBeeNode::SetLogStartTime(int id, qint64 t)
{
    return Set(id, &BeeNodeItem::logStartTime, t);
}
qint64 CCorvaneBeeNode::GetLogStartTime(int id) const
{
    return Get(id, &BeeNodeItem::logStartTime, qint64(0));
}
int CCorvaneBeeNode::SetLogInterval(int id, qint64 s)
{
    return Set(id, &BeeNodeItem::logInterval, s);
}
qint64 CCorvaneBeeNode::GetLogInterval(int id) const
{
    return Get(id, &BeeNodeItem::logInterval, qint64(0));
}
int CCorvaneBeeNode::SetAlarmEnable(int id, quint8 v)
{
    return Set(id, &BeeNodeItem::alarmEnable, v);
}
quint8 CCorvaneBeeNode::GetAlarmEnable(int id) const
{
    return Get(id, &BeeNodeItem::alarmEnable, quint8(0));
}
int CCorvaneBeeNode::SetDevCh1Upper(int id, float v)
{
    return Set(id, &BeeNodeItem::devCh1Upper, v);
}
int CCorvaneBeeNode::SetDevCh1Lower(int id, float v)
{
    return Set(id, &BeeNodeItem::devCh1Lower, v);
}
int CCorvaneBeeNode::SetDevCh2Upper(int id, float v)
{
    return Set(id, &BeeNodeItem::devCh2Upper, v);
}
int CCorvaneBeeNode::SetDevCh2Lower(int id, float v)
{
    return Set(id, &BeeNodeItem::devCh2Lower, v);
}
float CCorvaneBeeNode::GetDevCh1Upper(int id) const
{
    return Get(id, &BeeNodeItem::devCh1Upper, kNoValue);
}
float CCorvaneBeeNode::GetDevCh1Lower(int id) const
{
    return Get(id, &BeeNodeItem::devCh1Lower, kNoValue);
}
float CCorvaneBeeNode::GetDevCh2Upper(int id) const
{
    return Get(id, &BeeNodeItem::devCh2Upper, kNoValue);
}
float CCorvaneBeeNode::GetDevCh2Lower(int id) const
{
    return Get(id, &BeeNodeItem::devCh2Lower, kNoValue);
}
int CCorvaneBeeNode::SetLogCmdState(int id, quint8 s)
{
    return Set(id, &BeeNodeItem::logCmdState, s);
}
quint8 CCorvaneBeeNode::GetLogCmdState(int id) const
{
    return Get(id, &BeeNodeItem::logCmdState, quint8(0));
}
int CCorvaneBeeNode::SetDownloadCmdState(int id, quint8 s)
{
    return Set(id, &BeeNodeItem::downloadCmdState, s);
}
quint8 CCorvaneBeeNode::GetDownloadCmdState(int id) const
{
    return Get(id, &BeeNodeItem::downloadCmdState, quint8(1));
}
int CCorvaneBeeNode::SetDownloadPlanMode(int id, quint8 m)
{
    return Set(id, &BeeNodeItem::downloadPlanMode, m);
}
quint8 CCorvaneBeeNode::GetDownloadPlanMode(int id) const
{
    return Get(id, &BeeNodeItem::downloadPlanMode, quint8(0));
}
int CCorvaneBeeNode::SetDownloadPlanFrom(int id, qint64 t)
{
    return Set(id, &BeeNodeItem::downloadPlanFrom, t);
}
qint64 CCorvaneBeeNode::GetDownloadPlanFrom(int id) const
{
    return Get(id, &BeeNodeItem::downloadPlanFrom, qint64(0));
}
int CCorvaneBeeNode::SetDownloadPlanTo(int id, qint64 t)
{
    return Set(id, &BeeNodeItem::downloadPlanTo, t);
}
qint64 CCorvaneBeeNode::GetDownloadPlanTo(int id) const
{
    return Get(id, &BeeNodeItem::downloadPlanTo, qint64(0));
}
int CCorvaneBeeNode::SetDownloadTime(int id, qint64 t)
{
    return Set(id, &BeeNodeItem::downloadTime, t);
}
qint64 CCorvaneBeeNode::GetDownloadTime(int id) const
{
    return Get(id, &BeeNodeItem::downloadTime, qint64(0));
}

int CCorvaneBeeNode::SetGprsSlot(int id, qint32 slot)
{
    BeeNodeItem *item = Lookup(id);
    if (!item)
        return 0;
    // -1 clears the slot; any other value outside the logger list is refused and clears it too.
    const bool valid = slot == -1 || (slot >= 0 && slot < m_loggerCount);
    const qint32 kept = valid ? slot : -1;
    if (item->gprsSlot != kept) {
        item->gprsSlot = kept;
        emit m_notifier.nodeFieldsChanged(id);
    }
    return valid ? 1 : 0;
}
qint32 CCorvaneBeeNode::GetGprsSlot(int id) const
{
    return Get(id, &BeeNodeItem::gprsSlot, qint32(-1));
}

int CCorvaneBeeNode::SetGprsName(int id, const GprsName &name)
{
    return Set(id, &BeeNodeItem::gprsName, name);
}

int CCorvaneBeeNode::GetGprsName(int id, GprsName &out) const
{
    const BeeNodeItem *item = Lookup(id);
    if (!item)
        return 0;
    out = item->gprsName;
    return 1;
}

int CCorvaneBeeNode::SameGprsName(int id, const GprsName &name) const
{
    const BeeNodeItem *item = Lookup(id);
    return item && item->gprsName == name ? 1 : 0;
}

int CCorvaneBeeNode::SetGprsBindMask(int id, quint32 mask)
{
    BeeNodeItem *item = Lookup(id);
    if (!item)
        return 0;
    if (item->gprsBindMask != mask) {
        item->gprsBindMask = mask;
        item->gprsSlot = -1; // the receiver's copy of this logger must be written again
        emit m_notifier.nodeFieldsChanged(id);
    }
    return 1;
}
quint32 CCorvaneBeeNode::GetGprsBindMask(int id) const
{
    return Get(id, &BeeNodeItem::gprsBindMask, quint32(0));
}
int CCorvaneBeeNode::HasGprsBindMask(int id, quint32 mask) const
{
    const BeeNodeItem *item = Lookup(id);
    return item && item->gprsBindMask == mask ? 1 : 0;
}

QString CCorvaneBeeNode::Ch1UnitText(int id) const
{
    const BeeNodeItem *item = Lookup(id);
    if (!item || !NodeType::HasChannel1(item->type))
        return QString();
    return AppSettings::Instance().CurrentTempUnit();
}

QString CCorvaneBeeNode::Ch2UnitText(int id) const
{
    const BeeNodeItem *item = Lookup(id);
    if (!item)
        return QString();
    if (NodeType::Class(item->type) == NodeType::DualTemp)
        return AppSettings::Instance().CurrentTempUnit();
    if (NodeType::Class(item->type) == NodeType::TempHumidity)
        return AppSettings::Instance().HumidityText();
    return QString();
}

int CCorvaneBeeNode::CountLoggers()
{
    m_loggerCount = int(std::count_if(m_items.begin(), m_items.end(),
                                      [](const BeeNodeItem &i) { return NodeType::IsLogger(i.type); }));
    return m_loggerCount;
}

int CCorvaneBeeNode::CountUnreached() const
{
    return int(std::count_if(m_items.begin(), m_items.end(), [](const BeeNodeItem &i) {
        return !NodeType::IsReceiver(i.type) && i.shortAddress == -1;
    }));
}

int CCorvaneBeeNode::AssignGprsSlots()
{
    CountLoggers();
    std::vector<bool> held(size_t(std::max(m_loggerCount, 0)), false);
    for (BeeNodeItem &item : m_items) {
        const qint32 slot = item.gprsSlot;
        if (slot < 0 || slot >= m_loggerCount || held[size_t(slot)])
            item.gprsSlot = -1;
        else
            held[size_t(slot)] = true;
    }
    const auto freeSlot = std::find(held.begin(), held.end(), false);
    return freeSlot == held.end() ? -1 : int(freeSlot - held.begin());
}

int CCorvaneBeeNode::FirstLoggerWithoutSlot() const
{
    for (const BeeNodeItem &item : m_items) {
        if (NodeType::IsLogger(item.type) && item.gprsSlot == -1)
            return int(item.id);
    }
    return -1;
}

int CCorvaneBeeNode::SetPhone(int slot, const QString &text)
{
    if (slot < 0 || slot >= kPhoneSlots)
        return 0;
    const bool digitsOnly = std::all_of(
        text.begin(), text.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
    PhoneDigits &phone = m_phones[size_t(slot)];
    const quint32 bit = 1u << slot;
    const PhoneDigits before = phone;
    const quint32 maskBefore = m_phoneMask;
    const bool valid = !text.isEmpty() && text.size() <= 16 && digitsOnly;
    phone.fill(0);
    if (valid) {
        for (int i = 0; i < text.size(); ++i)
            phone[size_t(i)] = char(text.at(i).unicode());
        m_phoneMask |= bit;
    } else {
        m_phoneMask &= ~bit;
    }
    if (phone != before || m_phoneMask != maskBefore)
        emit m_notifier.phoneBookChanged();
    return valid || (maskBefore & bit) != 0 || !text.isEmpty() ? 1 : 0;
}

int CCorvaneBeeNode::GetPhone(int slot, PhoneDigits &out) const
{
    if (slot < 0 || slot >= kPhoneSlots)
        return 0;
    out = m_phones[size_t(slot)];
    return 1;
}

int CCorvaneBeeNode::SamePhone(int slot, const PhoneDigits &digits) const
{
    if (slot < 0 || slot >= kPhoneSlots)
        return 0;
    return m_phones[size_t(slot)] == digits ? 1 : 0;
}

int CCorvaneBeeNode::FindPhone(const QString &text) const
{
    const QString number = text.trimmed();
    if (number.isEmpty() || number.size() > 15)
        return -1;
    PhoneDigits wanted{};
    for (int i = 0; i < number.size(); ++i) {
        const QChar c = number.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        wanted[size_t(i)] = char(c.unicode());
    }
    for (int slot = 0; slot < kPhoneSlots; ++slot) {
        if (m_phones[size_t(slot)] == wanted)
            return slot;
    }
    return -1;
}

int CCorvaneBeeNode::SetPhoneListState(qint32 state)
{
    if (m_phoneListState != state) {
        m_phoneListState = state;
        emit m_notifier.phoneBookChanged();
    }
    return 1;
}

int CCorvaneBeeNode::ClearPhoneBook()
{
    m_phoneListState = -1;
    m_phoneMask = 0;
    for (PhoneDigits &phone : m_phones)
        phone.fill(0);
    emit m_notifier.phoneBookChanged();
    return 1;
}

void CCorvaneBeeNode::ApplyPhoneMask()
{
    for (BeeNodeItem &item : m_items) {
        const quint32 kept = item.gprsBindMask & m_phoneMask;
        if (kept != item.gprsBindMask) {
            item.gprsBindMask = kept;
            item.gprsSlot = -1;
            emit m_notifier.nodeFieldsChanged(int(item.id));
        }
    }
    m_cursor = m_items.end();
}

int CCorvaneBeeNode::ResetLive(int scope)
{
    if (scope == 0)
        m_phoneListState = -1;
    for (BeeNodeItem &item : m_items) {
        if (scope == 0) {
            item.status = BeeNodeItem::kStatusReset;
            item.shortAddress = -1;
            item.rtFlag = 0;
            item.rtTimeout = BeeNodeItem::kDefaultRtTimeout;
            item.rtInterval = 0;
            item.gprsSlot = -1;
        } else if (!NodeType::IsReceiver(item.type)) {
            item.status = BeeNodeItem::kStatusReset;
            item.shortAddress = -1;
        }
    }
    m_cursor = m_items.end();
    emit m_notifier.allNodesChanged();
    return 0;
}
