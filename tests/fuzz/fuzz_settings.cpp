// libFuzzer harness for the settings file: any bytes are a sysmaneger.ini, read key by key as
// the start-up reads it and put through the start-up rules.
#include "base/AppSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>

#include <cstdint>
#include <cstdlib>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A fresh name each time: the settings reader caches files by name.
    static int serial = 0;
    const QString path = QDir::temp().filePath(
        QStringLiteral("fuzz_settings_%1_%2.ini").arg(QCoreApplication::applicationPid()).arg(++serial));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) ||
            f.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
            std::abort();
    }
    const AppSettings::Key keys[] = {AppSettings::kLanguage,         AppSettings::kTempUnit,
                                     AppSettings::kSoundAlarm,       AppSettings::kDatabase,
                                     AppSettings::kLastDataFilePath, AppSettings::kLastDataFileSavePath,
                                     AppSettings::kLastMessageFile};
    QString values[std::size(keys)];
    for (size_t i = 0; i < std::size(keys); ++i)
        values[i] = AppSettings::ReadIniKey(path, QLatin1String(keys[i].section), QLatin1String(keys[i].key));
    (void)AppSettings::LanguageFromSetting(values[0], QLocale::c());
    (void)AppSettings::FahrenheitFromSetting(values[1], false);
    if (AppSettings::SoundAlarmFromSetting(values[2]) != (values[2] == QLatin1String("1")))
        std::abort();
    QFile::remove(path);
    return 0;
}
