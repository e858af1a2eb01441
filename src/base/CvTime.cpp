#include "base/CvTime.h"

#include <QDateTime>
#include <QTimeZone>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace CvTime {
namespace {

constexpr qint64 kDay = 86400;
constexpr qint64 kJulianDayOf1970 = 2440588;
// Two local times that differ by less than this cannot fall into different offsets of one
// moment: no zone moves its offset by as much at once.
constexpr qint64 kAmbiguityMargin = 2 * kDay;

qint64 FloorDiv(qint64 a, qint64 b)
{
    return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0);
}

LocalFields FieldsOfLocalSeconds(qint64 local)
{
    const qint64 days = FloorDiv(local, kDay);
    const int secondOfDay = static_cast<int>(local - days * kDay);
    LocalFields f;
    QDate::fromJulianDay(days + kJulianDayOf1970).getDate(&f.year, &f.month, &f.day);
    f.hour = secondOfDay / 3600;
    f.minute = secondOfDay / 60 % 60;
    f.second = secondOfDay % 60;
    return f;
}

// The system's zone and the stretch of time around the last conversion in which its offset
// from UTC stays the same: conversions inside the stretch are arithmetic, one outside asks the
// zone once for the next stretch. Asking the system on every call would read its zone file each
// time when TZ is unset, so the zone is looked up again only when TZ changes or, with TZ unset,
// when the system's zone id has changed (checked at most once a second).
class ZoneCache {
public:
    // The offset from UTC at utc; empty when the system's zone is unknown to Qt.
    std::optional<qint64> OffsetAt(qint64 utc)
    {
        Follow();
        if (!m_zone.isValid())
            return std::nullopt;
        if (utc < m_from || utc >= m_to)
            Enter(utc);
        return m_offset;
    }
    [[nodiscard]] qint64 LastOffset() const { return m_offset; }
    // The stretch of the last conversion holds utc with room for any other offset's solution.
    [[nodiscard]] bool SurelyInside(qint64 utc) const
    {
        return m_from <= utc - kAmbiguityMargin && utc + kAmbiguityMargin < m_to;
    }

private:
    void Follow()
    {
        const char *tz = std::getenv("TZ");
        bool changed = !m_looked || (tz != nullptr) != m_tzSet || (tz && m_tz != tz);
        const auto now = std::chrono::steady_clock::now();
        if (!changed && !tz && now - m_checked >= std::chrono::seconds(1)) {
            m_checked = now;
            changed = QTimeZone::systemTimeZoneId() != m_zoneId;
        }
        if (!changed)
            return;
        m_looked = true;
        m_tzSet = tz != nullptr;
        m_tz = tz ? tz : "";
        m_checked = now;
        m_zoneId = QTimeZone::systemTimeZoneId();
        // An empty TZ means UTC to the C library, which converts when this cache cannot.
        m_zone = (m_tzSet && m_tz.empty()) ? QTimeZone::utc() : QTimeZone(m_zoneId);
        m_from = std::numeric_limits<qint64>::max();
        m_to = std::numeric_limits<qint64>::min();
    }

    void Enter(qint64 utc)
    {
        const QDateTime at = QDateTime::fromSecsSinceEpoch(utc, Qt::UTC);
        m_offset = m_zone.offsetFromUtc(at);
        // A transition at utc itself begins the stretch.
        const QTimeZone::OffsetData before = m_zone.previousTransition(at.addSecs(1));
        const QTimeZone::OffsetData after = m_zone.nextTransition(at);
        m_from =
            before.atUtc.isValid() ? before.atUtc.toSecsSinceEpoch() : std::numeric_limits<qint64>::min();
        m_to = after.atUtc.isValid() ? after.atUtc.toSecsSinceEpoch() : std::numeric_limits<qint64>::max();
        if (utc < m_from || utc >= m_to) {
            m_from = utc;
            m_to = utc + 1;
        }
    }

    bool m_looked = false;
    bool m_tzSet = false;
    std::string m_tz;
    QByteArray m_zoneId;
    QTimeZone m_zone;
    std::chrono::steady_clock::time_point m_checked;
    qint64 m_from = 0;
    qint64 m_to = 0;
    qint64 m_offset = 0;
};

ZoneCache &Zone()
{
    thread_local ZoneCache zone;
    return zone;
}

} // namespace

qint64 Now()
{
    return QDateTime::currentSecsSinceEpoch();
}

LocalFields ToLocal(qint64 seconds)
{
    if (const std::optional<qint64> offset = Zone().OffsetAt(seconds))
        return FieldsOfLocalSeconds(seconds + *offset);
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
    // Away from any change of offset a local time has exactly one moment; near one (a gap or a
    // repeated hour) the system's own rules decide.
    const qint64 local = (d.toJulianDay() - kJulianDayOf1970) * kDay + t.msecsSinceStartOfDay() / 1000;
    ZoneCache &zone = Zone();
    if (const std::optional<qint64> offset = zone.OffsetAt(local - zone.LastOffset())) {
        const qint64 candidate = local - *offset;
        if (zone.SurelyInside(candidate))
            return candidate;
    }
    const QDateTime dt(d, t, Qt::LocalTime);
    if (!dt.isValid())
        return std::nullopt;
    return dt.toSecsSinceEpoch();
}

QString FormatDateTime(qint64 seconds)
{
    const LocalFields f = ToLocal(seconds);
    char text[64];
    const int n = std::snprintf(text, sizeof text, "%d-%d-%d %.2d:%.2d:%.2d", f.year, f.month, f.day, f.hour,
                                f.minute, f.second);
    return QString::fromLatin1(text, n);
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
    return QString::asprintf("%s%.2lld:%.2lld:%.2lld", negative ? "-" : "", static_cast<long long>(s / 3600),
                             static_cast<long long>((s / 60) % 60), static_cast<long long>(s % 60));
}

} // namespace CvTime
