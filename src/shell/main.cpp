// corvane-manager [--home DIR] [--port PATH]... [--demo]
#include "shell/CCorvaneManagerApp.h"
#include "shell/MainWindowRunner.h"

#include <QApplication>

#include <cstdio>

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
    manager.SetMainWindowRunner(&RunMainWindow);
    return manager.InitInstance();
}
