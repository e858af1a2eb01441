// corvane-cli plot wired as a process: a ring file drawn into a PNG, and its refusals (the window
// rules themselves are the curve plot test's business).
#include "StorageTestSupport.h"

#include <QFile>
#include <QImage>
#include <QTest>

using namespace storagetest;

namespace {

// A ring file of n samples 10 s apart: channel 1 at 1.00 but 99.00 at sample `spike`, channel 2 at 2.00.
QString WriteRing(int n, int spike, const QString &name)
{
    const QString path = TestHome() + QLatin1Char('/') + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    for (int i = 0; i < n; ++i)
        f.write(QStringLiteral("{\"t\":%1,\"c1\":%2,\"c2\":2.00}\n")
                    .arg(1700000000 + qint64(i) * 10)
                    .arg(i == spike ? "99.00" : "1.00")
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
        // Sample 500 is dropped with the oldest samples, but is still an all-time extreme.
        const QString ring = WriteRing(12000, 500, QStringLiteral("long.jsonl"));
        const QString png = TestHome() + QStringLiteral("/long.png");
        const CliRun r = RunCli({"plot", "--ring", ring, "--png", png, "--points"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(!QImage(png).isNull());
        const QJsonObject out = Json(r.lines.value(0));
        QCOMPARE(out.value(QStringLiteral("samples")).toInt(), 10000);
        QCOMPARE(out.value(QStringLiteral("K")).toInt(), 57);
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
    }
};

QTEST_MAIN(TestCliPlot)
#include "test_cli_plot.moc"
