#include "views/core/CommandCells.h"

#include "views/core/ListTexts.h"

#include "base/NodeType.h"
#include "base/StringTable.h"
#include "network/BeeNodeItem.h"
#include "network/CCorvaneBeeNode.h"
#include "storage/CCorvaneNetMger.h"

#include <array>

namespace {

constexpr int kStateTextBase = 319; // texts 319..349: the logging command states
constexpr int kLastStateWithText = 30;
constexpr quint8 kAlarmOn = 4;

QString Pending(const QString &text, const BeeNodeItem &live)
{
    return CommandCells::IsPending(live.logCmdState) ? text + QLatin1Char('*') : text;
}

QString RunStateText(quint8 status)
{
    static constexpr std::array<int, 3> kIds{272 /* 未启动 */, 274 /* 预启动 */, 273 /* 已启动 */};
    const int state = status & 3;
    return state < 3 ? LoadStr(kIds[size_t(state)]) : QString();
}

// A field of the live record of a row's node; none when the row does not exist.
template <typename T> T LiveField(const CCommandListModel &model, int row, T BeeNodeItem::*field, T none)
{
    const BeeNodeItem *live = model.LiveAt(row);
    return live ? live->*field : none;
}

QString AlarmText(const BeeNodeItem &live, int channel, const QString &unit)
{
    if (live.alarmEnable != kAlarmOn)
        return {};
    const float lower = channel == 1 ? live.devCh1Lower : live.devCh2Lower;
    const float upper = channel == 1 ? live.devCh1Upper : live.devCh2Upper;
    return Pending(ListTexts::Limits(lower, upper, unit), live);
}

} // namespace

namespace CommandCells {

bool IsPending(quint8 logCmdState)
{
    return logCmdState >= 2 && logCmdState <= 19;
}

QString StateText(quint8 logCmdState)
{
    return logCmdState <= kLastStateWithText ? LoadStr(kStateTextBase + logCmdState) : QString();
}

QString Text(const NodeRow &row, const BeeNodeItem &live, const QString &ch1Unit, const QString &ch2Unit,
             int column)
{
    switch (column) {
    case CmdColName:
        return row.name;
    case CmdColRunState:
        return RunStateText(live.status);
    case CmdColStartTime:
        return live.logStartTime == 0 ? QString() : Pending(ListTexts::Time(live.logStartTime), live);
    case CmdColInterval:
        return live.logInterval > 0 ? Pending(ListTexts::Interval(live.logInterval), live) : QString();
    case CmdColCh1Alarm:
        return AlarmText(live, 1, ch1Unit);
    case CmdColCh2Alarm:
        return NodeType::HasChannel2(row.type) ? AlarmText(live, 2, ch2Unit) : QString();
    case CmdColState:
        return StateText(live.logCmdState);
    case CmdColId:
        return QString::number(row.id);
    default:
        return {};
    }
}

int ColumnTitleId(int column)
{
    static constexpr std::array<int, CmdColumnCount> kIds{0, 160, 167, 161, 162, 163, 164, 166, 0};
    return column >= 0 && column < CmdColumnCount ? kIds[size_t(column)] : 0;
}

QString ColumnKey(int column)
{
    static const std::array<const char *, CmdColumnCount> kKeys{
        "no", "name", "runState", "startTime", "interval", "ch1Alarm", "ch2Alarm", "commandState", "id"};
    return column >= 0 && column < CmdColumnCount ? QLatin1String(kKeys[size_t(column)]) : QString();
}

} // namespace CommandCells

QString CCommandListModel::TextAt(int row, int column) const
{
    const Entry *entry = EntryAt(row);
    const BeeNodeItem *live = LiveAt(row);
    if (!entry || !live)
        return {};
    if (column == CmdColCheck)
        return index(row, 0).data().toString();
    return CommandCells::Text(entry->row, *live, Table().Ch1UnitText(entry->id),
                              Table().Ch2UnitText(entry->id), column);
}

QString CCommandListModel::HeaderText(int column) const
{
    const int id = CommandCells::ColumnTitleId(column);
    return id ? LoadStr(id) : QString();
}

QVariant CCommandListModel::CellData(const Entry &entry, const BeeNodeItem &live, int column, int role) const
{
    if (role == Qt::TextAlignmentRole && (column == CmdColCh1Alarm || column == CmdColCh2Alarm))
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if ((role != Qt::DisplayRole && role != Qt::AccessibleTextRole) || column == CmdColCheck)
        return {};
    return CommandCells::Text(entry.row, live, Table().Ch1UnitText(entry.id), Table().Ch2UnitText(entry.id),
                              column);
}

QString CCommandListModel::Marker(const BeeNodeItem &live) const
{
    return CommandCells::IsPending(live.logCmdState) ? QStringLiteral("*") : QStringLiteral(" ");
}

bool CCommandListModel::Lists(const NodeRow &row, const BeeNodeItem &) const
{
    return NodeType::HasChannel1(row.type);
}

qint64 CCommandListModel::LogStartTime(int row)
{
    return LiveField(*this, row, &BeeNodeItem::logStartTime, qint64(0));
}

qint64 CCommandListModel::LogInterval(int row)
{
    return LiveField(*this, row, &BeeNodeItem::logInterval, qint64(0));
}

quint8 CCommandListModel::AlarmMode(int row)
{
    return LiveField(*this, row, &BeeNodeItem::alarmEnable, quint8(0));
}

float CCommandListModel::Ch1Lower(int row)
{
    return LiveField(*this, row, &BeeNodeItem::devCh1Lower, kNoValue);
}

float CCommandListModel::Ch1Upper(int row)
{
    return LiveField(*this, row, &BeeNodeItem::devCh1Upper, kNoValue);
}

float CCommandListModel::Ch2Lower(int row)
{
    return LiveField(*this, row, &BeeNodeItem::devCh2Lower, kNoValue);
}

float CCommandListModel::Ch2Upper(int row)
{
    return LiveField(*this, row, &BeeNodeItem::devCh2Upper, kNoValue);
}
