#include "views/core/GprsRules.h"
#include "views/core/ViewCoreLog.h"

#include "base/NodeType.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "network/BeeNodeItem.h"
#include "network/CCorvaneBeeNode.h"
#include "storage/CCorvaneODBC.h"

#include <algorithm>

namespace {

bool IsPhoneText(const QString &text)
{
    return text.size() <= GprsBookEditor::kMaxDigits && std::all_of(text.begin(), text.end(), [](QChar c) {
               return c >= QLatin1Char('0') && c <= QLatin1Char('9');
           });
}

// Changes columns of one node row through the edit cursor; false when the row is missing or the
// database refused the change.
template <typename Change> bool EditRow(CCorvaneODBC &database, int id, Change change)
{
    if (!database.SeekEditNode(id))
        return false;
    CCorvaneNetMger &cursor = database.EditCursor();
    if (!cursor.Edit())
        return false;
    change(cursor.Fields());
    const bool written = cursor.Update();
    if (!written)
        qCWarning(lcViewCore) << "GPRS columns of node" << id << "not written:" << cursor.LastError();
    (void)cursor.Requery();
    return written;
}

} // namespace

GprsBookEditor::GprsBookEditor(CCorvaneBeeNode &table, CCorvaneODBC &database)
    : m_table(table), m_database(database)
{
}

int GprsBookEditor::ReceiverInDatabase(CCorvaneODBC &database)
{
    if (!database.FirstNode())
        return -1;
    for (; !database.IsNodeIterationEnd(); database.NextNode()) {
        if (NodeType::IsReceiver(database.IterationCursor().Row().type))
            return database.IterationNodeId();
    }
    return -1;
}

std::array<QString, GprsBookEditor::kSlots> GprsBookEditor::LoadPhoneBook()
{
    std::array<QString, kSlots> texts;
    m_table.ClearPhoneBook();
    if (!ReceiverKnown() || !m_database.SeekLookupNode(m_receiverId))
        return texts;
    const NodeRow row = m_database.LookupCursor().Row();
    for (int k = 0; k < kSlots; ++k) {
        if (m_table.SetPhone(k, row.gprs_bind[size_t(k)]))
            texts[size_t(k)] = PhoneText(k);
    }
    return texts;
}

QString GprsBookEditor::PhoneText(int slot) const
{
    PhoneDigits digits{};
    if (!m_table.GetPhone(slot, digits))
        return {};
    return QString::fromLatin1(digits.data(), int(qstrnlen(digits.data(), digits.size())));
}

GprsBookEditor::PhoneEntry GprsBookEditor::EnterPhone(int slot, const QString &typed, int *duplicateSlot)
{
    const QString text = typed.trimmed();
    if (slot < 0 || slot >= kSlots || !IsPhoneText(text))
        return PhoneEntry::Invalid;
    const int holder = m_table.FindPhone(text);
    if (holder >= 0) {
        if (duplicateSlot)
            *duplicateSlot = holder;
        return holder == slot ? PhoneEntry::Unchanged : PhoneEntry::Duplicate;
    }
    if (!m_table.SetPhone(slot, text))
        return PhoneEntry::Unchanged;
    if (!WriteReceiverColumn(slot, text))
        qCWarning(lcViewCore) << "phone slot" << slot + 1 << "not kept in the receiver's row";
    m_table.SetPhoneListState(0);
    return PhoneEntry::Changed;
}

bool GprsBookEditor::WriteReceiverColumn(int slot, const QString &text)
{
    return EditRow(m_database, m_receiverId, [&](NodeRow &row) { row.gprs_bind[size_t(slot)] = text; });
}

quint32 GprsBookEditor::SetBinding(int loggerId, int slot, bool bound)
{
    const quint32 bit = 1u << slot;
    const quint32 mask = m_table.GetGprsBindMask(loggerId);
    const quint32 wanted = bound ? (mask | bit) : (mask & ~bit);
    m_table.SetGprsBindMask(loggerId, wanted & m_table.GetPhoneMask());
    return m_table.GetGprsBindMask(loggerId);
}

bool GprsBookEditor::LockWanted() const
{
    return ReceiverKnown() && (m_table.GetPhoneListState() == 0 || m_table.FirstLoggerWithoutSlot() >= 1);
}

