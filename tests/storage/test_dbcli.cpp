// corvane-cli db create|nodes|add-node on a database of its own making.
#include "StorageTestSupport.h"

#include "storage/CCorvaneNetMger.h"
#include "storage/CCorvaneODBC.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace storagetest;

namespace {

// Makes an SQLite file at path with the given statements.
bool MakeSqlite(const QString &path, const QStringList &statements)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("make"));
        db.setDatabaseName(path);
        ok = db.open();
        for (const QString &statement : statements)
            ok = ok && QSqlQuery(db).exec(statement);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("make"));
    return ok;
}

} // namespace

class TestDbCli : public QObject {
    Q_OBJECT
private slots:
    void createAddAndList()
    {
        const QString path = TestHome() + QStringLiteral("/cli.mdb");
        CliRun r = RunCli({"db", "create", path});
        QCOMPARE(r.exitCode, 0);
        const QByteArray made = ReadFile(path);
        // An existing file is never made again.
        r = RunCli({"db", "create", path});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.lines.isEmpty());
        QCOMPARE(ReadFile(path), made);

        const QString name = QStringLiteral("O'Brien \"cold\" room");
        r = RunCli(
            {"db", "add-node", path, "--address", "00124b0001a2b3c4", "--type", "0x88", "--name", name});
        QCOMPARE(r.exitCode, 0);
        QJsonObject added = Json(r.lines.value(0));
        QCOMPARE(added.value(QStringLiteral("id")).toInt(), 1);
        r = RunCli(
            {"db", "add-node", path, "--address", "00124b0001a2b3c5", "--type", "128", "--parent", "1"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(Json(r.lines.value(0)).value(QStringLiteral("fatherid")).toInt(), 1);
        // The same address again changes that node instead of adding one.
        r = RunCli({"db", "add-node", path, "--address", "00124b0001a2b3c4", "--type", "0x8c"});
        QCOMPARE(r.exitCode, 0);
        added = Json(r.lines.value(0));
        QCOMPARE(added.value(QStringLiteral("added")).toBool(), false);
        QCOMPARE(added.value(QStringLiteral("type")).toInt(), 0x8C);
        QCOMPARE(added.value(QStringLiteral("name")).toString(), name);

        // Refused before anything is written: a 15-character address, types that are no byte.
        const QStringList refused[] = {{"--address", "00124b0001a2b3c", "--type", "0x88"},
                                       {"--address", "00124b0001a2b3c6", "--type", "0x100"}};
        for (const QStringList &options : refused) {
            r = RunCli(QStringList{"db", "add-node", path} + options);
            QVERIFY2(r.exitCode > 0, qPrintable(options.join(QLatin1Char(' '))));
            QVERIFY(r.lines.isEmpty());
        }

        r = RunCli({"db", "nodes", path});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.lines.size(), 2);
        const QJsonObject first = Json(r.lines[0]);
        QCOMPARE(first.size(), int(NodeTableColumns().size())); // every column, nothing else
        QCOMPARE(first.value(QStringLiteral("name")).toString(), name);
        QCOMPARE(Json(r.lines[1]).value(QStringLiteral("type")).toInt(), 128);

        QVERIFY(RunCli({"db", "nodes", TestHome() + "/none.mdb"}).exitCode > 0);
        QCOMPARE(RunCli({"db", "add-node", path}).exitCode, 2);
    }

    // Commands that only read never write; commands that write refuse a file of another program.
    void foreignFilesRefusedUnchanged_data()
    {
        QTest::addColumn<QStringList>("statements"); // empty: a zero-byte file
        QTest::addColumn<QString>("reason");
        QTest::newRow("zero bytes") << QStringList() << QStringLiteral("no node table");
        QTest::newRow("foreign table")
            << QStringList{QStringLiteral("CREATE TABLE accounts (id INTEGER, owner TEXT)")}
            << QStringLiteral("foreign table accounts");
        QTest::newRow("node table with other columns")
            << QStringList{QStringLiteral("CREATE TABLE CorvaneRFMS (id LONG, name TEXT(32))")}
            << QStringLiteral("other columns");
    }

    void foreignFilesRefusedUnchanged()
    {
        QFETCH(QStringList, statements);
        QFETCH(QString, reason);
        const QString path = TestHome() + QStringLiteral("/foreign.mdb");
        QFile::remove(path);
        if (statements.isEmpty())
            QVERIFY(WriteFile(path, QByteArray()));
        else
            QVERIFY(MakeSqlite(path, statements));
        const QByteArray before = ReadFile(path);
        const QString key = QStringLiteral("00124b0001a2b3c4");
        const QList<QStringList> commands{
            {"db", "nodes", path},
            {"db", "add-node", path, "--address", key, "--type", "0x80"},
            {"history", "dump", "--db", path, "--node", key, "--record", "1"},
            {"history", "store", "--db", path, "--node", key, "--start", "1700000000", "--end", "1700000060",
             "--interval", "60", "--type", "0x80"},
            {"datafile", "save", "--db", path, "--node", key, "--record", "1", "--out",
             TestHome() + "/x.cvdf"},
        };
        for (const QStringList &command : commands) {
            const CliRun r = RunCli(command, QByteArray("\x01\x02"));
            QVERIFY2(r.exitCode > 0, qPrintable(command.join(QLatin1Char(' '))));
            QVERIFY2(QString::fromUtf8(r.err).contains(reason), r.err.constData());
            QCOMPARE(ReadFile(path), before);
            QVERIFY(!QFile::exists(path + QStringLiteral("-journal")));
        }
    }

    // A database another program is writing to is reported as busy, after the busy wait.
    void busyDatabaseSaysSo()
    {
        const QString path = TestHome() + QStringLiteral("/busy.mdb");
        QFile::remove(path);
        QCOMPARE(RunCli({"db", "create", path}).exitCode, 0);
        {
            QSqlDatabase writer =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("writer"));
            writer.setDatabaseName(path);
            QVERIFY(writer.open());
            QVERIFY(QSqlQuery(writer).exec(QStringLiteral("BEGIN EXCLUSIVE")));
            const CliRun r = RunCli({"db", "nodes", path});
            QVERIFY(r.exitCode > 0);
            QVERIFY2(r.err.contains("busy"), r.err.constData());
            QVERIFY(QSqlQuery(writer).exec(QStringLiteral("ROLLBACK")));
            writer.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("writer"));
        QCOMPARE(RunCli({"db", "nodes", path}).exitCode, 0);
    }
};

QTEST_GUILESS_MAIN(TestDbCli)
#include "test_dbcli.moc"
