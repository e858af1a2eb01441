#include "history/core/CHistoryTextModel.h"

CHistoryTextModel::CHistoryTextModel(const CNodeDataSave &store, QObject *parent)
    : QAbstractTableModel(parent), m_rows(store)
{
}

void CHistoryTextModel::Refresh()
{
    beginResetModel();
    m_rows.Refresh();
    m_marked = -1;
    endResetModel();
}

void CHistoryTextModel::SetMarkedRow(int row)
{
    const int old = m_marked;
    m_marked = row >= 0 && row < m_rows.RowCount() ? row : -1;
    const auto changed = [this](int r) {
        if (r >= 0)
            emit dataChanged(index(r, 0), index(r, HistoryRows::ColumnCount - 1),
                             {Qt::ForegroundRole, MarkedRole});
    };
    if (old != m_marked) {
        changed(old);
        changed(m_marked);
    }
}

int CHistoryTextModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.RowCount();
}

int CHistoryTextModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : HistoryRows::ColumnCount;
}

QVariant CHistoryTextModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_rows.Cell(index.row(), index.column());
    case Qt::ForegroundRole:
        return index.row() == m_marked ? MarkColor() : QColor(Qt::black);
    case MarkedRole:
        return index.row() == m_marked;
    default:
        return {};
    }
}

QVariant CHistoryTextModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return HistoryRows::Header(section);
}
