// corvane-cli logging, download, plan and collect against corvane-sim, each a separate process:
// recording is started on two loggers, what they record is downloaded with its times and values,
// a second download adds only what is new, lost frames never store a sample twice, and the
// collector fires a daily plan once.
#include "CliRun.h"

using namespace clitest;

namespace {

const QString kFridge = QStringLiteral("00124b00000000c1");
const QString kRoom = QStringLiteral("00124b00000000c2");
constexpr int kInterval = 2;
constexpr int kRampPeriod = 200; // the loggers' channel 1 reads (time mod 200)

QString LocalText(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

class TestCliLogging : public QObject {
    Q_OBJECT

    QString m_home;
    std::unique_ptr<Sim> m_sim;

    Run Cli(const QStringList &args, int timeoutMs = 150000)
    {
        return clitest::Cli(
            QStringList{QStringLiteral("--home"), m_home, QStringLiteral("--port"), m_sim->port} + args, {},
            timeoutMs);
    }
    void Control(const QByteArray &line)
    {
        m_sim->process.write(line + '\n');
        QVERIFY(m_sim->process.waitForReadyRead(3000));
        (void)m_sim->process.readAll();
    }
    // Every sample of the node's newest record: one value per time, times a recording interval
    // apart, each value the one the logger measured at that time. Returns the sample count.
    int CheckStoredSamples(const QString &node, int record)
    {
        const Run dump = Cli(
            Words(QStringLiteral("history dump --db plant.mdb --node %1 --record %2").arg(node).arg(record)));
        if (dump.status != 0)
            return -1;
        qint64 previous = 0;
        int samples = 0;
        for (const QJsonObject &o : dump.lines) {
            if (!o.contains(QStringLiteral("index")))
                continue;
            const qint64 t = o.value(QStringLiteral("time")).toInteger();
            if ((previous != 0 && t != previous + kInterval) ||
                o.value(QStringLiteral("ch1")).toDouble() != double(t % kRampPeriod))
                return -1;
            previous = t;
            ++samples;
        }
        return samples;
    }
    static QHash<QString, QJsonObject> Downloads(const Run &run)
    {
        QHash<QString, QJsonObject> byNode;
        for (const QJsonObject &o : run.Events(QStringLiteral("download")))
            byNode.insert(o.value(QStringLiteral("address")).toString(), o);
        return byNode;
    }

private slots:
    void initTestCase()
    {
        m_home = TestHome();
        QVERIFY(MakePlant(m_home, {QStringLiteral("--address 00124b00000000a0 --type 64 --name Gate"),
                                   QStringLiteral("--address %1 --type 128 --name Fridge").arg(kFridge),
                                   QStringLiteral("--address %1 --type 140 --name Room").arg(kRoom)}));
        m_sim = std::make_unique<Sim>(QStringLiteral("e2e-logging.json"));
        QVERIFY(!m_sim->port.isEmpty());
    }
    void cleanupTestCase() { m_sim.reset(); }

    void badArgumentsAreRefused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("start without interval")
            << QStringList{"logging", "start", kFridge, "--start", "1700000000"};
        QTest::newRow("unknown node") << QStringList{"logging", "stop", "00124b00000000ff"};
        QTest::newRow("receiver is no logger") << QStringList{"download", "00124b00000000a0"};
        QTest::newRow("single plan in the past")
            << QStringList{"plan", kFridge, "once", "2020-01-01 00:00:00"};
    }
    void badArgumentsAreRefused()
    {
        QFETCH(QStringList, args);
        const Run run = Cli(args, 20000);
        QVERIFY(run.status > 0);
        QVERIFY2(run.err.startsWith(QStringLiteral("corvane-cli: ")) ||
                     run.err.startsWith(QStringLiteral("usage")),
                 qPrintable(run.err));
        QVERIFY(run.Events(QStringLiteral("connection")).isEmpty()); // refused before connecting
    }

    void recordDownloadAndResume()
    {
        const Run start =
            Cli(Words(QStringLiteral("logging start %1 %2 --start %3 --interval %4 --ch1 -20,120 --ch2 30,60")
                          .arg(kFridge, kRoom)
                          .arg(QDateTime::currentSecsSinceEpoch())
                          .arg(kInterval)));
        QVERIFY2(start.status == 0, qPrintable(start.err));
        const QList<QJsonObject> results = start.Events(QStringLiteral("result"));
        QCOMPARE(results.size(), 2);
        for (const QJsonObject &r : results)
            QVERIFY(r.value(QStringLiteral("completed")).toBool());

        QTest::qWait(8000);
        const Run first = Cli({QStringLiteral("download"), kFridge, kRoom});
        QVERIFY2(first.status == 0, qPrintable(first.err));
        const QHash<QString, QJsonObject> got = Downloads(first);
        QCOMPARE(got.size(), 2);
        const int record = got.value(kFridge).value(QStringLiteral("record")).toInt();
        const int samples = CheckStoredSamples(kFridge, record);
        QVERIFY2(samples >= 3, qPrintable(QString::number(samples)));
        QCOMPARE(got.value(kFridge).value(QStringLiteral("samples")).toInt(), samples);
        QVERIFY(CheckStoredSamples(kRoom, got.value(kRoom).value(QStringLiteral("record")).toInt()) >= 3);

        QTest::qWait(6000);
        const Run second = Cli({QStringLiteral("download"), kFridge});
        QVERIFY2(second.status == 0, qPrintable(second.err));
        const QJsonObject again = Downloads(second).value(kFridge);
        QCOMPARE(again.value(QStringLiteral("record")).toInt(), record); // the same record grew
        const int more = CheckStoredSamples(kFridge, record);
        QVERIFY2(more >= samples + 2, qPrintable(QStringLiteral("%1 then %2").arg(samples).arg(more)));
    }

    void lostFramesNeverStoreASampleTwice()
    {
        Control("loss 0.2");
        for (int round = 0; round < 2; ++round) {
            QTest::qWait(4000);
            const Run run = Cli({QStringLiteral("download"), kFridge, kRoom, QStringLiteral("--seconds"),
                                 QStringLiteral("120")});
            const QHash<QString, QJsonObject> got = Downloads(run);
            QCOMPARE(got.size(), 2);
            for (const QJsonObject &o : got) {
                const int state = o.value(QStringLiteral("state")).toInt();
                QVERIFY2(state == 16 || state == 15, qPrintable(QString::number(state)));
                QCOMPARE(run.status == 0, got.value(kFridge).value(QStringLiteral("completed")).toBool() &&
                                              got.value(kRoom).value(QStringLiteral("completed")).toBool());
                QVERIFY(CheckStoredSamples(o.value(QStringLiteral("address")).toString(),
                                           o.value(QStringLiteral("record")).toInt()) > 0);
            }
        }
        Control("loss 0");
    }

    void collectorFiresADailyPlanOnce()
    {
        const qint64 plan = QDateTime::currentSecsSinceEpoch() + 60;
        const Run set = Cli({QStringLiteral("plan"), kRoom, QStringLiteral("daily"),
                             QDateTime::fromSecsSinceEpoch(plan).toString(QStringLiteral("HH:mm:ss"))});
        QCOMPARE(set.status, 0);
        // The plans' clock starts 8 s before the plan: it fires within the run.
        const Run run = Cli(Words(QStringLiteral("collect --seconds 40 --clock")) << LocalText(plan - 8));
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const QList<QJsonObject> fired = run.Events(QStringLiteral("planfired"));
        QCOMPARE(fired.size(), 1);
        QCOMPARE(fired.first().value(QStringLiteral("planTime")).toInteger() % 86400, plan % 86400);
        const QList<QJsonObject> stored = run.Events(QStringLiteral("download"));
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.first().value(QStringLiteral("address")).toString(), kRoom);
        QVERIFY(stored.first().value(QStringLiteral("completed")).toBool());
    }
};

QTEST_GUILESS_MAIN(TestCliLogging)
#include "test_cli_logging.moc"
