// Settings dialog: database creation and choice, temperature unit, sound alarm, language.
#include "ShellFakes.h"

#include "base/AppSettings.h"
#include "shell/CDatabaseConfigForm.h"
#include "shell/CSystemOptionForm.h"
#include "shell/CSystmeConfigDlg.h"
#include "shell/DatabaseErrorBox.h"
#include "storage/CCorvaneODBC.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

namespace {

QString DbFolder()
{
    return Home() + QStringLiteral("/database");
}

QString IniPath()
{
    return Home() + QStringLiteral("/profiler/sysmaneger.ini");
}

// The settings file as the program sees it, read afresh.
QString IniValue(const QString &key)
{
    return QSettings(IniPath(), QSettings::IniFormat).value(key).toString();
}

bool IniHas(const QString &key)
{
    return QSettings(IniPath(), QSettings::IniFormat).contains(key);
}

} // namespace

class TestSettingsDialog : public QObject {
    Q_OBJECT

private:
    std::shared_ptr<ScriptedPrompt> m_prompt;
    std::unique_ptr<CCorvaneODBC> m_db;

    std::unique_ptr<CSystmeConfigDlg> MakeDialog(bool startup = false)
    {
        m_prompt = std::make_shared<ScriptedPrompt>();
        auto dlg = std::make_unique<CSystmeConfigDlg>(*m_db, m_prompt);
        dlg->SetStartupFlag(startup);
        return dlg;
    }

private slots:
    void initTestCase()
    {
        ResetSettingsToChinese();
        m_db = std::make_unique<CCorvaneODBC>();
    }

    void init()
    {
        // A fresh home for every case: empty database folder, no settings file.
        QDir(DbFolder()).removeRecursively();
        QDir(Home() + QStringLiteral("/profiler")).removeRecursively();
        QVERIFY(QDir().mkpath(DbFolder()));
        QVERIFY(QDir().mkpath(Home() + QStringLiteral("/profiler")));
        AppSettings &s = AppSettings::Instance();
        s.SetUser(QStringLiteral("admin"), 1);
        s.SetSoundAlarm(false);
        s.SetCurrentTempUnit(s.CelsiusText());
    }

    void createDatabase()
    {
        auto dlg = MakeDialog();
        QSignalSpy messages(dlg.get(), &CSystmeConfigDlg::systemMessage);
        auto *edit = Child<QLineEdit>(*dlg, "edit1067");
        auto *create = Child<QPushButton>(*dlg, "btn1228");
        auto *list = Child<QComboBox>(*dlg, "combo1229");

        struct Case {
            const char *typed;
            const char *created; // the database made, or nullptr
            bool refused;        // a refusal notice
        };
        const Case cases[] = {
            {"", nullptr, false},
            {"plant", "plant.mdb", false},
            {"plant", nullptr, false}, // exists already: nothing
            {"plant.mdb", nullptr, false},
            // Only a name ending in the suffix is left alone: anything else could never be opened.
            {"old.mdb.bak", "old.mdb.bak.mdb", false},
            {"../escape", nullptr, true},
            {"a\\b", nullptr, true},
        };
        int listed = 0;
        for (const Case &c : cases) {
            messages.clear();
            m_prompt->notices.clear();
            edit->setText(QString::fromUtf8(c.typed));
            QTest::mouseClick(create, Qt::LeftButton);
            QCOMPARE(messages.count(), c.created ? 1 : 0);
            if (c.created) {
                const QString name = QString::fromUtf8(c.created);
                QVERIFY2(QFileInfo(DbFolder() + '/' + name).isFile(), c.typed);
                QCOMPARE(messages.at(0).at(0).toString(), QStringLiteral("创建数据库 ") + name);
                QVERIFY(list->findText(name) >= 0);
                ++listed;
            }
            QCOMPARE(m_prompt->notices.size(), c.refused ? 1 : 0);
            QCOMPARE(list->count(), listed);
        }
        QVERIFY(!QFileInfo::exists(Home() + QStringLiteral("/escape.mdb")));
        // The existing file was left as it was: still a database, not overwritten.
        QVERIFY(m_db->OpenDatabase(QStringLiteral("plant.mdb")) == 1);
        m_db->CloseDatabase();

        // A new dialog lists what the folder holds.
        auto again = MakeDialog();
        QCOMPARE(Child<QComboBox>(*again, "combo1229")->count(), 2);
    }

