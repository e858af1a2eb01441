// corvane-cli history and datafile commands on a database and data files written by the
// program's own code.
#include "storage/CCorvFile.h"
#include "storage/CCorvaneODBC.h"

#include "shell/core/AppSettings.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

namespace {

const QString kKey = QStringLiteral("00124b0001a2b3c4");

struct Run {
    int exitCode = -1;
    QList<QByteArray> lines;
    QByteArray err;
};

QString CliPath()
{
    const QString overridden = qEnvironmentVariable("CORVANE_CLI");
    return overridden.isEmpty() ? QStringLiteral(CORVANE_BINARY_DIR "/bin/corvane-cli") : overridden;
}

Run Cli(const QStringList &args, const QByteArray &input = QByteArray())
{
    QProcess p;
    p.start(CliPath(), args);
    p.write(input);
    p.closeWriteChannel();
    Run r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.lines = p.readAllStandardOutput().split('\n');
    r.lines.removeAll(QByteArray());
    r.err = p.readAllStandardError();
    return r;
}

QJsonObject Json(const QByteArray &line)
{
    return QJsonDocument::fromJson(line).object();
}

QByteArray Samples(const QList<int> &hundredths)
{
    QByteArray out;
    for (const int v : hundredths) {
        const auto u = static_cast<quint16>(static_cast<qint16>(v));
        out.append(static_cast<char>(u & 0xFF));
        out.append(static_cast<char>(u >> 8));
    }
    return out;
}

} // namespace

class TestHistoryCli : public QObject {
    Q_OBJECT
private slots:
    void storeListDumpSave();
    void refusals();
};

void TestHistoryCli::storeListDumpSave()
{
    const QString home = qEnvironmentVariable("CORVANE_TEST_HOME", QDir::currentPath());
    AppSettings::Instance().SetHomeFolder(home);
    QVERIFY(QDir().mkpath(AppSettings::Instance().DatabaseFolder()));
    const QString dbPath = AppSettings::Instance().DatabaseFolder() + QStringLiteral("/cli.mdb");
    {
        CCorvaneODBC db;
        QVERIFY(db.CreateDatabase(dbPath));
    }
    const QStringList common{QStringLiteral("history"),    QStringLiteral("store"),
                             QStringLiteral("--db"),       dbPath,
                             QStringLiteral("--node"),     kKey,
                             QStringLiteral("--start"),    QStringLiteral("1700000000"),
                             QStringLiteral("--end"),      QStringLiteral("1700003600"),
                             QStringLiteral("--interval"), QStringLiteral("60"),
                             QStringLiteral("--type"),     QStringLiteral("0x88"),
                             QStringLiteral("--alarm"),    QStringLiteral("4"),
                             QStringLiteral("--limits"),   QStringLiteral("-0.125,30,10,327.68")};
    Run r = Cli(common, Samples({2500, 6000, 2510, 6010, 2520}));
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(Json(r.lines.value(0)).value(QStringLiteral("lastHeaderId")).toInt(), 2);
    r = Cli(common + QStringList{QStringLiteral("--offset"), QStringLiteral("10")},
            Samples({6020, 2530, 6030}));
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(Json(r.lines.value(0)).value(QStringLiteral("dataLength")).toInt(), 16);

    r = Cli({QStringLiteral("history"), QStringLiteral("list"), QStringLiteral("--db"), dbPath,
             QStringLiteral("--node"), kKey});
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
    r = Cli({QStringLiteral("history"), QStringLiteral("dump"), QStringLiteral("--db"), dbPath,
             QStringLiteral("--node"), kKey, QStringLiteral("--record"), QStringLiteral("1")});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.lines.size(), 1 + 5);
    const QJsonObject head = Json(r.lines[0]);
    QCOMPARE(head.value(QStringLiteral("rangeCount")).toInt(), 5);
    QCOMPARE(head.value(QStringLiteral("ch1")).toObject().value(QStringLiteral("max")).toDouble(), 60.3);
    QCOMPARE(Json(r.lines[3]).value(QStringLiteral("ch2")).toDouble(), 25.3);
    QCOMPARE(Json(r.lines[4]).value(QStringLiteral("ch1")).toDouble(), 60.2);
    QVERIFY(!Json(r.lines[4]).contains(QStringLiteral("ch2"))); // channel 2 holds only three

    r = Cli({QStringLiteral("history"), QStringLiteral("dump"), QStringLiteral("--db"), dbPath,
             QStringLiteral("--node"), kKey, QStringLiteral("--record"), QStringLiteral("1"),
             QStringLiteral("--from"), QStringLiteral("1700000030"), QStringLiteral("--to"),
             QStringLiteral("1700000120"), QStringLiteral("--csv")});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.lines.size(), 3);
    QVERIFY(r.lines[0].startsWith("index,time"));
    QVERIFY(r.lines[1].startsWith("0,1700000060,"));

    const QString out = home + QStringLiteral("/range.cvdf");
    r = Cli({QStringLiteral("datafile"), QStringLiteral("save"), QStringLiteral("--db"), dbPath,
             QStringLiteral("--node"), kKey, QStringLiteral("--record"), QStringLiteral("1"),
             QStringLiteral("--from"), QStringLiteral("1700000030"), QStringLiteral("--out"), out});
    QCOMPARE(r.exitCode, 0);
    // The file reads back through the program's own reader, and through the tool.
    CNodeDataSave store;
    CCorvFile file(store);
    QCOMPARE(file.OpenDataFile(out), 1);
    QCOMPARE(store.rangeCount, 4);
    QCOMPARE(store.recordStart, qint64(1700000060));
    r = Cli({QStringLiteral("datafile"), QStringLiteral("dump"), out});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.lines.size(), 5);
    QCOMPARE(Json(r.lines[0]).value(QStringLiteral("rangeStart")).toInteger(), 1700000060);
    QCOMPARE(Json(r.lines[1]).value(QStringLiteral("ch1")).toDouble(), 25.1);
}

void TestHistoryCli::refusals()
{
    const QString home = qEnvironmentVariable("CORVANE_TEST_HOME", QDir::currentPath());
    const QString bad = home + QStringLiteral("/bad.cvdf");
    QFile f(bad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(168, 'x'));
    f.close();
    Run r = Cli({QStringLiteral("datafile"), QStringLiteral("dump"), bad});
    QVERIFY(r.exitCode > 0);
    QVERIFY(r.lines.isEmpty());
    r = Cli({QStringLiteral("history"), QStringLiteral("list"), QStringLiteral("--db"),
             home + QStringLiteral("/none.mdb"), QStringLiteral("--node"), kKey});
    QVERIFY(r.exitCode > 0);
    r = Cli({QStringLiteral("history"), QStringLiteral("list"), QStringLiteral("--db"),
             QStringLiteral("x.mdb"), QStringLiteral("--node"), QStringLiteral("zz")});
    QVERIFY(r.exitCode > 0);
    r = Cli({QStringLiteral("history"), QStringLiteral("dump")});
    QCOMPARE(r.exitCode, 2);
}

QTEST_GUILESS_MAIN(TestHistoryCli)
#include "test_historycli.moc"
