// corvane-cli monitor: connects to the receiver exactly as the main window does and applies
// every finished record with the same link event handling, printing what happens.
#include "CliCommon.h"
#include "CliSession.h"
#include "ReplyJson.h"

#include "DemoSetup.h"
#include "SimReceiver.h"

#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "link/CUartAffairLink.h"
#include "link/CUart_CommApp.h"
#include "network/CCorvaneBeeNode.h"
#include "network/LinkEventHandler.h"
#include "network/LinkSession.h"
#include "network/NetworkLoader.h"
#include "network/NetworkNotifier.h"
#include "network/ProgramLinkServices.h"
#include "storage/CCorvaneODBC.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QTimer>

#include <limits>

namespace {

// What the run saw of the link, for the exit status.
struct LinkOutcome {
    bool connected = false;
    bool everConnected = false;
    bool lost = false;
    QString failure; // set when the run ended early on a failure
};

// QTimer counts milliseconds in an int.
constexpr int kMaxSeconds = std::numeric_limits<int>::max() / 1000;

void PrintLinkEvents(NetworkNotifier &notifier, LinkOutcome &outcome, bool timed)
{
    QObject::connect(
        &notifier, &NetworkNotifier::connectionChanged, [&outcome](const QString &text, bool connected) {
            cli::PrintEvent(QStringLiteral("connection"),
                            {{QStringLiteral("text"), text}, {QStringLiteral("connected"), connected}});
            if (connected && outcome.lost)
                cli::PrintEvent(QStringLiteral("reconnected"), {{QStringLiteral("text"), text}});
            outcome.connected = connected;
            outcome.everConnected = outcome.everConnected || connected;
        });
    QObject::connect(&notifier, &NetworkNotifier::linkLost, [&outcome, timed] {
        cli::PrintEvent(QStringLiteral("linklost"));
        outcome.lost = true;
        // Without a time limit the run ends with the link; with one it waits for the receiver.
        if (!timed) {
            outcome.failure = QStringLiteral("the link to the receiver was lost");
            QCoreApplication::exit(1);
        }
    });
    QObject::connect(&notifier, &NetworkNotifier::receiverNotFound, [&outcome] {
        outcome.failure = QStringLiteral("no receiver answered on any port");
        QCoreApplication::exit(1);
    });
}

// The exit status of a finished run: 0 only when the receiver is connected at the end.
int Conclude(const LinkOutcome &outcome)
{
    if (!outcome.failure.isEmpty())
        return cli::Fail(outcome.failure);
    if (!outcome.everConnected)
        return cli::Fail(QStringLiteral("no receiver connected"));
    if (!outcome.connected)
        return cli::Fail(QStringLiteral("the link to the receiver was lost and not re-established"));
    return 0;
}

// Starts the simulated receiver with --demo (its port tried first) and opens the settings
// database with its network table; 0, or the exit status after a message.
int PrepareLink(const cli::GlobalOptions &global, CCorvaneODBC &db, std::unique_ptr<SimReceiver> &simulator,
                QStringList &ports)
{
    ports = global.ports;
    if (global.demo) {
        QString error;
        simulator = DemoSetup::StartReceiver(&error);
        if (!simulator)
            return cli::Fail(QStringLiteral("cannot start the simulated receiver: %1").arg(error));
        if (DemoSetup::EnsureDatabase(db, &error).isEmpty())
            return cli::Fail(QStringLiteral("cannot prepare the demo database: %1").arg(error));
        ports.prepend(simulator->SlavePath());
    }
    const QString dbName = AppSettings::Instance().DatabaseFileName();
    if (!dbName.isEmpty() && db.OpenDatabase(dbName)) {
        (void)LoadNetworkTable(db, theNodeTable());
        cli::PrintEvent(QStringLiteral("database"), {{QStringLiteral("file"), db.DatabasePath()}});
    } else {
        cli::PrintEvent(QStringLiteral("database"),
                        {{QStringLiteral("file"), QString()}, {QStringLiteral("error"), db.LastError()}});
    }
    return 0;
}

// Prints every applied record, status change and refused port; sends the alarm frame when a
// node is declared lost, as the main window does.
void PrintSessionEvents(LinkSession &session)
{
    QObject::connect(
        &session.Handler(), &LinkEventHandler::recordApplied, [](const AffairReply &record, int id) {
            QJsonObject object = cli::ReplyToJson(record);
            object.insert(QStringLiteral("event"), QStringLiteral("record"));
            object.insert(QStringLiteral("node"), id);
            // The result of a request of ours, as opposed to a node's own report.
            object.insert(QStringLiteral("result"), record.disposition == AffairReply::RequestResult);
            cli::PrintJson(object);
        });
    NetworkNotifier &notifier = session.Notifier();
    QObject::connect(&notifier, &NetworkNotifier::statusChanged, [](const QString &text, int progress) {
        cli::PrintEvent(QStringLiteral("status"),
                        {{QStringLiteral("text"), text}, {QStringLiteral("progress"), progress}});
    });
    QObject::connect(&notifier, &NetworkNotifier::messageLogged,
                     [&session](MessageKind, const QString &, bool nodeLost) {
                         if (nodeLost)
                             session.SendAlarmFrame();
                     });
    QObject::connect(&notifier, &NetworkNotifier::portDenied,
                     [](const QString &port, const QString &message) {
                         cli::PrintEvent(QStringLiteral("portdenied"),
                                         {{QStringLiteral("port"), port}, {QStringLiteral("text"), message}});
                     });
}

} // namespace

int RunMonitor(const cli::GlobalOptions &global, QStringList args)
{
    QString secondsText;
    const bool timed = cli::TakeOption(args, QStringLiteral("--seconds"), secondsText);
    bool ok = true;
    const int seconds = timed ? secondsText.toInt(&ok) : 0;
    if (!args.isEmpty() || !ok || seconds < 0)
        return cli::UsageOf("monitor");
    if (seconds > kMaxSeconds)
        return cli::Fail(QStringLiteral("--seconds must be at most %1").arg(kMaxSeconds));

    AppSettings &settings = AppSettings::Instance();
    settings.LoadStartupSettings(QLocale::system());
    if (settings.UserName().isEmpty())
        settings.SetUser(QStringLiteral("corvane-cli"), 0);

    CCorvaneODBC &db = theDatabase();
    std::unique_ptr<SimReceiver> simulator;
    QStringList ports;
    if (const int status = PrepareLink(global, db, simulator, ports))
        return status;

    CUart_CommApp &link = CUart_CommApp::Instance();
    link.Link().SetServices(cli::MakePrintingServices(db));
    LinkSession session(link, theNodeTable(), db);
    session.SetGivenPorts(ports);
    LinkOutcome outcome;
    PrintLinkEvents(session.Notifier(), outcome, timed);
    PrintSessionEvents(session);

    session.Connect();
    if (timed)
        QTimer::singleShot(seconds * 1000, qApp, &QCoreApplication::quit);
    (void)QCoreApplication::exec();
    link.Port().ClosePort();
    return Conclude(outcome);
}
