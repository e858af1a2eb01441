#include "views/core/CImmeTextModel.h"

#include "views/core/ImmeCells.h"
#include "views/core/ListTexts.h"

#include "base/NodeType.h"
#include "base/StringTable.h"
#include "network/BeeNodeItem.h"
#include "network/CCorvaneBeeNode.h"

#include <array>

CImmeTextModel::CImmeTextModel(CCorvaneBeeNode &table, QObject *parent)
    : QAbstractTableModel(parent), m_table(table)
{
}

int CImmeTextModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int CImmeTextModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CImmeTextModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (role == Qt::TextAlignmentRole && index.column() >= ColCh1)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return Text(index.row(), index.column());
    return {};
}

QVariant CImmeTextModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static constexpr std::array<int, ColumnCount> kIds{0, 136, 137, 138};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return kIds[size_t(section)] ? LoadStr(kIds[size_t(section)]) : QString();
}

QString CImmeTextModel::Text(int row, int column) const
{
    if (row < 0 || row >= m_rows)
        return {};
    switch (column) {
    case ColNumber:
        return QString::number(row + 1 + m_numberShift);
    case ColTime:
        return ListTexts::Time(m_table.GetRtTime(m_id, row));
    case ColCh1:
        return m_ch1.present ? ValueCell(row, 1) : QString();
    case ColCh2:
        return m_ch2.present ? ValueCell(row, 2) : QString();
    default:
        return {};
    }
}

// The value and unit, with the limit it passes when the logger's alarm is on. A limit without a
// value is never passed.
QString CImmeTextModel::ValueCell(int sample, int channel) const
{
    const Channel &c = channel == 1 ? m_ch1 : m_ch2;
    const float value = channel == 1 ? m_table.GetRtCh1(m_id, sample) : m_table.GetRtCh2(m_id, sample);
    QString text = ImmeCells::ValueText(value, c.unit);
    if (!m_alarm || text.isEmpty())
        return text;
    if (!IsNoValue(c.upper) && value > c.upper)
        text += QStringLiteral(" [>") + ListTexts::Limit(c.upper, c.unit) + QLatin1Char(']');
    if (!IsNoValue(c.lower) && value < c.lower)
        text += QStringLiteral(" [<") + ListTexts::Limit(c.lower, c.unit) + QLatin1Char(']');
    return text;
}

void CImmeTextModel::Show(int id)
{
    if (id != m_id) {
        beginResetModel();
        m_id = id;
        m_rows = 0;
        endResetModel();
    }
    TakeNodeFacts();
    FollowRing();
}

void CImmeTextModel::Sync(int id)
{
    if (id == m_id && id >= 0)
        Show(id);
}

void CImmeTextModel::TakeNodeFacts()
{
    const BeeNodeItem *live = m_table.Find(m_id);
    const quint8 type = live ? live->type : 0;
    m_alarm = live && (live->status & NodeType::kStatusAlarmEnabled) != 0;
    m_ch1 = {NodeType::IsLogger(type), m_table.Ch1UnitText(m_id), live ? live->ch1Upper : kNoValue,
             live ? live->ch1Lower : kNoValue};
    m_ch2 = {NodeType::HasChannel2(type), m_table.Ch2UnitText(m_id), live ? live->ch2Upper : kNoValue,
             live ? live->ch2Lower : kNoValue};
}

// Rows follow the ring: more samples append rows, fewer (a new ring) start over, and a full
// ring whose newest sample changed drops the first row and appends one, every row moving up.
void CImmeTextModel::FollowRing()
{
    const int count = m_table.GetRtCount(m_id);
    const Newest newest = NewestSample();
    if (m_rows > count) {
        beginResetModel();
        m_rows = 0;
        endResetModel();
    }
    if (m_rows < count) {
        beginInsertRows({}, m_rows, count - 1);
        m_rows = count;
        endInsertRows();
    } else if (count == BeeNodeItem::kRingSize && newest != m_newest) {
        // The rows keep their old numbers while they move up, then all are renumbered.
        beginRemoveRows({}, 0, 0);
        --m_rows;
        m_numberShift = 1;
        endRemoveRows();
        beginInsertRows({}, m_rows, m_rows);
        ++m_rows;
        endInsertRows();
        m_numberShift = 0;
        emit dataChanged(index(0, 0), index(m_rows - 1, ColumnCount - 1));
    }
    m_newest = newest;
}

CImmeTextModel::Newest CImmeTextModel::NewestSample() const
{
    const int last = m_table.GetRtCount(m_id) - 1;
    if (last < 0)
        return {};
    return {m_table.GetRtTime(m_id, last), m_table.GetRtCh1(m_id, last), m_table.GetRtCh2(m_id, last)};
}
