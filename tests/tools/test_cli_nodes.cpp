// corvane-cli nodes connects to corvane-sim and prints the management list; node add, rename
// and delete change the node table with their message-log entries and refuse what the view
// refuses.
#include <QtTest>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

const QString kCli = QStringLiteral(CORVANE_BINARY_DIR "/bin/corvane-cli");
const QString kSim = QStringLiteral(CORVANE_BINARY_DIR "/bin/corvane-sim");
const QString kRelay = QStringLiteral("00124b00000000b1");

struct Run {
    int status = -1;
    QList<QJsonObject> lines;
    QString err;
};

Run RunCli(const QStringList &args, int timeoutMs = 40000)
{
    QProcess p;
    p.start(kCli, args);
    Run run;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return run;
    }
    run.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.err = QString::fromUtf8(p.readAllStandardError());
    for (const QByteArray &line : p.readAllStandardOutput().split('\n')) {
        if (!line.trimmed().isEmpty())
            run.lines.append(QJsonDocument::fromJson(line).object());
    }
    return run;
}

QJsonObject RowOf(const Run &run, const QString &address)
{
    for (const QJsonObject &o : run.lines) {
        if (o.value(QStringLiteral("extAddress")).toString() == address)
            return o;
    }
    return {};
}

} // namespace

class TestCliNodes : public QObject {
    Q_OBJECT

    QString m_home;

    Run Cli(QStringList args) { return RunCli(QStringList{QStringLiteral("--home"), m_home} + args); }

private slots:
    void initTestCase()
    {
        m_home = qEnvironmentVariable("CORVANE_TEST_HOME") + QStringLiteral("/home");
        QDir(m_home).removeRecursively();
        for (const char *folder : {"/database", "/profiler", "/message"})
            QVERIFY(QDir().mkpath(m_home + QLatin1String(folder)));
        QFile ini(m_home + QStringLiteral("/profiler/sysmaneger.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[language]\nlang=1\n[database]\nmdb=plant.mdb\n");
        ini.close();
        QCOMPARE(Cli({QStringLiteral("db"), QStringLiteral("create"), QStringLiteral("plant.mdb")}).status,
                 0);
    }

    void addRenameDelete()
    {
        Run run = Cli({QStringLiteral("node"), QStringLiteral("add"), QStringLiteral("00124b00000000a0"),
                       QStringLiteral("--type"), QStringLiteral("0x40"), QStringLiteral("--name"),
                       QStringLiteral("Gate")});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QCOMPARE(run.lines.first().value(QStringLiteral("text")).toString(),
                 QStringLiteral("添加终端接收器 {Gate, ID:00124b00000000a0}"));
        run = Cli({QStringLiteral("node"), QStringLiteral("add"), QStringLiteral("00124b00000000c1"),
                   QStringLiteral("--type"), QStringLiteral("128"), QStringLiteral("--name"),
                   QStringLiteral("Frdge")});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        run = Cli({QStringLiteral("node"), QStringLiteral("add"), QStringLiteral("00124b00000000c1"),
                   QStringLiteral("--type"), QStringLiteral("128")});
        QCOMPARE(run.status, 1);
        QVERIFY(run.err.contains(QStringLiteral("设备已存在")));
        run = Cli({QStringLiteral("node"), QStringLiteral("add"), QStringLiteral("00124B00000000C2"),
                   QStringLiteral("--type"), QStringLiteral("128")});
        QCOMPARE(run.status, 1);
        run = Cli({QStringLiteral("node"), QStringLiteral("rename"), QStringLiteral("00124b00000000c1"),
                   QStringLiteral("Fridge")});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QCOMPARE(run.lines.first().value(QStringLiteral("text")).toString(),
                 QStringLiteral("单温度记录仪{Frdge, ID:00124b00000000c1} 重命名为Fridge"));
        QCOMPARE(RowOf(run, QStringLiteral("00124b00000000c1")).value(QStringLiteral("name")).toString(),
                 QStringLiteral("Fridge"));
        QCOMPARE(Cli({QStringLiteral("node"), QStringLiteral("delete"), QStringLiteral("00124b00000000ff")})
                     .status,
                 1);
    }

    // After connecting, the receiver is connected, the relay found by the scan is in the list and
    // the logger shows its state, signal and battery under it.
    void nodesAgainstSimulator()
    {
        QProcess sim;
        sim.start(kSim,
                  {QStringLiteral("--scenario"), QStringLiteral(CORVANE_TEST_DATA_DIR "/e2e-network.json")});
        QVERIFY(sim.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), 5000);
        const QString slave = QString::fromLocal8Bit(sim.readLine()).trimmed();
        const Run run = Cli({QStringLiteral("--port"), slave, QStringLiteral("nodes"),
                             QStringLiteral("--seconds"), QStringLiteral("8")});
        sim.write("quit\n");
        sim.waitForFinished(3000);
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const QJsonObject gate = RowOf(run, QStringLiteral("00124b00000000a0"));
        QCOMPARE(gate.value(QStringLiteral("runState")).toString(), QStringLiteral("已连接"));
        QCOMPARE(gate.value(QStringLiteral("number")).toString(), QStringLiteral("001"));
        QCOMPARE(gate.value(QStringLiteral("depth")).toInt(), 0);
        // The relay was unknown: the link handling added it to the node table during the run.
        const QJsonObject relay = RowOf(run, kRelay);
        QCOMPARE(relay.value(QStringLiteral("type")).toString(), QStringLiteral("中转器"));
        QCOMPARE(relay.value(QStringLiteral("depth")).toInt(), 0);
        const QJsonObject fridge = RowOf(run, QStringLiteral("00124b00000000c1"));
        QCOMPARE(fridge.value(QStringLiteral("runState")).toString(), QStringLiteral("已启动"));
        QCOMPARE(fridge.value(QStringLiteral("rf")).toString(), QStringLiteral("-60"));
        QCOMPARE(fridge.value(QStringLiteral("power")).toString(), QStringLiteral("4"));
        QCOMPARE(fridge.value(QStringLiteral("alarmSetting")).toString(), QStringLiteral("已设置"));
        QCOMPARE(fridge.value(QStringLiteral("fatherId")).toInt(), relay.value(QStringLiteral("id")).toInt());
        QCOMPARE(fridge.value(QStringLiteral("depth")).toInt(), 1);
        QVERIFY(!fridge.value(QStringLiteral("lastConnect")).toString().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCliNodes)
#include "test_cli_nodes.moc"
