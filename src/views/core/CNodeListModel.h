#pragma once

#include "link/CUartAffairInterface.h"
#include "storage/CCorvaneNetMger.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>

#include <vector>

struct BeeNodeItem;
class CCorvaneBeeNode;
class CCorvaneODBC;

// The node list every command view shares: one row per node that is both in the network table
// (live state) and in the node table (names, addresses, settings), in tree order (the model's
// own order; no proxy sorts it). Column 0 holds the check box and the running number "001",
// "002", ..., preceded by a view's pending-command marker. The link asks the model for the
// node of a row through CUartAffairInterface.
//
// Feeding: Reload() brings the rows into line with both tables (rows of vanished nodes leave,
// new nodes come, the node-table columns are read again, the order is sorted), UpdateNode(id)
// re-reads one node and inserts its row when missing, LiveChanged(id) repaints a row whose
// live record changed. The owner connects them to the network table's notifications.
//
// A view's model subclasses it and provides:
//   - ColumnCount() and HeaderText(column) for its columns (column 0 is the base's "@");
//   - CellData(entry, live, column, role) for every role of columns 1.. and for roles of
//     column 0 other than display and check state (a state picture, for instance);
//   - optionally Marker(live) ("*" or " " for views that show pending commands), RowColour,
//     Lists(row, live) to leave nodes out (a view of loggers only), RowRead(row) to copy
//     node-table values into the live record when a row is read, and the other
//     CUartAffairInterface operations its commands need (answered by row).
class CNodeListModel : public QAbstractTableModel, public CUartAffairInterface {
    Q_OBJECT
public:
    struct Entry {
        int id = 0;
        NodeRow row;
        bool checked = false;
    };

    CNodeListModel(CCorvaneBeeNode &table, CCorvaneODBC &database, QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex &index) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Rows.
    [[nodiscard]] int RowOf(int id) const;
    [[nodiscard]] int IdAt(int row) const;
    [[nodiscard]] const Entry *EntryAt(int row) const;
    [[nodiscard]] const BeeNodeItem *LiveAt(int row) const;

    // Check boxes of column 0.
    [[nodiscard]] bool IsChecked(int row) const;
    void SetChecked(int row, bool checked);
    // The header of column 0: every row gets the opposite of row 0's state.
    void ToggleAllChecks();
    [[nodiscard]] std::vector<int> CheckedRows() const;

    // CUartAffairInterface, answered by row.
    qint32 NodeId(int row) override;
    QString ExtAddressText(int row) override;

    // Copies a node-table row's alarm limits and the GPRS form of its name into the node's live
    // record, where the link, the alarm checks and the lock take them from.
    static void CopyRowIntoLive(CCorvaneBeeNode &table, const NodeRow &row);

    [[nodiscard]] CCorvaneBeeNode &Table() const { return m_table; }
    [[nodiscard]] CCorvaneODBC &Database() const { return m_database; }

public slots:
    void Reload();
    void UpdateNode(int id);
    void LiveChanged(int id);

protected:
    [[nodiscard]] virtual int ColumnCount() const = 0;
    [[nodiscard]] virtual QString HeaderText(int column) const = 0;
    [[nodiscard]] virtual QVariant CellData(const Entry &entry, const BeeNodeItem &live, int column,
                                            int role) const = 0;
    [[nodiscard]] virtual QString Marker(const BeeNodeItem & /*live*/) const { return {}; }
    [[nodiscard]] virtual QColor RowColour(const Entry &entry, const BeeNodeItem &live) const;
    [[nodiscard]] virtual bool Lists(const NodeRow & /*row*/, const BeeNodeItem & /*live*/) const
    {
        return true;
    }
    virtual void RowRead(const NodeRow & /*row*/) {}

private:
    [[nodiscard]] bool Listed(const NodeRow &row) const;
    [[nodiscard]] qint32 OrderOf(int id) const;
    void InsertSorted(const NodeRow &row);
    void RemoveRow(int row);
    void SortByTreeOrder();
    void Reindex();
    void NumbersChanged(int fromRow);

    CCorvaneBeeNode &m_table;
    CCorvaneODBC &m_database;
    std::vector<Entry> m_rows;
    QHash<int, int> m_rowOfId;
};
