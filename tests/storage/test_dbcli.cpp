// corvane-cli db create|nodes|add-node on a database of its own making.
#include "StorageTestSupport.h"

#include "storage/CCorvaneNetMger.h"

#include <QTest>

#include <algorithm>

using namespace storagetest;

class TestDbCli : public QObject {
    Q_OBJECT
private slots:
    void createAddAndList();
};

void TestDbCli::createAddAndList()
{
    const QString path = TestHome() + QStringLiteral("/cli.mdb");
    CliRun r = RunCli({"db", "create", path});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(Json(r.lines.value(0)).value(QStringLiteral("created")).toString(), path);
    const QByteArray made = ReadFile(path);
    QVERIFY(!made.isEmpty());
    // An existing file is never made again.
    r = RunCli({"db", "create", path});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.lines.isEmpty());
    QCOMPARE(ReadFile(path), made);

    const QString name = QStringLiteral("O'Brien \"cold\" room");
    r = RunCli({"db", "add-node", path, "--address", "00124b0001a2b3c4", "--type", "0x88", "--name", name});
    QCOMPARE(r.exitCode, 0);
    QJsonObject added = Json(r.lines.value(0));
    QCOMPARE(added.value(QStringLiteral("id")).toInt(), 1);
    QCOMPARE(added.value(QStringLiteral("added")).toBool(), true);
    r = RunCli({"db", "add-node", path, "--address", "00124b0001a2b3c5", "--type", "128", "--parent", "1"});
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
                                   {"--address", "00124b0001a2b3c6", "--type", "0x100"},
                                   {"--address", "00124b0001a2b3c6", "--type", "cold"}};
    for (const QStringList &options : refused) {
        r = RunCli(QStringList{"db", "add-node", path} + options);
        QVERIFY2(r.exitCode > 0, qPrintable(options.join(QLatin1Char(' '))));
        QVERIFY(r.lines.isEmpty());
    }

    r = RunCli({"db", "nodes", path});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.lines.size(), 2);
    QStringList columns;
    for (const QString &c : NodeTableColumns())
        columns << c;
    std::sort(columns.begin(), columns.end());
    QCOMPARE(columns.size(), 31);
    const QJsonObject first = Json(r.lines[0]);
    QCOMPARE(first.keys(), columns); // every column, nothing else
    QCOMPARE(first.value(QStringLiteral("extaddress")).toString(), QStringLiteral("00124b0001a2b3c4"));
    QCOMPARE(first.value(QStringLiteral("name")).toString(), name);
    QCOMPARE(first.value(QStringLiteral("channel1_upper")).toDouble(), 0.0);
    QCOMPARE(Json(r.lines[1]).value(QStringLiteral("id")).toInt(), 2);
    QCOMPARE(Json(r.lines[1]).value(QStringLiteral("type")).toInt(), 128);

    QVERIFY(RunCli({"db", "nodes", TestHome() + "/none.mdb"}).exitCode > 0);
    QCOMPARE(RunCli({"db", "add-node", path}).exitCode, 2);
}

QTEST_GUILESS_MAIN(TestDbCli)
#include "test_dbcli.moc"
