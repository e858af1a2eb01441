#include "views/core/ManagerCommands.h"

#include "base/NodeType.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/ValueFormat.h"
#include "storage/CCorvaneODBC.h"
#include "views/core/ViewCoreLog.h"

#include <algorithm>

namespace ManagerCommands {

namespace {

// "{" name ", " "ID:" address "}" with the name part only when there is a name.
QString NodeBraces(const QString &name, const QString &address)
{
    const QString namePart = name.isEmpty() ? QString() : name + QStringLiteral(", ");
    return QLatin1Char('{') + namePart + QStringLiteral("ID:") + address + QLatin1Char('}');
}

} // namespace

bool IsValidAddress(const QString &address)
{
    if (address.size() != kAddressLength)
        return false;
    return std::all_of(address.begin(), address.end(), [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
               (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
    });
}

QString AddText(quint8 type, const QString &name, const QString &address)
{
    return LoadStr(421) /* 添加 */ + NodeType::Name(type) + QLatin1Char(' ') + NodeBraces(name, address);
}

QString DeleteText(quint8 type, const QString &name, const QString &address)
{
    return LoadStr(422) /* 删除 */ + NodeType::Name(type) + QLatin1Char(' ') + NodeBraces(name, address);
}

QString RenameText(quint8 type, const QString &oldName, const QString &address, const QString &newName)
{
    return NodeType::Name(type) + NodeBraces(oldName, address) + QLatin1Char(' ') +
           LoadStr(426) /* 重命名为 */
           + newName;
}

AddResult AddNode(CCorvaneODBC &database, const NewNode &node, const MessageSink &log)
{
    if (!IsValidAddress(node.address) || node.name.size() > kMaxNewName)
        return AddResult::Invalid;
    if (database.FindNodeIdByAddress(node.address) >= 1)
        return AddResult::Exists;
    NodeChange change;
    change.mask = NodeChange::Name | NodeChange::ExtAddress | NodeChange::Type | NodeChange::FatherId |
                  NodeChange::RunState | NodeChange::SampleCap | NodeChange::Channel1Upper |
                  NodeChange::Channel1Lower | NodeChange::Channel2Upper | NodeChange::Channel2Lower;
    change.values.name = node.name;
    change.values.extaddress = node.address;
    change.values.type = node.type;
    change.values.channel1_upper = change.values.channel1_lower = kNoValue;
    change.values.channel2_upper = change.values.channel2_lower = kNoValue;
    if (database.SaveNode(change) != 1) {
        qCWarning(lcViewCore) << "node not added:" << node.address << database.LastError();
        return AddResult::Failed;
    }
    log(MessageKind::System, AddText(node.type, node.name, node.address));
    return AddResult::Added;
}

int DeleteNodes(CCorvaneODBC &database, const QStringList &addresses, const MessageSink &log)
{
    int deleted = 0;
    for (const QString &address : addresses) {
        const int id = database.FindNodeIdByAddress(address);
        if (id < 1)
            continue;
        const NodeRow row = database.LookupCursor().Row();
        if (database.DeleteNode(id) != 1) {
            qCWarning(lcViewCore) << "node not deleted:" << address << database.LastError();
            continue;
        }
        log(MessageKind::System, DeleteText(row.type, row.name, address));
        ++deleted;
    }
    return deleted;
}

bool RenameNode(CCorvaneODBC &database, int id, const QString &newName, const MessageSink &log)
{
    if (newName.isEmpty() || newName.size() > kMaxRename || database.SeekEditNode(id) != 1)
        return false;
    CCorvaneNetMger &cursor = database.EditCursor();
    const NodeRow old = cursor.Row();
    if (!cursor.Edit())
        return false;
    cursor.Fields().name = newName;
    const bool written = cursor.Update();
    (void)cursor.Requery();
    (void)database.SeekEditNode(id);
    if (!written) {
        qCWarning(lcViewCore) << "node not renamed:" << id << cursor.LastError();
        return false;
    }
    log(MessageKind::Setting, RenameText(old.type, old.name, old.extaddress, newName));
    return true;
}

} // namespace ManagerCommands
