#include "network/ProgramLinkServices.h"

#include "base/AppSettings.h"
#include "messages/CMessageHisNew.h"
#include "network/CCorvaneBeeNode.h"
#include "storage/CCorvaneODBC.h"
#include "storage/HistoryTables.h"

#include <algorithm>

namespace {

// The engine's view of the running program: the node table of the open database, its history
// tables and the new-messages store.
class ProgramServices : public TableLinkServices {
public:
    ProgramServices(CCorvaneBeeNode &table, CCorvaneODBC &database) : TableLinkServices(table), m_db(database)
    {
    }

    NodeInfo FindNode(const QString &extAddressText) override
    {
        CCorvaneODBC &db = m_db;
        NodeInfo info;
        if (!db.IsOpen() || extAddressText.size() != 16)
            return info;
        const int id = db.FindNodeIdByAddress(extAddressText);
        if (id < 0 || !db.SeekLookupNode(id))
            return info;
        info.id = id;
        info.name = db.LookupCursor().Row().name;
        info.type = db.LookupCursor().Row().type;
        return info;
    }

    QString NodeAddress(int nodeId) override
    {
        CCorvaneODBC &db = m_db;
        if (!db.IsOpen() || !db.SeekLookupNode(nodeId))
            return {};
        return db.LookupCursor().Row().extaddress;
    }

    StoredHistory StoredHistoryOf(const QString &extAddressText) override
    {
        CCorvaneODBC &db = m_db;
        StoredHistory stored;
        if (!db.IsOpen() || extAddressText.size() != 16)
            return stored;
        CHistoryStore &history = db.LinkHistory();
        if (history.OpenSummaryTable(extAddressText) && history.MoveLastRecord() && !history.IsRecordEnd()) {
            stored.start = history.StartTime();
            stored.length = qint32(std::clamp<qint64>(history.DataLength(), 0, 0xFFFFFF));
        }
        return stored;
    }

    void LogEntry(MessageKind kind, qint64 time, const QString &text) override
    {
        CMessageHisNew &log = MessageStores::Instance().fresh;
        log.NewEntry();
        log.SetType(TypeWord(kind)); // the files keep the word, as they always have
        log.SetTime(time);
        log.SetUser(AppSettings::Instance().UserName());
        log.SetEvent(text);
        log.Commit();
    }

    void SaveLog() override { (void)MessageStores::Instance().fresh.Save(); }

private:
    CCorvaneODBC &m_db;
};

} // namespace

std::unique_ptr<LinkServices> MakeProgramLinkServices(CCorvaneBeeNode &table, CCorvaneODBC &database)
{
    return std::make_unique<ProgramServices>(table, database);
}

qint32 TableLinkServices::ShortAddress(int nodeId)
{
    return m_table.GetShortAddress(nodeId);
}

int TableLinkServices::CountUnreached()
{
    return m_table.CountUnreached();
}

bool TableLinkServices::RealTimeOverdue(int nodeId)
{
    return m_table.GetRtFlag(nodeId) == 2;
}

QString TableLinkServices::ChannelUnit(int nodeId, int channel)
{
    return channel == 1 ? m_table.Ch1UnitText(nodeId) : m_table.Ch2UnitText(nodeId);
}

quint32 TableLinkServices::PhoneMask() const
{
    return m_table.GetPhoneMask();
}

void TableLinkServices::SetPhoneListState(qint32 state)
{
    m_table.SetPhoneListState(state);
}

bool TableLinkServices::SamePhone(int slot, const PhoneDigits &digits) const
{
    return m_table.SamePhone(slot, digits) != 0;
}

PhoneDigits TableLinkServices::Phone(int slot) const
{
    PhoneDigits digits{};
    m_table.GetPhone(slot, digits);
    return digits;
}

int TableLinkServices::CountLoggers()
{
    return m_table.CountLoggers();
}

int TableLinkServices::AssignGprsSlots()
{
    return m_table.AssignGprsSlots();
}

int TableLinkServices::FirstLoggerWithoutSlot()
{
    return m_table.FirstLoggerWithoutSlot();
}

GprsName TableLinkServices::GprsNameOf(int nodeId) const
{
    GprsName name{};
    m_table.GetGprsName(nodeId, name);
    return name;
}

quint32 TableLinkServices::BindMaskOf(int nodeId) const
{
    return m_table.GetGprsBindMask(nodeId);
}

void TableLinkServices::SetLoggerEntry(int nodeId, quint32 bindMask, const GprsName &name)
{
    // The mask first: a changed mask clears the slot, which the flow then sets again.
    m_table.SetGprsBindMask(nodeId, bindMask);
    m_table.SetGprsName(nodeId, name);
}

void TableLinkServices::SetGprsSlot(int nodeId, qint32 slot)
{
    m_table.SetGprsSlot(nodeId, slot);
}
