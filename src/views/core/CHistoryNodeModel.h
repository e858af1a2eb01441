#pragma once

#include "views/core/CNodeListModel.h"

// The history view's node list: loggers only (bit 7 of the network table's type byte), with
// name, node key (extended address) and the hidden node id.
class CHistoryNodeModel : public CNodeListModel {
    Q_OBJECT
public:
    enum Column { ColNumber, ColName, ColKey, ColId, ColumnTotal };

    using CNodeListModel::CNodeListModel;

    // The node key of a row (column 2); empty outside the list.
    [[nodiscard]] QString KeyAt(int row) const;
    // Checks row alone, as a click in the list does.
    void CheckOnly(int row);

protected:
    [[nodiscard]] int ColumnCount() const override { return ColumnTotal; }
    [[nodiscard]] QString HeaderText(int column) const override;
    [[nodiscard]] QVariant CellData(const Entry &entry, const BeeNodeItem &live, int column,
                                    int role) const override;
    [[nodiscard]] bool Lists(const NodeRow &row, const BeeNodeItem &live) const override;
};
