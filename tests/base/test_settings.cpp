#include "base/AppSettings.h"
#include "base/ValueFormat.h"

#include <QDir>
#include <QFile>
#include <QtTest>

// The start-up rules of the settings file, the default temperature unit and the string tables.
class TestSettings : public QObject {
    Q_OBJECT

    QString m_home;

    void WriteIni(const QByteArray &content)
    {
        QDir().mkpath(m_home + QStringLiteral("/profiler"));
        QFile f(m_home + QStringLiteral("/profiler/sysmaneger.ini"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }

private slots:
    void init()
    {
        m_home = qEnvironmentVariable("CORVANE_TEST_HOME", QDir::currentPath()) + QStringLiteral("/settings");
        QDir(m_home).removeRecursively();
        QDir().mkpath(m_home);
        AppSettings::Instance().Reset();
        AppSettings::Instance().SetHomeFolder(m_home);
    }

    // Fahrenheit by default only where the locale measures in US units; Chinese only when asked
    // for or when the setting follows a simplified-Chinese system.
    void startupReadsTheSettingsFile_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("system");
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<bool>("fahrenheit");
        QTest::addColumn<bool>("sound");
        QTest::newRow("all set") << QByteArray(
                                        "[language]\nlang=1\n[tempunit]\ntunit=0f\n[alaaudio]\nala=1\n")
                                 << "de_DE" << true << true << true;
        QTest::newRow("upper case unit ignored")
            << QByteArray("[language]\nlang=2\n[tempunit]\ntunit=0C\n[alaaudio]\nala=on\n") << "en_US"
            << false << true << false;
        QTest::newRow("0c, US") << QByteArray("[tempunit]\ntunit=0c\n") << "en_US" << false << false << false;
        QTest::newRow("0, zh_CN") << QByteArray("[language]\nlang=0\n") << "zh_CN" << true << false << false;
        QTest::newRow("0, zh_TW") << QByteArray("[language]\nlang=0\n") << "zh_TW" << false << false << false;
        QTest::newRow("empty file in Britain") << QByteArray() << "en_GB" << false << false << false;
        QTest::newRow("empty file in China") << QByteArray() << "zh_CN" << false << false << false;
    }
    void startupReadsTheSettingsFile()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, system);
        QFETCH(bool, chinese);
        WriteIni(ini);
        AppSettings &s = AppSettings::Instance();
        s.LoadStartupSettings(QLocale(system));
        QCOMPARE(s.IsChinese(), chinese);
        QCOMPARE(s.FontCharset(), chinese ? 134 : 0);
        QTEST(s.IsFahrenheit(), "fahrenheit");
        QTEST(s.SoundAlarm(), "sound");
        // The string table follows the language: 128 is "管理员" in Chinese only.
        QCOMPARE(LoadStr(128) == QStringLiteral("管理员"), chinese);
    }

    // The remembered names of other parts land in their own section and key of the file.
    void rememberedKeysUseTheirSections()
    {
        AppSettings &s = AppSettings::Instance();
        QVERIFY(s.SetLastDataFileSavePath(QStringLiteral("/data/b")));
        QVERIFY(s.Write(AppSettings::kDatabase, QStringLiteral("corvane.mdb")));
        QCOMPARE(s.ReadKey(QStringLiteral("lastdatafilesavepath"), QStringLiteral("datafilesavepath")),
                 QStringLiteral("/data/b"));
        QFile f(s.SettingsFilePath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("[database]\nmdb=corvane.mdb"));
    }

    // A temperature is shown in Fahrenheit only under the Fahrenheit text; the no-value mark never.
    void formatValue_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("shown");
        const QString f = AppSettings::Instance().FahrenheitText();
        QTest::newRow("celsius") << 21.5f << QStringLiteral("℃") << QStringLiteral("21.50℃");
        QTest::newRow("fahrenheit") << 21.5f << f << QStringLiteral("70.70") + f;
        QTest::newRow("no value") << kNoValue << f << QString();
    }
    void formatValue()
    {
        QFETCH(float, value);
        QFETCH(QString, unit);
        QTEST(FormatValue(value, unit), "shown");
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
