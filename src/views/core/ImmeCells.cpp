#include "views/core/ImmeCells.h"

#include "views/core/ListTexts.h"

#include "base/NodeType.h"
#include "base/StringTable.h"
#include "network/BeeNodeItem.h"
#include "network/CCorvaneBeeNode.h"
#include "storage/CCorvaneNetMger.h"

#include <array>

namespace {

constexpr int kStateTextBase = 350; // texts 350..380: the real-time command states
constexpr int kLastStateWithText = 30;
constexpr float kNoReading = -1000.0f;

QString NewestTime(const BeeNodeItem &live)
{
    const int count = live.RtCount();
    return count > 0 ? ListTexts::Time(live.RtTime(count - 1)) : QString();
}

QString NewestValue(const BeeNodeItem &live, int channel, const QString &unit)
{
    const int count = live.RtCount();
    if (count == 0)
        return {};
    return ImmeCells::ValueText(channel == 1 ? live.RtCh1(count - 1) : live.RtCh2(count - 1), unit);
}

} // namespace

namespace ImmeCells {

bool IsPending(quint8 rtCmdState)
{
    return rtCmdState >= 2 && rtCmdState <= 19;
}

QString StateText(quint8 rtCmdState)
{
    return rtCmdState <= kLastStateWithText ? LoadStr(kStateTextBase + rtCmdState) : QString();
}

QString ValueText(float value, const QString &unit)
{
    return value > kNoReading ? FormatValue(value, unit) : QString();
}

QString IntervalText(const BeeNodeItem &live)
{
    if (IsPending(live.rtCmdState))
        return ListTexts::Interval(live.rtRequestedInterval) + QLatin1Char('*');
    return ListTexts::Interval(live.rtInterval);
}

QString Text(const NodeRow &row, const BeeNodeItem &live, const QString &ch1Unit, const QString &ch2Unit,
             int column)
{
    switch (column) {
    case RtColName:
        return row.name;
    case RtColTime:
        return NewestTime(live);
    case RtColCh1:
        return NewestValue(live, 1, ch1Unit);
    case RtColCh2:
        return NodeType::HasChannel2(row.type) ? NewestValue(live, 2, ch2Unit) : QString();
    case RtColInterval:
        return IntervalText(live);
    case RtColState:
        return StateText(live.rtCmdState);
    case RtColId:
        return QString::number(row.id);
    default:
        return {};
    }
}

int ColumnTitleId(int column)
{
    static constexpr std::array<int, RtColumnCount> kIds{0, 134, 136, 137, 138, 135, 139, 0};
    return column >= 0 && column < RtColumnCount ? kIds[size_t(column)] : 0;
}

QString ColumnKey(int column)
{
    static const std::array<const char *, RtColumnCount> kKeys{"no",  "name",     "time",         "ch1",
                                                               "ch2", "interval", "commandState", "id"};
    return column >= 0 && column < RtColumnCount ? QLatin1String(kKeys[size_t(column)]) : QString();
}

Panel PanelOf(const NodeRow &row, const BeeNodeItem &live)
{
    Panel p;
    p.name = row.name;
    p.type = NodeType::Name(row.type);
    p.interval = live.rtInterval != 0 ? ListTexts::Interval(live.rtInterval) : QStringLiteral("00:00:00");
    p.address = row.extaddress;
    const int count = live.RtCount();
    if (count > 0) {
        p.firstTime = ListTexts::Time(live.RtTime(0));
        p.lastTime = ListTexts::Time(live.RtTime(count - 1));
    }
    return p;
}

} // namespace ImmeCells

QString CImmeListModel::TextAt(int row, int column) const
{
    const Entry *entry = EntryAt(row);
    const BeeNodeItem *live = LiveAt(row);
    if (!entry || !live)
        return {};
    if (column == RtColCheck)
        return index(row, 0).data().toString();
    return ImmeCells::Text(entry->row, *live, Table().Ch1UnitText(entry->id), Table().Ch2UnitText(entry->id),
                           column);
}

qint64 CImmeListModel::RtInterval(int row)
{
    const BeeNodeItem *live = LiveAt(row);
    return live ? live->rtRequestedInterval : 0;
}

QString CImmeListModel::HeaderText(int column) const
{
    const int id = ImmeCells::ColumnTitleId(column);
    return id ? LoadStr(id) : QString();
}

QVariant CImmeListModel::CellData(const Entry &entry, const BeeNodeItem &live, int column, int role) const
{
    if (role == Qt::TextAlignmentRole && (column == RtColCh1 || column == RtColCh2))
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if ((role != Qt::DisplayRole && role != Qt::AccessibleTextRole) || column == RtColCheck)
        return {};
    return ImmeCells::Text(entry.row, live, Table().Ch1UnitText(entry.id), Table().Ch2UnitText(entry.id),
                           column);
}

QString CImmeListModel::Marker(const BeeNodeItem &live) const
{
    return ImmeCells::IsPending(live.rtCmdState) ? QStringLiteral("*") : QStringLiteral(" ");
}

bool CImmeListModel::Lists(const NodeRow &row, const BeeNodeItem &) const
{
    return NodeType::HasChannel1(row.type);
}
