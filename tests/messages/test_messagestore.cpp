#include "MessageTestKit.h"

#include "messages/MessageCodec.h"

#include <QFile>

using namespace msgtest;

// Record format, scrambling and the operations of the message stores (TZ=Asia/Shanghai).
class TestMessageStore : public QObject {
    Q_OBJECT

    QString m_home;

    QString MessagePath(const QString &name) const { return m_home + QStringLiteral("/message/") + name; }
    QByteArray PlainFile(const QString &name) const
    {
        QFile f(MessagePath(name));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return MessageCodec::Descramble(f.readAll(), MessageCodec::DeriveKey(name), 0);
    }
    static QStringList Events(CMessageHis &store)
    {
        QStringList events;
        for (int pos = 0; (pos = store.GetNextRecord(pos)) >= 1;)
            events << store.EventText();
        return events;
    }

private slots:
    void init() { m_home = FreshHome(QStringLiteral("msghome")); }

    void scrambleBytes()
    {
        // reverse(0x01 XOR 0) = 0x80.
        QCOMPARE(MessageCodec::Scramble(QByteArray("\x01", 1), 0x10, 0), QByteArray("\x90", 1));
        // At position 257 the position byte is 1: reverse(0x01 XOR 0x01) = 0.
        QCOMPARE(MessageCodec::Scramble(QByteArray("\x01", 1), 0x10, 257), QByteArray("\x10", 1));
        QByteArray all(512, '\0');
        for (int i = 0; i < all.size(); ++i)
            all[i] = static_cast<char>(i & 0xFF);
        for (int start : {0, 1, 255, 256, 1000}) {
            const QByteArray stored = MessageCodec::Scramble(all, 0xA7, start);
            QCOMPARE(MessageCodec::Descramble(stored, 0xA7, start), all);
            // Written in two appends, it reads back as one stream.
            QCOMPARE(MessageCodec::Scramble(all.left(100), 0xA7, start) +
                         MessageCodec::Scramble(all.mid(100), 0xA7, start + 100),
                     stored);
        }
    }

