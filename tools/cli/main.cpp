// corvane-cli: the system's core without a window, for diagnostics, trials and scripting.
#include "CliCommon.h"
#include "CommandTable.h"

#include "base/AppSettings.h"
#include "base/HomeFolder.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

void PrintHelp(const QString &text)
{
    std::fputs(text.toUtf8().constData(), stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    // The plot and history print commands draw with fonts, which needs a GUI application (on
    // the offscreen platform: no display needed); every other command runs without one.
    const bool drawing = std::any_of(argv + 1, argv + argc, [](const char *a) {
        return std::strcmp(a, "plot") == 0 || std::strcmp(a, "print") == 0;
    });
    if (drawing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app = drawing ? std::make_unique<QGuiApplication>(argc, argv)
                                                          : std::make_unique<QCoreApplication>(argc, argv);
    QStringList args = app->arguments().mid(1);
    HomeFolder::SetApplicationNames();

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
