#include "history/core/HistorySummary.h"

#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "base/NodeType.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "history/core/HistoryTexts.h"

#include <cmath>

namespace HistorySummary {
namespace {

struct ChannelView {
    const float *values;
    int count; // samples the channel holds
    float lower, upper, maximum, minimum, average;
    QString unit;
};

ChannelView ViewOf(const CNodeDataSave &s, int channel, const HistoryTexts::ChannelUnits &u)
{
    if (channel == 0)
        return {s.ch1(), s.ch1Count, s.ch1Lower, s.ch1Upper, s.ch1Max, s.ch1Min, s.ch1Avg, u.ch1};
    return {s.ch2(), s.ch2Count, s.ch2Lower, s.ch2Upper, s.ch2Max, s.ch2Min, s.ch2Avg, u.ch2};
}

bool HasChannel(quint8 type, int channel)
{
    return channel == 0 ? NodeType::HasChannel1(type) : NodeType::HasChannel2(type);
}

// A limit holding the "not set" mark is shown empty rather than as -2000.00.
QString LimitText(float limit, const QString &unit)
{
    return limit > kNoValue ? HistoryTexts::Number(limit, unit) : QString();
}

// The samples of the selected range that a channel holds.
std::pair<const float *, int> RangeValues(const CNodeDataSave &s, const ChannelView &c)
{
    if (!s.HasRange() || s.rangeFirst >= c.count)
        return {c.values, 0};
    return {c.values + s.rangeFirst, std::min(s.rangeCount, c.count - s.rangeFirst)};
}

ChannelFigures Figures(const CNodeDataSave &s, const ChannelView &c)
{
    ChannelFigures f;
    const auto [values, n] = RangeValues(s, c);
    if (HistoryTexts::IsTemperatureUnit(c.unit))
        f.meanKinetic = MeanKineticTemperature(values, n);
    f.limitsSet = s.alarmFlag == 4 && c.lower > kNoValue && c.upper > kNoValue;
    if (!f.limitsSet)
        return f;
    for (int i = 0; i < n; ++i) {
        if (!(values[i] > HistoryTexts::kNoMeasurement))
            continue;
        f.samplesAbove += c.upper < values[i] ? 1 : 0;
        f.samplesBelow += values[i] < c.lower ? 1 : 0;
    }
    f.secondsAbove = f.samplesAbove * s.interval;
    f.secondsBelow = f.samplesBelow * s.interval;
    return f;
}

ChannelTexts Texts(const CNodeDataSave &s, const ChannelView &c)
{
    ChannelTexts t;
    t.present = true;
    t.maximum = HistoryTexts::WithUnit(c.maximum, c.unit);
    t.minimum = HistoryTexts::WithUnit(c.minimum, c.unit);
    t.average = HistoryTexts::WithUnit(c.average, c.unit);
    if (s.alarmFlag != 4)
        return t;
    const AppSettings &a = AppSettings::Instance();
    if (c.unit == a.CurrentTempUnit())
        t.alarmLabel = LoadStr(458) + QLatin1Char(':') + c.unit; // 温度
    else if (c.unit == a.HumidityText())
        t.alarmLabel = LoadStr(459) + QLatin1Char(':') + c.unit; // 湿度
    if (!t.alarmLabel.isEmpty()) {
        t.lower = LimitText(c.lower, c.unit);
        t.upper = LimitText(c.upper, c.unit);
    }
    return t;
}

QString Duration(qint64 seconds, int samples)
{
    return LoadStr(Sid::HistSamplesSpan).arg(CvTime::FormatSpan(seconds)).arg(samples);
}

void AddExtras(Page &p, int channel, const ChannelFigures &f, const QString &unit)
{
    static constexpr int kMkt[2] = {Sid::HistCh1Mkt, Sid::HistCh2Mkt};
    static constexpr int kAbove[2] = {Sid::HistCh1Above, Sid::HistCh2Above};
    static constexpr int kBelow[2] = {Sid::HistCh1Below, Sid::HistCh2Below};
    if (f.meanKinetic)
        p.extras.append({LoadStr(kMkt[channel]), HistoryTexts::WithUnit(*f.meanKinetic, unit)});
    if (f.limitsSet) {
        p.extras.append({LoadStr(kAbove[channel]), Duration(f.secondsAbove, f.samplesAbove)});
        p.extras.append({LoadStr(kBelow[channel]), Duration(f.secondsBelow, f.samplesBelow)});
    }
}

} // namespace

std::optional<double> MeanKineticTemperature(const float *values, int count)
{
    constexpr double ratio = kActivationEnergy / kGasConstant; // kelvin
    double sum = 0;
    int n = 0;
    for (int i = 0; i < count; ++i) {
        if (!(values[i] > HistoryTexts::kNoMeasurement))
            continue;
        sum += std::exp(-ratio / (double(values[i]) + 273.15));
        ++n;
    }
    if (n == 0 || !(sum > 0))
        return std::nullopt;
    return ratio / -std::log(sum / n) - 273.15;
}

Page Build(const CNodeDataSave &s)
{
    Page p;
    p.name = s.name;
    p.typeName = NodeType::Name(s.deviceType);
    p.nodeKey = s.nodeKey;
    p.rangeStart = s.rangeFirst < 0 ? 0 : s.times()[s.rangeFirst];
    p.rangeEnd = s.rangeFirst < 0 || s.rangeCount <= 0 ? 0 : s.times()[s.rangeFirst + s.rangeCount - 1];
    p.intervalSeconds = s.interval;
    p.start = HistoryTexts::Moment(p.rangeStart);
    p.end = HistoryTexts::Moment(p.rangeEnd);
    p.interval = HistoryTexts::Interval(s.interval);
    p.count = QString::number(s.rangeCount);
    const HistoryTexts::ChannelUnits units = HistoryTexts::UnitsOf(s.deviceType);
    for (int ch = 0; ch < 2; ++ch) {
        if (!HasChannel(s.deviceType, ch))
            continue;
        const ChannelView view = ViewOf(s, ch, units);
        p.channel[ch] = Texts(s, view);
        p.figures[ch] = Figures(s, view);
        AddExtras(p, ch, p.figures[ch], view.unit);
    }
    return p;
}

QList<Row> ExportRows(const CNodeDataSave &s)
{
    const int typeIds[3] = {119, 120, 121}; // single, dual, temperature-humidity logger
    const quint8 c = NodeType::Class(s.deviceType);
    const int typeIndex = c == NodeType::SingleTemp     ? 0
                          : c == NodeType::DualTemp     ? 1
                          : c == NodeType::TempHumidity ? 2
                                                        : -1;
    const int first = s.HasRange() ? s.rangeFirst : 0;
    const int count = s.HasRange() ? s.rangeCount : 0;
    QList<Row> rows{
        {LoadStr(403), LoadStr(404)}, // 项目 值
        {LoadStr(386), s.name},
        {LoadStr(388), typeIndex >= 0 ? LoadStr(typeIds[typeIndex]) : QString()},
        {LoadStr(387), s.nodeKey},
        {LoadStr(389), count > 0 ? HistoryTexts::Moment(s.times()[first]) : QString()},
        {LoadStr(390), count > 0 ? HistoryTexts::Moment(s.times()[first + count - 1]) : QString()},
        {LoadStr(391), HistoryTexts::Interval(s.interval)},
        {LoadStr(392), QString::asprintf("%6d", count)},
    };
    const HistoryTexts::ChannelUnits units = HistoryTexts::UnitsOf(s.deviceType);
    for (int ch = 0; ch < 2; ++ch) {
        if (!HasChannel(s.deviceType, ch))
            continue;
        const ChannelView v = ViewOf(s, ch, units);
        const int base = ch == 0 ? 393 : 396; // minimum, maximum, average
        rows.append({LoadStr(base), HistoryTexts::SummaryNumber(v.minimum, v.unit)});
        rows.append({LoadStr(base + 1), HistoryTexts::SummaryNumber(v.maximum, v.unit)});
        rows.append({LoadStr(base + 2), HistoryTexts::SummaryNumber(v.average, v.unit)});
    }
    for (int ch = 0; s.alarmFlag == 4 && ch < 2; ++ch) {
        if (!HasChannel(s.deviceType, ch))
            continue;
        const ChannelView v = ViewOf(s, ch, units);
        const int base = ch == 0 ? 399 : 401; // lower, upper
        const auto limit = [&v](float l) {
            return l > kNoValue ? HistoryTexts::SummaryNumber(l, v.unit) : QString();
        };
        rows.append({LoadStr(base), limit(v.lower)});
        rows.append({LoadStr(base + 1), limit(v.upper)});
    }
    return rows;
}

} // namespace HistorySummary
