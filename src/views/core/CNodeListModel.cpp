#include "views/core/CNodeListModel.h"

#include "views/core/ListTexts.h"
#include "views/core/ManagerCells.h"

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "network/CCorvaneBeeNode.h"
#include "network/NetworkLoader.h"
#include "storage/CCorvaneODBC.h"

#include <algorithm>
#include <unordered_map>

CNodeListModel::CNodeListModel(CCorvaneBeeNode &table, CCorvaneODBC &database, QObject *parent)
    : QAbstractTableModel(parent), m_table(table), m_database(database)
{
}

int CNodeListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CNodeListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant CNodeListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Entry &entry = m_rows[size_t(index.row())];
    const BeeNodeItem *live = m_table.Find(entry.id);
    if (!live)
        return {};
    if (role == Qt::ForegroundRole)
        return RowColour(entry, *live);
    if (index.column() == 0) {
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return ListTexts::RunningNumber(index.row() + 1, Marker(*live));
        if (role == Qt::CheckStateRole)
            return entry.checked ? Qt::Checked : Qt::Unchecked;
    }
    return CellData(entry, *live, index.column(), role);
}

bool CNodeListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || index.column() != 0 ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    SetChecked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

Qt::ItemFlags CNodeListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant CNodeListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    return section == 0 ? LoadStr(Sid::CheckColumn) : HeaderText(section);
}

int CNodeListModel::RowOf(int id) const
{
    return m_rowOfId.value(id, -1);
}

int CNodeListModel::IdAt(int row) const
{
    const Entry *entry = EntryAt(row);
    return entry ? entry->id : -1;
}

const CNodeListModel::Entry *CNodeListModel::EntryAt(int row) const
{
    return row >= 0 && row < int(m_rows.size()) ? &m_rows[size_t(row)] : nullptr;
}

const BeeNodeItem *CNodeListModel::LiveAt(int row) const
{
    const Entry *entry = EntryAt(row);
    return entry ? m_table.Find(entry->id) : nullptr;
}

bool CNodeListModel::IsChecked(int row) const
{
    const Entry *entry = EntryAt(row);
    return entry && entry->checked;
}

void CNodeListModel::SetChecked(int row, bool checked)
{
    if (row < 0 || row >= int(m_rows.size()) || m_rows[size_t(row)].checked == checked)
        return;
    m_rows[size_t(row)].checked = checked;
    const QModelIndex cell = index(row, 0);
    emit dataChanged(cell, cell, {Qt::CheckStateRole});
}

void CNodeListModel::ToggleAllChecks()
{
    if (m_rows.empty())
        return;
    const bool checked = !m_rows.front().checked;
    for (Entry &entry : m_rows)
        entry.checked = checked;
    emit dataChanged(index(0, 0), index(int(m_rows.size()) - 1, 0), {Qt::CheckStateRole});
}

std::vector<int> CNodeListModel::CheckedRows() const
{
    std::vector<int> rows;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].checked)
            rows.push_back(int(i));
    }
    return rows;
}

qint32 CNodeListModel::NodeId(int row)
{
    return IdAt(row);
}

QString CNodeListModel::ExtAddressText(int row)
{
    const Entry *entry = EntryAt(row);
    return entry ? entry->row.extaddress : QString();
}

QColor CNodeListModel::RowColour(const Entry &entry, const BeeNodeItem &live) const
{
    return NodeRowColour(entry.row.type, live.status);
}

bool CNodeListModel::Listed(const NodeRow &row) const
{
    const BeeNodeItem *live = m_table.Find(row.id);
    return live && Lists(row, *live);
}

qint32 CNodeListModel::OrderOf(int id) const
{
    return m_table.GetTreeOrder(id);
}

