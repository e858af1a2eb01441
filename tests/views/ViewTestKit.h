#pragma once

// Set-up shared by the view tests: the Chinese texts, the test's own home folder and a fresh
// node database in it for every test function.
#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "base/ValueFormat.h"
#include "network/CCorvaneBeeNode.h"
#include "network/NetworkLoader.h"
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

// The address of node n of the fixtures: 00124b00000000nn.
inline QString Address(int n)
{
    return QStringLiteral("00124b00000000%1").arg(n, 2, 10, QLatin1Char('0'));
}

// Stores node n at Address(n) with its type, parent and name and its alarm limits unset, as the
// management view adds a node; false when refused.
inline bool AddNode(CCorvaneODBC &db, int n, quint8 type, int father, const QString &name)
{
    NodeChange change;
    change.mask = NodeChange::ExtAddress | NodeChange::Type | NodeChange::FatherId | NodeChange::Name |
                  NodeChange::Channel1Lower | NodeChange::Channel1Upper | NodeChange::Channel2Lower |
                  NodeChange::Channel2Upper;
    change.values.extaddress = Address(n);
    change.values.type = type;
    change.values.fatherid = father;
    change.values.name = name;
    change.values.channel1_lower = change.values.channel1_upper = kNoValue;
    change.values.channel2_lower = change.values.channel2_upper = kNoValue;
    return db.SaveNode(change) == 1;
}

// A fresh database <prefix><n>.mdb with the network most tests use (receiver 1, router 3 under
// it, dual logger 2 "L2" under the router, single logger 4 "L4" under the receiver) and a node
// table read from it; false when a step fails.
inline bool FourNodes(const QString &prefix, std::unique_ptr<CCorvaneODBC> &db,
                      std::unique_ptr<CCorvaneBeeNode> &table)
{
    db = FreshDatabase(prefix);
    table = std::make_unique<CCorvaneBeeNode>();
    if (!db || !AddNode(*db, 1, 0x40, 0, QStringLiteral("接收器")) ||
        !AddNode(*db, 2, 0x88, 3, QStringLiteral("L2")) || !AddNode(*db, 3, 0x04, 1, QStringLiteral("R3")) ||
        !AddNode(*db, 4, 0x80, 1, QStringLiteral("L4")))
        return false;
    (void)LoadNetworkTable(*db, *table);
    return true;
}

// Local time as seconds since the epoch.
inline qint64 At(int y, int mo, int d, int h, int mi, int s)
{
    return *CvTime::FromLocal({y, mo, d, h, mi, s});
}

} // namespace viewtest
