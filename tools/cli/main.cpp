// corvane-cli: the system's core without a window, for diagnostics, trials and scripting.
#include "CliCommon.h"

#include "base/AppSettings.h"

#include <QCoreApplication>

#include <functional>
#include <map>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);

    cli::GlobalOptions global;
    // Global options stand before the command word.
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString opt = args.takeFirst();
        if (opt == QLatin1String("--demo")) {
            global.demo = true;
        } else if (opt == QLatin1String("--home") && !args.isEmpty()) {
            global.home = args.takeFirst();
        } else if (opt == QLatin1String("--port") && !args.isEmpty()) {
            global.ports << args.takeFirst();
        } else {
            return cli::Usage(QStringLiteral("[--home DIR] [--port PATH]... [--demo] COMMAND ..."));
        }
    }
    if (!global.home.isEmpty())
        AppSettings::Instance().SetHomeFolder(global.home);

    using Handler = std::function<int(const cli::GlobalOptions &, QStringList)>;
    const std::map<QString, Handler> commands = {
        {QStringLiteral("frame"), RunFrame},       {QStringLiteral("ports"), RunPorts},
        {QStringLiteral("users"), RunUsers},       {QStringLiteral("messages"), RunMessages},
        {QStringLiteral("db"), RunDb},             {QStringLiteral("history"), RunHistory},
        {QStringLiteral("datafile"), RunDatafile}, {QStringLiteral("monitor"), RunMonitor},
    };
    if (args.isEmpty() || commands.find(args.first()) == commands.end())
        return cli::Usage(QStringLiteral("[--home DIR] [--port PATH]... [--demo] "
                                         "{frame|ports|users|messages|db|history|datafile|monitor} ..."));
    const QString command = args.takeFirst();
    return commands.at(command)(global, args);
}
