#include "history/core/HistoryRows.h"

#include "base/StringTable.h"

void HistoryRows::Refresh()
{
    const CNodeDataSave &s = m_store;
    m_units = HistoryTexts::UnitsOf(s.deviceType);
    m_channel[0] = {HistoryTexts::ShowsChannel1(s.deviceType), s.ch1Upper, s.ch1Lower};
    m_channel[1] = {HistoryTexts::ShowsChannel2(s.deviceType), s.ch2Upper, s.ch2Lower};
    m_alarm = s.alarmFlag == 4;
    m_first = s.HasRange() ? s.rangeFirst : 0;
    m_count = s.HasRange() ? s.rangeCount : 0;
}

QString HistoryRows::Header(int column)
{
    static constexpr int kIds[ColumnCount] = {383, 460, 137, 138}; // 序号 时间 通道1数据 通道2数据
    return column >= 0 && column < ColumnCount ? LoadStr(kIds[column]) : QString();
}

QString HistoryRows::ValueText(int channel, float value) const
{
    if (!(value > HistoryTexts::kNoMeasurement))
        return {};
    const Channel &c = m_channel[channel];
    const QString &unit = channel == 0 ? m_units.ch1 : m_units.ch2;
    QString text = HistoryTexts::WithUnit(value, unit);
    if (!m_alarm)
        return text;
    if (c.upper < value)
        text += QStringLiteral(" [>") + HistoryTexts::Number(c.upper, unit) + QLatin1Char(']');
    if (value < c.lower)
        text += QStringLiteral(" [<") + HistoryTexts::Number(c.lower, unit) + QLatin1Char(']');
    return text;
}

QString HistoryRows::Cell(int row, int column) const
{
    if (row < 0 || row >= m_count)
        return {};
    const int k = m_first + row;
    switch (column) {
    case ColNumber:
        return QString::number(row + 1);
    case ColTime:
        return HistoryTexts::Moment(m_store.times()[k]);
    case ColChannel1:
        // A channel with fewer samples than the record (odd dual-channel segment) has no value.
        return m_channel[0].shown && k < m_store.ch1Count ? ValueText(0, m_store.ch1()[k]) : QString();
    case ColChannel2:
        return m_channel[1].shown && k < m_store.ch2Count ? ValueText(1, m_store.ch2()[k]) : QString();
    default:
        return {};
    }
}
