// corvane-cli nodes, scan and node: the instrument management list and its database commands,
// with the same texts, rules and message-log entries as the management view.
#include "CliCommon.h"

#include "DemoSetup.h"
#include "SimReceiver.h"

#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "base/NodeType.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "link/CUart_CommApp.h"
#include "messages/CMessageHisNew.h"
#include "network/CCorvaneBeeNode.h"
#include "network/LinkSession.h"
#include "network/NetworkLoader.h"
#include "network/NetworkNotifier.h"
#include "storage/CCorvaneODBC.h"
#include "views/core/CManagerListModel.h"
#include "views/core/ManagerCommands.h"

#include <QCoreApplication>
#include <QTimer>

#include <unordered_map>

namespace {

bool OpenProgramDatabase(CCorvaneODBC &db)
{
    AppSettings &settings = AppSettings::Instance();
    settings.LoadStartupSettings(QLocale::system());
    if (settings.UserName().isEmpty())
        settings.SetUser(QStringLiteral("corvane-cli"), 0);
    const QString name = settings.DatabaseFileName();
    return !name.isEmpty() && db.OpenDatabase(name);
}

// Depth of every node in the tree: 0 at the top.
std::unordered_map<int, int> Depths(const NodeTree &tree)
{
    std::unordered_map<int, int> depths;
    for (const int index : tree.PreOrder()) {
        const NodeTree::Entry &entry = tree.entries[size_t(index)];
        const int parent = entry.parent;
        depths[entry.row.id] = parent < 0 ? 0 : depths[tree.entries[size_t(parent)].row.id] + 1;
    }
    return depths;
}

void PrintRows(CCorvaneODBC &db)
{
    CCorvaneBeeNode &table = theNodeTable();
    const std::unordered_map<int, int> depths = Depths(LoadNetworkTable(db, table));
    CManagerListModel model(table, db);
    model.Reload();
    for (int row = 0; row < model.rowCount(); ++row) {
        const ManagerCells cells = model.CellsAt(row);
        QJsonObject object;
        object.insert(ManagerColumnKey(MgrColCheck), model.index(row, MgrColCheck).data().toString());
        for (int column = MgrColName; column < MgrColId; ++column)
            object.insert(ManagerColumnKey(column), cells.AccessibleText(column));
        const int id = model.IdAt(row);
        object.insert(QStringLiteral("id"), id);
        object.insert(QStringLiteral("fatherId"), model.EntryAt(row)->row.fatherid);
        object.insert(QStringLiteral("treeOrder"), table.GetTreeOrder(id));
        object.insert(QStringLiteral("depth"), depths.count(id) ? depths.at(id) : 0);
        cli::PrintJson(object);
    }
}

// Connects as the main window does and runs until stop() is called or the seconds pass;
// false when the time ran out first (or no receiver could be started).
class Connection {
public:
    explicit Connection(CCorvaneODBC &db) : m_session(CUart_CommApp::Instance(), theNodeTable(), db)
    {
        // The network table follows the node table as the management view makes it do: a
        // router added by the link handling gets its live record at once.
        QObject::connect(&m_session.Notifier(), &NetworkNotifier::topologyChanged,
                         [&db] { (void)LoadNetworkTable(db, theNodeTable()); });
    }

    bool Start(const cli::GlobalOptions &global, QString *error)
    {
        QStringList ports = global.ports;
        if (global.demo) {
            m_simulator = DemoSetup::StartReceiver(error);
            if (!m_simulator)
                return false;
            ports.prepend(m_simulator->SlavePath());
        }
        m_session.SetGivenPorts(ports);
        m_session.Connect();
        return true;
    }
    // Runs the event loop; true when Stop() ended it.
    bool Run(int seconds)
    {
        QTimer::singleShot(seconds * 1000, qApp, [] { QCoreApplication::exit(1); });
        const bool stopped = QCoreApplication::exec() == 0;
        CUart_CommApp::Instance().Port().ClosePort();
        return stopped;
    }
    static void Stop() { QCoreApplication::exit(0); }
    [[nodiscard]] LinkSession &Session() { return m_session; }

private:
    std::unique_ptr<SimReceiver> m_simulator;
    LinkSession m_session;
};

bool Connects(const cli::GlobalOptions &global)
{
    return global.demo || !global.ports.isEmpty();
}

bool TakeSeconds(QStringList &args, int fallback, int &seconds)
{
    QString text;
    if (!cli::TakeOption(args, QStringLiteral("--seconds"), text)) {
        seconds = fallback;
        return true;
    }
    bool ok = false;
    seconds = text.toInt(&ok);
    return ok && seconds >= 0;
}

void LogMessage(MessageKind kind, const QString &text)
{
    (void)MessageStores::Instance().fresh.LogNow(kind, text);
    cli::PrintJson({{QStringLiteral("event"), QStringLiteral("message")},
                    {QStringLiteral("type"), TypeWord(kind)},
                    {QStringLiteral("text"), text}});
}

// Opens the program's database (the demo one prepared first) and loads the network table from
// it; 0 on success, else the exit status.
int OpenNetwork(const cli::GlobalOptions &global, CCorvaneODBC &db)
{
    if (global.demo) {
        QString error;
        (void)DemoSetup::EnsureDatabase(db, &error);
    }
    if (!OpenProgramDatabase(db))
        return cli::Fail(QStringLiteral("no database open: %1").arg(db.LastError()));
    (void)LoadNetworkTable(db, theNodeTable());
    return 0;
}

} // namespace

