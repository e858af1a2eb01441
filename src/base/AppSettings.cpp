#include "base/AppSettings.h"

#include <QCoreApplication>
#include <QSettings>

AppSettings &AppSettings::Instance()
{
    static AppSettings settings;
    return settings;
}

AppSettings::AppSettings()
{
    Reset();
}

void AppSettings::Reset()
{
    m_home = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    m_language = UiLanguage::English;
    m_strings.Load(m_language, QString());
    m_fontCharset = 0;
    m_tempUnit = CelsiusText();
    m_soundAlarm = false;
    m_userName.clear();
    m_userType = 0;
}

void AppSettings::SetHomeFolder(const QString &folder)
{
    m_home = folder;
    while (m_home.size() > 1 && m_home.endsWith(QLatin1Char('/')))
        m_home.chop(1);
}

QString AppSettings::HomePath(const QString &relative) const
{
    return m_home + QLatin1Char('/') + relative;
}

QString AppSettings::SettingsFilePath() const
{
    return HomePath(QStringLiteral("profiler/sysmaneger.ini"));
}
QString AppSettings::UserFilePath() const
{
    return HomePath(QStringLiteral("profiler/user.ruf"));
}
QString AppSettings::DatabaseFolder() const
{
    return HomePath(QStringLiteral("database"));
}
QString AppSettings::MessageFolder() const
{
    return HomePath(QStringLiteral("message"));
}
QString AppSettings::DataSaveFolder() const
{
    return HomePath(QStringLiteral("datasave"));
}
QString AppSettings::SoundFolder() const
{
    return HomePath(QStringLiteral("sound"));
}
QString AppSettings::LangFolder() const
{
    return HomePath(QStringLiteral("lang"));
}

QString AppSettings::ReadIniKey(const QString &file, const QString &section, const QString &key)
{
    QSettings ini(file, QSettings::IniFormat);
    return ini.value(section + QLatin1Char('/') + key, QString()).toString();
}

bool AppSettings::WriteIniKey(const QString &file, const QString &section, const QString &key,
                              const QString &value)
{
    QSettings ini(file, QSettings::IniFormat);
    ini.setValue(section + QLatin1Char('/') + key, value);
    ini.sync();
    return ini.status() == QSettings::NoError;
}

QString AppSettings::ReadKey(const QString &section, const QString &key) const
{
    return ReadIniKey(SettingsFilePath(), section, key);
}

bool AppSettings::WriteKey(const QString &section, const QString &key, const QString &value)
{
    return WriteIniKey(SettingsFilePath(), section, key, value);
}

QString AppSettings::Read(Key key) const
{
    return ReadKey(QLatin1String(key.section), QLatin1String(key.key));
}

bool AppSettings::Write(Key key, const QString &value)
{
    return WriteKey(QLatin1String(key.section), QLatin1String(key.key), value);
}

bool AppSettings::IsChineseSystem(const QLocale &system)
{
    return system.language() == QLocale::Chinese && system.script() != QLocale::TraditionalHanScript;
}

UiLanguage AppSettings::LanguageFromSetting(const QString &lang, const QLocale &system)
{
    if (lang == QLatin1String(kLangChinese))
        return UiLanguage::Chinese;
    if (lang == QLatin1String(kLangSystem) && IsChineseSystem(system))
        return UiLanguage::Chinese;
    return UiLanguage::English;
}

bool AppSettings::DefaultIsFahrenheit(const QLocale &system)
{
    return system.measurementSystem() == QLocale::ImperialUSSystem;
}

bool AppSettings::FahrenheitFromSetting(const QString &tunit, bool defaultFahrenheit)
{
    if (tunit == QLatin1String(kUnitCelsius))
        return false;
    if (tunit == QLatin1String(kUnitFahrenheit))
        return true;
    return defaultFahrenheit;
}

bool AppSettings::SoundAlarmFromSetting(const QString &ala)
{
    return ala == QLatin1String("1");
}

void AppSettings::LoadStartupSettings(const QLocale &system)
{
    const UiLanguage language = LanguageFromSetting(Read(kLanguage), system);
    SetLanguage(language);
    m_fontCharset = language == UiLanguage::Chinese ? kCharsetGb2312 : kCharsetAnsi;
    const bool fahrenheit = FahrenheitFromSetting(Read(kTempUnit), DefaultIsFahrenheit(system));
    m_tempUnit = fahrenheit ? FahrenheitText() : CelsiusText();
    m_soundAlarm = SoundAlarmFromSetting(Read(kSoundAlarm));
}

void AppSettings::SetLanguage(UiLanguage language)
{
    m_language = language;
    m_strings.Load(language, LangFolder());
}
