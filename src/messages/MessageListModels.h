#pragma once

#include "messages/MessageTakeOver.h"

#include <QAbstractTableModel>

#include <vector>

class CMessageHis;

// The four columns every message list shows, their headers and initial widths, and the cell
// of a record (text by column, colour by type word).
namespace MessageColumns {
enum Column { ColType, ColTime, ColUser, ColEvent, ColumnCount };
inline constexpr int kInitialWidths[ColumnCount] = {90, 140, 100, EventColumn::kInitialWidth};
[[nodiscard]] QVariant Header(int section, int role);
[[nodiscard]] QVariant Cell(const MessageRow &row, int column, int role, const MessageWords &words);
} // namespace MessageColumns

// A list of records held in memory: the alarm and recent pages and the new-message dialog.
// The event column's width follows the texts appended (see EventColumn).
class MessageListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    MessageListModel(MessageWords words, int startLongest, QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Appends the rows at the end, each event offered to the event column.
    void Append(const std::vector<MessageRow> &rows);
    // Deletes every row; the event column starts again from that longest and width.
    void Clear(int longest, int width);
    [[nodiscard]] EventColumn &Column() { return m_column; }
    [[nodiscard]] const MessageRow &Row(int row) const { return m_rows[size_t(row)]; }

private:
    MessageWords m_words;
    std::vector<MessageRow> m_rows;
    EventColumn m_column;
};

// One month of the archive read back from its monthly file; rows are fetched from the store
// only when the view asks for them, so a month of many thousand records opens at once. An
// event longer than any supplied so far widens the event column at once (eventWidthChanged).
class MessageHistoryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kStartLongest = 75;

    MessageHistoryModel(CMessageHis &archive, MessageWords words, QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Empties the list, resets the event column and shows the month of that time; false (and
    // an empty list) when that month has no readable file.
    bool LoadMonth(qint64 seconds);
    [[nodiscard]] int EventWidth() const { return m_column.Width(); }
    // The record of a row (empty texts when it cannot be fetched).
    [[nodiscard]] MessageRow RowAt(int row) const;

signals:
    void eventWidthChanged(int width);

private:
    CMessageHis &m_archive;
    MessageWords m_words;
    int m_count = 0;
    // The view asks for every column of a row in turn: the last record fetched is kept.
    mutable int m_cachedRow = -1;
    mutable MessageRow m_cached;
    mutable EventColumn m_column{kStartLongest};
};
