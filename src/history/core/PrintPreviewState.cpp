#include "history/core/PrintPreviewState.h"

#include <algorithm>

using ReportPages::Mode;

PrintPreviewState::PrintPreviewState(int samples) : m_samples(std::max(0, samples)) {}

QString PrintPreviewState::FilterDigits(const QString &text, int &caret)
{
    QString digits;
    int kept = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9'))
            continue;
        digits += text[i];
        if (i < caret)
            ++kept;
    }
    digits.truncate(kEditLength);
    caret = std::min(kept, int(digits.size()));
    return digits;
}

QString PrintPreviewState::StepPageCount(const QString &text, int delta)
{
    return QString::number(ReportPages::ClampCurvePages(text.toInt() + delta));
}

bool PrintPreviewState::PreviewEnabled(const QString &editText) const
{
    return m_mode == Mode::Curve && !editText.isEmpty();
}

bool PrintPreviewState::ApplyPageCount(QString &editText)
{
    if (m_mode != Mode::Curve || !HasData())
        return false;
    const int typed = editText.toInt();
    const int pages = ReportPages::ClampCurvePages(typed);
    if (pages != typed)
        editText = QString::number(pages);
    if (pages != m_total) {
        m_total = pages;
        Go(1);
    }
    return true;
}

void PrintPreviewState::SetMode(ReportPages::Mode mode)
{
    if (mode == m_mode)
        return;
    if (mode == Mode::Text) {
        m_keptCurvePages = m_total;
        m_total = ReportPages::TextPageCount(m_samples);
    } else {
        m_total = m_keptCurvePages;
    }
    m_mode = mode;
    m_current = 1;
    m_scroll = 0;
    m_wheelCount = 0;
}

void PrintPreviewState::Go(int page)
{
    if (!HasData())
        return;
    m_current = std::clamp(page, 1, m_total);
    m_scroll = 0;
    m_wheelCount = 0;
}

PrintPreviewState::Buttons PrintPreviewState::PageButtons() const
{
    if (!HasData() || m_total == 1)
        return {};
    const bool notFirst = m_current != 1;
    const bool notLast = m_current != m_total;
    return {notFirst, notFirst, notLast, notLast};
}

QString PrintPreviewState::Indicator() const
{
    if (!HasData())
        return QStringLiteral("0/0");
    return QStringLiteral("%1/%2").arg(m_current).arg(m_total) + QString(15, QLatin1Char(' '));
}

void PrintPreviewState::SetPageHeight(int pixels)
{
    m_pageHeight = std::max(0, pixels);
    ScrollTo(m_scroll);
}

void PrintPreviewState::ScrollTo(int offset)
{
    m_scroll = std::clamp(offset, 0, ScrollMax());
}

bool PrintPreviewState::Wheel(int notches)
{
    if (!HasData() || m_mode != Mode::Text)
        return false;
    const int direction = notches > 0 ? -1 : 1; // towards the top lowers the offset
    for (int i = 0; i < std::abs(notches); ++i)
        if (WheelNotch(direction))
            return true;
    return false;
}

bool PrintPreviewState::WheelNotch(int direction)
{
    const bool atEnd = direction < 0 ? m_scroll == 0 : m_scroll == ScrollMax();
    if (!atEnd) {
        ScrollTo(m_scroll + direction * kWheelStep);
        m_wheelCount = 0;
        return false;
    }
    if (direction != m_wheelDirection)
        m_wheelCount = 0;
    m_wheelDirection = direction;
    if (++m_wheelCount < kTurnNotches)
        return false;
    m_wheelCount = 0;
    if (direction < 0 && m_current > 1) {
        --m_current;
        m_scroll = ScrollMax();
        return true;
    }
    if (direction > 0 && m_current < m_total) {
        ++m_current;
        m_scroll = 0;
        return true;
    }
    return false;
}
