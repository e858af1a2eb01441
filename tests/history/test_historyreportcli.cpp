// corvane-cli history summary / export / print and datafile export on a record the program
// stores; the workbook is read back with libfreexl, the PDF's pages as PdfPages.h reads them.
#include "../storage/StorageTestSupport.h"
#include "PdfPages.h"

#include "history/core/XlsReader.h"
#include "storage/CCorvaneODBC.h"

#include <QTest>

using namespace storagetest;

class TestHistoryReportCli : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
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
        m_home = TestHome();
        const CliRun stored = RunCli({"--home", m_home, "history", "store", "--node", kKey, "--start",
                                      "1700000000", "--end", "1700000240", "--interval", "60", "--type",
                                      "0x8C", "--alarm", "4", "--limits", "10,30,20,55"},
                                     Samples({2500, 6000, 3150, 5000, 3000, 5500, 900, 1000}));
        QCOMPARE(stored.exitCode, 0);
    }
    void summaryAndExports()
    {
        const CliRun sum = RunCli({"--home", m_home, "history", "summary", "--node", kKey, "--record", "1"});
        QVERIFY2(sum.exitCode == 0, sum.err.constData());
        const QJsonObject o = Json(sum.lines.value(0));
        QCOMPARE(o.value("count").toString(), "4");
        QCOMPARE(o.value("ch1").toObject().value("max").toString(), "88.70°F"); // 31.5 °C
        QCOMPARE(o.value("ch2").toObject().value("max").toString(), "60.00%RH");

        const QString xls = m_home + "/out.xls";
        QCOMPARE(
            RunCli({"--home", m_home, "history", "export", "--node", kKey, "--record", "1", xls}).exitCode,
            0);
        const auto sheets = XlsReader::Read(xls);
        QVERIFY(sheets && sheets->size() == 2);
        QCOMPARE(sheets->at(1).Text(2, 2), "88.70°F [>86.00]");

        const QString cvdf = m_home + "/out.cvdf";
        QCOMPARE(RunCli({"--home", m_home, "history", "export", "--node", kKey, "--record", "1", "--from",
                         "1700000060", cvdf})
                     .exitCode,
                 0);
        const QString csv = m_home + "/out.csv";
        QCOMPARE(RunCli({"--home", m_home, "datafile", "export", cvdf, csv}).exitCode, 0);
        const QList<QByteArray> lines = ReadFile(csv).split('\n');
        QCOMPARE(lines.size(), 5); // header, 3 samples of the narrowed range, end
        QVERIFY(lines[1].startsWith("1,2023-11-15 06:14:20,88.70°F [>86.00],50.00%RH"));
        QVERIFY(RunCli({"--home", m_home, "datafile", "export", m_home + "/none.cvdf", csv}).exitCode > 0);
    }

    void print_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("landscape");
        QTest::newRow("curve, 3 pages")
            << QStringList{"--mode", "curve", "--pages", "3"} << "curve" << 3 << true;
        QTest::newRow("text") << QStringList{"--mode", "text"} << "text" << 2 << false;
    }

    void print()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, mode);
        QFETCH(int, pages);
        const QString out = m_home + QStringLiteral("/%1-%2.pdf").arg(mode).arg(pages);
        const CliRun r = RunCli(
            QStringList{"--home", m_home, "history", "print", "--node", kKey, "--record", "1"} + options
            << out);
        QVERIFY2(r.exitCode == 0, r.err.constData());
        const QJsonObject o = Json(r.lines.value(0));
        QCOMPARE(o.value("pages").toInt(), pages);
        QCOMPARE(o.value("samples").toInt(), 4);
        const pdftest::Pages read = pdftest::ReadPages(ReadFile(out));
        QCOMPARE(read.boxes.size(), pages);
        QFETCH(bool, landscape);
        for (const QSizeF &box : read.boxes) { // 290 x 200 mm in points, turned by the mode
            const QSizeF expected = landscape ? QSizeF(822.0, 567.0) : QSizeF(567.0, 822.0);
            QVERIFY2(qAbs(box.width() - expected.width()) < 1.5 &&
                         qAbs(box.height() - expected.height()) < 1.5,
                     qPrintable(QStringLiteral("%1 x %2").arg(box.width()).arg(box.height())));
        }
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no mode") << QStringList{"--record", "1", "x.pdf"};
        QTest::newRow("bad mode") << QStringList{"--record", "1", "--mode", "graph", "x.pdf"};
        QTest::newRow("100 pages") << QStringList{"--record", "1",   "--mode", "curve",
                                                  "--pages",  "100", "x.pdf"};
        QTest::newRow("missing record") << QStringList{"--record", "9", "--mode", "text", "x.pdf"};
    }

    void refusals()
    {
        QFETCH(QStringList, args);
        const CliRun r = RunCli(QStringList{"--home", m_home, "history", "print", "--node", kKey} + args);
        QVERIFY(r.exitCode > 0);
        QVERIFY(!r.err.trimmed().isEmpty());
        QVERIFY(r.lines.isEmpty());
        QVERIFY(!QFile::exists(QStringLiteral("x.pdf")));
    }

private:
    QString m_home;
};

QTEST_GUILESS_MAIN(TestHistoryReportCli)
#include "test_historyreportcli.moc"
