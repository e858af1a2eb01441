// corvane-cli history and datafile commands on a database and data files written by the
// program's own code.
#include "StorageTestSupport.h"

#include "storage/CCorvFile.h"
#include "storage/CCorvaneODBC.h"
#include "storage/HistoryCodec.h"

#include <QSqlQuery>
#include <QTest>

using namespace storagetest;

class TestHistoryCli : public QObject {
    Q_OBJECT
    // A database holding one record of node kKey with two segments (headers 3 and 5).
    static QString TwoSegmentDatabase(const QString &name);

private slots:
    void storeListDumpSave()
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
        r = RunCli(store + QStringList{"--offset", "10"}, Samples({6020, 2530, 6030}));
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(Json(r.lines.value(0)).value(QStringLiteral("dataLength")).toInt(), 16);

        r = RunCli({"history", "list", "--db", dbPath, "--node", kKey});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.lines.size(), 1);
        const QJsonObject rec = Json(r.lines[0]);
        QCOMPARE(rec.value(QStringLiteral("type")).toInt(), 0x88);
        const QJsonObject limits = rec.value(QStringLiteral("limits")).toObject();
        QCOMPARE(limits.value(QStringLiteral("ch2Upper")).toDouble(), -327.68);

        // The second segment starts again with channel 1: 2500 6000 2510 6010 2520 | 6020 2530 6030.
        const QStringList dump{"history", "dump", "--db", dbPath, "--node", kKey, "--record", "1"};
        r = RunCli(dump);
        QCOMPARE(r.lines.size(), 1 + 5);
        QCOMPARE(Json(r.lines[3]).value(QStringLiteral("ch2")).toDouble(), 25.3);
        QVERIFY(!Json(r.lines[4]).contains(QStringLiteral("ch2"))); // channel 2 holds only three

        const QString out = TestHome() + QStringLiteral("/range.cvdf");
        r = RunCli({"datafile", "save", "--db", dbPath, "--node", kKey, "--record", "1", "--from",
                    "1700000030", "--out", out});
        QCOMPARE(r.exitCode, 0);
        // The file reads back through the program's own reader, and through the tool.
        CNodeDataSave saved;
        CCorvFile file(saved);
        QCOMPARE(file.OpenDataFile(out), 1);
        QCOMPARE(saved.recordStart, qint64(1700000060));
        r = RunCli({"datafile", "dump", out});
        QCOMPARE(r.lines.size(), 5);
        QCOMPARE(Json(r.lines[1]).value(QStringLiteral("ch1")).toDouble(), 25.1);
    }

    void refusals()
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

    void loopingChainIsDamaged()
    {
        QVERIFY(UseTestHome());
        const QString dbPath = TwoSegmentDatabase(QStringLiteral("loop.mdb"));
        QVERIFY(!dbPath.isEmpty());
        const QStringList dump{"history", "dump", "--db", dbPath, "--node", kKey, "--record", "1"};
        QCOMPARE(RunCli(dump).lines.size(), 1 + 122);

        // The first header (row 3) is made to name the second (row 5) as its predecessor.
        {
            CCorvaneODBC db;
            QVERIFY(db.OpenDatabaseAt(dbPath));
            HistoryCodec::SegmentHeader header;
            header.firstId = 1;
            header.byteCount = 240;
            header.lastId = 2;
            header.previousHeaderId = 5;
            const QString table = kKey + QStringLiteral("DataA01");
            const HistoryCodec::Row stored =
                HistoryCodec::EncodeDataRow(HistoryCodec::EncodeSegmentHeader(header), 3, table,
                                            HistoryCodec::SumOfBytes(HistoryCodec::TimeToBytes(1700000000)));
            QStringList sets;
            for (int i = 0; i < HistoryCodec::kRowBytes; ++i)
                sets << QStringLiteral("data%1_%2 = %3").arg(i / 2).arg(i % 2).arg(stored[i]);
            QSqlQuery q(db.Connection());
            QVERIFY(q.exec(
                QStringLiteral("UPDATE [%1] SET %2 WHERE id = 3").arg(table, sets.join(QLatin1Char(',')))));
            QCOMPARE(q.numRowsAffected(), 1);
        }
        const CliRun r = RunCli(dump);
        QVERIFY(r.exitCode > 0);
        QVERIFY(r.lines.isEmpty());
        QVERIFY2(r.err.contains("damaged record"), r.err.constData());
    }

    void numbersOutOfRange_data()
    {
        QTest::addColumn<QStringList>("args");
        const QStringList dump{"history", "dump", "--db", "range.mdb", "--node", kKey, "--record"};
        QTest::newRow("record id past 32 bits") << dump + QStringList{"4294967297"};
        const QStringList store{"history", "store", "--db", "range.mdb", "--node", kKey, "--type", "0x80"};
        QTest::newRow("date before 1970") << store + QStringList{"--start",    "1969-12-31 00:00:00", "--end",
                                                                 "1700000000", "--interval",          "60"};
        QTest::newRow("interval past 3 bytes")
            << store + QStringList{"--start", "1700000000", "--end", "1700000060", "--interval", "16777216"};
    }

    void numbersOutOfRange()
    {
        QFETCH(QStringList, args);
        QVERIFY(UseTestHome());
        QString dbPath = TestHome() + QStringLiteral("/range.mdb");
        if (!QFile::exists(dbPath))
            QCOMPARE(TwoSegmentDatabase(QStringLiteral("range.mdb")), dbPath);
        args.replace(args.indexOf(QStringLiteral("range.mdb")), dbPath);
        const QByteArray before = ReadFile(dbPath);
        const CliRun r = RunCli(args, Samples({1, 2}));
        QVERIFY2(r.exitCode > 0, r.lines.value(0).constData());
        QVERIFY(r.lines.isEmpty());
        QCOMPARE(ReadFile(dbPath), before);
    }
};

QString TestHistoryCli::TwoSegmentDatabase(const QString &name)
{
    const QString dbPath = TestHome() + QLatin1Char('/') + name;
    {
        CCorvaneODBC db;
        if (!db.CreateDatabase(dbPath))
            return {};
    }
    const QStringList store{"history",    "store", "--db",       dbPath,       "--node", kKey,     "--start",
                            "1700000000", "--end", "1700090000", "--interval", "60",     "--type", "0x80"};
    if (RunCli(store, QByteArray(240, '\x01')).exitCode != 0 ||
        RunCli(store + QStringList{"--offset", "240"}, Samples({7, 8})).exitCode != 0)
        return {};
    return dbPath;
}

QTEST_GUILESS_MAIN(TestHistoryCli)
#include "test_historycli.moc"
