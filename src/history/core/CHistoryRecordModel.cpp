#include "history/core/CHistoryRecordModel.h"

#include "base/NodeType.h"
#include "base/StringTable.h"
#include "history/core/HistoryTexts.h"
#include "storage/HistoryTables.h"

namespace HistoryRecords {

namespace {

HistoryRecordEntry CurrentEntry(CHistoryStore &store)
{
    HistoryRecordEntry e;
    e.id = store.RecordId();
    e.deviceType = store.DeviceType();
    e.start = store.StartTime();
    e.end = store.EndTime();
    e.interval = store.RecordInterval();
    e.dataLength = store.DataLength();
    e.alarmFlag = store.AlarmFlag();
    e.ch1Lower = store.Channel1Lower();
    e.ch1Upper = store.Channel1Upper();
    e.ch2Lower = store.Channel2Lower();
    e.ch2Upper = store.Channel2Upper();
    return e;
}

} // namespace

std::vector<HistoryRecordEntry> Read(CHistoryStore &store, const QString &nodeKey)
{
    std::vector<HistoryRecordEntry> records;
    if (!store.OpenSummaryTable(nodeKey) || !store.MoveFirstRecord())
        return records;
    while (!store.IsRecordEnd()) {
        records.push_back(CurrentEntry(store));
        if (!store.MoveNextRecord())
            break;
    }
    return records;
}

int Find(const std::vector<HistoryRecordEntry> &records, qint64 moment)
{
    for (size_t k = 0; k < records.size(); ++k) {
        if (records[k].start <= moment && moment <= records[k].end)
            return int(k);
    }
    return -1;
}

QString Text(const HistoryRecordEntry &r, int row, int column)
{
    switch (column) {
    case ColNumber:
        return QStringLiteral("%1").arg(row + 1, 3, 10, QLatin1Char('0'));
    case ColType:
        return NodeType::Name(r.deviceType);
    case ColStart:
        return HistoryTexts::Moment(r.start);
    case ColEnd:
        return HistoryTexts::Moment(r.end);
    case ColInterval:
        return HistoryTexts::Interval(r.interval);
    case ColSamples:
        return QString::number(HistoryTexts::SamplesOfLength(r.dataLength, r.deviceType));
    case ColCh1Alarm:
        return HistoryTexts::RecordLimits(r.alarmFlag, r.deviceType, 0, r.ch1Lower, r.ch1Upper);
    case ColCh2Alarm:
        return HistoryTexts::RecordLimits(r.alarmFlag, r.deviceType, 1, r.ch2Lower, r.ch2Upper);
    case ColId:
        return QString::number(r.id);
    default:
        return {};
    }
}

} // namespace HistoryRecords

void CHistoryRecordModel::SetRecords(std::vector<HistoryRecordEntry> records, const QString &nodeKey)
{
    beginResetModel();
    m_records = std::move(records);
    m_nodeKey = nodeKey;
    m_checked = -1;
    endResetModel();
}

void CHistoryRecordModel::CheckOnly(int row)
{
    const int old = m_checked;
    m_checked = (row >= 0 && row < rowCount()) ? row : -1;
    for (int r : {old, m_checked}) {
        if (r >= 0)
            emit dataChanged(index(r, 0), index(r, 0), {Qt::CheckStateRole});
    }
}

int CHistoryRecordModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_records.size());
}

int CHistoryRecordModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : HistoryRecords::ColumnCount;
}

QVariant CHistoryRecordModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (role == Qt::CheckStateRole && index.column() == 0)
        return index.row() == m_checked ? Qt::Checked : Qt::Unchecked;
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    return HistoryRecords::Text(m_records[size_t(index.row())], index.row(), index.column());
}

QVariant CHistoryRecordModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    // Titles 195 "类型" .. 201 "通道2报警" for columns 1..7.
    if (section >= HistoryRecords::ColType && section <= HistoryRecords::ColCh2Alarm)
        return LoadStr(195 + section - HistoryRecords::ColType);
    return QString();
}

Qt::ItemFlags CHistoryRecordModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}