    void ordinaryUserCannotCreateButMaySet()
    {
        QVERIFY(m_db->CreateDatabase(DbFolder() + QStringLiteral("/site.mdb")) == 1);
        AppSettings::Instance().SetUser(QStringLiteral("op"), 0);
        auto dlg = MakeDialog();
        QVERIFY(!Child<QPushButton>(*dlg, "btn1228")->isEnabled());
        Child<QLineEdit>(*dlg, "edit1067")->setText(QStringLiteral("mine"));
        dlg->DatabasePage()->OnCreate();
        QVERIFY(!QFileInfo::exists(DbFolder() + QStringLiteral("/mine.mdb")));
        QVERIFY(Child<QPushButton>(*dlg, "btn1230")->isEnabled());
    }

    void setDatabase_data()
    {
        QTest::addColumn<bool>("startup");
        QTest::addColumn<QString>("notice");
        QTest::newRow("from the settings button")
            << false << QStringLiteral("系统数据库设置为：site.mdb\n\n如需加载该数据库，请重启程序！");
        QTest::newRow("at start-up: no restart hint")
            << true << QStringLiteral("系统数据库设置为：site.mdb\n\n");
    }
    void setDatabase()
    {
        QFETCH(bool, startup);
        QFETCH(QString, notice);
        QVERIFY(m_db->CreateDatabase(DbFolder() + QStringLiteral("/site.mdb")) == 1);
        auto dlg = MakeDialog(startup);
        QSignalSpy messages(dlg.get(), &CSystmeConfigDlg::systemMessage);
        QCOMPARE(Child<QComboBox>(*dlg, "combo1229")->currentText(), QStringLiteral("site.mdb"));
        QTest::mouseClick(Child<QPushButton>(*dlg, "btn1230"), Qt::LeftButton);
        QCOMPARE(IniValue(QStringLiteral("database/mdb")), QStringLiteral("site.mdb"));
        QCOMPARE(m_prompt->notices, QStringList{notice});
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.at(0).at(0).toString(), QStringLiteral("系统数据库设置为：site.mdb"));

