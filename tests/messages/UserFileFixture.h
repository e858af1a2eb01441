#pragma once

#include "messages/CUserStore.h"

#include <QDir>
#include <QFile>
#include <QtTest>

// Shared set-up of the user-file tests: a fresh file in the test's home folder.
namespace UserFileFixture {

// The path of profiler/user.ruf in the test home folder, with any earlier file removed.
inline QString FreshPath()
{
    const QString home = qEnvironmentVariable("CORVANE_TEST_HOME", QDir::currentPath());
    QDir().mkpath(home + QStringLiteral("/profiler"));
    const QString path = home + QStringLiteral("/profiler/user.ruf");
    QFile::remove(path);
    return path;
}

// admin (type 1, "adminpass"), then each extra name with password name + "pass" (type 2).
inline void MakeStore(CUserStore &store, const QString &path, const QStringList &extra)
{
    store.SetFilePath(path);
    QCOMPARE(store.CreateFile(QStringLiteral("admin"), QStringLiteral("adminpass"), CUserStore::kAdministrator),
             UserFileStatus::Ok);
    for (const QString &name : extra)
        QCOMPARE(store.AddAccount(name, name + QStringLiteral("pass"), CUserStore::kOrdinaryUser),
                 UserFileStatus::Ok);
}

inline bool PasswordMatches(const CUserStore &store, int index, const QString &password)
{
    bool matches = false;
    return store.CheckPassword(index, password, matches) == UserFileStatus::Ok && matches;
}

} // namespace UserFileFixture
