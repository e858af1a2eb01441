#pragma once

#include "base/UserPrompt.h"
#include "views/core/ManagerCommands.h"

#include "link/RequestKind.h"
#include "views/ViewLinkTypes.h"

#include <QWidget>

#include <functional>
#include <memory>

class CCorvaneBeeNode;
class CCorvaneODBC;
class CManagerListModel;
class CUartAffairInterface;
class QPushButton;
class QTableView;
class QTreeWidget;

// The instrument management tab: the network tree (receiver, routers, loggers under their
// parent) beside the list of every node with its state, and the buttons to add, delete and
// rename nodes in the database, to refresh one node's connection and to scan the network.
// Rebuilding the tree brings the network table into line with the node table.
//
// The owner wires it: the notifications "reload" to RebuildTree, "node changed" to
// RefreshList or UpdateNode, the network table's live changes to the model; treeRebuilt and
// nodeRenamed tell the other views, messageLogged the main window.
class CFormviewManager : public QWidget {
    Q_OBJECT
public:
    // Queues a link request for the node on a row of the source (no source: receiver-wide).
    using Submitter = ViewSubmitter;

    // prompt: runs the add, delete and rename dialogs and shows errors (nullptr: real dialogs
    // and message boxes).
    CFormviewManager(CCorvaneBeeNode &table, CCorvaneODBC &database, Submitter submit,
                     IUserPrompt *prompt = nullptr, QWidget *parent = nullptr);
    ~CFormviewManager() override;

    // Where message-log entries go (default: the new-messages store, stamped with the
    // logged-in user and the current time).
    void SetMessageSink(ManagerCommands::MessageSink sink) { m_sink = std::move(sink); }
    // Add, delete and rename are for administrators only.
    void SetAdministrator(bool administrator);

    [[nodiscard]] CManagerListModel &Model() const { return *m_model; }
    [[nodiscard]] QTreeWidget *Tree() const { return m_tree; }
    [[nodiscard]] QTableView *List() const { return m_list; }

public slots:
    // Rebuilds the tree from the node table, brings the network table into line and reloads
    // the list.
    void RebuildTree();
    void RefreshList();
    void UpdateNode(int id);
    // Selects the node's row, scrolls to it.
    void ShowInList(int id);

    void AddNode();
    void DeleteChecked();
    void RenameSelected();
    void RefreshConnection();
    void ScanNetwork();

signals:
    // The tree was rebuilt: the other views reload.
    void treeRebuilt();
    void nodeRenamed(int id);
    // Entries were written to the message log; the newest one's type word and text.
    void messageLogged(MessageKind kind, const QString &text);

private:
    void BuildLayout();
    QPushButton *MakeButton(const char *objectName, int textId);
    // Highest selected row, -1 when none.
    [[nodiscard]] int LastSelectedRow() const;
    void Log(MessageKind kind, const QString &text);

    CCorvaneBeeNode &m_table;
    CCorvaneODBC &m_database;
    Submitter m_submit;
    std::unique_ptr<IUserPrompt> m_ownPrompt;
    IUserPrompt *m_prompt;
    ManagerCommands::MessageSink m_sink;
    MessageKind m_lastKind = MessageKind::None;
    QString m_lastText;
    std::unique_ptr<CManagerListModel> m_model;
    QTreeWidget *m_tree = nullptr;
    QTableView *m_list = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_rename = nullptr;
};
