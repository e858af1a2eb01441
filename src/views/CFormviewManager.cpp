#include "views/CFormviewManager.h"
#include "views/ListViewHelpers.h"

#include "views/CDelBeeDlg.h"
#include "views/CNewBeeDlg.h"
#include "views/CRenameDlg.h"
#include "views/ViewsLog.h"
#include "views/core/CManagerListModel.h"

#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "messages/CMessageHisNew.h"
#include "messages/ui/MessageBoxPrompt.h"
#include "network/CCorvaneBeeNode.h"
#include "network/NetworkLoader.h"
#include "storage/CCorvaneODBC.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace {

// Column widths of the list in pixels; the id column is hidden.
constexpr int kColumnWidths[MgrColumnCount] = {85,  80,  100, 100, 140, 80,  45, 50,
                                               140, 140, 105, 150, 150, 120, 0};

void LogToStore(MessageKind kind, const QString &text)
{
    (void)MessageStores::Instance().fresh.LogNow(kind, text);
}

} // namespace

CFormviewManager::CFormviewManager(CCorvaneBeeNode &table, CCorvaneODBC &database, Submitter submit,
                                   IUserPrompt *prompt, QWidget *parent)
    : QWidget(parent), m_table(table), m_database(database), m_submit(std::move(submit)),
      m_ownPrompt(prompt ? nullptr : std::make_unique<CMessageBoxPrompt>()),
      m_prompt(prompt ? prompt : m_ownPrompt.get()), m_sink(&LogToStore),
      m_model(std::make_unique<CManagerListModel>(table, database))
{
    setObjectName(QStringLiteral("CFormviewManager"));
    BuildLayout();
}

CFormviewManager::~CFormviewManager() = default;

QPushButton *CFormviewManager::MakeButton(const char *objectName, int textId)
{
    auto *button = new QPushButton(LoadStr(textId), this);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(false);
    return button;
}

void CFormviewManager::BuildLayout()
{
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("tree1022"));
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    m_tree->setAccessibleName(LoadStr(Sid::MgrNetwork));
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *item) { ShowInList(item->data(0, Qt::UserRole).toInt()); });

    m_list = ListViewHelpers::MakeNodeList(
        *m_model, "list1023", LoadStr(Sid::MgrList), [](int c) { return kColumnWidths[c]; }, MgrColId,
        MgrColCheck, this);
    m_list->setIconSize(QSize(30, 15));

    m_add = MakeButton("btn1026", Sid::MgrAdd);
    m_delete = MakeButton("btn1027", Sid::MgrDelete);
    m_rename = MakeButton("btn1028", Sid::MgrRename);
    QPushButton *refresh = MakeButton("btn1218", Sid::Refresh);
    QPushButton *scan = MakeButton("btn1013", Sid::MgrScan);
    connect(m_add, &QPushButton::clicked, this, &CFormviewManager::AddNode);
    connect(m_delete, &QPushButton::clicked, this, &CFormviewManager::DeleteChecked);
    connect(m_rename, &QPushButton::clicked, this, &CFormviewManager::RenameSelected);
    connect(refresh, &QPushButton::clicked, this, &CFormviewManager::RefreshConnection);
    connect(scan, &QPushButton::clicked, this, &CFormviewManager::ScanNetwork);

    auto *left = new QVBoxLayout;
    left->addWidget(new QLabel(LoadStr(Sid::MgrNetwork), this));
    left->addWidget(m_tree, 1);
    auto *right = new QVBoxLayout;
    right->addWidget(new QLabel(LoadStr(Sid::MgrList), this));
    right->addWidget(m_list, 1);
    auto *buttons = new QHBoxLayout;
    auto *edit = new QGroupBox(this);
    auto *editLayout = new QHBoxLayout(edit);
    editLayout->addWidget(m_add);
    editLayout->addWidget(m_delete);
    editLayout->addWidget(m_rename);
    auto *link = new QGroupBox(this);
    auto *linkLayout = new QHBoxLayout(link);
    linkLayout->addWidget(refresh);
    linkLayout->addWidget(scan);
    buttons->addWidget(edit);
    buttons->addStretch(1);
    buttons->addWidget(link);
    right->addLayout(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right, 4);
}

void CFormviewManager::SetAdministrator(bool administrator)
{
    m_add->setEnabled(administrator);
    m_delete->setEnabled(administrator);
    m_rename->setEnabled(administrator);
}

