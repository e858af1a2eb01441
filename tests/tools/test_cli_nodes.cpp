// corvane-cli nodes connects to corvane-sim and prints the management list; node add, rename
// and delete change the node table with their message-log entries and refuse what the view
// refuses.
#include "CliRun.h"

using namespace clitest;

namespace {

const QString kRelay = QStringLiteral("00124b00000000b1");

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

    Run HomeCli(const QStringList &args) { return Cli(QStringList{QStringLiteral("--home"), m_home} + args); }

private slots:
    void initTestCase()
    {
        m_home = TestHome();
        QVERIFY(MakePlant(m_home));
    }

    void addRenameDelete()
    {
        Run run = HomeCli(Words(QStringLiteral("node add 00124b00000000a0 --type 0x40 --name Gate")));
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QCOMPARE(run.lines.first().value(QStringLiteral("text")).toString(),
                 QStringLiteral("添加终端接收器 {Gate, ID:00124b00000000a0}"));
        run = HomeCli(Words(QStringLiteral("node add 00124b00000000c1 --type 128 --name Frdge")));
        QVERIFY2(run.status == 0, qPrintable(run.err));
        run = HomeCli(Words(QStringLiteral("node add 00124b00000000c1 --type 128")));
        QCOMPARE(run.status, 1);
        QVERIFY(run.err.contains(QStringLiteral("设备已存在")));
        run = HomeCli(Words(QStringLiteral("node rename 00124b00000000c1 Fridge")));
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QCOMPARE(run.lines.first().value(QStringLiteral("text")).toString(),
                 QStringLiteral("单温度记录仪{Frdge, ID:00124b00000000c1} 重命名为Fridge"));
        QCOMPARE(RowOf(run, QStringLiteral("00124b00000000c1")).value(QStringLiteral("name")).toString(),
                 QStringLiteral("Fridge"));
        QCOMPARE(HomeCli(Words(QStringLiteral("node delete 00124b00000000ff"))).status, 1);
    }

    // After connecting, the receiver is connected, the relay found by the scan is in the list and
    // the logger shows its state, signal and battery under it.
    void nodesAgainstSimulator()
    {
        Run run;
        {
            const Sim sim;
            QVERIFY(!sim.port.isEmpty());
            run = HomeCli({QStringLiteral("--port"), sim.port, QStringLiteral("nodes"),
                           QStringLiteral("--seconds"), QStringLiteral("8")});
        }
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const QJsonObject gate = RowOf(run, QStringLiteral("00124b00000000a0"));
        QCOMPARE(gate.value(QStringLiteral("runState")).toString(), QStringLiteral("已连接"));
        // The relay was unknown: the link handling added it to the node table during the run.
        const QJsonObject relay = RowOf(run, kRelay);
        QCOMPARE(relay.value(QStringLiteral("type")).toString(), QStringLiteral("中转器"));
        // It stands under the receiver with its live state, without a restart.
        QCOMPARE(relay.value(QStringLiteral("fatherId")).toInt(), gate.value(QStringLiteral("id")).toInt());
        QCOMPARE(relay.value(QStringLiteral("runState")).toString(), QStringLiteral("已连接"));
        const QJsonObject fridge = RowOf(run, QStringLiteral("00124b00000000c1"));
        QCOMPARE(fridge.value(QStringLiteral("runState")).toString(), QStringLiteral("已启动"));
        QCOMPARE(fridge.value(QStringLiteral("fatherId")).toInt(), relay.value(QStringLiteral("id")).toInt());
    }

    // scan waits for the network scan that follows the connection and prints the rows; without
    // a receiver it fails with the link's own refusal.
    void scanWaitsForItsEnd()
    {
        Run run;
        {
            const Sim sim;
            QVERIFY(!sim.port.isEmpty());
            run = HomeCli({QStringLiteral("--port"), sim.port, QStringLiteral("scan"),
                           QStringLiteral("--seconds"), QStringLiteral("90")});
        }
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QCOMPARE(RowOf(run, kRelay).value(QStringLiteral("runState")).toString(), QStringLiteral("已连接"));

        const Run none = HomeCli({QStringLiteral("scan")});
        QVERIFY(none.status > 0);
        // The refusal comes before the home's language is read: either text of the string table.
        QVERIFY2(none.err.contains(QStringLiteral("未有仪器连接到电脑")) ||
                     none.err.contains(QStringLiteral("No instrument is connected")),
                 qPrintable(none.err));
    }
};

QTEST_GUILESS_MAIN(TestCliNodes)
#include "test_cli_nodes.moc"
