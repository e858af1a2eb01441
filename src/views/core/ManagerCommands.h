#pragma once

#include "base/MessageKind.h"
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>

class CCorvaneODBC;

// The database commands of the instrument management view, shared with corvane-cli: adding a
// node by its extended address, deleting nodes, renaming one, each with its message-log entry.
// They change only the node table; bringing the network table and the lists into line is the
// caller's next step (LoadNetworkTable). Nothing is sent to the nodes.
namespace ManagerCommands {

constexpr int kMaxNewName = 12;    // name typed when adding
constexpr int kMaxRename = 16;     // name typed when renaming
constexpr int kAddressLength = 16; // extended address: 16 lower-case hexadecimal digits

// Receives one message-log entry: type word and text. The caller stamps time and user.
using MessageSink = std::function<void(MessageKind kind, const QString &text)>;

struct NewNode {
    QString name;
    quint8 type = 0; // type byte; 0 for an unknown device
    QString address;
};

enum class AddResult { Added, Exists, Invalid, Failed };

// 16 characters, each 0-9 or a-f.
[[nodiscard]] bool IsValidAddress(const QString &address);

// "添加" type " {" name ", " "ID:" address "}" (the name and its comma only when not empty).
[[nodiscard]] QString AddText(quint8 type, const QString &name, const QString &address);
// The same with "删除".
[[nodiscard]] QString DeleteText(quint8 type, const QString &name, const QString &address);
// type "{" old name ", " "ID:" address "} " "重命名为" new name.
[[nodiscard]] QString RenameText(quint8 type, const QString &oldName, const QString &address,
                                 const QString &newName);

// Adds the node with no parent, run state 0, no interval and no alarm limits, and logs it as a
// system entry. Exists when the address is already in the node table (nothing changes).
[[nodiscard]] AddResult AddNode(CCorvaneODBC &database, const NewNode &node, const MessageSink &log);
// Deletes the rows of the addresses; each one found is logged as a system entry. Returns the
// number deleted.
int DeleteNodes(CCorvaneODBC &database, const QStringList &addresses, const MessageSink &log);
// Renames the node of that id and logs it as a setting entry; false when the name is empty or
// too long, or the node is not in the table.
[[nodiscard]] bool RenameNode(CCorvaneODBC &database, int id, const QString &newName, const MessageSink &log);

} // namespace ManagerCommands
