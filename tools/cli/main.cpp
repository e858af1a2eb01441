// corvane-cli: the system's core without a window, for diagnostics, trials and scripting.
#include "CliCommon.h"
#include "CommandTable.h"

#include "base/AppSettings.h"
#include "base/HomeFolder.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

void PrintHelp(const QString &text)
{
    std::fputs(text.toUtf8().constData(), stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    HomeFolder::SetApplicationNames();
    QStringList args = app.arguments().mid(1);

    cli::GlobalOptions global;
    // Global options stand before the command word.
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString opt = args.takeFirst();
        if (opt == QLatin1String("--help")) {
            PrintHelp(cli::HelpText());
            return 0;
        } else if (opt == QLatin1String("--demo")) {
            global.demo = true;
        } else if (opt == QLatin1String("--home") && !args.isEmpty()) {
            global.home = args.takeFirst();
        } else if (opt == QLatin1String("--port") && !args.isEmpty()) {
            global.ports << args.takeFirst();
        } else {
            std::fputs(cli::HelpText().toUtf8().constData(), stderr);
            return 2;
        }
    }
    const HomeFolder::Choice home = HomeFolder::ChooseForProgram(global.home);
    if (!home.error.isEmpty())
        return cli::Fail(
            QStringLiteral("the data folder %1 cannot be used: %2").arg(home.folder, home.error));
    AppSettings::Instance().SetHomeFolder(home.folder);

    const cli::CommandInfo *command = args.isEmpty() ? nullptr : cli::FindCommand(args.first());
    if (!command) {
        if (!args.isEmpty())
            std::fprintf(stderr, "corvane-cli: unknown command '%s'\n", args.first().toUtf8().constData());
        std::fputs(cli::HelpText().toUtf8().constData(), stderr);
        return 2;
    }
    args.removeFirst();
    if (args.contains(QLatin1String("--help"))) {
        for (const QString &line : QString::fromLatin1(command->usage).split(QLatin1Char('\n')))
            PrintHelp(
                (line.startsWith(QLatin1Char(' ')) ? line : QStringLiteral("usage: corvane-cli ") + line) +
                QLatin1Char('\n'));
        return 0;
    }
    return command->run(global, args);
}
