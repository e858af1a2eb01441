// corvane-manager [--home DIR] [--port PATH]... [--demo]
#include "shell/core/AppSettings.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    AppSettings::Instance().SetHomeFolder(QCoreApplication::applicationDirPath());
    return 0;
}
