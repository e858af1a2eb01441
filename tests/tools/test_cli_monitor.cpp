// corvane-cli monitor connects to corvane-sim exactly as the main window would, applies what
// arrives, and writes the node table and the message log of its home folder.
#include "CliRun.h"

using namespace clitest;

class TestCliMonitor : public QObject {
    Q_OBJECT
private slots:
    void monitorAppliesRecordsAndWritesRowsAndMessages()
    {
        const QString home = qEnvironmentVariable("CORVANE_TEST_HOME") + QStringLiteral("/home");
        QVERIFY(MakeHome(home));
        const auto db = [&home](const QStringList &args) {
            return Cli(QStringList{QStringLiteral("--home"), home, QStringLiteral("db")} + args).status;
        };
        QCOMPARE(db({"create", "plant.mdb"}), 0);
        QCOMPARE(
            db({"add-node", "plant.mdb", "--address", "00124b00000000a0", "--type", "64", "--name", "Gate"}),
            0);
        QCOMPARE(db({"add-node", "plant.mdb", "--address", "00124b00000000c1", "--type", "128", "--name",
                     "Fridge", "--parent", "1"}),
                 0);

        QProcess sim;
        const QString slave = StartSim(sim);
        QVERIFY(!slave.isEmpty());

        const Run run = Cli({QStringLiteral("--home"), home, QStringLiteral("--port"), slave,
                             QStringLiteral("monitor"), QStringLiteral("--seconds"), QStringLiteral("8")});
        sim.write("quit\n");
        sim.waitForFinished(3000);
        QVERIFY2(run.status == 0, qPrintable(run.err));

        bool connected = false;
        bool relayRecord = false;
        int fridgeSamples = 0;
        int messages = 0;
        for (const QJsonObject &o : run.lines) {
            const QString event = o.value(QStringLiteral("event")).toString();
            if (event == QStringLiteral("connection") && o.value(QStringLiteral("connected")).toBool()) {
                connected = true;
                QVERIFY(o.value(QStringLiteral("text")).toString().contains(slave));
                QVERIFY(o.value(QStringLiteral("text")).toString().endsWith(QStringLiteral(": Gate")));
            }
            if (event == QStringLiteral("record") &&
                o.value(QStringLiteral("code")).toString() == QStringLiteral("GNI") &&
                o.value(QStringLiteral("extAddress")).toString() == QStringLiteral("00124b00000000b1"))
                relayRecord = true;
            if (event == QStringLiteral("record") &&
                o.value(QStringLiteral("code")).toString() == QStringLiteral("GMD") &&
                o.value(QStringLiteral("node")).toInt() == 2) {
                ++fridgeSamples;
                QCOMPARE(o.value(QStringLiteral("value1")).toDouble(), 5.0);
            }
            if (event == QStringLiteral("message"))
                ++messages;
        }
        QVERIFY(connected);
        QVERIFY(relayRecord);
        QVERIFY(fridgeSamples >= 2);
        QVERIFY(messages >= 1);

        // The message log holds what was printed.
        const Run dump = Cli({QStringLiteral("messages"), QStringLiteral("dump"),
                              home + QStringLiteral("/message/nmw001100.cvm")});
        QCOMPARE(dump.status, 0);
        QCOMPARE(int(dump.lines.size()), messages);

        // A receiver silent for 13 s: the link is lost, comes back whole by itself, and the run
        // that ends connected succeeds.
        const QString again = StartSim(sim);
        QVERIFY(!again.isEmpty());
        QProcess monitor;
        monitor.start(kCli, {QStringLiteral("--home"), home, QStringLiteral("--port"), again,
                             QStringLiteral("monitor"), QStringLiteral("--seconds"), QStringLiteral("24")});
        QTest::qWait(3000);
        sim.write("silence 13\n");
        QVERIFY(sim.waitForBytesWritten(3000));
        QVERIFY(monitor.waitForFinished(40000));
        sim.write("quit\n");
        sim.waitForFinished(3000);
        QVERIFY2(monitor.exitCode() == 0, monitor.readAllStandardError().constData());
        QStringList events;
        for (const QByteArray &line : monitor.readAllStandardOutput().split('\n'))
            events << QJsonDocument::fromJson(line).object().value(QStringLiteral("event")).toString();
        QVERIFY(events.contains(QStringLiteral("linklost")));
        QVERIFY(events.indexOf(QStringLiteral("reconnected")) > events.indexOf(QStringLiteral("linklost")));
    }

    void monitorFailsClearly_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");
        QTest::newRow("seconds beyond the timer range")
            << QStringList{QStringLiteral("monitor"), QStringLiteral("--seconds"), QStringLiteral("2147484")}
            << QStringLiteral("--seconds");
        QTest::newRow("no receiver on the port")
            << QStringList{QStringLiteral("--port"), QStringLiteral("/nonexistent/tty"),
                           QStringLiteral("monitor"), QStringLiteral("--seconds"), QStringLiteral("3")}
            << QStringLiteral("receiver");
    }
    void monitorFailsClearly()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        const Run run = Cli(args);
        QVERIFY(run.status > 0);
        QVERIFY2(run.err.contains(error), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(TestCliMonitor)
#include "test_cli_monitor.moc"
