#include "base/CvTime.h"

#include <QDateTime>
#include <QTimeZone>

namespace CvTime {

qint64 Now()
{
    return QDateTime::currentSecsSinceEpoch();
}

LocalFields ToLocal(qint64 seconds)
{
    const QDateTime dt = QDateTime::fromSecsSinceEpoch(seconds, Qt::LocalTime);
    const QDate d = dt.date();
    const QTime t = dt.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

std::optional<qint64> FromLocal(const LocalFields &f)
{
    const QDate d(f.year, f.month, f.day);
    const QTime t(f.hour, f.minute, f.second);
    if (!d.isValid() || !t.isValid())
        return std::nullopt;
    const QDateTime dt(d, t, Qt::LocalTime);
    if (!dt.isValid())
        return std::nullopt;
    return dt.toSecsSinceEpoch();
}

QString FormatDateTime(qint64 seconds)
{
    const LocalFields f = ToLocal(seconds);
    return QString::asprintf("%d-%d-%d %.2d:%.2d:%.2d", f.year, f.month, f.day, f.hour, f.minute,
                             f.second);
}

QString FormatListInterval(qint64 seconds)
{
    if (seconds == 0)
        return {};
    return QString::asprintf("%.2d:%.2d:%.2d", int((seconds / 3600) % 24), int((seconds / 60) % 60),
                             int(seconds % 60));
}

QString FormatSpan(qint64 seconds)
{
    const bool negative = seconds < 0;
    const qint64 s = negative ? -seconds : seconds;
    return QString::asprintf("%s%.2lld:%.2lld:%.2lld", negative ? "-" : "",
                             static_cast<long long>(s / 3600), static_cast<long long>((s / 60) % 60),
                             static_cast<long long>(s % 60));
}

} // namespace CvTime
