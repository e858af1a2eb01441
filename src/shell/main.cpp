// corvane-manager [--home DIR] [--port PATH]... [--demo]
#include "DemoSetup.h"
#include "SimReceiver.h"
#include "base/HomeFolder.h"

#include "shell/CCorvaneManagerApp.h"
#include "shell/MainWindowRunner.h"
#include "shell/ShellLog.h"

#include <QApplication>
#include <QLoggingCategory>

#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] = "usage: corvane-manager [--home DIR] [--port PATH]... [--demo]\n";

// Printed before any window system is touched, so that it works without a display.
void PrintHelp()
{
    std::fputs(kUsage, stdout);
    std::fputs("\nThe Corvane Wireless System manager: finds the receiver on a serial port, shows the\n"
               "network's live readings and alarms, downloads recorded history into a database and\n"
               "shows, exports and prints it.\n\n"
               "Options:\n"
               "  --home DIR    keep settings, users, databases, messages and data files in DIR\n"
               "                (default: the program's folder when it is writable and holds\n"
               "                profiler/, otherwise the per-user data folder)\n"
               "  --port PATH   probe this serial port before the system's own (repeatable)\n"
               "  --demo        probe a simulated receiver with a demo network as well\n"
               "  --help        show this text and exit\n",
               stdout);
}

} // namespace

namespace {

// The simulated receiver of demo mode: only the program links the simulator.
class SimDemoReceiver : public DemoReceiver {
public:
    explicit SimDemoReceiver(std::unique_ptr<SimReceiver> receiver) : m_receiver(std::move(receiver)) {}
    [[nodiscard]] QString PortPath() const override { return m_receiver->SlavePath(); }

private:
    std::unique_ptr<SimReceiver> m_receiver;
};

std::unique_ptr<DemoReceiver> StartDemo(CCorvaneODBC &database, QString *error)
{
    QString dbError;
    if (DemoSetup::EnsureDatabase(database, &dbError).isEmpty())
        qCWarning(lcShell) << "demo database not prepared:" << dbError;
    std::unique_ptr<SimReceiver> receiver = DemoSetup::StartReceiver(error);
    if (!receiver)
        return nullptr;
    return std::make_unique<SimDemoReceiver>(std::move(receiver));
}

} // namespace

int main(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintHelp();
            return 0;
        }
    }
    QApplication app(argc, argv);
    HomeFolder::SetApplicationNames();
    QString error;
    const std::optional<StartOptions> options = ParseStartOptions(app.arguments().mid(1), error);
    if (!options) {
        std::fprintf(stderr, "corvane-manager: %s\n%s", error.toUtf8().constData(), kUsage);
        return 2;
    }
    CCorvaneManagerApp manager(*options);
    manager.SetMainWindowRunner([](const StartOptions &o) { return RunMainWindow(o, &StartDemo); });
    return manager.InitInstance();
}
