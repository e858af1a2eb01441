#include "DownloadJson.h"

#include "storage/CCorvaneODBC.h"
#include "storage/HistoryCodec.h"
#include "storage/HistoryTables.h"
#include "views/core/DownloadCells.h"

namespace cli {

QJsonObject StoredRecordJson(CCorvaneODBC &db, int nodeId, quint8 downloadState)
{
    constexpr quint8 kCompleted = 16;
    QJsonObject o{{QStringLiteral("event"), QStringLiteral("download")},
                  {QStringLiteral("node"), nodeId},
                  {QStringLiteral("state"), int(downloadState)},
                  {QStringLiteral("stateText"), DownloadCells::StateText(downloadState)},
                  {QStringLiteral("completed"), downloadState == kCompleted}};
    if (db.SeekLookupNode(nodeId) != 1)
        return o;
    const QString key = db.LookupCursor().Row().extaddress;
    o.insert(QStringLiteral("address"), key);
    CHistoryStore &h = db.History();
    if (!h.OpenSummaryTable(key) || !h.MoveLastRecord() || h.IsRecordEnd())
        return o;
    const int channels = HistoryCodec::ChannelCount(h.DeviceType());
    o.insert(QStringLiteral("record"), h.RecordId());
    o.insert(QStringLiteral("start"), h.StartTime());
    o.insert(QStringLiteral("end"), h.EndTime());
    o.insert(QStringLiteral("interval"), h.RecordInterval());
    o.insert(QStringLiteral("samples"), channels > 0 ? h.DataLength() / (2 * channels) : 0);
    h.CloseSummaryTable();
    return o;
}

} // namespace cli
