// corvane-cli history print on a record the program stored: the PDF's pages read back, and
// the refusals (bad options, an unwritable file, a missing record) with a non-zero exit.
#include "../storage/StorageTestSupport.h"
#include "PdfPages.h"

#include "storage/CCorvaneODBC.h"

#include <QTest>

using namespace storagetest;

class TestPrintCli : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(UseTestHome());
        const QString dbPath = AppSettings::Instance().DatabaseFolder() + QStringLiteral("/print.mdb");
        {
            CCorvaneODBC db;
            QVERIFY(db.CreateDatabase(dbPath));
        }
        QVERIFY(AppSettings::Instance().WriteKey("database", "mdb", "print.mdb"));
        m_home = TestHome();
        const CliRun stored = RunCli({"--home", m_home, "history", "store", "--node", kKey, "--start",
                                      "1700000000", "--end", "1700000240", "--interval", "60", "--type",
                                      "0x8C", "--alarm", "4", "--limits", "10,30,20,55"},
                                     Samples({2500, 6000, 3150, 5000, 3000, 5500, 900, 1000}));
        QCOMPARE(stored.exitCode, 0);
    }
    void print_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("landscape");
        QTest::newRow("curve, 3 pages")
            << QStringList{"--mode", "curve", "--pages", "3"} << "curve" << 3 << true;
        QTest::newRow("curve, default") << QStringList{"--mode", "curve"} << "curve" << 1 << true;
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
        QCOMPARE(o.value("printed").toString(), out);
        QCOMPARE(o.value("mode").toString(), mode);
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
        QTest::newRow("pages in text mode")
            << QStringList{"--record", "1", "--mode", "text", "--pages", "2", "x.pdf"};
        QTest::newRow("no file") << QStringList{"--record", "1", "--mode", "text"};
        QTest::newRow("unwritable") << QStringList{"--record", "1", "--mode", "text", "/proc/no/such.pdf"};
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

QTEST_GUILESS_MAIN(TestPrintCli)
#include "test_printcli.moc"
