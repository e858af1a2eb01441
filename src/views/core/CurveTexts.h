#pragma once

#include "views/core/CurvePainter.h"

#include <QString>

// The texts around a curve picture: the unit labels beside the check boxes and the read-outs
// of the samples under the cursor.
namespace CurveTexts {

// "Channel 1 unit:" + unit for a logger with that channel; empty for a channel the device type
// lacks.
[[nodiscard]] QString UnitLabel(int c, quint8 type, const QString &unit);

// Time of the cursor sample of channel c (empty when 0) and, for a value inside (-1000, 1000),
// "   %.2f" of it (in Fahrenheit when the channel's unit is) with the unit. Empty for a hidden
// channel or without a cursor sample.
[[nodiscard]] QString ReadOut(int c, const CurveSamples &samples, const CurveFrame &frame,
                              const CurvePlotState &state);

// The visible text of a channel's check box.
[[nodiscard]] QString ChannelBoxText(int c);

} // namespace CurveTexts