void CFormviewManager::RebuildTree()
{
    const NodeTree tree = LoadNetworkTable(m_database, m_table);
    m_tree->clear();
    std::vector<QTreeWidgetItem *> items(tree.entries.size(), nullptr);
    // Parents come before their children in the pre-order walk.
    for (const int index : tree.PreOrder()) {
        const NodeTree::Entry &entry = tree.entries[size_t(index)];
        auto *item =
            entry.parent < 0 ? new QTreeWidgetItem(m_tree) : new QTreeWidgetItem(items[size_t(entry.parent)]);
        item->setText(0, entry.row.name);
        item->setData(0, Qt::UserRole, entry.row.id);
        items[size_t(index)] = item;
    }
    m_tree->expandAll();
    RefreshList();
    emit treeRebuilt();
}

void CFormviewManager::RefreshList()
{
    m_model->Reload();
}

void CFormviewManager::UpdateNode(int id)
{
    m_model->UpdateNode(id);
}

void CFormviewManager::ShowInList(int id)
{
    m_list->clearSelection();
    const int row = m_model->RowOf(id);
    if (row < 0)
        return;
    const QModelIndex index = m_model->index(row, MgrColName);
    m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    m_list->scrollTo(index);
}

int CFormviewManager::LastSelectedRow() const
{
    return ListViewHelpers::LastSelectedRow(*m_list);
}

void CFormviewManager::Log(MessageKind kind, const QString &text)
{
    m_sink(kind, text);
    m_lastKind = kind;
    m_lastText = text;
}

void CFormviewManager::AddNode()
{
    CNewBeeDlg dialog(this);
    if (m_prompt->RunModal(dialog) != QDialog::Accepted)
        return;
    const ManagerCommands::NewNode node{dialog.Name(), dialog.TypeCode(), dialog.Address()};
    auto log = [this](MessageKind kind, const QString &text) { Log(kind, text); };
    switch (ManagerCommands::AddNode(m_database, node, log)) {
    case ManagerCommands::AddResult::Exists:
        m_prompt->ShowError(this, {}, LoadStr(132) /* 设备已存在 */);
        return;
    case ManagerCommands::AddResult::Invalid:
        m_prompt->ShowError(this, {}, LoadStr(Sid::MgrBadAddress));
        return;
    case ManagerCommands::AddResult::Failed:
        m_prompt->ShowError(this, {}, m_database.LastError());
        return;
    case ManagerCommands::AddResult::Added:
        break;
    }
    RebuildTree();
    emit messageLogged(m_lastKind, m_lastText);
}

void CFormviewManager::DeleteChecked()
{
    const std::vector<int> rows = m_model->CheckedRows();
    if (rows.empty())
        return;
    std::vector<CDelBeeDlg::Line> lines;
    QStringList addresses;
    for (const int row : rows) {
        const auto *entry = m_model->EntryAt(row);
        lines.push_back(
            {entry->row.name, m_model->index(row, MgrColType).data().toString(), entry->row.extaddress});
        addresses << entry->row.extaddress;
    }
    CDelBeeDlg dialog(lines, this);
    if (m_prompt->RunModal(dialog) != QDialog::Accepted)
        return;
    auto log = [this](MessageKind kind, const QString &text) { Log(kind, text); };
    const int deleted = ManagerCommands::DeleteNodes(m_database, addresses, log);
    RebuildTree();
    if (deleted > 0)
        emit messageLogged(m_lastKind, m_lastText);
}

void CFormviewManager::RenameSelected()
{
    const int row = LastSelectedRow();
    if (row < 0)
        return;
    const auto *entry = m_model->EntryAt(row);
    const int id = entry->id;
    CRenameDlg dialog(m_model->index(row, MgrColType).data().toString(), entry->row.extaddress,
                      entry->row.name, this);
    if (m_prompt->RunModal(dialog) != QDialog::Accepted || dialog.NewName().isEmpty())
        return;
    const QString name = dialog.NewName();
    auto log = [this](MessageKind kind, const QString &text) { Log(kind, text); };
    if (!ManagerCommands::RenameNode(m_database, id, name, log)) {
        m_prompt->ShowError(this, {}, m_database.LastError());
        return;
    }
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toInt() == id)
            (*it)->setText(0, name);
    }
    m_model->UpdateNode(id);
    emit nodeRenamed(id);
    emit messageLogged(m_lastKind, m_lastText);
}

void CFormviewManager::RefreshConnection()
{
    const int row = LastSelectedRow();
    if (row >= 0 && m_submit)
        (void)m_submit(m_model.get(), RequestKind::RefreshConnection, row);
}

void CFormviewManager::ScanNetwork()
{
    if (m_submit)
        (void)m_submit(nullptr, RequestKind::Scan, 0);
}
