// corvane-cli history and datafile commands on a database and data files written by the
// program's own code.
#include "StorageTestSupport.h"

#include "storage/CCorvFile.h"
#include "storage/CCorvaneODBC.h"

#include <QTest>

using namespace storagetest;

class TestHistoryCli : public QObject {
    Q_OBJECT
private slots:
    void storeListDumpSave();
    void refusals();
};

void TestHistoryCli::storeListDumpSave()
{
    QVERIFY(UseTestHome());
    const QString dbPath = AppSettings::Instance().DatabaseFolder() + QStringLiteral("/cli.mdb");
    {
        CCorvaneODBC db;
        QVERIFY(db.CreateDatabase(dbPath));
    }
    const QStringList store{
        "history", "store",      "--db",    dbPath,       "--node",     kKey,
        "--start", "1700000000", "--end",   "1700003600", "--interval", "60",
        "--type",  "0x88",       "--alarm", "4",          "--limits",   "-0.125,30,10,327.68"};
    CliRun r = RunCli(store, Samples({2500, 6000, 2510, 6010, 2520}));
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(Json(r.lines.value(0)).value(QStringLiteral("lastHeaderId")).toInt(), 2);
    r = RunCli(store + QStringList{"--offset", "10"}, Samples({6020, 2530, 6030}));
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(Json(r.lines.value(0)).value(QStringLiteral("dataLength")).toInt(), 16);

    r = RunCli({"history", "list", "--db", dbPath, "--node", kKey});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.lines.size(), 1);
    const QJsonObject rec = Json(r.lines[0]);
    QCOMPARE(rec.value(QStringLiteral("id")).toInt(), 1);
    QCOMPARE(rec.value(QStringLiteral("type")).toInt(), 0x88);
    QCOMPARE(rec.value(QStringLiteral("tableCode")).toString(), QStringLiteral("A01"));
    const QJsonObject limits = rec.value(QStringLiteral("limits")).toObject();
    QCOMPARE(limits.value(QStringLiteral("ch1Lower")).toDouble(), -0.13);
    QCOMPARE(limits.value(QStringLiteral("ch2Upper")).toDouble(), -327.68);

    // The second segment starts again with channel 1: 2500 6000 2510 6010 2520 | 6020 2530 6030.
    const QStringList dump{"history", "dump", "--db", dbPath, "--node", kKey, "--record", "1"};
    r = RunCli(dump);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.lines.size(), 1 + 5);
    const QJsonObject head = Json(r.lines[0]);
    QCOMPARE(head.value(QStringLiteral("rangeCount")).toInt(), 5);
    QCOMPARE(head.value(QStringLiteral("ch1")).toObject().value(QStringLiteral("max")).toDouble(), 60.3);
    QCOMPARE(Json(r.lines[3]).value(QStringLiteral("ch2")).toDouble(), 25.3);
    QCOMPARE(Json(r.lines[4]).value(QStringLiteral("ch1")).toDouble(), 60.2);
    QVERIFY(!Json(r.lines[4]).contains(QStringLiteral("ch2"))); // channel 2 holds only three

    r = RunCli(dump + QStringList{"--from", "1700000030", "--to", "1700000120", "--csv"});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.lines.size(), 3);
    QVERIFY(r.lines[0].startsWith("index,time"));
    QVERIFY(r.lines[1].startsWith("0,1700000060,"));

    const QString out = TestHome() + QStringLiteral("/range.cvdf");
    r = RunCli({"datafile", "save", "--db", dbPath, "--node", kKey, "--record", "1", "--from", "1700000030",
                "--out", out});
    QCOMPARE(r.exitCode, 0);
    // The file reads back through the program's own reader, and through the tool.
    CNodeDataSave saved;
    CCorvFile file(saved);
    QCOMPARE(file.OpenDataFile(out), 1);
    QCOMPARE(saved.rangeCount, 4);
    QCOMPARE(saved.recordStart, qint64(1700000060));
    r = RunCli({"datafile", "dump", out});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.lines.size(), 5);
    QCOMPARE(Json(r.lines[0]).value(QStringLiteral("rangeStart")).toInteger(), 1700000060);
    QCOMPARE(Json(r.lines[1]).value(QStringLiteral("ch1")).toDouble(), 25.1);
}

void TestHistoryCli::refusals()
{
    const QString bad = TestHome() + QStringLiteral("/bad.cvdf");
    QVERIFY(WriteFile(bad, QByteArray(168, 'x')));
    CliRun r = RunCli({"datafile", "dump", bad});
    QVERIFY(r.exitCode > 0);
    QVERIFY(r.lines.isEmpty());
    QVERIFY(RunCli({"history", "list", "--db", TestHome() + "/none.mdb", "--node", kKey}).exitCode > 0);
    QVERIFY(RunCli({"history", "list", "--db", "x.mdb", "--node", "zz"}).exitCode > 0);
    QCOMPARE(RunCli({"history", "dump"}).exitCode, 2);
}

QTEST_GUILESS_MAIN(TestHistoryCli)
#include "test_historycli.moc"
