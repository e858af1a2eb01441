#include "history/core/HistoryTexts.h"

#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "base/ValueFormat.h"
#include "base/NodeType.h"

namespace HistoryTexts {

ChannelUnits UnitsOf(quint8 deviceType)
{
    const AppSettings &s = AppSettings::Instance();
    ChannelUnits u;
    if (NodeType::HasChannel1(deviceType))
        u.ch1 = s.CurrentTempUnit();
    if (NodeType::Class(deviceType) == NodeType::DualTemp)
        u.ch2 = s.CurrentTempUnit();
    else if (NodeType::Class(deviceType) == NodeType::TempHumidity)
        u.ch2 = s.HumidityText();
    return u;
}

bool IsTemperatureUnit(const QString &unit)
{
    const AppSettings &s = AppSettings::Instance();
    return !unit.isEmpty() && (unit == s.CelsiusText() || unit == s.FahrenheitText());
}

double Shown(double value, const QString &unit)
{
    return unit == AppSettings::Instance().FahrenheitText() ? value * 1.8 + 32.0 : value;
}

QString Number(double value, const QString &unit)
{
    return QString::asprintf("%.2f", Shown(value, unit));
}

QString WithUnit(double value, const QString &unit)
{
    return FormatValue(float(value), unit);
}

QString SummaryNumber(double value, const QString &unit)
{
    return QString::asprintf("%4.2f", Shown(value, unit)) + unit;
}

QString Moment(qint64 seconds)
{
    return seconds == 0 ? QString() : CvTime::FormatDateTime(seconds);
}

QString Interval(qint64 seconds)
{
    return CvTime::FormatListInterval(seconds);
}

bool ShowsChannel1(quint8 deviceType)
{
    const quint8 c = NodeType::Class(deviceType);
    return c == NodeType::SingleTemp || c == NodeType::DualTemp || c == NodeType::TempHumidity;
}

bool ShowsChannel2(quint8 deviceType)
{
    return NodeType::HasChannel2(deviceType);
}

int SamplesOfLength(qint64 dataLength, quint8 deviceType)
{
    const int channels =
        (NodeType::HasChannel1(deviceType) ? 1 : 0) + (NodeType::HasChannel2(deviceType) ? 1 : 0);
    return channels == 0 ? 0 : int(dataLength / (2 * channels));
}

QString RecordLimits(quint8 alarmFlag, quint8 deviceType, int channel, float lower, float upper)
{
    const bool has = channel == 0 ? NodeType::HasChannel1(deviceType) : NodeType::HasChannel2(deviceType);
    if (alarmFlag != 4 || !has)
        return {};
    const ChannelUnits units = UnitsOf(deviceType);
    const QString &unit = channel == 0 ? units.ch1 : units.ch2;
    const auto limit = [&unit](float v) { return v == kNoValue ? QStringLiteral(" ") : Number(v, unit); };
    return QLatin1Char('[') + limit(lower) + QStringLiteral(", ") + limit(upper) + QLatin1Char(']') + unit;
}

} // namespace HistoryTexts
