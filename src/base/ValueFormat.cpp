#include "base/ValueFormat.h"

#include "base/AppSettings.h"

QString FormatValue(float value, const QString &unit, const QString &fahrenheitText)
{
    if (IsNoValue(value))
        return {};
    const double shown = unit == fahrenheitText ? value * 1.8 + 32.0 : double(value);
    return QString::asprintf("%.2f", shown) + unit;
}

QString FormatValue(float value, const QString &unit)
{
    return FormatValue(value, unit, AppSettings::Instance().FahrenheitText());
}
