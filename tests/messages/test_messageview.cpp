// The message tab on real widgets: taking new messages over into the pages, the dialog rows and
// the history page, "清空", the history picker's delayed refresh, and a new-messages file that
// cannot be opened (TZ=Asia/Shanghai).
#include "MessageTestKit.h"

#include "base/AppSettings.h"
#include "messages/ui/CFormviewMessage.h"
#include "messages/ui/CFormviewMessagePages.h"

#include <QDateEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

using msgtest::At;

class TestMessageView : public QObject {
    Q_OBJECT

    QString m_home;
    std::unique_ptr<CMessageHisNew> m_fresh;
    std::unique_ptr<CMessageHis> m_archive;
    std::unique_ptr<CFormviewMessage> m_view;
    std::vector<std::vector<MessageRow>> m_dialogs;

    static int EventWidth(const QTableView *list) { return list->columnWidth(MessageColumns::ColEvent); }

private slots:
    void initTestCase() { AppSettings::Instance().SetLanguage(UiLanguage::Chinese); }

    void init()
    {
        m_home = msgtest::FreshHome(QStringLiteral("view"));
        m_fresh = std::make_unique<CMessageHisNew>(m_home);
        m_archive = std::make_unique<CMessageHis>(m_home);
        m_view = std::make_unique<CFormviewMessage>(*m_fresh, *m_archive);
        m_dialogs.clear();
        m_view->SetDialogRunner(
            [this](QWidget *, const std::vector<MessageRow> &rows) { m_dialogs.push_back(rows); });
    }

    void takeOverFillsThePages()
    {
        const MessageWords w = MessageWords::Load();
        QVERIFY(m_fresh->Log(w.preAlarm, At(2014, 3, 5, 8, 7, 9), QStringLiteral("op"),
                             QString(80, QLatin1Char('p'))));
        QVERIFY(m_fresh->Log(w.set, At(2014, 3, 5, 8, 7, 10), QStringLiteral("op"), QStringLiteral("set")));
        QVERIFY(m_fresh->Log(w.alarm, At(2014, 3, 6, 0, 0, 0), QStringLiteral("op"),
                             QString(70, QLatin1Char('a'))));
        m_view->History()->Picker()->setDate(QDate(2014, 3, 1));
        m_view->History()->RefreshMonth();
        QCOMPARE(m_view->History()->Model().rowCount(), 0);
        QSignalSpy unread(m_view.get(), &CFormviewMessage::unreadCheckWanted);

        m_view->ProcessNewMessages();
        QCOMPARE(m_view->AlarmList()->Model().rowCount(), 2);
        QCOMPARE(m_view->RecentList()->Model().rowCount(), 3);
        QCOMPARE(EventWidth(m_view->RecentList()->List()), 520);
        QCOMPARE(m_dialogs.size(), size_t(1));
        QCOMPARE(m_dialogs.front().size(), size_t(3));
        QCOMPARE(unread.count(), 1);
        // The history page shows the archived month again: the pre-alarm is not in it.
        QCOMPARE(m_view->History()->Model().rowCount(), 2);
        QCOMPARE(m_view->History()->Model().RowAt(0).event, QStringLiteral("set"));

        // "清空" empties the page and narrows its column.
        m_view->RecentList()->findChild<QPushButton *>(QStringLiteral("btn1222"))->click();
        QCOMPARE(m_view->RecentList()->Model().rowCount(), 0);
        QCOMPARE(EventWidth(m_view->RecentList()->List()), 487);
    }

    void pickerChangesRefreshOnce()
    {
        CMessageHistoryForm *history = m_view->History();
        const int before = history->Refreshes();
        history->Picker()->setDate(QDate(2013, 1, 1));
        QTest::qWait(300);
        history->Picker()->setDate(QDate(2013, 2, 1));
        QCOMPARE(history->Refreshes(), before);
        QTRY_COMPARE_WITH_TIMEOUT(history->Refreshes(), before + 1, 5000);
        QTest::qWait(1500);
        QCOMPARE(history->Refreshes(), before + 1);
    }

    void unopenableNewMessagesShowNoDialog()
    {
        const QString path = m_home + QStringLiteral("/message/") + QLatin1String(CMessageHisNew::kFileName);
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path));
        QSignalSpy unread(m_view.get(), &CFormviewMessage::unreadCheckWanted);
        m_view->ProcessNewMessages();
        QVERIFY(m_dialogs.empty());
        QCOMPARE(unread.count(), 0);
    }
};

QTEST_MAIN(TestMessageView)
#include "test_messageview.moc"