bool GprsBookEditor::WriteBindings(const std::vector<int> &loggerIds)
{
    bool all = true;
    for (const int id : loggerIds) {
        const quint32 mask = m_table.GetGprsBindMask(id);
        all = EditRow(m_database, id,
                      [mask](NodeRow &row) {
                          for (int k = 0; k < kSlots; ++k)
                              row.gprs_bind[size_t(k)] = (mask >> k) & 1 ? QStringLiteral("OK") : QString();
                      }) &&
              all;
    }
    return all;
}

QString GprsBookEditor::DuplicateText(const QString &number)
{
    return LoadStr(kDuplicateText) + QLatin1Char('\n') + number;
}

QVariant GprsLoggerModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::CheckStateRole)
        return {};
    return CNodeListModel::data(index, role);
}

Qt::ItemFlags GprsLoggerModel::flags(const QModelIndex &index) const
{
    return CNodeListModel::flags(index) & ~Qt::ItemIsUserCheckable;
}

QVariant GprsLoggerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section == ColNumber)
        return QString();
    return CNodeListModel::headerData(section, orientation, role);
}

QString GprsLoggerModel::HeaderText(int column) const
{
    return column == ColName ? LoadStr(134) : QString(); // 名称
}

QVariant GprsLoggerModel::CellData(const Entry &entry, const BeeNodeItem &, int column, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    if (column == ColName)
        return entry.row.name;
    if (column == ColId)
        return QString::number(entry.id);
    return {};
}

bool GprsLoggerModel::Lists(const NodeRow &, const BeeNodeItem &live) const
{
    return NodeType::IsLogger(live.type);
}

void GprsLoggerModel::RowRead(const NodeRow &row)
{
    CopyRowIntoLive(Table(), row);
}

GprsBindingModel::GprsBindingModel(GprsBookEditor &editor, CCorvaneBeeNode &table, QObject *parent)
    : QAbstractTableModel(parent), m_editor(editor), m_table(table)
{
}

int GprsBindingModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || m_logger < 0 ? 0 : GprsBookEditor::kSlots;
}

int GprsBindingModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnTotal;
}

QVariant GprsBindingModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int slot = index.row();
    if (index.column() == ColSlot && role == Qt::CheckStateRole)
        return (m_table.GetGprsBindMask(m_logger) >> slot) & 1 ? Qt::Checked : Qt::Unchecked;
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    return index.column() == ColSlot ? QString::number(slot + 1) : m_editor.PhoneText(slot);
}

bool GprsBindingModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || index.column() != ColSlot ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    const int slot = index.row();
    const bool wanted = value.toInt() == Qt::Checked;
    const bool bound = (m_table.GetGprsBindMask(m_logger) >> slot) & 1;
    if (!m_editor.ReceiverKnown() || !m_administrator || wanted == bound)
        return false;
    (void)m_editor.SetBinding(m_logger, slot, wanted);
    emit dataChanged(index, index.siblingAtColumn(ColPhone));
    emit bindingChanged();
    return true;
}

Qt::ItemFlags GprsBindingModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == ColSlot)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant GprsBindingModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section == ColSlot ? LoadStr(Sid::CheckColumn) : LoadStr(476); // 手机号码
}

void GprsBindingModel::SetLogger(int loggerId)
{
    beginResetModel();
    const BeeNodeItem *item = m_table.Find(loggerId);
    m_logger = item && NodeType::IsLogger(item->type) ? loggerId : -1;
    endResetModel();
}

void GprsBindingModel::ToggleAll()
{
    if (m_logger < 0 || !m_administrator || !m_editor.ReceiverKnown())
        return;
    const bool wanted = !((m_table.GetGprsBindMask(m_logger) & 1u) != 0);
    for (int slot = 0; slot < GprsBookEditor::kSlots; ++slot)
        (void)setData(index(slot, ColSlot), wanted ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

void GprsBindingModel::Refresh(int slot)
{
    if (rowCount() == 0)
        return;
    const int first = slot < 0 ? 0 : slot;
    const int last = slot < 0 ? GprsBookEditor::kSlots - 1 : slot;
    emit dataChanged(index(first, 0), index(last, ColumnTotal - 1));
}
