// corvane-cli plot: a ring file and a stored record drawn into a PNG, the chosen sample indices
// checked against a plain re-statement of the window rules.
#include "StorageTestSupport.h"

#include "storage/CCorvaneODBC.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QRandomGenerator>
#include <QTest>

#include <vector>

using namespace storagetest;

namespace {

// The reference: windows of K samples from the first shown; the largest (first occurrence)
// and the smallest (last occurrence) in time order, one when the same sample; channel 2 on
// channel 1's positions, its single point repeated.
struct Reference {
    int k = 2;
    int d = 1;
    std::vector<int> ch1;
    std::vector<int> ch2;
};

std::pair<int, int> Window(const std::vector<float> &v, int begin, int end)
{
    int hi = begin;
    int lo = begin;
    for (int i = begin; i < end; ++i) {
        if (v[size_t(i)] > v[size_t(hi)])
            hi = i;
        if (v[size_t(i)] <= v[size_t(lo)])
            lo = i;
    }
    return {std::min(hi, lo), std::max(hi, lo)};
}

Reference Decimate(const std::vector<float> &c1, const std::vector<float> &c2, int zoom, int first, int p)
{
    Reference r;
    const int n = int(c1.size());
    const int m = n / zoom;
    if (p <= m)
        r.k = 2 * m / p + 1;
    else if (m >= 1)
        r.d = p / m;
    for (int i = first; int(r.ch1.size()) < p / r.d + 2 && i < n; i += r.k) {
        const int end = std::min(n, i + r.k);
        const auto [a1, b1] = Window(c1, i, end);
        const auto [a2, b2] = Window(c2, i, end);
        r.ch1.push_back(a1);
        r.ch2.push_back(a2);
        if (a1 != b1) {
            r.ch1.push_back(b1);
            r.ch2.push_back(b2);
        }
    }
    return r;
}

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
    void ringMatchesReference_data();
    void ringMatchesReference();
    void ringKeepsNewest10000();
    void storedRecord();
    void refusals();
};

void TestCliPlot::ringMatchesReference_data()
{
    QTest::addColumn<int>("samples");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("width");
    QTest::newRow("full ring") << 10000 << 1 << 0 << 415;
    QTest::newRow("zoom 8 from 4000") << 10000 << 8 << 4000 << 415;
    QTest::newRow("100 samples") << 100 << 1 << 0 << 415;
    QTest::newRow("wide picture") << 3000 << 2 << 17 << 830;
}

void TestCliPlot::ringMatchesReference()
{
    QFETCH(int, samples);
    QFETCH(int, zoom);
    QFETCH(int, first);
    QFETCH(int, width);
    // Values in hundredths with many repeats, so the first/last occurrence rules matter.
    QRandomGenerator rng(quint32(samples + zoom));
    std::vector<float> c1(static_cast<size_t>(samples));
    std::vector<float> c2(static_cast<size_t>(samples));
    for (int i = 0; i < samples; ++i) {
        c1[size_t(i)] = float(rng.bounded(20)) / 4.0f;
        c2[size_t(i)] = float(rng.bounded(6)) + 40.0f;
    }
    const QString ring = WriteRing(c1, c2, QStringLiteral("ring.jsonl"));
    const QString png = TestHome() + QStringLiteral("/ring.png");
    const CliRun r =
        RunCli({"plot", "--ring", ring, "--zoom", QString::number(zoom), "--first", QString::number(first),
                "--width", QString::number(width), "--png", png, "--points"});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.lines.size(), 1);
    const QJsonObject out = Json(r.lines[0]);
    const int plotWidth = out.value(QStringLiteral("plotWidth")).toInt();
    QCOMPARE(plotWidth, width == 415 ? 355 : width - int(60 * (double(width) / 415)));
    const Reference ref = Decimate(c1, c2, zoom, first, plotWidth);
    QCOMPARE(out.value(QStringLiteral("K")).toInt(), ref.k);
    QCOMPARE(out.value(QStringLiteral("D")).toInt(), ref.d);
    QCOMPARE(out.value(QStringLiteral("points")).toInt(), int(ref.ch1.size()));
    QCOMPARE(Ints(out.value(QStringLiteral("ch1")).toArray()), ref.ch1);
    QCOMPARE(Ints(out.value(QStringLiteral("ch2")).toArray()), ref.ch2);
    if (samples == 10000 && zoom == 1) {
        QCOMPARE(ref.k, 57);
        QVERIFY(ref.ch1.size() <= 357);
    }
    const QImage image(png);
    QCOMPARE(image.size(), QSize(width, 250));
    QCOMPARE(image.pixelColor(5, 5), QColor(123, 155, 168));
}

void TestCliPlot::ringKeepsNewest10000()
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

void TestCliPlot::storedRecord()
{
    const QString dbPath = AppSettings::Instance().DatabaseFolder() + QStringLiteral("/plot.mdb");
    {
        CCorvaneODBC db;
        QVERIFY(db.CreateDatabase(dbPath));
    }
    CliRun r = RunCli({"history", "store", "--db", dbPath, "--node", kKey, "--start", "1700000000", "--end",
                       "1700000300", "--interval", "60", "--type", "0x8C", "--alarm", "4", "--limits",
                       "10,30,40,80"},
                      Samples({2500, 6000, 2510, 6010, 2520, 6020, 9000, 5000, 2530, 6030}));
    QCOMPARE(r.exitCode, 0);
    const QString png = TestHome() + QStringLiteral("/record.png");
    r = RunCli({"plot", "--node", kKey, "--record", "1", "--db", dbPath, "--png", png, "--points"});
    QCOMPARE(r.exitCode, 0);
    const QJsonObject out = Json(r.lines.value(0));
    QCOMPARE(out.value(QStringLiteral("samples")).toInt(), 5);
    QCOMPARE(out.value(QStringLiteral("plotWidth")).toInt(), 440);
    QCOMPARE(out.value(QStringLiteral("K")).toInt(), 2);
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

void TestCliPlot::refusals()
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
    r = RunCli({"plot", "--ring", TestHome() + QStringLiteral("/missing.jsonl"), "--png", png});
    QCOMPARE(r.exitCode, 1);
    r = RunCli({"plot", "--ring", bad});
    QCOMPARE(r.exitCode, 2);
    r = RunCli({"plot", "--ring", bad, "--png", png, "--zoom", "0"});
    QCOMPARE(r.exitCode, 1);
    r = RunCli({"plot", "--node", "xyz", "--record", "1", "--png", png});
    QCOMPARE(r.exitCode, 1);
}

QTEST_MAIN(TestCliPlot)
#include "test_cli_plot.moc"
