// corvane-sim: plays a receiver with its wireless network on a pseudo-terminal.
//   corvane-sim --scenario FILE [--seed N]
// The first line on standard output is the slave device to open as the receiver's port. Each
// line on standard input is a control command (see SimControl.h), acknowledged by one line on
// standard output; the program ends on "quit" or at the end of its input.
#include "SimControl.h"
#include "SimReceiver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

namespace {

void PrintLine(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvane-sim"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated Corvane receiver on a pseudo-terminal"));
    parser.addHelpOption();
    const QCommandLineOption scenario(QStringLiteral("scenario"), QStringLiteral("Scenario file (JSON)."),
                                      QStringLiteral("FILE"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Random seed (default 1)."),
                                  QStringLiteral("N"), QStringLiteral("1"));
    parser.addOption(scenario);
    parser.addOption(seed);
    parser.process(app);

    bool seedOk = false;
    const uint seedValue = parser.value(seed).toUInt(&seedOk);
    if (!parser.isSet(scenario) || !seedOk) {
        std::fprintf(stderr, "usage: corvane-sim --scenario FILE [--seed N]\n");
        return 2;
    }
    SimReceiver sim(SimClock::System(), seedValue);
    QString error;
    if (!sim.LoadScenarioFile(parser.value(scenario), &error) || !sim.OpenPty(&error)) {
        std::fprintf(stderr, "corvane-sim: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    PrintLine(sim.SlavePath());

    QByteArray input;
    QSocketNotifier stdinNotifier(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&stdinNotifier, &QSocketNotifier::activated, &app, [&]() {
        char buf[1024];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            stdinNotifier.setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        input.append(buf, static_cast<int>(n));
        for (int eol = input.indexOf('\n'); eol >= 0; eol = input.indexOf('\n')) {
            const QString line = QString::fromLocal8Bit(input.left(eol));
            input.remove(0, eol + 1);
            const ControlResult result = RunControlLine(sim, line);
            if (!result.reply.isEmpty())
                PrintLine(result.reply);
            if (result.quit) {
                stdinNotifier.setEnabled(false);
                QCoreApplication::quit();
                return;
            }
        }
    });
    return app.exec();
}