    void escaping_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        QTest::newRow("entity text") << QStringLiteral("&lt;&gt;&amp") << "&amplt;&ampgt;&ampamp";
        QTest::newRow("markers") << QStringLiteral("\\:<me>\\><mb>:\\") << "\\:&ltme&gt\\&gt&ltmb&gt:\\";
    }
    void escaping()
    {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        QCOMPARE(MessageCodec::Escape(text), stored);
        QCOMPARE(MessageCodec::Unescape(stored), text);
    }

    // An event with markup characters as the new-messages file stores it.
    void recordFormatAndTimeText()
    {
        CMessageHisNew store(m_home);
        QVERIFY(QFile::exists(MessagePath(QStringLiteral("nmw001100.cvm"))));
        Entry(store, QStringLiteral("系统"), At(2014, 3, 5, 8, 7, 9), QStringLiteral("ad<m>in"),
              QStringLiteral("a<b & c>d"));
        QVERIFY(store.Save());
        QVERIFY(!store.HasUnsaved());
        QCOMPARE(PlainFile(QStringLiteral("nmw001100.cvm")),
                 Record("系统", "2014-3-5 08:07:09", "ad&ltm&gtin", "a&ltb &amp c&gtd"));
    }

    void twoSavesToANewMonthlyFile()
    {
        CMessageHis archive(m_home);
        const qint64 t1 = At(2014, 3, 5, 8, 7, 9);
        const qint64 t2 = At(2014, 3, 31, 23, 59, 59);
        Entry(archive, QStringLiteral("警告"), t1, QStringLiteral("admin"), QStringLiteral("first"));
        QVERIFY(archive.SaveToMonth(t1));
        Entry(archive, QStringLiteral("下载"), t2, QStringLiteral("bob"), QStringLiteral("second"));
        QVERIFY(archive.SaveToMonth(t2));
        QCOMPARE(PlainFile(QStringLiteral("msg201403.cvm")),
                 "msg201403.cvm" + Record("警告", "2014-3-5 08:07:09", "admin", "first") +
                     Record("下载", "2014-3-31 23:59:59", "bob", "second"));
        // A new store names the last monthly file but reads it only when asked.
        CMessageHis reopened(m_home);
        QCOMPARE(reopened.ReadFileName(), QStringLiteral("msg201403.cvm"));
        QVERIFY(reopened.LoadedText().isEmpty());
        QVERIFY(reopened.LoadMonth(std::nullopt));
        QCOMPARE(reopened.RecordCount(), 2);
        // The next month has no file.
        QVERIFY(!reopened.LoadMonth(At(2014, 4, 1, 0, 0, 0)));
        QCOMPARE(reopened.RecordCount(), 0);
    }

    void twentyByteRule()
    {
        CMessageHisNew store(m_home);
        QVERIFY(QFile::resize(MessagePath(QStringLiteral("nmw001100.cvm")), 20));
        QVERIFY(!store.HasNewMessages());
        QVERIFY(QFile::resize(MessagePath(QStringLiteral("nmw001100.cvm")), 21));
        QVERIFY(store.HasNewMessages());
    }

    // The new-messages file keeps the taken-over records until they are committed as archived.
    void takeOverSurvivesACrash()
    {
        const QString path = MessagePath(QStringLiteral("nmw001100.cvm"));
        {
            CMessageHisNew writer(m_home);
            for (int i = 0; i < 3; ++i)
                QVERIFY(writer.Log(QStringLiteral("警告"), At(2014, 3, 5, 9, 0, i), QStringLiteral("admin"),
                                   QStringLiteral("alarm %1").arg(i)));
        }
        const QByteArray before = PlainFile(QStringLiteral("nmw001100.cvm"));
        {
            CMessageHisNew viewer(m_home);
            QVERIFY(viewer.TakeOverNewMessages());
            QCOMPARE(Events(viewer).size(), 3);
            // The process ends here before the records reach a monthly file.
        }
        QCOMPARE(PlainFile(QStringLiteral("nmw001100.cvm")), before);
        CMessageHisNew restarted(m_home);
        QVERIFY(restarted.HasNewMessages());
        QVERIFY(restarted.TakeOverNewMessages());
        QCOMPARE(Events(restarted), (QStringList{QStringLiteral("alarm 0"), QStringLiteral("alarm 1"),
                                                 QStringLiteral("alarm 2")}));

        // A record logged while the taken-over ones are being archived stays in the file.
        QVERIFY(restarted.Log(QStringLiteral("系统"), At(2014, 3, 5, 9, 1, 0), QStringLiteral("bob"),
                              QStringLiteral("late")));
        QVERIFY(restarted.CommitTakeOver());
        QCOMPARE(PlainFile(QStringLiteral("nmw001100.cvm")),
                 Record("系统", "2014-3-5 09:01:00", "bob", "late"));
        QVERIFY(restarted.TakeOverNewMessages());
        QVERIFY(restarted.CommitTakeOver());
        QCOMPARE(QFileInfo(path).size(), 0);
    }

    void failedSaveKeepsTheText()
    {
        QDir(m_home + QStringLiteral("/message")).removeRecursively();
        {
            // A file where the message folder should be: nothing can be written.
            QFile blocker(m_home + QStringLiteral("/message"));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        CMessageHisNew store(m_home);
        Entry(store, QStringLiteral("系统"), At(2014, 3, 5, 8, 0, 0), QStringLiteral("admin"),
              QStringLiteral("kept"));
        QVERIFY(!store.Save());
        QVERIFY(store.HasUnsaved());
        QVERIFY(!store.TakeOverNewMessages());
        QVERIFY(QFile::remove(m_home + QStringLiteral("/message")));
        // A missing message folder is made on the next save.
        QVERIFY(store.Save());
        QVERIFY(PlainFile(QStringLiteral("nmw001100.cvm")).contains("kept"));
    }

    void damagedRecordDoesNotSwallowTheNext()
    {
        CMessageHis reader;
        const QByteArray good = Record("系统", "2014-3-5 08:00:00", "admin", "good");
        reader.SetLoadedText("<<mb>:\\<\\TYPE=系统\\><\\EVT=cut" + good + "<<mb>:\\<\\TYPE=x");
        QCOMPARE(reader.RecordCount(), 1);
        QCOMPARE(Events(reader), QStringList{QStringLiteral("good")});
    }
};

QTEST_GUILESS_MAIN(TestMessageStore)
#include "test_messagestore.moc"
