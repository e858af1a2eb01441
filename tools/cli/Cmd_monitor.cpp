// corvane-cli monitor: connects to the receiver exactly as the main window does and applies
// every finished record with the same link event handling, printing what happens.
#include "CliCommon.h"
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

namespace {

// The program's own services, with every message-log entry printed as well.
class PrintingServices : public ForwardingLinkServices {
public:
    using ForwardingLinkServices::ForwardingLinkServices;
    void LogEntry(const QString &type, qint64 time, const QString &text) override
    {
        ForwardingLinkServices::LogEntry(type, time, text);
        cli::PrintJson({{QStringLiteral("event"), QStringLiteral("message")},
                        {QStringLiteral("type"), type},
                        {QStringLiteral("time"), time},
                        {QStringLiteral("user"), AppSettings::Instance().UserName()},
                        {QStringLiteral("text"), text}});
    }
};

void PrintEvent(const QString &event, QJsonObject fields = {})
{
    fields.insert(QStringLiteral("event"), event);
    cli::PrintJson(fields);
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

    AppSettings &settings = AppSettings::Instance();
    settings.LoadStartupSettings(QLocale::system());
    if (settings.UserName().isEmpty())
        settings.SetUser(QStringLiteral("corvane-cli"), 0);

    CCorvaneODBC &db = theDatabase();
    std::unique_ptr<SimReceiver> simulator;
    QStringList ports = global.ports;
    if (global.demo) {
        QString error;
        simulator = DemoSetup::StartReceiver(&error);
        if (!simulator)
            return cli::Fail(QStringLiteral("cannot start the simulated receiver: %1").arg(error));
        if (DemoSetup::EnsureDatabase(db, &error).isEmpty())
            return cli::Fail(QStringLiteral("cannot prepare the demo database: %1").arg(error));
        ports.prepend(simulator->SlavePath());
    }

    const QString dbName = settings.DatabaseFileName();
    if (!dbName.isEmpty() && db.OpenDatabase(dbName)) {
        (void)LoadNetworkTable(db, theNodeTable());
        PrintEvent(QStringLiteral("database"), {{QStringLiteral("file"), db.DatabasePath()}});
    } else {
        PrintEvent(QStringLiteral("database"),
                   {{QStringLiteral("file"), QString()}, {QStringLiteral("error"), db.LastError()}});
    }

    CUart_CommApp &link = CUart_CommApp::Instance();
    link.Link().SetServices(std::make_unique<PrintingServices>(MakeProgramLinkServices(theNodeTable(), db)));
    LinkSession session(link, theNodeTable(), db);
    session.SetGivenPorts(ports);

    QObject::connect(&session.Handler(), &LinkEventHandler::recordApplied,
                     [](const AffairReply &record, int id) {
                         QJsonObject object = cli::ReplyToJson(record);
                         object.insert(QStringLiteral("event"), QStringLiteral("record"));
                         object.insert(QStringLiteral("node"), id);
                         cli::PrintJson(object);
                     });
    NetworkNotifier &notifier = session.Notifier();
    QObject::connect(&notifier, &NetworkNotifier::connectionChanged, [](const QString &text, bool connected) {
        PrintEvent(QStringLiteral("connection"),
                   {{QStringLiteral("text"), text}, {QStringLiteral("connected"), connected}});
    });
    QObject::connect(&notifier, &NetworkNotifier::statusChanged, [](const QString &text, int progress) {
        PrintEvent(QStringLiteral("status"),
                   {{QStringLiteral("text"), text}, {QStringLiteral("progress"), progress}});
    });
    QObject::connect(&notifier, &NetworkNotifier::messageLogged,
                     [&session](int kind, const QString &, const QString &) {
                         // A node declared lost sends the alarm frame, as the main window does.
                         if (kind == 5)
                             session.SendAlarmFrame();
                     });
    QObject::connect(&notifier, &NetworkNotifier::linkLost, [] { PrintEvent(QStringLiteral("linklost")); });
    QObject::connect(&notifier, &NetworkNotifier::portDenied,
                     [](const QString &port, const QString &message) {
                         PrintEvent(QStringLiteral("portdenied"),
                                    {{QStringLiteral("port"), port}, {QStringLiteral("text"), message}});
                     });

    session.Connect();
    if (timed)
        QTimer::singleShot(seconds * 1000, qApp, &QCoreApplication::quit);
    const int status = QCoreApplication::exec();
    link.Port().ClosePort();
    return status;
}
