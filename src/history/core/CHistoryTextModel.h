#pragma once

#include "history/core/HistoryRows.h"

#include <QAbstractTableModel>
#include <QColor>

// The data page's list: one row per sample of the selected range, texts made when a view asks
// for them, so a range of 200000 samples opens without building its rows. One row may be
// marked (a search result); it is reported through MarkedRole and drawn in the mark colour.
class CHistoryTextModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int MarkedRole = Qt::UserRole + 1;

    explicit CHistoryTextModel(const CNodeDataSave &store, QObject *parent = nullptr);

    // Re-reads the store after a load, a range change or a file open; clears the mark.
    void Refresh();
    // Marks row (or none with -1); rows outside the list clear the mark.
    void SetMarkedRow(int row);
    [[nodiscard]] int MarkedRow() const { return m_marked; }
    [[nodiscard]] static QColor MarkColor() { return QColor(0, 20, 220); }
    [[nodiscard]] const HistoryRows &Rows() const { return m_rows; }

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role = Qt::DisplayRole) const override;

private:
    HistoryRows m_rows;
    int m_marked = -1;
};
