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

    // corvane-cli messages dump on a file of the home's message folder.
    Run Dump(const QString &name) const
    {
        return Cli({QStringLiteral("messages"), QStringLiteral("dump"),
                    m_home + QStringLiteral("/message/") + name});
    }

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
        Run run = Dump(QStringLiteral("nmw001100.cvm"));
        QCOMPARE(run.status, 0);
        QCOMPARE(run.lines.size(), 2);
        QCOMPARE(run.lines[0].value(QStringLiteral("time")).toString(), QStringLiteral("2014-3-5 08:07:09"));
        QCOMPARE(run.lines[0].value(QStringLiteral("event")).toString(), QStringLiteral("a<b & c>d"));
        // The key comes from the name: a renamed file no longer reads.
        QVERIFY(QFile::copy(m_home + QStringLiteral("/message/msg201403.cvm"),
                            m_home + QStringLiteral("/message/msg201404.cvm")));
        run = Dump(QStringLiteral("msg201404.cvm"));
        QCOMPARE(run.status, 1);
        QVERIFY(run.lines.isEmpty());
        QVERIFY(run.err.contains(QStringLiteral("no message file")));

        QVERIFY(Dump(QStringLiteral("none.cvm")).err.contains(QStringLiteral("cannot read")));
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
        const Run run = Dump(QStringLiteral("nmw001100.cvm"));
        QCOMPARE(run.status, 0);
        const QJsonObject expected{{QStringLiteral("type"), QStringLiteral("系统")},
                                   {QStringLiteral("time"), QStringLiteral("2014-3-5 08:07:09")},
                                   {QStringLiteral("user"), QStringLiteral("a\"b")},
                                   {QStringLiteral("event"), event}};
        QCOMPARE(run.out.toUtf8(), QJsonDocument(expected).toJson(QJsonDocument::Compact) + '\n');
    }

    // A file larger than any month is refused unread, here and by the store.
    void hugeFileRefusedUnread()
    {
        const qint64 t = At(2014, 6, 1, 0, 0, 0);
        CMessageHis archive(m_home);
        Entry(archive, QStringLiteral("系统"), t, QString(), QString());
        QVERIFY(archive.SaveToMonth(t));
        QVERIFY(QFile::resize(m_home + QStringLiteral("/message/msg201406.cvm"),
                              MessageCodec::kMaxFileBytes + 1));
        const Run run = Dump(QStringLiteral("msg201406.cvm"));
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(QStringLiteral("larger than")), qPrintable(run.err));
        QVERIFY(!archive.LoadMonth(t));
        QCOMPARE(archive.RecordCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCliUsers)
#include "test_cli_users.moc"
