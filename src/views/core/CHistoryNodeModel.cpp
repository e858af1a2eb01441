#include "views/core/CHistoryNodeModel.h"

#include "base/StringTable.h"
#include "network/BeeNodeItem.h"

QString CHistoryNodeModel::KeyAt(int row) const
{
    const Entry *entry = EntryAt(row);
    return entry ? entry->row.extaddress : QString();
}

void CHistoryNodeModel::CheckOnly(int row)
{
    for (int r : CheckedRows()) {
        if (r != row)
            SetChecked(r, false);
    }
    if (row >= 0 && row < rowCount())
        SetChecked(row, true);
}

QString CHistoryNodeModel::HeaderText(int column) const
{
    switch (column) {
    case ColName:
        return LoadStr(193); // 名称
    case ColKey:
        return LoadStr(194); // 固有ID
    default:
        return {};
    }
}

QVariant CHistoryNodeModel::CellData(const Entry &entry, const BeeNodeItem &, int column, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    switch (column) {
    case ColName:
        return entry.row.name;
    case ColKey:
        return entry.row.extaddress;
    case ColId:
        return QString::number(entry.id);
    default:
        return {};
    }
}

bool CHistoryNodeModel::Lists(const NodeRow &, const BeeNodeItem &live) const
{
    return (live.type & 0x80) != 0;
}
