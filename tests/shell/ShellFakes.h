#pragma once

#include "base/AppSettings.h"
#include "base/UserPrompt.h"
#include "shell/AlarmSound.h"

#include "../views/ScriptedPrompt.h"

#include <QDir>
#include <QStringList>

// Records every call as a word: "stop", "play:alarm", "play:prealarm".
class FakeAlarmSound final : public IAlarmSound {
public:
    explicit FakeAlarmSound(QStringList *calls) : m_calls(calls) {}
    void PlayLooped(AlarmSoundKind kind) override
    {
        m_calls->append(kind == AlarmSoundKind::Alarm ? QStringLiteral("play:alarm")
                                                      : QStringLiteral("play:prealarm"));
    }
    void Stop() override { m_calls->append(QStringLiteral("stop")); }

private:
    QStringList *m_calls;
};

using viewtest::ScriptedPrompt;

// The test's own home folder.
inline QString Home()
{
    const QString env = qEnvironmentVariable("CORVANE_TEST_HOME");
    return env.isEmpty() ? QDir::currentPath() : env;
}

// Process-wide settings back to their start values, in the test home, with the Chinese texts.
inline void ResetSettingsToChinese()
{
    AppSettings &s = AppSettings::Instance();
    s.Reset();
    s.SetHomeFolder(Home());
    s.SetLanguage(UiLanguage::Chinese);
}

// A named child control; a missing one ends the test run, since every later step would fail.
template <typename T> T *Child(QWidget &parent, const char *name)
{
    auto *child = parent.findChild<T *>(QString::fromLatin1(name));
    if (!child)
        qFatal("no child %s", name);
    return child;
}
