#include "base/HomeFolder.h"
#include "base/BaseLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

namespace HomeFolder {

namespace {

const QString kProfiler = QStringLiteral("profiler");

// Copies every file below seed that target lacks, keeping the relative layout.
bool CopyMissing(const QString &seed, const QString &target, QString *error)
{
    const QDir seedDir(seed);
    QDirIterator it(seed, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString destination = target + QLatin1Char('/') + seedDir.relativeFilePath(source);
        if (QFileInfo::exists(destination))
            continue;
        if (!QDir().mkpath(QFileInfo(destination).path()) || !QFile::copy(source, destination)) {
            *error = QStringLiteral("cannot copy %1 to %2").arg(source, destination);
            return false;
        }
        // Installed files are read-only; the copy belongs to the user and must be writable.
        QFile::setPermissions(destination, QFile::permissions(destination) | QFileDevice::WriteOwner);
    }
    return true;
}

} // namespace

void SetApplicationNames()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("corvane"));
}

QString PerUserFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString SeedFolder(const QString &programFolder)
{
    const QString seed = QDir::cleanPath(programFolder + QStringLiteral("/../share/corvane/home"));
    return QFileInfo(seed).isDir() ? seed : QString();
}

bool IsUsableInPlace(const QString &folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable() && QFileInfo(folder + QLatin1Char('/') + kProfiler).isDir();
}

const QStringList &Subfolders()
{
    static const QStringList folders = {kProfiler,
                                        QStringLiteral("database"),
                                        QStringLiteral("message"),
                                        QStringLiteral("datasave"),
                                        QStringLiteral("sound"),
                                        QStringLiteral("lang")};
    return folders;
}

bool Prepare(const QString &home, const QString &seed, QString *error)
{
    const bool firstStart = !QFileInfo::exists(home + QStringLiteral("/profiler/user.ruf"));
    for (const QString &sub : Subfolders()) {
        if (!QDir().mkpath(home + QLatin1Char('/') + sub)) {
            *error = QStringLiteral("cannot create the folder %1/%2").arg(home, sub);
            return false;
        }
    }
    if (!firstStart || seed.isEmpty())
        return true;
    qCInfo(lcBase) << "seeding" << home << "from" << seed;
    return CopyMissing(seed, home, error);
}

Choice Choose(const QString &explicitHome, const QString &programFolder, const QString &perUserFolder)
{
    Choice choice;
    if (!explicitHome.isEmpty()) {
        choice.folder = QDir(explicitHome).absolutePath();
        return choice;
    }
    if (IsUsableInPlace(programFolder)) {
        choice.folder = programFolder;
        return choice;
    }
    choice.folder = perUserFolder;
    choice.perUser = true;
    if (perUserFolder.isEmpty()) {
        choice.error = QStringLiteral("no per-user data folder is known on this system");
    } else if (!Prepare(perUserFolder, SeedFolder(programFolder), &choice.error)) {
        qCWarning(lcBase) << "cannot prepare the home folder:" << choice.error;
    }
    return choice;
}

Choice ChooseForProgram(const QString &explicitHome)
{
    return Choose(explicitHome, QCoreApplication::applicationDirPath(), PerUserFolder());
}

} // namespace HomeFolder