        // A file that vanished meanwhile is not set.
        QVERIFY(QFile::remove(DbFolder() + QStringLiteral("/site.mdb")));
        QVERIFY(AppSettings::Instance().WriteKey(QStringLiteral("database"), QStringLiteral("mdb"), "x.mdb"));
        QTest::mouseClick(Child<QPushButton>(*dlg, "btn1230"), Qt::LeftButton);
        QCOMPARE(IniValue(QStringLiteral("database/mdb")), QStringLiteral("x.mdb"));
        QCOMPARE(m_prompt->notices.size(), 1);
        QCOMPARE(messages.count(), 1);
    }

    void temperatureUnit_data()
    {
        QTest::addColumn<QString>("stored"); // tunit before, "-" for missing
        QTest::addColumn<bool>("celsius");   // checked on opening
        QTest::addColumn<bool>("fahrenheit");
        QTest::addColumn<QString>("click");   // radio clicked before apply, or empty
        QTest::addColumn<QString>("written"); // tunit after, "-" for missing
        QTest::addColumn<QString>("unit");    // current unit after
        QTest::newRow("missing, apply with neither checked") << "-" << false << false << ""
                                                             << "-"
                                                             << "°C";
        QTest::newRow("0f to Celsius") << "0f" << false << true << "radio1231"
                                       << "0c"
                                       << "°C";
        QTest::newRow("missing to Fahrenheit") << "-" << false << false << "radio1232"
                                               << "0f"
                                               << "°F";
    }
    void temperatureUnit()
    {
        QFETCH(QString, stored);
        QFETCH(QString, click);
        QFETCH(QString, written);
        QFETCH(QString, unit);
        AppSettings &s = AppSettings::Instance();
        if (stored != QLatin1String("-"))
            QVERIFY(s.WriteKey(QStringLiteral("tempunit"), QStringLiteral("tunit"), stored));
        auto dlg = MakeDialog();
        QSignalSpy messages(dlg.get(), &CSystmeConfigDlg::systemMessage);
        auto *c = Child<QRadioButton>(*dlg, "radio1231");
        auto *f = Child<QRadioButton>(*dlg, "radio1232");
        QTEST(c->isChecked(), "celsius");
        QTEST(f->isChecked(), "fahrenheit");
        if (!click.isEmpty())
            dlg->findChild<QRadioButton *>(click)->click();
        QTest::mouseClick(Child<QPushButton>(*dlg, "btn1234"), Qt::LeftButton);
        if (written == QLatin1String("-"))
            QVERIFY(!IniHas(QStringLiteral("tempunit/tunit")));
        else
            QCOMPARE(IniValue(QStringLiteral("tempunit/tunit")), written);
        QCOMPARE(s.CurrentTempUnit(), unit);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.at(0).at(0).toString(), QStringLiteral("温度单位设置为：") + unit);
    }

    void soundAlarm()
    {
        AppSettings &s = AppSettings::Instance();
        QVERIFY(s.WriteKey(QStringLiteral("alaaudio"), QStringLiteral("ala"), QStringLiteral("1")));
        s.SetSoundAlarm(true);
        auto dlg = MakeDialog();
        QSignalSpy messages(dlg.get(), &CSystmeConfigDlg::systemMessage);
        auto *check = Child<QCheckBox>(*dlg, "check1233");
        QVERIFY(check->isChecked());
        check->click();
        // The check box alone changes nothing.
        QVERIFY(s.SoundAlarm());
        QCOMPARE(IniValue(QStringLiteral("alaaudio/ala")), QStringLiteral("1"));
        QCOMPARE(messages.count(), 0);
        QTest::mouseClick(Child<QPushButton>(*dlg, "btn1011"), Qt::LeftButton);
        QCOMPARE(IniValue(QStringLiteral("alaaudio/ala")), QStringLiteral("0"));
        QVERIFY(!s.SoundAlarm());
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.at(0).at(0).toString(), QStringLiteral("声音报警关闭"));
    }

    void databaseFailuresReachTheOperator()
    {
        ScriptedPrompt prompt;
        CPromptDatabaseErrorSink sink(prompt, nullptr);
        m_db->SetErrorSink(&sink);
        QVERIFY(m_db->OpenDatabase(QStringLiteral("absent.mdb")) == 0);
        m_db->SetErrorSink(nullptr);
        QCOMPARE(prompt.errors.size(), 1);
        QVERIFY2(prompt.errors.at(0).startsWith(LoadStr(14101 /* ERROR */) + '|'),
                 qPrintable(prompt.errors.at(0)));
    }

    void unwritableSettingsFileIsReported()
    {
        // A folder where the settings file should be: nothing can be written.
        QVERIFY(QDir().mkpath(IniPath()));
        auto dlg = MakeDialog();
        QSignalSpy messages(dlg.get(), &CSystmeConfigDlg::systemMessage);
        Child<QRadioButton>(*dlg, "radio1235")->click();
        QTest::mouseClick(Child<QPushButton>(*dlg, "btn1237"), Qt::LeftButton);
        QCOMPARE(m_prompt->notices.size(), 1);
        QVERIFY(m_prompt->notices.at(0).startsWith(QStringLiteral("无法写入设置文件：")));
        // The sound switch still applies to the running program, and says so.
        m_prompt->notices.clear();
        Child<QCheckBox>(*dlg, "check1233")->click();
        QTest::mouseClick(Child<QPushButton>(*dlg, "btn1011"), Qt::LeftButton);
        QVERIFY(AppSettings::Instance().SoundAlarm());
        QCOMPARE(m_prompt->notices.size(), 1);
        QCOMPARE(messages.count(), 1);
        QVERIFY(QDir(IniPath()).removeRecursively());
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "test_settingsdialog.moc"
