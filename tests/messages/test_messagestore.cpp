#include "MessageTestKit.h"

#include "base/AppSettings.h"
#include "messages/MessageCodec.h"

#include <QFile>
#include <QSet>

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
        QCOMPARE(MessageCodec::Scramble(QByteArray("\x0F", 1), 0x00, 0), QByteArray("\xF0", 1));
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

    void keysAreNeverZeroOrFF()
    {
        QSet<int> keys;
        for (int y = 1990; y < 2100; ++y) {
            for (int m = 1; m <= 12; ++m) {
                const std::uint8_t key = MessageCodec::DeriveKey(MessageCodec::MonthlyFileName(y, m));
                QVERIFY(key != 0x00 && key != 0xFF);
                keys.insert(key);
            }
        }
        QVERIFY(keys.size() > 32);
    }

    void escaping_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        QTest::newRow("entity text") << "&lt;&gt;&amp"
                                     << "&amplt;&ampgt;&ampamp";
        QTest::newRow("markers") << "\\:<me>\\><mb>:\\"
                                 << "\\:&ltme&gt\\&gt&ltmb&gt:\\";
    }
    void escaping()
    {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        QCOMPARE(MessageCodec::Escape(text), stored);
        QCOMPARE(MessageCodec::Unescape(stored), text);
    }

    // The example event goes through the new-messages file and back.
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
        QVERIFY(store.TakeOverNewMessages());
        QVERIFY(store.GetNextRecord(0) > 0);
        QCOMPARE(store.TypeText(), QStringLiteral("系统"));
        QCOMPARE(store.TimeText(), QStringLiteral("2014-3-5 08:07:09"));
        QCOMPARE(store.UserText(), QStringLiteral("ad<m>in"));
        QCOMPARE(store.EventText(), QStringLiteral("a<b & c>d"));
    }

    void emptyEntriesAreNotCommitted()
    {
        CMessageHisNew store(m_home);
        store.NewEntry();
        store.Commit();
        QVERIFY(!store.HasUnsaved());
        QVERIFY(!store.Save());
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
        // Load month by time; the next month has no file.
        QVERIFY(reopened.LoadMonth(t1));
        QCOMPARE(reopened.RecordCount(), 2);
        QVERIFY(!reopened.LoadMonth(At(2014, 4, 1, 0, 0, 0)));
        QCOMPARE(reopened.RecordCount(), 0);
    }

    // The settings file is rewritten only when the remembered month changes, also by a store
    // made afresh; a hand-written settings file shows whether it was rewritten.
    void settingsWrittenOnlyWhenTheMonthChanges_data()
    {
        QTest::addColumn<qint64>("second");
        QTest::addColumn<QString>("remembered");
        QTest::newRow("same month") << At(2014, 3, 31, 23, 0, 0) << QString();
        QTest::newRow("next month") << At(2014, 4, 1, 0, 0, 0) << QStringLiteral("msg201404.cvm");
    }
    void settingsWrittenOnlyWhenTheMonthChanges()
    {
        QFETCH(qint64, second);
        QFETCH(QString, remembered);
        const QString ini = m_home + QStringLiteral("/profiler/sysmaneger.ini");
        {
            CMessageHis first(m_home);
            Entry(first, QStringLiteral("系统"), At(2014, 3, 1, 0, 0, 0), QStringLiteral("admin"),
                  QStringLiteral("a"));
            QVERIFY(first.SaveToMonth(At(2014, 3, 1, 0, 0, 0)));
        }
        const QByteArray byHand = "[lastmsgfile]\nfilename = msg201403.cvm\n; kept unless rewritten\n";
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(byHand) == byHand.size());
        f.close();
        CMessageHis again(m_home);
        Entry(again, QStringLiteral("系统"), second, QStringLiteral("admin"), QStringLiteral("b"));
        QVERIFY(again.SaveToMonth(second));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray now = f.readAll();
        if (remembered.isEmpty())
            QCOMPARE(now, byHand);
        else
            QCOMPARE(AppSettings::ReadIniKey(ini, QStringLiteral("lastmsgfile"), QStringLiteral("filename")),
                     remembered);
    }

    void monthWithoutFourDigitYearIsNotWritten()
    {
        CMessageHis archive(m_home);
        const qint64 early = At(999, 6, 1, 12, 0, 0);
        Entry(archive, QStringLiteral("系统"), early, QStringLiteral("admin"), QStringLiteral("old"));
        QVERIFY(!archive.SaveToMonth(early));
        QVERIFY(archive.HasUnsaved());
        QVERIFY(QDir(m_home + QStringLiteral("/message")).entryList(QDir::Files).isEmpty());
        QVERIFY(!archive.LoadMonth(early));
        // The text stays for the next save.
        QVERIFY(archive.SaveToMonth(At(2020, 1, 1, 0, 0, 0)));
        QVERIFY(PlainFile(QStringLiteral("msg202001.cvm")).contains("old"));
    }

    void twentyByteRule()
    {
        CMessageHisNew store(m_home);
        QFile f(MessagePath(QStringLiteral("nmw001100.cvm")));
        QVERIFY(!store.HasNewMessages());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(20, 'x'));
        f.close();
        QVERIFY(!store.HasNewMessages());
        QVERIFY(f.open(QIODevice::Append));
        f.write("x");
        f.close();
        QVERIFY(store.HasNewMessages());
        QVERIFY(QFile::remove(f.fileName()));
        QVERIFY(!store.HasNewMessages());
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
