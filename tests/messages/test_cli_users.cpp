#include "../tools/CliRun.h"
#include "MessageTestKit.h"

#include "messages/CUserStore.h"
#include "messages/MessageCodec.h"

#include <QFile>

using namespace clitest;
using namespace msgtest;

// corvane-cli users and messages dump on files written by the program's own stores.
class TestCliUsers : public QObject {
    Q_OBJECT

    QString m_home;

private slots:
    void init() { m_home = FreshHome(QStringLiteral("cli")); }

    void listsUsers()
    {
        CUserStore store;
        store.SetFilePath(m_home + QStringLiteral("/profiler/user.ruf"));
        QCOMPARE(store.CreateFile(QStringLiteral("admin"), QStringLiteral("adminpass"), 1),
                 UserFileStatus::Ok);
        QCOMPARE(store.AddAccount(QStringLiteral("张三"), QStringLiteral("secret1"), 2), UserFileStatus::Ok);
        const Run run = Cli({QStringLiteral("users"), QStringLiteral("--home"), m_home});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.lines.size(), 2);
        QCOMPARE(run.lines[1].value(QStringLiteral("name")).toString(), QStringLiteral("张三"));
        QCOMPARE(run.lines[1].value(QStringLiteral("type")).toInt(), 2);
        QFile f(store.FilePath());
        QVERIFY(f.open(QIODevice::Append));
        f.write("x");
        f.close();
        const Run damaged = Cli({QStringLiteral("--home"), m_home, QStringLiteral("users")});
        QCOMPARE(damaged.status, 1);
        QVERIFY(damaged.lines.isEmpty());
        QVERIFY(damaged.err.contains(QStringLiteral("damaged")));
        QVERIFY(f.remove());
        const Run missing = Cli({QStringLiteral("--home"), m_home, QStringLiteral("users")});
        QCOMPARE(missing.status, 1);
        QVERIFY(!missing.err.isEmpty());
    }

    void dumpsMessageFiles()
    {
        const qint64 t = At(2014, 3, 5, 8, 7, 9);
        {
            CMessageHisNew fresh(m_home);
            QVERIFY(
                fresh.Log(QStringLiteral("警告"), t, QStringLiteral("admin"), QStringLiteral("a<b & c>d")));
            QVERIFY(
                fresh.Log(QStringLiteral("系统"), t + 1, QStringLiteral("bob"), QStringLiteral("second")));
            CMessageHis archive(m_home);
            Entry(archive, QStringLiteral("下载"), t, QStringLiteral("admin"), QStringLiteral("archived"));
            QVERIFY(archive.SaveToMonth(t));
        }
        const QString fresh = m_home + QStringLiteral("/message/nmw001100.cvm");
        Run run = Cli({QStringLiteral("messages"), QStringLiteral("dump"), fresh});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.lines.size(), 2);
        QCOMPARE(run.lines[0].value(QStringLiteral("time")).toString(), QStringLiteral("2014-3-5 08:07:09"));
        QCOMPARE(run.lines[0].value(QStringLiteral("event")).toString(), QStringLiteral("a<b & c>d"));
        QCOMPARE(run.lines[1].value(QStringLiteral("event")).toString(), QStringLiteral("second"));

        const QString month = m_home + QStringLiteral("/message/msg201403.cvm");
        run = Cli({QStringLiteral("messages"), QStringLiteral("dump"), month});
        QCOMPARE(run.lines.value(0).value(QStringLiteral("event")).toString(), QStringLiteral("archived"));

        // The key comes from the name: a renamed file no longer reads.
        const QString renamed = m_home + QStringLiteral("/message/msg201404.cvm");
        QVERIFY(QFile::copy(month, renamed));
        run = Cli({QStringLiteral("messages"), QStringLiteral("dump"), renamed});
        QCOMPARE(run.status, 1);
        QVERIFY(run.lines.isEmpty());
        QVERIFY(run.err.contains(QStringLiteral("damaged")));

        // A cut-off record is reported.
        QFile f(fresh);
        QVERIFY(f.resize(f.size() - 3));
        run = Cli({QStringLiteral("messages"), QStringLiteral("dump"), fresh});
        QCOMPARE(run.status, 1);
        QVERIFY(run.err.contains(QStringLiteral("damaged")));

        run = Cli({QStringLiteral("messages"), QStringLiteral("dump"),
                   m_home + QStringLiteral("/message/none.cvm")});
        QCOMPARE(run.status, 1);
        QVERIFY(run.err.contains(QStringLiteral("cannot read")));
        QCOMPARE(Cli({QStringLiteral("messages"), QStringLiteral("list")}).status, 2);
    }

    // Lines are built without QJsonDocument; they must read byte for byte as it writes them.
    void dumpLinesReadAsQtWritesThem_data()
    {
        QTest::addColumn<QString>("event");
        QString controls;
        for (char16_t c = 1; c < 0x20; ++c)
            controls += QChar(c);
        QTest::newRow("quote and backslash") << QStringLiteral("say \"a\\b\" & <c>");
        QTest::newRow("control characters") << controls + QChar(0x7F);
        QTest::newRow("beyond ASCII") << QStringLiteral("温度 \u00e9 \u2028 \U0001F600");
    }
    void dumpLinesReadAsQtWritesThem()
    {
        QFETCH(QString, event);
        {
            CMessageHisNew fresh(m_home);
            QVERIFY(
                fresh.Log(QStringLiteral("系统"), At(2014, 3, 5, 8, 7, 9), QStringLiteral("a\"b"), event));
        }
        const Run run = Cli({QStringLiteral("messages"), QStringLiteral("dump"),
                             m_home + QStringLiteral("/message/nmw001100.cvm")});
        QCOMPARE(run.status, 0);
        const QJsonObject expected{{QStringLiteral("type"), QStringLiteral("系统")},
                                   {QStringLiteral("time"), QStringLiteral("2014-3-5 08:07:09")},
                                   {QStringLiteral("user"), QStringLiteral("a\"b")},
                                   {QStringLiteral("event"), event}};
        QCOMPARE(run.out.toUtf8(), QJsonDocument(expected).toJson(QJsonDocument::Compact) + '\n');
    }

    // A damaged start is found without reading the file; a file larger than any month is not read.
    void hugeOrForeignFilesRefusedUnread()
    {
        const QString foreign = m_home + QStringLiteral("/message/msg201405.cvm");
        QFile f(foreign);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(200 << 20)); // sparse: damaged at byte 0
        f.close();
        Run run = Cli({QStringLiteral("messages"), QStringLiteral("dump"), foreign});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(QStringLiteral("no message file")), qPrintable(run.err));

        // A sound start followed by more than a month can hold.
        const qint64 t = At(2014, 6, 1, 0, 0, 0);
        CMessageHis archive(m_home);
        Entry(archive, QStringLiteral("系统"), t, QString(), QString());
        QVERIFY(archive.SaveToMonth(t));
        const QString huge = m_home + QStringLiteral("/message/msg201406.cvm");
        QVERIFY(QFile::resize(huge, MessageCodec::kMaxFileBytes + 1));
        run = Cli({QStringLiteral("messages"), QStringLiteral("dump"), huge});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(QStringLiteral("larger than")), qPrintable(run.err));
        QVERIFY(!archive.LoadMonth(t));
        QCOMPARE(archive.RecordCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCliUsers)
#include "test_cli_users.moc"
