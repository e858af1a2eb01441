#pragma once

#include "views/core/CNodeListModel.h"
#include "views/core/ManagerCells.h"

// The instrument management list: every node with the fourteen visible columns of
// ManagerCells and the hidden id column, the state picture in column 0 and the RF and power
// pictures. Reading a row copies the node's alarm limits and the GPRS form of its name into
// its live record, where the link takes them from.
class CManagerListModel : public CNodeListModel {
    Q_OBJECT
public:
    using CNodeListModel::CNodeListModel;

    // The cells of a row (for the command-line tool and the tests).
    [[nodiscard]] ManagerCells CellsAt(int row) const;

protected:
    [[nodiscard]] int ColumnCount() const override { return MgrColumnCount; }
    [[nodiscard]] QString HeaderText(int column) const override;
    [[nodiscard]] QVariant CellData(const Entry &entry, const BeeNodeItem &live, int column,
                                    int role) const override;
    [[nodiscard]] QColor RowColour(const Entry &entry, const BeeNodeItem &live) const override;
    void RowRead(const NodeRow &row) override;

private:
    [[nodiscard]] ManagerCells Cells(const Entry &entry, const BeeNodeItem &live) const;
};
