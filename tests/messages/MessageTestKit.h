#pragma once

// Shared set-up of the message tests: a fresh home folder, local times and entries written
// through the archive store.
#include "base/CvTime.h"
#include "messages/CMessageHisNew.h"

#include <QDir>
#include <QtTest>

namespace msgtest {

inline qint64 At(int y, int mo, int d, int h, int mi, int s)
{
    return *CvTime::FromLocal({y, mo, d, h, mi, s});
}

// CORVANE_TEST_HOME/sub, emptied, with its message and profiler folders.
inline QString FreshHome(const QString &sub)
{
    const QString home =
        qEnvironmentVariable("CORVANE_TEST_HOME", QDir::currentPath()) + QLatin1Char('/') + sub;
    QDir(home).removeRecursively();
    QDir().mkpath(home + QStringLiteral("/message"));
    QDir().mkpath(home + QStringLiteral("/profiler"));
    return home;
}

// One record as stored, before scrambling.
inline QByteArray Record(const QByteArray &type, const QByteArray &time, const QByteArray &user,
                         const QByteArray &event)
{
    return "<<mb>:\\<\\TYPE=" + type + "\\><\\TIME=" + time + "\\><\\USER=" + user + "\\><\\EVT=" + event +
           "\\>\\:<me>";
}

inline void Entry(CMessageHis &store, const QString &type, qint64 t, const QString &user,
                  const QString &event)
{
    store.NewEntry();
    store.SetType(type);
    store.SetTime(t);
    store.SetUser(user);
    store.SetEvent(event);
    store.Commit();
}

} // namespace msgtest
