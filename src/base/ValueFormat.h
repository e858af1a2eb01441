#pragma once

#include <QString>

// The mark of a missing value in every float of the node model and the sample store (limits,
// extremes, samples). It is never converted or shown.
inline constexpr float kNoValue = -2000.0f;

[[nodiscard]] constexpr bool IsNoValue(float value)
{
    return value == kNoValue;
}

// A value as shown: "%.2f" followed by the channel's unit text. Temperatures are held in degrees
// Celsius; when the unit text is the Fahrenheit text the value is shown as value * 1.8 + 32.
// The no-value mark gives an empty text.
[[nodiscard]] QString FormatValue(float value, const QString &unit, const QString &fahrenheitText);

// The same with the Fahrenheit text of the process-wide settings.
[[nodiscard]] QString FormatValue(float value, const QString &unit);
