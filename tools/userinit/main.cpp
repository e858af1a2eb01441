// corvane-userinit FILE PASSWORD: writes the installation's initial user file with the one
// administrator account "admin". An existing file is kept, so that a changed password survives
// a rebuild.
#include "messages/CUserStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: corvane-userinit FILE PASSWORD\n");
        return 2;
    }
    const QString path = args.at(0);
    if (QFileInfo::exists(path))
        return 0;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        std::fprintf(stderr, "corvane-userinit: cannot make the folder of %s\n", path.toUtf8().constData());
        return 1;
    }
    CUserStore store;
    store.SetFilePath(path);
    const UserFileStatus status =
        store.CreateFile(QStringLiteral("admin"), args.at(1), CUserStore::kAdministrator);
    if (status != UserFileStatus::Ok) {
        std::fprintf(stderr, "corvane-userinit: cannot write %s\n", path.toUtf8().constData());
        return 1;
    }
    return 0;
}
