#include "messages/MessageListModels.h"

#include "base/StringTable.h"
#include "messages/CMessageHis.h"

#include <QColor>

namespace MessageColumns {

QVariant Header(int section, int role)
{
    static constexpr int kHeaderIds[ColumnCount] = {154, 155, 229, 230};
    if (section < 0 || section >= ColumnCount)
        return {};
    return role == Qt::DisplayRole ? QVariant(LoadStr(kHeaderIds[section])) : QVariant();
}

QVariant Cell(const MessageRow &row, int column, int role, const MessageWords &words)
{
    if (role == Qt::ForegroundRole)
        return QColor(QRgb(words.Colour(row.type)));
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    switch (column) {
    case ColType:
        return row.type;
    case ColTime:
        return row.time;
    case ColUser:
        return row.user;
    case ColEvent:
        return row.event;
    default:
        return {};
    }
}

} // namespace MessageColumns

MessageListModel::MessageListModel(MessageWords words, int startLongest, QObject *parent)
    : QAbstractTableModel(parent), m_words(std::move(words)), m_column(startLongest)
{
}

int MessageListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int MessageListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : MessageColumns::ColumnCount;
}

QVariant MessageListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    return MessageColumns::Cell(m_rows[size_t(index.row())], index.column(), role, m_words);
}

QVariant MessageListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    return MessageColumns::Header(section, role);
}

void MessageListModel::Append(const std::vector<MessageRow> &rows)
{
    if (rows.empty())
        return;
    const int first = int(m_rows.size());
    beginInsertRows(QModelIndex(), first, first + int(rows.size()) - 1);
    for (const MessageRow &row : rows) {
        m_rows.push_back(row);
        m_column.Offer(row.event);
    }
    endInsertRows();
}

void MessageListModel::Clear(int longest, int width)
{
    beginResetModel();
    m_rows.clear();
    m_column.Reset(longest, width);
    endResetModel();
}

MessageHistoryModel::MessageHistoryModel(CMessageHis &archive, MessageWords words, QObject *parent)
    : QAbstractTableModel(parent), m_archive(archive), m_words(std::move(words))
{
}

int MessageHistoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_count;
}

int MessageHistoryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : MessageColumns::ColumnCount;
}

QVariant MessageHistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    return MessageColumns::Header(section, role);
}

bool MessageHistoryModel::LoadMonth(qint64 seconds)
{
    beginResetModel();
    m_cachedRow = -1;
    m_column.Reset(kStartLongest, EventColumn::kInitialWidth);
    const bool loaded = m_archive.LoadMonth(seconds);
    m_count = loaded ? m_archive.RecordCount() : 0;
    endResetModel();
    emit eventWidthChanged(m_column.Width());
    return loaded;
}

MessageRow MessageHistoryModel::RowAt(int row) const
{
    if (row != m_cachedRow) {
        m_cachedRow = row;
        if (row >= 0 && row < m_count && m_archive.GetRecord(row))
            m_cached = {m_archive.TypeText(), m_archive.TimeText(), m_archive.UserText(),
                        m_archive.EventText()};
        else
            m_cached = {};
    }
    return m_cached;
}

QVariant MessageHistoryModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const MessageRow row = RowAt(index.row());
    if (index.column() == MessageColumns::ColEvent && role == Qt::DisplayRole && m_column.Offer(row.event)) {
        m_column.Fit();
        // The width is the view's to apply; the model itself does not change.
        emit const_cast<MessageHistoryModel *>(this)->eventWidthChanged(m_column.Width());
    }
    return MessageColumns::Cell(row, index.column(), role, m_words);
}
