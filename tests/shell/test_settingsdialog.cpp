// Settings dialog: database creation and choice, temperature unit, sound alarm, language, and
// the failures shown to the operator.
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

} // namespace

class TestSettingsDialog : public QObject {
    Q_OBJECT

private:
    std::shared_ptr<ScriptedPrompt> m_prompt;
    std::unique_ptr<CCorvaneODBC> m_db;

    std::unique_ptr<CSystmeConfigDlg> MakeDialog()
    {
        m_prompt = std::make_shared<ScriptedPrompt>();
        return std::make_unique<CSystmeConfigDlg>(*m_db, m_prompt);
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
        auto *edit = Child<QLineEdit>(*dlg, "edit1067");
        auto *create = Child<QPushButton>(*dlg, "btn1228");
        auto *list = Child<QComboBox>(*dlg, "combo1229");

        struct Case {
            const char *typed;
            const char *created; // the database made, or nullptr
            bool refused;        // a refusal notice
        };
        const Case cases[] = {
            {"plant", "plant.mdb", false},
            {"plant.mdb", nullptr, false}, // exists already: nothing
            // Only a name ending in the suffix is left alone: anything else could never be opened.
            {"old.mdb.bak", "old.mdb.bak.mdb", false},
            {"../escape", nullptr, true},
        };
        int listed = 0;
        for (const Case &c : cases) {
            m_prompt->shown.clear();
            edit->setText(QString::fromUtf8(c.typed));
            QTest::mouseClick(create, Qt::LeftButton);
            if (c.created) {
                const QString name = QString::fromUtf8(c.created);
                QVERIFY2(QFileInfo(DbFolder() + '/' + name).isFile(), c.typed);
                QVERIFY(list->findText(name) >= 0);
                ++listed;
            }
            QCOMPARE(m_prompt->shown.size(), c.refused ? 1 : 0);
            QCOMPARE(list->count(), listed);
        }
        QVERIFY(!QFileInfo::exists(Home() + QStringLiteral("/escape.mdb")));
        // The existing file was left as it was: still a database, not overwritten.
        QVERIFY(m_db->OpenDatabase(QStringLiteral("plant.mdb")) == 1);
        m_db->CloseDatabase();
    }

    // An ordinary user may not create a database but may choose one.
    void setDatabase()
    {
        QVERIFY(m_db->CreateDatabase(DbFolder() + QStringLiteral("/site.mdb")) == 1);
        AppSettings::Instance().SetUser(QStringLiteral("op"), 0);
        auto dlg = MakeDialog();
        QVERIFY(!Child<QPushButton>(*dlg, "btn1228")->isEnabled());
        Child<QLineEdit>(*dlg, "edit1067")->setText(QStringLiteral("mine"));
        dlg->DatabasePage()->OnCreate();
        QVERIFY(!QFileInfo::exists(DbFolder() + QStringLiteral("/mine.mdb")));
        QCOMPARE(Child<QComboBox>(*dlg, "combo1229")->currentText(), QStringLiteral("site.mdb"));
        QTest::mouseClick(Child<QPushButton>(*dlg, "btn1230"), Qt::LeftButton);
        QCOMPARE(IniValue(QStringLiteral("database/mdb")), QStringLiteral("site.mdb"));
        QCOMPARE(m_prompt->shown.size(), 1);

        // A file that vanished meanwhile is not set.
        QVERIFY(QFile::remove(DbFolder() + QStringLiteral("/site.mdb")));
        QVERIFY(AppSettings::Instance().WriteKey(QStringLiteral("database"), QStringLiteral("mdb"), "x.mdb"));
        QTest::mouseClick(Child<QPushButton>(*dlg, "btn1230"), Qt::LeftButton);
        QCOMPARE(IniValue(QStringLiteral("database/mdb")), QStringLiteral("x.mdb"));
        QCOMPARE(m_prompt->shown.size(), 1);
    }

    void temperatureUnit_data()
    {
        QTest::addColumn<QString>("stored"); // tunit before, empty for missing
        QTest::addColumn<bool>("celsius");   // checked on opening
        QTest::addColumn<bool>("fahrenheit");
        QTest::addColumn<QString>("click");   // radio clicked before apply, or empty
        QTest::addColumn<QString>("written"); // tunit after, empty for missing
        QTest::addColumn<QString>("unit");    // current unit after
        QTest::newRow("missing, apply with neither checked") << "" << false << false << ""
                                                             << ""
                                                             << "°C";
        QTest::newRow("0f to Celsius") << "0f" << false << true << "radio1231"
                                       << "0c"
                                       << "°C";
        QTest::newRow("missing to Fahrenheit") << "" << false << false << "radio1232"
                                               << "0f"
                                               << "°F";
    }
    void temperatureUnit()
    {
        QFETCH(QString, stored);
        QFETCH(QString, click);
        AppSettings &s = AppSettings::Instance();
        if (!stored.isEmpty())
            QVERIFY(s.WriteKey(QStringLiteral("tempunit"), QStringLiteral("tunit"), stored));
        auto dlg = MakeDialog();
        QTEST(Child<QRadioButton>(*dlg, "radio1231")->isChecked(), "celsius");
        QTEST(Child<QRadioButton>(*dlg, "radio1232")->isChecked(), "fahrenheit");
        if (!click.isEmpty())
            dlg->findChild<QRadioButton *>(click)->click();
        QTest::mouseClick(Child<QPushButton>(*dlg, "btn1234"), Qt::LeftButton);
        QTEST(IniValue(QStringLiteral("tempunit/tunit")), "written");
        QTEST(s.CurrentTempUnit(), "unit");
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
        Child<QRadioButton>(*dlg, "radio1235")->click();
        QTest::mouseClick(Child<QPushButton>(*dlg, "btn1237"), Qt::LeftButton);
        QCOMPARE(m_prompt->shown.size(), 1);
        QVERIFY(m_prompt->shown.at(0).startsWith(QStringLiteral("无法写入设置文件：")));
        // The sound switch (applied by its button, not by the box alone) still reaches the
        // running program, and says so.
        m_prompt->shown.clear();
        Child<QCheckBox>(*dlg, "check1233")->click();
        QVERIFY(!AppSettings::Instance().SoundAlarm());
        QTest::mouseClick(Child<QPushButton>(*dlg, "btn1011"), Qt::LeftButton);
        QVERIFY(AppSettings::Instance().SoundAlarm());
        QCOMPARE(m_prompt->shown.size(), 1);
        QVERIFY(QDir(IniPath()).removeRecursively());
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "test_settingsdialog.moc"
