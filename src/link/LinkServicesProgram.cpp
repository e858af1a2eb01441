#include "link/CUartAffairLink.h"

#include "messages/CMessageHisNew.h"
#include "base/AppSettings.h"
#include "storage/CCorvaneODBC.h"
#include "storage/HistoryTables.h"

#include <algorithm>

namespace {

// The engine's view of the running program: the node table of the open database, its history
// tables and the new-messages store.
class ProgramServices : public LinkServices {
public:
    NodeInfo FindNode(const QString &extAddressText) override
    {
        CCorvaneODBC &db = theDatabase();
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
        CCorvaneODBC &db = theDatabase();
        if (!db.IsOpen() || !db.SeekLookupNode(nodeId))
            return {};
        return db.LookupCursor().Row().extaddress;
    }

    StoredHistory StoredHistoryOf(const QString &extAddressText) override
    {
        CCorvaneODBC &db = theDatabase();
        StoredHistory stored;
        if (!db.IsOpen() || extAddressText.size() != 16)
            return stored;
        CHistoryStore &history = db.History();
        // The summary cursor is shared with the history view: put it back where it stood.
        const QString previousKey = history.SummaryNodeKey();
        const qint32 previousId = history.RecordId();
        if (history.OpenSummaryTable(extAddressText) && history.MoveLastRecord() && !history.IsRecordEnd()) {
            stored.start = history.StartTime();
            stored.length = qint32(std::clamp<qint64>(history.DataLength(), 0, 0xFFFFFF));
        }
        if (!previousKey.isEmpty() && previousKey != extAddressText) {
            if (history.OpenSummaryTable(previousKey) && previousId >= 1)
                (void)history.SeekRecord(previousId);
        } else if (previousKey.isEmpty()) {
            history.CloseSummaryTable();
        } else if (previousId >= 1) {
            (void)history.SeekRecord(previousId);
        }
        return stored;
    }

    void LogEntry(const QString &type, qint64 time, const QString &text) override
    {
        CMessageHisNew &log = MessageStores::Instance().fresh;
        log.NewEntry();
        log.SetType(type);
        log.SetTime(time);
        log.SetUser(AppSettings::Instance().UserName());
        log.SetEvent(text);
        log.Commit();
    }

    void SaveLog() override { (void)MessageStores::Instance().fresh.Save(); }
};

} // namespace

std::unique_ptr<LinkServices> LinkServices::Program()
{
    return std::make_unique<ProgramServices>();
}
