// corvane-cli --help lists every command; each command's --help shows its usage; a bad call
// exits non-zero with the help on standard error.
#include "CliRun.h"

#include <QRegularExpression>

using namespace clitest;

namespace {

// Command names of the "Commands:" block of the help text.
QStringList ListedCommands(const QString &help)
{
    QStringList names;
    const int start = help.indexOf(QLatin1String("Commands:\n"));
    static const QRegularExpression line(QStringLiteral("^  (\\S+)  +\\S"));
    for (const QString &l : help.mid(start).split(QLatin1Char('\n'))) {
        const auto m = line.match(l);
        if (m.hasMatch())
            names << m.captured(1);
    }
    return names;
}

} // namespace

class TestCliHelp : public QObject {
    Q_OBJECT
private slots:
    void everyListedCommandHasItsUsage()
    {
        const Run help = Cli({QStringLiteral("--help")});
        QCOMPARE(help.status, 0);
        const QStringList names = ListedCommands(help.out);
        for (const char *known :
             {"frame", "ports", "db", "history", "datafile", "monitor", "users", "messages"})
            QVERIFY2(names.contains(QLatin1String(known)), known);
        for (const QString &name : names) {
            const Run usage = Cli({name, QStringLiteral("--help")});
            QCOMPARE(usage.status, 0);
            QVERIFY2(usage.out.startsWith(QLatin1String("usage: corvane-cli ")), qPrintable(name));
            QVERIFY2(usage.out.contains(name), qPrintable(usage.out));
        }
    }
    void badCallsExitNonZeroWithHelp_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no command") << QStringList{};
        QTest::newRow("unknown command") << QStringList{QStringLiteral("fly")};
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--fast"), QStringLiteral("db")};
    }
    void badCallsExitNonZeroWithHelp()
    {
        QFETCH(QStringList, args);
        const Run run = Cli(args);
        QCOMPARE(run.status, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.contains(QLatin1String("Commands:")));
    }
    void badArgumentsPrintTheCommandsUsage()
    {
        const Run run = Cli({QStringLiteral("db"), QStringLiteral("shred")});
        QCOMPARE(run.status, 2);
        QVERIFY(run.err.startsWith(QLatin1String("usage: corvane-cli db create FILE\n")));
    }
};

QTEST_GUILESS_MAIN(TestCliHelp)
#include "test_cli_help.moc"
