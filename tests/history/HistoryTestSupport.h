#pragma once

// Fixtures of the history tests: a sample store filled as a loaded record, in Chinese with
// the Celsius unit unless a test changes it.
#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "storage/CNodeDataSave.h"
#include "storage/HistoryTables.h"

#include <QDir>
#include <QFile>

#include <array>
#include <functional>

namespace historytest {

inline qint64 At(int y, int mo, int d, int h, int mi, int s)
{
    return *CvTime::FromLocal({y, mo, d, h, mi, s});
}

inline void UseChineseCelsius()
{
    AppSettings &a = AppSettings::Instance();
    a.SetHomeFolder(qEnvironmentVariable("CORVANE_TEST_HOME", QDir::currentPath()));
    a.SetLanguage(UiLanguage::Chinese);
    a.SetCurrentTempUnit(a.CelsiusText());
}

// A record of n samples every 'interval' seconds from 2024-03-01 08:00:00; value(i, channel)
// gives the stored values. The whole record is the selected range, statistics computed.
inline void Fill(CNodeDataSave &s, quint8 type, int n, const std::function<float(int, int)> &value,
                 qint64 interval = 60)
{
    s.Clear();
    s.deviceType = type;
    s.name = QStringLiteral("冷库A");
    s.nodeKey = QStringLiteral("00124b0001a2b3c4");
    s.interval = interval;
    s.recordStart = At(2024, 3, 1, 8, 0, 0);
    const bool dual = (type & 0x08) != 0;
    for (int i = 0; i < n; ++i) {
        s.ch1()[i] = value(i, 0);
        s.ch2()[i] = dual ? value(i, 1) : 0.0f;
    }
    s.ch1Count = n;
    s.ch2Count = dual ? n : 0;
    s.FillSampleTimes();
    s.recordEnd = s.times()[n - 1];
    (void)s.ComputeRangeStatistics(s.recordStart, s.recordEnd);
}

inline void SetAlarm(CNodeDataSave &s, float l1, float u1, float l2, float u2)
{
    s.alarmFlag = 4;
    s.ch1Lower = l1;
    s.ch1Upper = u1;
    s.ch2Lower = l2;
    s.ch2Upper = u2;
}

// A downloaded block with alarm setting 4 and the limits l1, u1, l2, u2, stored as received whole.
inline HistoryBlockInput Block(const QString &key, quint8 type, qint64 start, qint64 interval,
                               const QByteArray &data, const std::array<float, 4> &limits)
{
    HistoryBlockInput b;
    b.nodeKey = key;
    b.nodeName = QStringLiteral("冷库");
    b.deviceType = type;
    b.startTime = start;
    b.interval = interval;
    b.endTime = start + interval * (data.size() / ((type & 0x08) ? 4 : 2) - 1);
    b.alarmFlag = 4;
    b.ch1Lower = limits[0];
    b.ch1Upper = limits[1];
    b.ch2Lower = limits[2];
    b.ch2Upper = limits[3];
    b.data = data;
    b.total = b.received = data.size();
    return b;
}

// Samples in hundredths, low byte first (both channels alternately for a dual logger).
inline QByteArray Hundredths(const QList<int> &values)
{
    QByteArray bytes;
    for (const int v : values) {
        bytes.append(char(v & 0xFF));
        bytes.append(char((v >> 8) & 0xFF));
    }
    return bytes;
}

inline QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QString TempPath(const QString &name)
{
    const QString dir = qEnvironmentVariable("CORVANE_TEST_HOME", QDir::tempPath());
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + name;
}

} // namespace historytest
