// Taking the new messages over: time texts, month groups, the archived types, the page lists,
// the two-phase hand-over of the new-messages file and the list models
// (TZ=Asia/Shanghai).
#include "MessageTestKit.h"

#include "messages/MessageCodec.h"
#include "messages/MessageListModels.h"
#include "messages/MessageTakeOver.h"

#include <QAbstractItemModelTester>
#include <QColor>
#include <QFile>

using namespace msgtest;

namespace {

struct Raw {
    QString type;
    QString time;
    QString event;
};

QStringList Events(const std::vector<MessageRow> &rows)
{
    QStringList events;
    for (const MessageRow &row : rows)
        events << row.event;
    return events;
}

} // namespace

class TestMessageTakeOver : public QObject {
    Q_OBJECT

    QString m_home;
    MessageWords m_words;

    QString MessagePath(const QString &name) const { return m_home + QStringLiteral("/message/") + name; }

    // Appends records with the time text exactly as given to the new-messages file.
    void WriteNew(const QList<Raw> &records)
    {
        QByteArray plain;
        for (const Raw &r : records)
            plain += Record(r.type.toUtf8(), r.time.toUtf8(), "op", MessageCodec::Escape(r.event).toUtf8());
        QFile file(MessagePath(QLatin1String(CMessageHisNew::kFileName)));
        QVERIFY(file.open(QIODevice::Append));
        const QByteArray stored = MessageCodec::Scramble(
            plain, MessageCodec::DeriveKey(QLatin1String(CMessageHisNew::kFileName)), file.size());
        QCOMPARE(file.write(stored), stored.size());
    }
    // The events of a monthly file, read back as the history page reads it.
    QStringList MonthEvents(qint64 inMonth)
    {
        CMessageHis reader(m_home);
        if (!reader.LoadMonth(inMonth))
            return {QStringLiteral("<no file>")};
        QStringList events;
        for (int i = 0; i < reader.RecordCount(); ++i) {
            if (reader.GetRecord(i))
                events << reader.TimeText() + QLatin1Char('|') + reader.EventText();
        }
        return events;
    }

private slots:
    void initTestCase() { m_words = MessageWords::Load(); }

    void init() { m_home = FreshHome(QStringLiteral("takeover")); }

