// Main window: exit question, Enter and Escape, progress, message bar, alarms.
#include "ShellFakes.h"

#include "base/AppSettings.h"
#include "shell/CCorvaneManagerDlg.h"
#include "shell/CViewPlace.h"

#include <QLabel>
#include <QLineEdit>
#include <QMovie>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class TestMainWindow : public QObject {
    Q_OBJECT

private:
    QStringList m_soundCalls;
    std::shared_ptr<ScriptedPrompt> m_prompt;

    std::unique_ptr<CCorvaneManagerDlg> MakeWindow()
    {
        m_soundCalls.clear();
        m_prompt = std::make_shared<ScriptedPrompt>();
        return std::make_unique<CCorvaneManagerDlg>(std::make_unique<FakeAlarmSound>(&m_soundCalls),
                                                    m_prompt);
    }
    static QPushButton *Button(CCorvaneManagerDlg &dlg, const char *name)
    {
        return Child<QPushButton>(dlg, name);
    }

private slots:
    void initTestCase() { ResetSettingsToChinese(); }

    void init() { AppSettings::Instance().SetSoundAlarm(false); }

    void exitQuestionEnterAndEscape()
    {
        auto dlg = MakeWindow();
        dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));

        // Enter and Escape close nothing and ask nothing, also with a button focused.
        Button(*dlg, "btn1204")->setFocus();
        for (int key : {Qt::Key_Return, Qt::Key_Escape})
            QTest::keyClick(Button(*dlg, "btn1204"), Qt::Key(key));
        QCoreApplication::processEvents();
        QVERIFY(dlg->isVisible());
        QVERIFY(m_prompt->questions.isEmpty());

        // Exit answered No: the window stays, by button and by the close box.
        m_prompt->yes = false;
        QTest::mouseClick(Button(*dlg, "btn1204"), Qt::LeftButton);
        QVERIFY(!dlg->close());
        QVERIFY(dlg->isVisible());
        QCOMPARE(m_prompt->questions, QStringList(2, QStringLiteral("确定要退出程序吗？")));

        // Yes closes it.
        m_prompt->yes = true;
        QTest::mouseClick(Button(*dlg, "btn1204"), Qt::LeftButton);
        QVERIFY(!dlg->isVisible());
    }

    void progressIsClamped()
    {
        auto dlg = MakeWindow();
        auto *bar = dlg->findChild<QProgressBar *>(QStringLiteral("progress1227"));
        for (const auto &[given, shown] : {std::pair{150, 110}, std::pair{-5, 0}}) {
            dlg->OnStatusChanged(QStringLiteral("下载"), given);
            QCOMPARE(bar->value(), shown);
        }
        QCOMPARE(dlg->findChild<QLabel *>(QStringLiteral("lbl1224"))->text(), QStringLiteral("下载"));
    }

    void messageBarColourByType_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QString>("shown");
        QTest::newRow("alarm") << "警告" << QColor(255, 60, 60) << "警告: t";
        QTest::newRow("no type") << "" << QColor(Qt::black) << "t";
    }
    void messageBarColourByType()
    {
        QFETCH(QString, type);
        QFETCH(QColor, colour);
        auto dlg = MakeWindow();
        auto *bar = dlg->findChild<QLineEdit *>(QStringLiteral("edit1221"));
        // A previous message of another colour must not linger.
        dlg->OnNewMessage(KindOfWord(QStringLiteral("设置")), QStringLiteral("x"));
        dlg->OnNewMessage(KindOfWord(type), QStringLiteral("t"));
        QTEST(bar->text(), "shown");
        QCOMPARE(bar->palette().color(QPalette::Text), colour);
    }

    void alarmSounds_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("soundAlarm");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<bool>("animated");
        QTest::newRow("pre-alarm, sound alarm off")
            << "预警" << false << QStringList{"stop", "play:prealarm"} << false;
        QTest::newRow("alarm, sound alarm off: silent animation") << "警告" << false << QStringList{} << true;
        QTest::newRow("download") << "下载" << true << QStringList{} << false;
    }
    void alarmSounds()
    {
        QFETCH(QString, type);
        QFETCH(bool, soundAlarm);
        QFETCH(bool, animated);
        AppSettings::Instance().SetSoundAlarm(soundAlarm);
        auto dlg = MakeWindow();
        dlg->OnNewMessage(KindOfWord(type), QStringLiteral("reading"));
        QTEST(m_soundCalls, "calls");
        QCOMPARE(dlg->findChild<QLabel *>(QStringLiteral("pic1177"))->movie()->state() == QMovie::Running,
                 animated);
    }

    void newMessageButtonStopsAlarmAndLostNodeWantsFrame()
    {
        AppSettings::Instance().SetSoundAlarm(true);
        auto dlg = MakeWindow();
        auto *movie = dlg->findChild<QLabel *>(QStringLiteral("pic1177"))->movie();
        QSignalSpy frame(dlg.get(), &CCorvaneManagerDlg::alarmFrameWanted);
        dlg->OnNewMessage(KindOfWord(QStringLiteral("警告")), QStringLiteral("a"));
        // A pre-alarm after an alarm replaces the sound but leaves the animation running.
        dlg->OnNewMessage(KindOfWord(QStringLiteral("预警")), QStringLiteral("b"));
        QCOMPARE(m_soundCalls, (QStringList{"stop", "play:alarm", "stop", "play:prealarm"}));
        QCOMPARE(movie->state(), QMovie::Running);
        QCOMPARE(frame.count(), 0);

        // The "new message" button points the message view at the newest and stops the alarm.
        QSignalSpy messageView(dlg->Place(CorvaneView::Message), &CViewPlace::notified);
        QTest::mouseClick(Button(*dlg, "btn1179"), Qt::LeftButton);
        QCOMPARE(movie->state(), QMovie::NotRunning);
        QCOMPARE(m_soundCalls.last(), QStringLiteral("stop"));
        QCoreApplication::processEvents();
        QCOMPARE(messageView.count(), 1);

        dlg->OnNewMessage(KindOfWord(QStringLiteral("警告")), QStringLiteral("c"), true); // node lost
        QCOMPARE(frame.count(), 1);
    }

    void unreadCheckAndSystemMessage()
    {
        auto dlg = MakeWindow();
        auto *newMessage = Button(*dlg, "btn1179");
        bool unread = true;
        dlg->SetUnreadCheck([&unread] { return unread; });
        QVERIFY(newMessage->isEnabled());
        unread = false;
        dlg->OnCheckUnread();
        QVERIFY(!newMessage->isEnabled());
        // A recorded system message is new again, shown from the event loop like a posted one.
        dlg->RecordSystemMessage(QStringLiteral("声音报警打开"));
        QCoreApplication::processEvents();
        QVERIFY(newMessage->isEnabled());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
