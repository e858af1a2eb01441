// corvane-cli history summary / history export / datafile export on a database the program
// writes; the workbook is read back with libfreexl.
#include "../storage/StorageTestSupport.h"

#include "history/core/XlsReader.h"
#include "storage/CCorvaneODBC.h"

#include <QTest>

using namespace storagetest;

class TestHistoryExportCli : public QObject {
    Q_OBJECT
private slots:
    void summaryAndExports();
};

void TestHistoryExportCli::summaryAndExports()
{
    QVERIFY(UseTestHome());
    QVERIFY(AppSettings::Instance().WriteKey("language", "lang", "1")); // Chinese texts
    QVERIFY(AppSettings::Instance().WriteKey("tempunit", "tunit", "0f"));
    const QString dbPath = AppSettings::Instance().DatabaseFolder() + QStringLiteral("/cli.mdb");
    {
        CCorvaneODBC db;
        QVERIFY(db.CreateDatabase(dbPath));
    }
    QVERIFY(AppSettings::Instance().WriteKey("database", "mdb", "cli.mdb")); // the default --db
    const QString home = TestHome();
    const CliRun stored = RunCli({"--home", home, "history", "store", "--node", kKey, "--start", "1700000000",
                                  "--end", "1700000240", "--interval", "60", "--type", "0x8C", "--alarm", "4",
                                  "--limits", "10,30,20,55"},
                                 Samples({2500, 6000, 3150, 5000, 3000, 5500, 900, 1000}));
    QCOMPARE(stored.exitCode, 0);

    const CliRun sum = RunCli({"--home", home, "history", "summary", "--node", kKey, "--record", "1"});
    QVERIFY2(sum.exitCode == 0, sum.err.constData());
    const QJsonObject o = Json(sum.lines.value(0));
    QCOMPARE(o.value("count").toString(), "4");
    const QJsonObject ch1 = o.value("ch1").toObject();
    QCOMPARE(ch1.value("max").toString(), "88.70°F"); // 31.5 °C
    QCOMPARE(ch1.value("samplesBelow").toInt(), 1);
    QCOMPARE(o.value("ch2").toObject().value("max").toString(), "60.00%RH");

    const QString xls = home + "/out.xls";
    QCOMPARE(RunCli({"--home", home, "history", "export", "--node", kKey, "--record", "1", xls}).exitCode, 0);
    const auto sheets = XlsReader::Read(xls);
    QVERIFY(sheets && sheets->size() == 2);
    QCOMPARE(sheets->at(1).Text(2, 2), "88.70°F [>86.00]");

    const QString cvdf = home + "/out.cvdf";
    QCOMPARE(RunCli({"--home", home, "history", "export", "--node", kKey, "--record", "1", "--from",
                     "1700000060", cvdf})
                 .exitCode,
             0);
    const QString csv = home + "/out.csv";
    QCOMPARE(RunCli({"--home", home, "datafile", "export", cvdf, csv}).exitCode, 0);
    const QList<QByteArray> lines = ReadFile(csv).split('\n');
    QCOMPARE(lines.size(), 5); // header, 3 samples of the narrowed range, end
    QVERIFY(lines[1].startsWith("1,2023-11-15 06:14:20,88.70°F [>86.00],50.00%RH"));
    QVERIFY(RunCli({"--home", home, "datafile", "export", home + "/none.cvdf", csv}).exitCode > 0);
}

QTEST_GUILESS_MAIN(TestHistoryExportCli)
#include "test_historyexportcli.moc"
