#include "views/core/CurveTexts.h"

#include "base/CvTime.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/NodeType.h"

namespace CurveTexts {

QString UnitLabel(int c, quint8 type, const QString &unit)
{
    const bool present =
        c == 0 ? NodeType::HasChannel1(type) && NodeType::IsLogger(type) : NodeType::HasChannel2(type);
    if (!present)
        return {};
    return LoadStr(c == 0 ? Sid::CurveCh1Unit : Sid::CurveCh2Unit) + unit;
}

QString ReadOut(int c, const CurveSamples &s, const CurveFrame &frame, const CurvePlotState &state)
{
    const int i = frame.cursorSample[size_t(c)];
    if (!state.ChannelShown(c) || !s.HasChannel(c) || i < 0 || i >= s.count)
        return {};
    const qint64 time = s.Time(i);
    QString text = time != 0 ? CvTime::FormatDateTime(time) : QString();
    const double value = s.Value(c, i);
    if (value > -1000.0 && value < 1000.0) {
        const CurveChannelData &ch = s.channel[size_t(c)];
        text += QString::asprintf("   %.2f", ch.fahrenheit ? value * 1.8 + 32.0 : value) + ch.unit;
    }
    return text;
}

QString ChannelBoxText(int c)
{
    return LoadStr(c == 0 ? Sid::CurveChannel1 : Sid::CurveChannel2);
}

} // namespace CurveTexts
