#pragma once

#include "base/StringTable.h"

#include <QLocale>
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
    // The same on a settings file named explicitly (stores that work on another home folder).
    [[nodiscard]] static QString ReadIniKey(const QString &file, const QString &section, const QString &key);
    [[nodiscard]] static bool WriteIniKey(const QString &file, const QString &section, const QString &key,
                                          const QString &value);

    // Keys of the settings file (each section holds exactly one key).
    struct Key {
        const char *section;
        const char *key;
    };
    static constexpr Key kLanguage{"language", "lang"};
    static constexpr Key kTempUnit{"tempunit", "tunit"};
    static constexpr Key kSoundAlarm{"alaaudio", "ala"};
    static constexpr Key kDatabase{"database", "mdb"};
    static constexpr Key kLastDataFilePath{"lastdatafilepath", "datafilepath"};
    static constexpr Key kLastDataFileSavePath{"lastdatafilesavepath", "datafilesavepath"};
    static constexpr Key kLastMessageFile{"lastmsgfile", "filename"};
    [[nodiscard]] QString Read(Key key) const;
    [[nodiscard]] bool Write(Key key, const QString &value);

    // Values written for the keys above.
    static constexpr const char *kLangChinese = "1";
    static constexpr const char *kLangSystem = "0";
    static constexpr const char *kLangEnglish = "2";
    static constexpr const char *kUnitCelsius = "0c";
    static constexpr const char *kUnitFahrenheit = "0f";

    // The rules of the start-up, free of any file so that they can be checked one by one.
    // "1" gives Chinese, "0" the system's language, anything else (also empty) English.
    [[nodiscard]] static UiLanguage LanguageFromSetting(const QString &lang, const QLocale &system);
    // A system whose default language is Simplified Chinese.
    [[nodiscard]] static bool IsChineseSystem(const QLocale &system);
    // Fahrenheit only where the locale measures in US units: most of the world uses Celsius.
    [[nodiscard]] static bool DefaultIsFahrenheit(const QLocale &system);
    // "0c" Celsius, "0f" Fahrenheit (exact, lower case), anything else keeps the default.
    [[nodiscard]] static bool FahrenheitFromSetting(const QString &tunit, bool defaultFahrenheit);
    // On exactly for "1".
    [[nodiscard]] static bool SoundAlarmFromSetting(const QString &ala);

    // Applies the settings file as the start-up does: language with its string table and font
    // character set, unit texts and current unit, sound alarm.
    void LoadStartupSettings(const QLocale &system);

    // The remembered file and folder names of the settings file.
    [[nodiscard]] QString DatabaseFileName() const { return Read(kDatabase); }
    [[nodiscard]] QString LastMessageFile() const { return Read(kLastMessageFile); }
    [[nodiscard]] QString LastDataFilePath() const { return Read(kLastDataFilePath); }
    [[nodiscard]] bool SetLastDataFilePath(const QString &path) { return Write(kLastDataFilePath, path); }
    [[nodiscard]] QString LastDataFileSavePath() const { return Read(kLastDataFileSavePath); }
    [[nodiscard]] bool SetLastDataFileSavePath(const QString &path)
    {
        return Write(kLastDataFileSavePath, path);
    }

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
    static constexpr int kCharsetAnsi = 0;
    static constexpr int kCharsetGb2312 = 134;
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
