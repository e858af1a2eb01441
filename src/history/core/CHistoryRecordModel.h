#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <vector>

class CHistoryStore;

// One stored record of a node as its summary row describes it.
struct HistoryRecordEntry {
    qint32 id = 0;
    quint8 deviceType = 0;
    qint64 start = 0;
    qint64 end = 0;
    qint64 interval = 0;
    qint64 dataLength = 0;
    quint8 alarmFlag = 0;
    float ch1Lower = 0;
    float ch1Upper = 0;
    float ch2Lower = 0;
    float ch2Upper = 0;
};

namespace HistoryRecords {

// The columns of the record list; the id column is hidden.
enum Column {
    ColNumber,
    ColType,
    ColStart,
    ColEnd,
    ColInterval,
    ColSamples,
    ColCh1Alarm,
    ColCh2Alarm,
    ColId,
    ColumnCount
};

// The node's records in id order, read through the summary cursor; empty when the node has
// no summary table.
[[nodiscard]] std::vector<HistoryRecordEntry> Read(CHistoryStore &store, const QString &nodeKey);
// Index of the first record whose start <= moment <= end; -1 when the moment lies in none.
[[nodiscard]] int Find(const std::vector<HistoryRecordEntry> &records, qint64 moment);
[[nodiscard]] QString Text(const HistoryRecordEntry &record, int row, int column);

} // namespace HistoryRecords

// The record list of the chosen node. One row at most is checked (the loaded record).
class CHistoryRecordModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetRecords(std::vector<HistoryRecordEntry> records, const QString &nodeKey);
    [[nodiscard]] const std::vector<HistoryRecordEntry> &Records() const { return m_records; }
    [[nodiscard]] QString NodeKey() const { return m_nodeKey; }
    // Checks row alone (-1 or a row outside the list: none).
    void CheckOnly(int row);
    [[nodiscard]] int CheckedRow() const { return m_checked; }

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role = Qt::DisplayRole) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    std::vector<HistoryRecordEntry> m_records;
    QString m_nodeKey;
    int m_checked = -1;
};
