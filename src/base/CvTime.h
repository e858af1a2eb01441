#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// The one place where seconds since 1970 (UTC) meet local calendar time, using the system's
// time zone and daylight saving rules. Nothing else converts to or from local time. The zone and
// its current offset are kept between calls (per thread) and looked up again when the time leaves
// the offset's stretch or the system's zone changes (TZ, or the zone id with TZ unset).
namespace CvTime {

struct LocalFields {
    int year = 1970;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool operator==(const LocalFields &o) const
    {
        return year == o.year && month == o.month && day == o.day && hour == o.hour && minute == o.minute &&
               second == o.second;
    }
};

// The current time in seconds since 1970 UTC.
[[nodiscard]] qint64 Now();

[[nodiscard]] LocalFields ToLocal(qint64 seconds);

// Local calendar fields to seconds; empty when the fields name no valid date or time.
// A local time skipped by a daylight-saving change resolves to the moment after the gap.
[[nodiscard]] std::optional<qint64> FromLocal(const LocalFields &fields);

// "%d-%d-%d %.2d:%.2d:%.2d": the list form of a time.
[[nodiscard]] QString FormatDateTime(qint64 seconds);

// "%.2d:%.2d:%.2d": an interval in hours, minutes and seconds (hours may exceed 99).
[[nodiscard]] QString FormatSpan(qint64 seconds);

// "%.2d:%.2d:%.2d" of hours modulo 24, minutes and seconds, as the lists show an interval
// (90000 s gives "01:00:00"); empty for 0.
[[nodiscard]] QString FormatListInterval(qint64 seconds);

} // namespace CvTime
