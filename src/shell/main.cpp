// corvane-manager [--home DIR] [--port PATH]... [--demo]
#include "DemoSetup.h"
#include "SimReceiver.h"

#include "shell/CCorvaneManagerApp.h"
#include "shell/MainWindowRunner.h"

#include <QApplication>
#include <QLoggingCategory>

#include <cstdio>

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
        qWarning() << "demo database not prepared:" << dbError;
    std::unique_ptr<SimReceiver> receiver = DemoSetup::StartReceiver(error);
    if (!receiver)
        return nullptr;
    return std::make_unique<SimDemoReceiver>(std::move(receiver));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QString error;
    const std::optional<StartOptions> options = ParseStartOptions(app.arguments().mid(1), error);
    if (!options) {
        std::fprintf(stderr,
                     "corvane-manager: %s\nusage: corvane-manager [--home DIR] [--port PATH]... [--demo]\n",
                     error.toUtf8().constData());
        return 2;
    }
    CCorvaneManagerApp manager(*options);
    manager.SetMainWindowRunner([](const StartOptions &o) { return RunMainWindow(o, &StartDemo); });
    return manager.InitInstance();
}
