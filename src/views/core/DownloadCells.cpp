#include "views/core/DownloadCells.h"

#include "views/core/ListTexts.h"

#include "base/CvTime.h"
#include "base/NodeType.h"
#include "base/StringTable.h"
#include "network/BeeNodeItem.h"
#include "storage/CCorvaneNetMger.h"

#include <array>

namespace {

constexpr int kStateTextBase = 298; // texts 298..318: the download states
constexpr int kLastStateWithText = 20;

QString RangeEnd(qint64 time)
{
    return time == 0 ? QStringLiteral("?-?-? ?:?:?") : ListTexts::Time(time);
}

} // namespace

namespace DownloadCells {

bool IsPending(quint8 downloadCmdState)
{
    return downloadCmdState >= 2 && downloadCmdState <= 14;
}

QString StateText(quint8 downloadCmdState)
{
    return downloadCmdState <= kLastStateWithText ? LoadStr(kStateTextBase + downloadCmdState) : QString();
}

QString PlanText(quint8 planMode, qint64 planTime)
{
    if (planTime == 0)
        return {};
    if (planMode == 1) {
        const CvTime::LocalFields t = CvTime::ToLocal(planTime);
        return LoadStr(190) /* 下载时间:每天 */ + QStringLiteral(" %1:%2:%3")
                                                      .arg(t.hour, 2, 10, QLatin1Char('0'))
                                                      .arg(t.minute, 2, 10, QLatin1Char('0'))
                                                      .arg(t.second, 2, 10, QLatin1Char('0'));
    }
    if (planMode == 2)
        return LoadStr(191) /* 下载时间: */ + QLatin1Char(' ') + ListTexts::Time(planTime);
    return {};
}

QString ModeText(quint8 mode, qint64 from, qint64 to)
{
    if (mode != 1)
        return LoadStr(214); // 下载全部记录数据
    return RangeEnd(from) + QStringLiteral("  -  ") + RangeEnd(to);
}

QString Text(const NodeRow &row, const BeeNodeItem &live, int column)
{
    switch (column) {
    case DlColName:
        return row.name;
    case DlColPlan:
        return PlanText(row.downloadplanmode, row.downloadplantime);
    case DlColMode:
        return ModeText(live.downloadPlanMode, live.downloadPlanFrom, live.downloadPlanTo);
    case DlColState:
        return StateText(live.downloadCmdState);
    case DlColId:
        return QString::number(row.id);
    default:
        return {};
    }
}

int ColumnTitleId(int column)
{
    static constexpr std::array<int, DlColumnCount> kIds{0, 187, 188, 213, 189, 0};
    return column >= 0 && column < DlColumnCount ? kIds[size_t(column)] : 0;
}

QString ColumnKey(int column)
{
    static const std::array<const char *, DlColumnCount> kKeys{"no",   "name",         "plan",
                                                               "mode", "commandState", "id"};
    return column >= 0 && column < DlColumnCount ? QLatin1String(kKeys[size_t(column)]) : QString();
}

} // namespace DownloadCells

QString CDownloadListModel::TextAt(int row, int column) const
{
    const Entry *entry = EntryAt(row);
    const BeeNodeItem *live = LiveAt(row);
    if (!entry || !live)
        return {};
    return column == DlColCheck ? index(row, 0).data().toString()
                                : DownloadCells::Text(entry->row, *live, column);
}

quint8 CDownloadListModel::DownloadMode(int row)
{
    const BeeNodeItem *live = LiveAt(row);
    return live ? live->downloadPlanMode : 0;
}

qint64 CDownloadListModel::DownloadPlanFrom(int row)
{
    const BeeNodeItem *live = LiveAt(row);
    return live ? live->downloadPlanFrom : 0;
}

qint64 CDownloadListModel::DownloadPlanTo(int row)
{
    const BeeNodeItem *live = LiveAt(row);
    return live ? live->downloadPlanTo : 0;
}

QString CDownloadListModel::HeaderText(int column) const
{
    const int id = DownloadCells::ColumnTitleId(column);
    return id ? LoadStr(id) : QString();
}

QVariant CDownloadListModel::CellData(const Entry &entry, const BeeNodeItem &live, int column, int role) const
{
    if ((role != Qt::DisplayRole && role != Qt::AccessibleTextRole) || column == DlColCheck)
        return {};
    return DownloadCells::Text(entry.row, live, column);
}

QString CDownloadListModel::Marker(const BeeNodeItem &live) const
{
    return DownloadCells::IsPending(live.downloadCmdState) ? QStringLiteral("*") : QStringLiteral(" ");
}

bool CDownloadListModel::Lists(const NodeRow &row, const BeeNodeItem &) const
{
    return NodeType::HasChannel1(row.type);
}
