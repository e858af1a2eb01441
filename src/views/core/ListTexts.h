#pragma once

#include <QString>
#include <QtGlobal>

// Texts that every node list of the command views writes the same way.
namespace ListTexts {

// A time in the list form "%d-%d-%d %.2d:%.2d:%.2d"; empty for 0 (never).
[[nodiscard]] QString Time(qint64 seconds);
// An interval as "%.2d:%.2d:%.2d" of hours modulo 24, minutes and seconds (90000 s gives
// "01:00:00"); empty for 0.
[[nodiscard]] QString Interval(qint64 seconds);
// One alarm limit "%.2f", in degrees Fahrenheit when the unit is the Fahrenheit text; the
// no-value -2000.0 is a single space.
[[nodiscard]] QString Limit(float value, const QString &unit);
// "[" lower ", " upper "]" unit.
[[nodiscard]] QString Limits(float lower, float upper, const QString &unit);
// The 1-based position padded with "0" to three digits ("001"; from 1000 on the plain number),
// preceded by the marker of a pending command (empty for lists without one).
[[nodiscard]] QString RunningNumber(int position, const QString &marker = QString());

} // namespace ListTexts
