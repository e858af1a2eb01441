#include "ShellFakes.h"

#include "base/AppSettings.h"
#include "messages/CMessageHisNew.h"
#include "messages/CUserStore.h"
#include "messages/ui/AccountInput.h"
#include "shell/CCorvaneManagerApp.h"

#include <QDir>
#include <QFile>
#include <QtTest>

// The order of the start-up: settings, user store, login, and the main window only after a login.
class TestStartup : public QObject {
    Q_OBJECT

    QString m_home;

    void WriteFile(const QString &relative, const QByteArray &bytes)
    {
        QFile f(m_home + QLatin1Char('/') + relative);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

private slots:
    void init()
    {
        m_home = qEnvironmentVariable("CORVANE_TEST_HOME", QDir::currentPath()) + QStringLiteral("/start");
        QDir(m_home).removeRecursively();
        for (const char *sub : {"profiler", "message", "database"})
            QDir().mkpath(m_home + QLatin1Char('/') + QLatin1String(sub));
    }

    void parsesOptions()
    {
        QString error;
        auto options = ParseStartOptions(
            {"--home", "/tmp/x", "--port", "/dev/ttyA", "--demo", "--port", "/dev/ttyB"}, error);
        QVERIFY(options && options->demo);
        QCOMPARE(options->home, QStringLiteral("/tmp/x"));
        QCOMPARE(options->ports, (QStringList{"/dev/ttyA", "/dev/ttyB"}));
        QVERIFY(!ParseStartOptions({QStringLiteral("--verbose")}, error));
        QVERIFY(error.contains(QStringLiteral("--verbose")));
    }

    void cancelledLoginEndsWithoutMainWindow()
    {
        // An archived month, remembered as the last one written.
        CMessageHis writer(m_home);
        writer.NewEntry();
        writer.SetEvent(QStringLiteral("archived"));
        writer.Commit();
        QVERIFY(writer.SaveToMonth(1394000000));
        WriteFile(QStringLiteral("profiler/sysmaneger.ini"),
                  "[language]\nlang=1\n[tempunit]\ntunit=0f\n[alaaudio]\nala=1\n"
                  "[lastmsgfile]\nfilename=msg201403.cvm\n");
        CUserStore probe;
        probe.SetFilePath(m_home + QStringLiteral("/profiler/user.ruf"));
        QCOMPARE(probe.CreateFile(QStringLiteral("admin"), QStringLiteral("adminpass"), 1),
                 UserFileStatus::Ok);

        StartOptions options;
        options.home = m_home;
        CCorvaneManagerApp app(options);
        int loginCalls = 0;
        int mainWindowCalls = 0;
        app.SetLoginRunner([&](CUserStore &store) {
            ++loginCalls;
            // The store is loaded and the settings applied before the login runs.
            [&] {
                QCOMPARE(store.Names(), QStringList{QStringLiteral("admin")});
                QVERIFY(AppSettings::Instance().IsChinese());
                QVERIFY(AppSettings::Instance().IsFahrenheit());
                QVERIFY(AppSettings::Instance().SoundAlarm());
                // The archive knows its month but has not read it: the login waits for nothing.
                const CMessageHis &archive = MessageStores::Instance().archive;
                QCOMPARE(archive.ReadFileName(), QStringLiteral("msg201403.cvm"));
                QVERIFY(archive.LoadedText().isEmpty());
            }();
            return false;
        });
        app.SetMainWindowRunner([&](const StartOptions &) { return ++mainWindowCalls, 7; });
        QCOMPARE(app.InitInstance(QLocale(QStringLiteral("de_DE"))), 0);
        QCOMPARE(loginCalls, 1);
        QCOMPARE(mainWindowCalls, 0);
        QVERIFY(!app.LoggedIn());
        // The new-messages file exists from the start.
        QVERIFY(QFile::exists(m_home + QStringLiteral("/message/nmw001100.cvm")));
    }

    void loginRunsTheMainWindow()
    {
        StartOptions options;
        options.home = m_home;
        options.demo = true;
        CCorvaneManagerApp app(options);
        ScriptedPrompt prompt;
        app.SetPrompt(&prompt);
        app.SetLoginRunner([](CUserStore &) { return true; });
        bool demo = false;
        app.SetMainWindowRunner([&](const StartOptions &o) {
            demo = o.demo;
            return 3;
        });
        // No settings file: English, and Celsius outside the US.
        QCOMPARE(app.InitInstance(QLocale(QStringLiteral("en_GB"))), 3);
        QVERIFY(demo);
        QVERIFY(!AppSettings::Instance().IsChinese());
        QVERIFY(!AppSettings::Instance().IsFahrenheit());
        QVERIFY(prompt.shown.isEmpty());
    }

    void damagedUserFileIsReported()
    {
        WriteFile(QStringLiteral("profiler/user.ruf"), QByteArray(84, '\0'));
        WriteFile(QStringLiteral("profiler/sysmaneger.ini"), "[language]\nlang=1\n");
        StartOptions options;
        options.home = m_home;
        CCorvaneManagerApp app(options);
        ScriptedPrompt prompt;
        app.SetPrompt(&prompt);
        int accounts = -1;
        app.SetLoginRunner([&](CUserStore &store) {
            accounts = store.Count();
            return false;
        });
        QCOMPARE(app.InitInstance(QLocale(QStringLiteral("en_US"))), 0);
        QCOMPARE(prompt.errors, QStringList{QStringLiteral("|错误:文件损坏user.ruf")});
        QCOMPARE(accounts, 0);
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
