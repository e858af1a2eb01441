#include "shell/core/AppSettings.h"

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

QString AppSettings::SettingsFilePath() const { return HomePath(QStringLiteral("profiler/sysmaneger.ini")); }
QString AppSettings::UserFilePath() const { return HomePath(QStringLiteral("profiler/user.ruf")); }
QString AppSettings::DatabaseFolder() const { return HomePath(QStringLiteral("database")); }
QString AppSettings::MessageFolder() const { return HomePath(QStringLiteral("message")); }
QString AppSettings::DataSaveFolder() const { return HomePath(QStringLiteral("datasave")); }
QString AppSettings::SoundFolder() const { return HomePath(QStringLiteral("sound")); }
QString AppSettings::LangFolder() const { return HomePath(QStringLiteral("lang")); }

QString AppSettings::ReadKey(const QString &section, const QString &key) const
{
    QSettings ini(SettingsFilePath(), QSettings::IniFormat);
    return ini.value(section + QLatin1Char('/') + key, QString()).toString();
}

bool AppSettings::WriteKey(const QString &section, const QString &key, const QString &value)
{
    QSettings ini(SettingsFilePath(), QSettings::IniFormat);
    ini.setValue(section + QLatin1Char('/') + key, value);
    ini.sync();
    return ini.status() == QSettings::NoError;
}

void AppSettings::SetLanguage(UiLanguage language)
{
    m_language = language;
    m_strings.Load(language, LangFolder());
}
