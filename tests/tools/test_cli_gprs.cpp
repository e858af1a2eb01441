// corvane-cli gprs edits the phone book and bindings as the GPRS tab does and locks them into
// corvane-sim, read back from the simulated receiver; messages take-over and month archive and
// read back the messages the run logged. Both programs run as separate processes.
#include "CliRun.h"

#include <QJsonArray>

using namespace clitest;

namespace {

const QString kFridge = QStringLiteral("00124b00000000c1");

QJsonObject Find(const Run &run, const QString &key, const QJsonValue &value)
{
    for (const QJsonObject &o : run.lines) {
        if (o.value(key) == value)
            return o;
    }
    return {};
}

QList<int> SlotsOf(const Run &run, const QString &address)
{
    QList<int> slotNumbers;
    for (const QJsonValue v :
         Find(run, QStringLiteral("address"), address).value(QStringLiteral("slots")).toArray())
        slotNumbers << v.toInt();
    return slotNumbers;
}

} // namespace

class TestCliGprs : public QObject {
    Q_OBJECT

    QString m_home;

    Run Cli(const QStringList &args, int timeoutMs = 120000)
    {
        return clitest::Cli(QStringList{QStringLiteral("--home"), m_home} + args, {}, timeoutMs);
    }
    Run Cli(const char *line) { return Cli(Words(QString::fromUtf8(line))); }

private slots:
    void initTestCase()
    {
        m_home = TestHome();
        QVERIFY(MakePlant(m_home));
        for (const char *node : {"node add 00124b00000000a0 --type 0x40 --name Gate",
                                 "node add 00124b00000000b1 --type 0x04 --name Relay",
                                 "node add 00124b00000000c1 --type 0x80 --name Fridge"})
            QCOMPARE(Cli(node).status, 0);
    }

    // Each row runs after the previous one, on the same book.
    void editing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("slot3");
        QTest::addColumn<QList<int>>("fridgeSlots");
        QTest::newRow("slot 1") << QStringList{"phone", "1", "13800000001"} << 0 << ""
                                << "" << QList<int>{};
        QTest::newRow("duplicate into slot 3")
            << QStringList{"phone", "3", "13800000001"} << 1 << "手机号已存在。\n13800000001"
            << "" << QList<int>{};
        QTest::newRow("slot 3") << QStringList{"phone", "3", " 13900000003 "} << 0 << ""
                                << "13900000003" << QList<int>{};
        QTest::newRow("bind 1 and 3") << QStringList{"bind", kFridge, "1,3"} << 0 << ""
                                      << "13900000003" << QList<int>{1, 3};
        QTest::newRow("bind an empty slot") << QStringList{"bind", kFridge, "5"} << 1 << "slot 5"
                                            << "13900000003" << QList<int>{1, 3};
    }
    void editing()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, error);
        const Run run = Cli(QStringList{QStringLiteral("gprs")} + args);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(error), qPrintable(run.err));
        const Run shown = Cli("gprs show");
        QTEST(Find(shown, QStringLiteral("slot"), 3).value(QStringLiteral("number")).toString(), "slot3");
        QTEST(SlotsOf(shown, kFridge), "fridgeSlots");
    }

    void lockIntoSimulator()
    {
        Run run;
        QByteArray reply;
        {
            Sim sim;
            QVERIFY(!sim.port.isEmpty());
            run = Cli(QStringList{QStringLiteral("--port"), sim.port} +
                      Words(QStringLiteral("gprs lock --seconds 90")));
            sim.process.write("gprs\n");
            QTRY_VERIFY_WITH_TIMEOUT(sim.process.canReadLine(), 5000);
            reply = sim.process.readLine().trimmed();
        }
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QVERIFY(!Find(run, QStringLiteral("event"), QStringLiteral("locked")).isEmpty());

        QVERIFY2(reply.startsWith("ok gprs "), reply.constData());
        const QJsonObject book = QJsonDocument::fromJson(reply.mid(8)).object();
        const QJsonArray phones = book.value(QStringLiteral("phones")).toArray();
        QCOMPARE(phones.at(2).toString(), QStringLiteral("13900000003"));
        QCOMPARE(book.value(QStringLiteral("slotMask")).toInt(), 0x5);
        const QJsonObject logger = book.value(QStringLiteral("loggers")).toArray().at(0).toObject();
        QCOMPARE(logger.value(QStringLiteral("address")).toString(), kFridge);
        QCOMPARE(logger.value(QStringLiteral("bindMask")).toInt(), 0x5);
    }

    // The lock's run logged messages: the take-over archives them, the month reads them back.
    void messagesTakeOverAndMonth()
    {
        const Run taken = Cli("messages take-over");
        QVERIFY2(taken.status == 0, qPrintable(taken.err));
        const QJsonObject summary = taken.lines.last();
        const int archived = summary.value(QStringLiteral("archived")).toInt();
        QVERIFY(archived >= 1);
        QCOMPARE(taken.lines.size(), archived + 1);
        const QString file = summary.value(QStringLiteral("files")).toArray().at(0).toString();
        const QString month = file.mid(3, 4) + QLatin1Char('-') + file.mid(7, 2);
        const Run read = Cli(Words(QStringLiteral("messages month ") + month));
        QCOMPARE(read.status, 0);
        QCOMPARE(read.lines.mid(read.lines.size() - archived), taken.lines.mid(0, archived));
        const Run again = Cli("messages take-over");
        QCOMPARE(again.lines.last().value(QStringLiteral("taken")).toInt(), 0);
        QCOMPARE(Cli("messages month 1999-01").lines.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCliGprs)
#include "test_cli_gprs.moc"
