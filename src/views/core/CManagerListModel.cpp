#include "views/core/CManagerListModel.h"

#include "views/core/ManagerPictures.h"

#include "base/StringTable.h"
#include "network/CCorvaneBeeNode.h"

ManagerCells CManagerListModel::Cells(const Entry &entry, const BeeNodeItem &live) const
{
    return ManagerCells(entry.row, live, Table().Ch1UnitText(entry.id), Table().Ch2UnitText(entry.id));
}

ManagerCells CManagerListModel::CellsAt(int row) const
{
    // Callers ask only for rows that exist; the model lists only nodes with a live record.
    return Cells(*EntryAt(row), *LiveAt(row));
}

QString CManagerListModel::HeaderText(int column) const
{
    const int id = ManagerColumnTitleId(column);
    return id ? LoadStr(id) : QString();
}

QVariant CManagerListModel::CellData(const Entry &entry, const BeeNodeItem &live, int column, int role) const
{
    const ManagerCells cells = Cells(entry, live);
    switch (role) {
    case Qt::DisplayRole:
        return column == 0 ? QVariant() : QVariant(cells.Text(column));
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole: {
        const QString text = cells.AccessibleText(column);
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    case Qt::DecorationRole: {
        QImage image;
        if (column == MgrColCheck)
            image = ManagerPictures::State(cells.State());
        else if (column == MgrColRf)
            image = ManagerPictures::Rf(cells.Rf());
        else if (column == MgrColPower)
            image = ManagerPictures::Power(cells.Power());
        return image.isNull() ? QVariant() : QVariant(image);
    }
    default:
        return {};
    }
}

QColor CManagerListModel::RowColour(const Entry &entry, const BeeNodeItem &live) const
{
    return Cells(entry, live).RowColour();
}

void CManagerListModel::RowRead(const NodeRow &row)
{
    CopyRowIntoLive(Table(), row);
}
