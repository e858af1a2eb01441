#include "views/core/ListTexts.h"

#include "base/CvTime.h"
#include "base/ValueFormat.h"

namespace ListTexts {

QString Time(qint64 seconds)
{
    return seconds == 0 ? QString() : CvTime::FormatDateTime(seconds);
}

QString Interval(qint64 seconds)
{
    return CvTime::FormatListInterval(seconds);
}

QString Limit(float value, const QString &unit)
{
    if (IsNoValue(value))
        return QStringLiteral(" ");
    return FormatValue(value, unit).chopped(int(unit.size())); // the number without its unit
}

QString Limits(float lower, float upper, const QString &unit)
{
    return QLatin1Char('[') + Limit(lower, unit) + QStringLiteral(", ") + Limit(upper, unit) +
           QLatin1Char(']') + unit;
}

QString RunningNumber(int position, const QString &marker)
{
    return marker + QString::number(position).rightJustified(3, QLatin1Char('0'));
}

} // namespace ListTexts
