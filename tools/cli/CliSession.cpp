#include "CliSession.h"

#include "HistoryArgs.h"

#include "DemoSetup.h"
#include "SimReceiver.h"

#include "base/AppSettings.h"
#include "base/NodeType.h"
#include "base/StringTable.h"
#include "link/CUartAffairLink.h"
#include "link/CUart_CommApp.h"
#include "network/CCorvaneBeeNode.h"
#include "network/LinkSession.h"
#include "network/NetworkLoader.h"
#include "network/NetworkNotifier.h"
#include "network/ProgramLinkServices.h"
#include "storage/CCorvaneODBC.h"
#include "views/core/CNodeListModel.h"

#include <QCoreApplication>
#include <QTimer>

#include <set>

namespace cli {

namespace {

// The program's own services, with every message-log entry printed as well.
class PrintingServices : public ForwardingLinkServices {
public:
    using ForwardingLinkServices::ForwardingLinkServices;
    void LogEntry(MessageKind kind, qint64 time, const QString &text) override
    {
        ForwardingLinkServices::LogEntry(kind, time, text);
        PrintJson({{QStringLiteral("event"), QStringLiteral("message")},
                   {QStringLiteral("type"), TypeWord(kind)},
                   {QStringLiteral("time"), time},
                   {QStringLiteral("user"), AppSettings::Instance().UserName()},
                   {QStringLiteral("text"), text}});
    }
};

} // namespace

std::unique_ptr<LinkServices> MakePrintingServices(CCorvaneODBC &db)
{
    return std::make_unique<PrintingServices>(MakeProgramLinkServices(theNodeTable(), db));
}

void PrintEvent(const QString &event, QJsonObject fields)
{
    fields.insert(QStringLiteral("event"), event);
    PrintJson(fields);
}

Session::Session() = default;

Session::~Session()
{
    CUart_CommApp::Instance().Port().ClosePort();
}

int Session::OpenLoggers(const GlobalOptions &global, const QStringList &addresses, std::vector<int> &ids)
{
    if (const int status = Open(global))
        return status;
    QString error;
    if (!LoggerIds(Database(), addresses, ids, error))
        return Fail(error);
    return 0;
}

CCorvaneODBC &Session::Database() const
{
    return theDatabase();
}

int Session::Open(const GlobalOptions &global)
{
    AppSettings &settings = AppSettings::Instance();
    settings.LoadStartupSettings(QLocale::system());
    if (settings.UserName().isEmpty())
        settings.SetUser(QStringLiteral("corvane-cli"), 0);
    CCorvaneODBC &db = theDatabase();
    if (global.demo) {
        QString error;
        if (DemoSetup::EnsureDatabase(db, &error).isEmpty())
            return Fail(QStringLiteral("cannot prepare the demo database: %1").arg(error));
    }
    const QString name = settings.DatabaseFileName();
    if (name.isEmpty() || !db.OpenDatabase(name))
        return Fail(QStringLiteral("no database open: %1").arg(db.LastError()));
    (void)LoadNetworkTable(db, theNodeTable());

    CUart_CommApp &link = CUart_CommApp::Instance();
    link.Link().SetServices(MakePrintingServices(db));
    m_session = std::make_unique<LinkSession>(link, theNodeTable(), db);
    Wire();
    return 0;
}

void Session::Wire()
{
    NetworkNotifier &notifier = m_session->Notifier();
    // The network table follows the node table, as the management view makes it do.
    connect(&notifier, &NetworkNotifier::topologyChanged, this,
            [] { (void)LoadNetworkTable(theDatabase(), theNodeTable()); });
    connect(&notifier, &NetworkNotifier::connectionChanged, this,
            [this](const QString &text, bool connected) {
                PrintEvent(QStringLiteral("connection"),
                           {{QStringLiteral("text"), text}, {QStringLiteral("connected"), connected}});
                if (connected && m_onConnected)
                    std::exchange(m_onConnected, nullptr)();
            });
    connect(&notifier, &NetworkNotifier::statusChanged, this, [](const QString &text, int progress) {
        PrintEvent(QStringLiteral("status"),
                   {{QStringLiteral("text"), text}, {QStringLiteral("progress"), progress}});
    });
    connect(&notifier, &NetworkNotifier::messageLogged, this,
            [this](MessageKind, const QString &, bool nodeLost) {
                if (nodeLost)
                    m_session->SendAlarmFrame();
            });
    connect(&notifier, &NetworkNotifier::linkLost, this, [] { PrintEvent(QStringLiteral("linklost")); });
}

int Session::Run(const GlobalOptions &global, int seconds, const QString &timeoutMessage)
{
    QStringList ports = global.ports;
    if (global.demo) {
        QString error;
        m_simulator = DemoSetup::StartReceiver(&error);
        if (!m_simulator)
            return Fail(QStringLiteral("cannot start the simulated receiver: %1").arg(error));
        ports.prepend(m_simulator->SlavePath());
    }
    m_session->SetGivenPorts(ports);
    m_session->Connect();
    constexpr int kTimedOut = 124;
    if (seconds > 0)
        QTimer::singleShot(seconds * 1000, this, [] { QCoreApplication::exit(kTimedOut); });
    const int status = QCoreApplication::exec();
    CUart_CommApp::Instance().Port().ClosePort();
    if (status == kTimedOut && !timeoutMessage.isEmpty())
        return Fail(m_session->State().IsConnected() ? timeoutMessage : LoadStr(294)); // 未有仪器连接到电脑
    return status == kTimedOut ? 0 : status;
}

void Session::Finish(int status)
{
    QCoreApplication::exit(status);
}

bool TakeSeconds(QStringList &args, int fallback, int &seconds)
{
    QString text;
    if (!TakeOption(args, QStringLiteral("--seconds"), text)) {
        seconds = fallback;
        return true;
    }
    bool ok = false;
    seconds = text.toInt(&ok);
    return ok && seconds >= 0;
}

bool LoggerIds(CCorvaneODBC &db, const QStringList &addresses, std::vector<int> &ids, QString &error)
{
    for (const QString &text : addresses) {
        const std::optional<QString> key = NodeKey(text);
        const int id = key ? db.FindNodeIdByAddress(*key) : -1;
        if (id < 1) {
            error = QStringLiteral("no node with the address %1 in the database").arg(text);
            return false;
        }
        if (db.SeekLookupNode(id) != 1 || !NodeType::HasChannel1(db.LookupCursor().Row().type)) {
            error = QStringLiteral("node %1 is not a logger").arg(text);
            return false;
        }
        ids.push_back(id);
    }
    if (ids.empty())
        error = QStringLiteral("no logger address given");
    return !ids.empty();
}

} // namespace cli

