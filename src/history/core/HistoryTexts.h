#pragma once

#include "storage/CNodeDataSave.h"

#include <QString>

// Text rules shared by the history pages and the exports: channel units, the Fahrenheit
// display, moments and intervals. Comparisons always use the stored value (°C, %RH); only
// the shown number is converted.
namespace HistoryTexts {

// Values at or below this mark carry no measurement.
inline constexpr float kNoMeasurement = -1000.0f;

struct ChannelUnits {
    QString ch1;
    QString ch2;
};

// Channel 1: the current temperature unit for a logger; channel 2: the temperature unit for
// the dual-temperature logger, the humidity unit for the temperature-humidity logger.
[[nodiscard]] ChannelUnits UnitsOf(quint8 deviceType);
[[nodiscard]] bool IsTemperatureUnit(const QString &unit);
// The number shown for a stored value: value x 1.8 + 32 under the Fahrenheit unit.
[[nodiscard]] double Shown(double value, const QString &unit);
// "%.2f" of the shown number (no unit).
[[nodiscard]] QString Number(double value, const QString &unit);
// "%.2f" of the shown number followed by the unit.
[[nodiscard]] QString WithUnit(double value, const QString &unit);
// "%4.2f" of the shown number followed by the unit (the workbook's summary).
[[nodiscard]] QString SummaryNumber(double value, const QString &unit);
// "%d-%d-%d %.2d:%.2d:%.2d" in local time; empty for 0.
[[nodiscard]] QString Moment(qint64 seconds);
// "%.2d:%.2d:%.2d" with whole days dropped (90000 s gives "01:00:00"); empty for 0.
[[nodiscard]] QString Interval(qint64 seconds);
// Which channels the data page shows: single logger channel 1, dual loggers both.
[[nodiscard]] bool ShowsChannel1(quint8 deviceType);
[[nodiscard]] bool ShowsChannel2(quint8 deviceType);

// The record list's sample count: data length / (2 x channels), 0 for a type without channels.
[[nodiscard]] int SamplesOfLength(qint64 dataLength, quint8 deviceType);
// The record list's alarm column of a channel (0 or 1): "[lower, upper]unit" when the alarm
// is in force and the type has the channel, a limit holding the "not set" mark as " ";
// otherwise empty.
[[nodiscard]] QString RecordLimits(quint8 alarmFlag, quint8 deviceType, int channel, float lower,
                                   float upper);

} // namespace HistoryTexts