    void timeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("expected"); // -1: unreadable
        QTest::newRow("as written") << "2014-3-5 08:07:09" << At(2014, 3, 5, 8, 7, 9);
        QTest::newRow("leading zeros, trailing junk") << "2014-03-05 8:7:9xyz" << At(2014, 3, 5, 8, 7, 9);
        QTest::newRow("no seconds") << "2014-3-5 08:07" << qint64(-1);
        QTest::newRow("30 February") << "2014-2-30 08:00:00" << qint64(-1);
        QTest::newRow("before 1900") << "1899-12-31 23:59:59" << qint64(-1);
    }
    void timeText()
    {
        QFETCH(QString, text);
        QTEST(ParseMessageTime(text).value_or(-1), "expected");
    }

    void takeOverSortsAndArchives()
    {
        const MessageWords &w = m_words;
        WriteNew(
            {{w.alarm, QStringLiteral("2014-1-31 23:59:59"), QStringLiteral("a1")},
             {w.preAlarm, QStringLiteral("2014-2-1 00:00:00"), QStringLiteral("pre")},
             {w.set, QStringLiteral("2014-2-1 00:00:01"), QStringLiteral("s1")},
             {w.download, QStringLiteral("2015-1-10 10:00:00"), QStringLiteral("d1")},
             {w.system, QStringLiteral("2014-3-5 08:07"), QStringLiteral("no seconds")},
             {QStringLiteral("连接"), QStringLiteral("2014-3-5 08:07:09"), QStringLiteral("other")},
             {w.system, QStringLiteral("2014-2-03 9:05:07"), QStringLiteral("sys")},
             {w.otherLanguage[2], QStringLiteral("2014-2-04 10:00:00"), QStringLiteral("other language")}});
        CMessageHisNew fresh(m_home);
        CMessageHis archive(m_home);
        const qint64 now = At(2016, 6, 1, 12, 0, 0);
        const TakeOverResult r = TakeOverMessages(fresh, archive, w, now);

        QVERIFY(r.opened && r.saved);
        QCOMPARE(Events(r.all),
                 QStringList({"a1", "pre", "s1", "d1", "no seconds", "other", "sys", "other language"}));
        QCOMPARE(Events(r.alarm), QStringList({"a1", "pre"}));
        QCOMPARE(Events(r.recent), QStringList({"a1", "pre", "s1", "d1", "other", "sys", "other language"}));
        QCOMPARE(r.unreadable, 1);
        // Month groups in file order: a month met again later starts a new group (and file append).
        QCOMPARE(QStringList(r.monthFiles.begin(), r.monthFiles.end()),
                 QStringList(
                     {"msg201401.cvm", "msg201402.cvm", "msg201501.cvm", "msg201606.cvm", "msg201402.cvm"}));
        QCOMPARE(MonthEvents(At(2014, 1, 15, 0, 0, 0)), QStringList({"2014-1-31 23:59:59|a1"}));
        QCOMPARE(MonthEvents(At(2014, 2, 15, 0, 0, 0)),
                 QStringList(
                     {"2014-2-1 00:00:01|s1", "2014-2-3 09:05:07|sys", "2014-2-4 10:00:00|other language"}));
        QCOMPARE(MonthEvents(At(2016, 6, 15, 0, 0, 0)),
                 QStringList({"2016-6-1 12:00:00|2014-3-5 08:07 no seconds"}));
        QCOMPARE(MonthEvents(At(2014, 3, 15, 0, 0, 0)), QStringList({"<no file>"}));

        // The new-messages file gave the records up: a second take-over finds none.
        QVERIFY(!fresh.HasNewMessages());
        QCOMPARE(TakeOverMessages(fresh, archive, w, now).all.size(), size_t(0));
    }

    void failedArchiveKeepsNewMessages()
    {
        WriteNew({{m_words.alarm, QStringLiteral("2014-1-31 23:59:59"), QStringLiteral("kept")},
                  {m_words.alarm, QStringLiteral("2014-2-1 00:00:01"), QStringLiteral("next month")}});
        // A folder in place of January's file: that month cannot be written.
        QVERIFY(QDir().mkpath(MessagePath(QStringLiteral("msg201401.cvm"))));
        CMessageHisNew fresh(m_home);
        CMessageHis archive(m_home);
        const TakeOverResult failed = TakeOverMessages(fresh, archive, m_words, 0);
        QVERIFY(failed.opened);
        QVERIFY(!failed.saved);
        QVERIFY(fresh.HasNewMessages());
        // January's text did not slip into February's file.
        QCOMPARE(MonthEvents(At(2014, 2, 15, 0, 0, 0)), QStringList({"2014-2-1 00:00:01|next month"}));

        QVERIFY(QDir(MessagePath(QStringLiteral("msg201401.cvm"))).removeRecursively());
        const TakeOverResult again = TakeOverMessages(fresh, archive, m_words, 0);
        QVERIFY(again.saved);
        QCOMPARE(Events(again.all), QStringList({"kept", "next month"}));
        QCOMPARE(MonthEvents(At(2014, 1, 15, 0, 0, 0)), QStringList({"2014-1-31 23:59:59|kept"}));
        QVERIFY(!fresh.HasNewMessages());
    }

    void historyModelFetchesOnDemand()
    {
        CMessageHis writer(m_home);
        const qint64 march = At(2014, 3, 5, 8, 7, 9);
        for (int i = 0; i < 3; ++i)
            Entry(writer, i == 1 ? m_words.otherLanguage[0] : m_words.alarm, march + i, QStringLiteral("op"),
                  i == 2 ? QString(80, QLatin1Char('y')) : QStringLiteral("e%1").arg(i));
        QVERIFY(writer.SaveToMonth(march));

        CMessageHis archive(m_home);
        MessageHistoryModel model(archive, m_words);
        QAbstractItemModelTester tester(&model);
        QVERIFY(model.LoadMonth(march));
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.index(1, MessageColumns::ColTime).data().toString(),
                 QStringLiteral("2014-3-5 08:07:10"));
        QCOMPARE(model.index(1, MessageColumns::ColEvent).data().toString(), QStringLiteral("e1"));
        // The other language's alarm word colours its row as an alarm.
        QCOMPARE(model.index(1, MessageColumns::ColEvent).data(Qt::ForegroundRole).value<QColor>(),
                 QColor(255, 60, 60));
        QCOMPARE(model.EventWidth(), 500);
        // The long event widens the column when it is first supplied.
        QCOMPARE(model.index(2, MessageColumns::ColEvent).data().toString().size(), 80);
        QCOMPARE(model.EventWidth(), 520);

        QVERIFY(!model.LoadMonth(At(2014, 4, 1, 0, 0, 0)));
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.EventWidth(), 500);
    }
};

QTEST_GUILESS_MAIN(TestMessageTakeOver)
#include "test_messagetakeover.moc"
