#pragma once

#include <QString>

#include <memory>

class QSoundEffect;

enum class AlarmSoundKind { Alarm, PreAlarm };

// The alarm and pre-alarm sounds of the main window. Playing one sound loops it until Stop();
// the main window stops any sound before it starts another.
class IAlarmSound {
public:
    virtual ~IAlarmSound() = default;
    virtual void PlayLooped(AlarmSoundKind kind) = 0;
    virtual void Stop() = 0;
};

// Plays the wave files of the home folder's sound/ folder. A missing file or audio device
// plays nothing and raises no error.
class CAlarmSound final : public IAlarmSound {
public:
    CAlarmSound(QString warningPath, QString preAlarmPath);
    ~CAlarmSound() override;

    void PlayLooped(AlarmSoundKind kind) override;
    void Stop() override;

    // sound/warning.wav and sound/prealarm.wav of the current home folder.
    [[nodiscard]] static std::unique_ptr<CAlarmSound> FromHomeFolder();

private:
    // The effect of a file, made on first use; null when the file does not exist.
    QSoundEffect *Effect(AlarmSoundKind kind);

    QString m_warningPath;
    QString m_preAlarmPath;
    std::unique_ptr<QSoundEffect> m_warning;
    std::unique_ptr<QSoundEffect> m_preAlarm;
};