namespace cli {

int RunBatch(Session &session, const GlobalOptions &global, CNodeListModel &model,
             const std::vector<int> &ids, const CommandBatch &batch, int seconds)
{
    std::set<int> waiting;
    bool allOk = true;
    const auto ended = [&](int id) {
        allOk = batch.report(id, batch.state(id)) && allOk;
        waiting.erase(id);
        if (!waiting.empty())
            return;
        if (batch.ended)
            batch.ended(allOk);
        else
            Session::Finish(allOk ? 0 : 1);
    };
    session.WhenConnected([&] {
        model.Reload();
        for (const int id : ids) {
            const int row = model.RowOf(id);
            if (row >= 0 && CUart_CommApp::Instance().SubmitCommand(&model, batch.kind, row) == 1) {
                batch.setState(id, batch.queuedState);
                waiting.insert(id);
            } else {
                PrintJson(
                    {{QStringLiteral("event"), QStringLiteral("refused")}, {QStringLiteral("node"), id}});
                allOk = false;
            }
        }
        if (waiting.empty())
            Session::Finish(1);
    });
    QObject::connect(&session.Link().Notifier(), &NetworkNotifier::nodeChanged, &session,
                     [&](int id, NodeAspect aspect) {
                         if (aspect == batch.aspect && waiting.count(id) && !batch.pending(batch.state(id)))
                             ended(id);
                     });
    return session.Run(global, seconds, QStringLiteral("the commands did not end within %1 s").arg(seconds));
}

} // namespace cli
