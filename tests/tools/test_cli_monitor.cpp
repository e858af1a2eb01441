// corvane-cli monitor connects to corvane-sim exactly as the main window would, applies what
// arrives, and writes the node table and the message log of its home folder.
#include "CliRun.h"

using namespace clitest;

class TestCliMonitor : public QObject {
    Q_OBJECT
private slots:
    void monitorAppliesRecordsAndWritesRowsAndMessages()
    {
        const QString home = TestHome();
        QVERIFY(MakePlant(
            home, {QStringLiteral("--address 00124b00000000a0 --type 64 --name Gate"),
                   QStringLiteral("--address 00124b00000000c1 --type 128 --name Fridge --parent 1")}));
        Sim sim;
        QVERIFY(!sim.port.isEmpty());
        const Run run = Cli({QStringLiteral("--home"), home, QStringLiteral("--port"), sim.port,
                             QStringLiteral("monitor"), QStringLiteral("--seconds"), QStringLiteral("8")});
        sim.process.write("quit\n");
        sim.process.waitForFinished(3000);
        QVERIFY2(run.status == 0, qPrintable(run.err));

        QString connected;
        for (const QJsonObject &o : run.Events(QStringLiteral("connection"))) {
            if (o.value(QStringLiteral("connected")).toBool())
                connected = o.value(QStringLiteral("text")).toString();
        }
        QVERIFY2(connected.contains(sim.port) && connected.endsWith(QStringLiteral(": Gate")),
                 qPrintable(connected));
        bool relayRecord = false;
        int fridgeSamples = 0;
        for (const QJsonObject &o : run.Events(QStringLiteral("record"))) {
            const QString code = o.value(QStringLiteral("code")).toString();
            relayRecord |=
                code == QStringLiteral("GNI") &&
                o.value(QStringLiteral("extAddress")).toString() == QStringLiteral("00124b00000000b1");
            if (code == QStringLiteral("GMD") && o.value(QStringLiteral("node")).toInt() == 2) {
                ++fridgeSamples;
                QCOMPARE(o.value(QStringLiteral("value1")).toDouble(), 5.0);
            }
        }
        QVERIFY(relayRecord);
        QVERIFY(fridgeSamples >= 2);
        const int messages = int(run.Events(QStringLiteral("message")).size());
        QVERIFY(messages >= 1);

        // The message log holds what was printed.
        const Run dump = Cli({QStringLiteral("messages"), QStringLiteral("dump"),
                              home + QStringLiteral("/message/nmw001100.cvm")});
        QCOMPARE(dump.status, 0);
        QCOMPARE(int(dump.lines.size()), messages);

        // A receiver silent for 13 s: the link is lost, comes back whole by itself, and the run
        // that ends connected succeeds.
        Sim again;
        QVERIFY(!again.port.isEmpty());
        QProcess monitor;
        monitor.start(kCli, {QStringLiteral("--home"), home, QStringLiteral("--port"), again.port,
                             QStringLiteral("monitor"), QStringLiteral("--seconds"), QStringLiteral("24")});
        QTest::qWait(3000);
        again.process.write("silence 13\n");
        QVERIFY(again.process.waitForBytesWritten(3000));
        QVERIFY(monitor.waitForFinished(40000));
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
            << Words(QStringLiteral("monitor --seconds 2147484")) << QStringLiteral("--seconds");
        QTest::newRow("no receiver on the port")
            << Words(QStringLiteral("--port /nonexistent/tty monitor --seconds 3"))
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
