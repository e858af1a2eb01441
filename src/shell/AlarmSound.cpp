#include "shell/AlarmSound.h"

#include "base/AppSettings.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

CAlarmSound::CAlarmSound(QString warningPath, QString preAlarmPath)
    : m_warningPath(std::move(warningPath)), m_preAlarmPath(std::move(preAlarmPath))
{
}

CAlarmSound::~CAlarmSound() = default;

std::unique_ptr<CAlarmSound> CAlarmSound::FromHomeFolder()
{
    const QString folder = AppSettings::Instance().SoundFolder();
    return std::make_unique<CAlarmSound>(folder + QStringLiteral("/warning.wav"),
                                         folder + QStringLiteral("/prealarm.wav"));
}

QSoundEffect *CAlarmSound::Effect(AlarmSoundKind kind)
{
    auto &effect = kind == AlarmSoundKind::Alarm ? m_warning : m_preAlarm;
    if (!effect) {
        const QString &path = kind == AlarmSoundKind::Alarm ? m_warningPath : m_preAlarmPath;
        // Without a file there is nothing to play; do not even touch the audio back-end.
        if (!QFileInfo(path).isFile())
            return nullptr;
        effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl::fromLocalFile(path));
        effect->setLoopCount(QSoundEffect::Infinite);
    }
    return effect.get();
}

void CAlarmSound::PlayLooped(AlarmSoundKind kind)
{
    if (QSoundEffect *effect = Effect(kind))
        effect->play();
}

void CAlarmSound::Stop()
{
    for (auto *effect : {m_warning.get(), m_preAlarm.get()}) {
        if (effect)
            effect->stop();
    }
}