void CNodeListModel::Reload()
{
    std::unordered_map<int, NodeRow> fresh;
    for (NodeRow &row : ReadNodeRows(m_database)) {
        if (Listed(row))
            fresh.emplace(row.id, std::move(row));
    }
    for (int r = int(m_rows.size()) - 1; r >= 0; --r) {
        if (!fresh.count(m_rows[size_t(r)].id))
            RemoveRow(r);
    }
    for (auto &[id, row] : fresh) {
        RowRead(row);
        const int r = RowOf(id);
        if (r < 0) {
            beginInsertRows(QModelIndex(), int(m_rows.size()), int(m_rows.size()));
            m_rows.push_back(Entry{id, row, false});
            m_rowOfId.insert(id, int(m_rows.size()) - 1);
            endInsertRows();
        } else {
            m_rows[size_t(r)].row = row;
        }
    }
    SortByTreeOrder();
    if (!m_rows.empty())
        emit dataChanged(index(0, 0), index(int(m_rows.size()) - 1, ColumnCount() - 1));
}

void CNodeListModel::UpdateNode(int id)
{
    if (!m_database.IsOpen() || m_database.SeekLookupNode(id) != 1)
        return;
    const NodeRow row = m_database.LookupCursor().Row();
    const int r = RowOf(id);
    if (!Listed(row)) {
        if (r >= 0)
            RemoveRow(r);
        return;
    }
    RowRead(row);
    if (r < 0) {
        InsertSorted(row);
        return;
    }
    m_rows[size_t(r)].row = row;
    const qint32 order = OrderOf(id);
    const bool outOfOrder = (r > 0 && OrderOf(IdAt(r - 1)) > order) ||
                            (r + 1 < int(m_rows.size()) && OrderOf(IdAt(r + 1)) < order);
    if (outOfOrder)
        SortByTreeOrder();
    const int now = RowOf(id);
    emit dataChanged(index(now, 0), index(now, ColumnCount() - 1));
}

void CNodeListModel::LiveChanged(int id)
{
    const int r = RowOf(id);
    if (r >= 0)
        emit dataChanged(index(r, 0), index(r, ColumnCount() - 1));
}

void CNodeListModel::InsertSorted(const NodeRow &row)
{
    const qint32 order = OrderOf(row.id);
    const auto at =
        std::find_if(m_rows.begin(), m_rows.end(), [&](const Entry &e) { return OrderOf(e.id) > order; });
    const int r = int(at - m_rows.begin());
    beginInsertRows(QModelIndex(), r, r);
    m_rows.insert(at, Entry{row.id, row, false});
    Reindex();
    endInsertRows();
    NumbersChanged(r + 1);
}

void CNodeListModel::RemoveRow(int row)
{
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    Reindex();
    endRemoveRows();
    NumbersChanged(row);
}

// Reorders the rows by tree order, keeping selections and other persistent indexes on their
// nodes.
void CNodeListModel::SortByTreeOrder()
{
    std::vector<Entry> sorted = m_rows;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [this](const Entry &a, const Entry &b) { return OrderOf(a.id) < OrderOf(b.id); });
    bool same = true;
    for (size_t i = 0; i < sorted.size() && same; ++i)
        same = sorted[i].id == m_rows[i].id;
    if (same)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> oldIds;
    for (const QModelIndex &i : before)
        oldIds.push_back(IdAt(i.row()));
    m_rows = std::move(sorted);
    Reindex();
    QModelIndexList after;
    for (size_t k = 0; k < oldIds.size(); ++k)
        after << index(RowOf(oldIds[k]), before[int(k)].column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    NumbersChanged(0);
}

void CNodeListModel::Reindex()
{
    m_rowOfId.clear();
    for (size_t i = 0; i < m_rows.size(); ++i)
        m_rowOfId.insert(m_rows[i].id, int(i));
}

// The running numbers of the rows from fromRow on moved.
void CNodeListModel::NumbersChanged(int fromRow)
{
    const int last = int(m_rows.size()) - 1;
    if (fromRow <= last)
        emit dataChanged(index(fromRow, 0), index(last, 0), {Qt::DisplayRole, Qt::AccessibleTextRole});
}

void CNodeListModel::CopyRowIntoLive(CCorvaneBeeNode &table, const NodeRow &row)
{
    table.SetCh1Lower(row.id, row.channel1_lower);
    table.SetCh1Upper(row.id, row.channel1_upper);
    table.SetCh2Lower(row.id, row.channel2_lower);
    table.SetCh2Upper(row.id, row.channel2_upper);
    table.SetGprsName(row.id, BeeNodeItem::MakeGprsName(row.name));
}
