#pragma once

// Set-up shared by the view tests: the Chinese texts, the test's own home folder and a fresh
// node database in it for every test function.
#include "base/AppSettings.h"
#include "storage/CCorvaneODBC.h"

#include <QDir>
#include <QString>

#include <memory>

namespace viewtest {

// Chinese texts and the test's home folder with its database folder; false when it cannot be made.
inline bool UseChineseHome()
{
    AppSettings &settings = AppSettings::Instance();
    settings.SetLanguage(UiLanguage::Chinese);
    settings.SetHomeFolder(qEnvironmentVariable("CORVANE_TEST_HOME", QDir::currentPath()));
    return QDir().mkpath(settings.DatabaseFolder());
}

// A new database <prefix><n>.mdb, created and opened; nullptr when that fails.
inline std::unique_ptr<CCorvaneODBC> FreshDatabase(const QString &prefix)
{
    static int serial = 0;
    const QString name = prefix + QString::number(++serial) + QStringLiteral(".mdb");
    auto db = std::make_unique<CCorvaneODBC>();
    if (!db->CreateDatabase(AppSettings::Instance().DatabaseFolder() + QLatin1Char('/') + name) ||
        !db->OpenDatabase(name))
        return nullptr;
    return db;
}

} // namespace viewtest