int RunNodes(const cli::GlobalOptions &global, QStringList args)
{
    int seconds = 0;
    if (!TakeSeconds(args, 8, seconds) || !args.isEmpty())
        return cli::UsageOf("nodes");
    CCorvaneODBC &db = theDatabase();
    if (const int status = OpenNetwork(global, db))
        return status;
    if (Connects(global)) {
        Connection connection(db);
        QString error;
        if (!connection.Start(global, &error))
            return cli::Fail(QStringLiteral("cannot start the simulated receiver: %1").arg(error));
        (void)connection.Run(seconds);
    }
    PrintRows(db);
    return 0;
}

int RunScan(const cli::GlobalOptions &global, QStringList args)
{
    int seconds = 0;
    if (!TakeSeconds(args, 60, seconds) || !args.isEmpty())
        return cli::UsageOf("scan");
    if (!Connects(global))
        return cli::Fail(LoadStr(Sid::NoNodeConnected));
    CCorvaneODBC &db = theDatabase();
    if (const int status = OpenNetwork(global, db))
        return status;
    Connection connection(db);
    // Connecting queues a network scan; its end is logged with its own text.
    QObject::connect(&connection.Session().Notifier(), &NetworkNotifier::messageLogged,
                     [](MessageKind kind, const QString &, bool) {
                         if (kind == MessageKind::Scan)
                             Connection::Stop();
                     });
    QString error;
    if (!connection.Start(global, &error))
        return cli::Fail(QStringLiteral("cannot start the simulated receiver: %1").arg(error));
    if (!connection.Run(seconds))
        return cli::Fail(QStringLiteral("the network scan did not end within %1 s").arg(seconds));
    PrintRows(db);
    return 0;
}

namespace {

// A type byte ("0x80", "128") or a type name of the string table.
bool ParseType(const QString &text, quint8 &type)
{
    bool ok = false;
    const int value = text.startsWith(QLatin1String("0x")) ? text.mid(2).toInt(&ok, 16) : text.toInt(&ok);
    if (ok && value >= 0 && value <= 0xFF) {
        type = quint8(value);
        return true;
    }
    for (int id = 117; id <= 122; ++id) {
        if (text == LoadStr(id)) {
            type = NodeType::FromName(text);
            return true;
        }
    }
    return false;
}

int NodeAdd(CCorvaneODBC &db, QStringList args)
{
    QString typeText;
    QString name;
    if (!cli::TakeOption(args, QStringLiteral("--type"), typeText))
        return cli::UsageOf("node");
    (void)cli::TakeOption(args, QStringLiteral("--name"), name);
    quint8 type = 0;
    if (args.size() != 1 || !ParseType(typeText, type))
        return cli::UsageOf("node");
    if (name.size() > ManagerCommands::kMaxNewName)
        return cli::Fail(LoadStr(Sid::MgrNameTooLong));
    switch (ManagerCommands::AddNode(db, {name, type, args[0]}, &LogMessage)) {
    case ManagerCommands::AddResult::Added:
        break;
    case ManagerCommands::AddResult::Exists:
        return cli::Fail(LoadStr(132)); // 设备已存在
    case ManagerCommands::AddResult::Invalid:
        return cli::Fail(LoadStr(Sid::MgrBadAddress));
    case ManagerCommands::AddResult::Failed:
        return cli::Fail(db.LastError());
    }
    PrintRows(db);
    return 0;
}

int NodeRename(CCorvaneODBC &db, const QStringList &args)
{
    if (args.size() != 2)
        return cli::UsageOf("node");
    const int id = db.FindNodeIdByAddress(args[0]);
    if (id < 1)
        return cli::Fail(LoadStr(Sid::MgrNoSuchNode) + QStringLiteral(": ") + args[0]);
    if (args[1].isEmpty())
        return cli::Fail(LoadStr(Sid::MgrNameEmpty));
    if (args[1].size() > ManagerCommands::kMaxRename)
        return cli::Fail(LoadStr(Sid::MgrNameTooLong));
    if (!ManagerCommands::RenameNode(db, id, args[1], &LogMessage))
        return cli::Fail(db.LastError());
    PrintRows(db);
    return 0;
}

int NodeDelete(CCorvaneODBC &db, const QStringList &addresses)
{
    if (addresses.isEmpty())
        return cli::UsageOf("node");
    for (const QString &address : addresses) {
        if (db.FindNodeIdByAddress(address) < 1)
            return cli::Fail(LoadStr(Sid::MgrNoSuchNode) + QStringLiteral(": ") + address);
    }
    (void)ManagerCommands::DeleteNodes(db, addresses, &LogMessage);
    PrintRows(db);
    return 0;
}

} // namespace

int RunNode(const cli::GlobalOptions &, QStringList args)
{
    if (args.isEmpty())
        return cli::UsageOf("node");
    const QString action = args.takeFirst();
    CCorvaneODBC &db = theDatabase();
    if (!OpenProgramDatabase(db))
        return cli::Fail(QStringLiteral("no database open: %1").arg(db.LastError()));
    if (action == QLatin1String("add"))
        return NodeAdd(db, args);
    if (action == QLatin1String("rename"))
        return NodeRename(db, args);
    if (action == QLatin1String("delete"))
        return NodeDelete(db, args);
    return cli::UsageOf("node");
}
