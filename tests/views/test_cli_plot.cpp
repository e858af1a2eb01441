// corvane-cli plot: a ring file and a stored record drawn into a PNG with the chosen sample
// indices (the window rules themselves are the curve plot test's business).
#include "StorageTestSupport.h"

#include "storage/CCorvaneODBC.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QTest>

#include <vector>

using namespace storagetest;

namespace {

std::vector<int> Ints(const QJsonArray &a)
{
    std::vector<int> out;
    for (const QJsonValue &v : a)
        out.push_back(v.toInt());
    return out;
}

QString WriteRing(const std::vector<float> &c1, const std::vector<float> &c2, const QString &name)
{
    const QString path = TestHome() + QLatin1Char('/') + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    for (size_t i = 0; i < c1.size(); ++i)
        f.write(QStringLiteral("{\"t\":%1,\"c1\":%2,\"c2\":%3}\n")
                    .arg(1700000000 + qint64(i) * 10)
                    .arg(double(c1[i]), 0, 'f', 2)
                    .arg(double(c2[i]), 0, 'f', 2)
                    .toUtf8());
    return path;
}

} // namespace

class TestCliPlot : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(UseTestHome()); }
    void ringKeepsNewest10000()
    {
        std::vector<float> c1(12000, 1.0f);
        c1[500] = 99.0f; // dropped with the oldest samples, but still an all-time extreme
        const QString ring = WriteRing(c1, std::vector<float>(12000, 2.0f), QStringLiteral("long.jsonl"));
        const CliRun r =
            RunCli({"plot", "--ring", ring, "--png", TestHome() + QStringLiteral("/long.png"), "--points"});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject out = Json(r.lines.value(0));
        QCOMPARE(out.value(QStringLiteral("samples")).toInt(), 10000);
        QCOMPARE(out.value(QStringLiteral("K")).toInt(), 57);
    }

    void storedRecord()
    {
        const QString dbPath = AppSettings::Instance().DatabaseFolder() + QStringLiteral("/plot.mdb");
        {
            CCorvaneODBC db;
            QVERIFY(db.CreateDatabase(dbPath));
        }
        CliRun r = RunCli({"history", "store", "--db", dbPath, "--node", kKey, "--start", "1700000000",
                           "--end", "1700000300", "--interval", "60", "--type", "0x8C", "--alarm", "4",
                           "--limits", "10,30,40,80"},
                          Samples({2500, 6000, 2510, 6010, 2520, 6020, 9000, 5000, 2530, 6030}));
        QCOMPARE(r.exitCode, 0);
        const QString png = TestHome() + QStringLiteral("/record.png");
        r = RunCli({"plot", "--node", kKey, "--record", "1", "--db", dbPath, "--png", png, "--points"});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject out = Json(r.lines.value(0));
        QCOMPARE(out.value(QStringLiteral("samples")).toInt(), 5);
        QCOMPARE(out.value(QStringLiteral("plotWidth")).toInt(), 440);
        QCOMPARE(out.value(QStringLiteral("D")).toInt(), 88);
        QCOMPARE(Ints(out.value(QStringLiteral("ch1")).toArray()), (std::vector<int>{0, 1, 2, 3, 4}));
        const QImage image(png);
        QCOMPARE(image.size(), QSize(500, 250));
        // Sample 3 (90.00, the record's largest) sits at the plot top in channel 1's colour.
        bool top = false;
        for (int y = 23; y <= 26 && !top; ++y)
            top = image.pixelColor(60 + 3 * 88, y) == QColor(255, 60, 60);
        QVERIFY(top);
    }

    void refusals()
    {
        const QString bad = TestHome() + QStringLiteral("/bad.jsonl");
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("{\"t\":1,\"c1\":2}\n{\"t\":2}\n");
        f.close();
        const QString png = TestHome() + QStringLiteral("/never.png");
        CliRun r = RunCli({"plot", "--ring", bad, "--png", png});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains("line 2"));
        QVERIFY(!QFile::exists(png));
        r = RunCli({"plot", "--ring", bad});
        QCOMPARE(r.exitCode, 2);
        r = RunCli({"plot", "--ring", bad, "--png", png, "--zoom", "0"});
        QCOMPARE(r.exitCode, 1);
        r = RunCli({"plot", "--node", "xyz", "--record", "1", "--png", png});
        QCOMPARE(r.exitCode, 1);
    }
};

QTEST_MAIN(TestCliPlot)
#include "test_cli_plot.moc"
