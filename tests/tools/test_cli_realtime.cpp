// corvane-cli realtime against corvane-sim, as separate processes: a new interval is written to
// a logger and its samples arrive at that pace, stop writes interval 0, fetch reads one sample;
// wrong command lines are refused before anything is sent.
#include "CliRun.h"

using namespace clitest;

namespace {

const QString kFridge = QStringLiteral("00124b00000000c1");

} // namespace

class TestCliRealtime : public QObject {
    Q_OBJECT

    QString m_home;
    std::unique_ptr<Sim> m_sim;

    Run Realtime(const QStringList &args)
    {
        return Cli(QStringList{QStringLiteral("--home"), m_home, QStringLiteral("--port"), m_sim->port,
                               QStringLiteral("realtime")} +
                   args);
    }
    // The one result line of a run, with the expected command state.
    static QJsonObject Result(const Run &run, int state)
    {
        const QList<QJsonObject> results = run.Events(QStringLiteral("result"));
        if (results.size() != 1 || results[0].value(QStringLiteral("state")).toInt() != state)
            return {};
        return results[0];
    }

private slots:
    void initTestCase()
    {
        m_home = TestHome();
        QVERIFY(MakePlant(
            m_home, {QStringLiteral("--address ") + kFridge + QStringLiteral(" --type 128 --name Fridge")}));
        m_sim = std::make_unique<Sim>();
        QVERIFY(!m_sim->port.isEmpty());
    }
    void cleanupTestCase() { m_sim.reset(); }

    void refusedLines_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("start without interval") << QStringList{"start", kFridge} << 2;
        QTest::newRow("address not in the database") << QStringList{"fetch", "00124b00000000ff"} << 1;
    }
    void refusedLines()
    {
        QFETCH(QStringList, args);
        const Run run = Realtime(args);
        QTEST(run.status, "status");
        QVERIFY(run.Events(QStringLiteral("connection")).isEmpty());
    }

    // Start at 3 s: the write completes, samples arrive in order; stop writes 0; fetch reads one.
    void startStopFetch()
    {
        const Run start = Realtime(Words(QStringLiteral("start ") + kFridge +
                                         QStringLiteral(" --interval 3 --samples 2 --seconds 25")));
        QCOMPARE(start.status, 0);
        const QJsonObject started = Result(start, 21);
        QCOMPARE(started.value(QStringLiteral("row")).toObject().value(QStringLiteral("interval")).toString(),
                 QStringLiteral("00:00:03"));
        const QList<QJsonObject> samples = start.Events(QStringLiteral("sample"));
        QVERIFY(samples.size() >= 2);
        QVERIFY(samples.last().value(QStringLiteral("time")).toInteger() >
                samples.first().value(QStringLiteral("time")).toInteger());
        QVERIFY(samples.last().value(QStringLiteral("ch1")).isDouble());
        QVERIFY(samples.last().value(QStringLiteral("ch2")).isNull()); // a single-channel logger

        const Run stop = Realtime({QStringLiteral("stop"), kFridge});
        QCOMPARE(stop.status, 0);
        QCOMPARE(Result(stop, 23).value(QStringLiteral("row")).toObject().value(QStringLiteral("interval")),
                 QJsonValue(QString()));

        const Run fetch = Realtime({QStringLiteral("fetch"), kFridge});
        QCOMPARE(fetch.status, 0);
        const QJsonObject fetched = Result(fetch, 25);
        QCOMPARE(fetched.value(QStringLiteral("held")).toInt(), 1);
        QCOMPARE(fetch.Events(QStringLiteral("sample")).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestCliRealtime)
#include "test_cli_realtime.moc"
