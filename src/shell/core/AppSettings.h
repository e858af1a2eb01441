#pragma once

#include "shell/core/StringTable.h"

#include <QString>

// The process-wide settings of the shell: home folder, settings file, interface language with
// its string table, unit texts, sound-alarm switch and the logged-in user. One instance, reached
// through Instance(); tests may Reset() it.
class AppSettings {
public:
    [[nodiscard]] static AppSettings &Instance();
    // Back to the state of a fresh process (tests).
    void Reset();

    // The home folder (default: the executable's folder); every path below is built from it.
    void SetHomeFolder(const QString &folder);
    [[nodiscard]] QString HomeFolder() const { return m_home; }
    // home + "/" + relative.
    [[nodiscard]] QString HomePath(const QString &relative) const;
    [[nodiscard]] QString SettingsFilePath() const; // profiler/sysmaneger.ini
    [[nodiscard]] QString UserFilePath() const;     // profiler/user.ruf
    [[nodiscard]] QString DatabaseFolder() const;   // database
    [[nodiscard]] QString MessageFolder() const;    // message
    [[nodiscard]] QString DataSaveFolder() const;   // datasave
    [[nodiscard]] QString SoundFolder() const;      // sound
    [[nodiscard]] QString LangFolder() const;       // lang

    // One key of the settings file; missing keys read as the empty text.
    [[nodiscard]] QString ReadKey(const QString &section, const QString &key) const;
    // Writes one key at once; false when the file cannot be written.
    [[nodiscard]] bool WriteKey(const QString &section, const QString &key, const QString &value);

    // Interface language (fixed for the process) and its string table.
    void SetLanguage(UiLanguage language);
    [[nodiscard]] UiLanguage Language() const { return m_language; }
    [[nodiscard]] bool IsChinese() const { return m_language == UiLanguage::Chinese; }
    [[nodiscard]] const StringTable &Strings() const { return m_strings; }
    [[nodiscard]] int FontCharset() const { return m_fontCharset; }
    void SetFontCharset(int charset) { m_fontCharset = charset; }

    [[nodiscard]] QString CelsiusText() const { return QStringLiteral("°C"); }
    [[nodiscard]] QString FahrenheitText() const { return QStringLiteral("°F"); }
    [[nodiscard]] QString HumidityText() const { return QStringLiteral("%RH"); }
    [[nodiscard]] QString CurrentTempUnit() const { return m_tempUnit; }
    void SetCurrentTempUnit(const QString &unitText) { m_tempUnit = unitText; }
    [[nodiscard]] bool IsFahrenheit() const { return m_tempUnit == FahrenheitText(); }

    [[nodiscard]] bool SoundAlarm() const { return m_soundAlarm; }
    void SetSoundAlarm(bool on) { m_soundAlarm = on; }

    [[nodiscard]] QString UserName() const { return m_userName; }
    [[nodiscard]] int UserType() const { return m_userType; }
    [[nodiscard]] bool IsAdministrator() const { return m_userType == 1; }
    void SetUser(const QString &name, int type)
    {
        m_userName = name;
        m_userType = type;
    }

private:
    AppSettings();

    QString m_home;
    UiLanguage m_language = UiLanguage::English;
    StringTable m_strings;
    int m_fontCharset = 0;
    QString m_tempUnit;
    bool m_soundAlarm = false;
    QString m_userName;
    int m_userType = 0;
};
