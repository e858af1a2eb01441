#pragma once

#include "history/core/ReportPages.h"

#include <QString>

// The print preview's rules without a window: mode, total and current page, the page-count
// edit and "预览", the page buttons' enable states, the indicator, the text pages' vertical
// scroll and the mouse-wheel page turning. With no samples every page action does nothing.
class PrintPreviewState {
public:
    static constexpr int kEditLength = 2;
    static constexpr int kWheelStep = 20;  // pixels per wheel notch or page step
    static constexpr int kTurnNotches = 4; // notches at an end of a text page before it turns

    explicit PrintPreviewState(int samples);

    // The page-count edit: only digits, at most two; the caret keeps its place among the
    // characters that stay ("1a2" with the caret at 3 gives "12" with the caret at 2).
    [[nodiscard]] static QString FilterDigits(const QString &text, int &caret);
    // The spin beside the edit: the edit's number moved by delta within 1 ... 99.
    [[nodiscard]] static QString StepPageCount(const QString &text, int delta);
    // "预览" is enabled by a non-empty edit in curve mode.
    [[nodiscard]] bool PreviewEnabled(const QString &editText) const;
    // "预览": takes the edit's number within 1 ... 99 and returns the edit's new text. A changed
    // count starts again at page 1. False (nothing changed) in text mode or without samples.
    bool ApplyPageCount(QString &editText);

    void SetMode(ReportPages::Mode mode);
    void First() { Go(1); }
    void Previous() { Go(m_current - 1); }
    void Next() { Go(m_current + 1); }
    void Last() { Go(m_total); }

    struct Buttons {
        bool first = false, previous = false, next = false, last = false;
    };
    [[nodiscard]] Buttons PageButtons() const;
    // "%d/%d" followed by 15 blanks; "0/0" without samples.
    [[nodiscard]] QString Indicator() const;
    // The edit's text for the mode: the curve count, or the text page total.
    [[nodiscard]] QString EditText() const { return QString::number(m_total); }

    // Vertical scrolling of text pages, in preview pixels: 0 ... page height / 2.
    void SetPageHeight(int pixels);
    [[nodiscard]] int ScrollMax() const { return m_pageHeight / 2; }
    void ScrollTo(int offset);
    // Wheel notches over the preview (positive: towards the top). Moves 20 pixels a notch;
    // in text mode the fourth notch at an end turns to the previous page (shown at its bottom)
    // or the next (shown at its top). True when the page changed.
    bool Wheel(int notches);

    [[nodiscard]] bool HasData() const { return m_samples > 0; }
    [[nodiscard]] ReportPages::Mode PageMode() const { return m_mode; }
    [[nodiscard]] int Total() const { return m_total; }
    [[nodiscard]] int Current() const { return m_current; }
    [[nodiscard]] int CurvePages() const
    {
        return m_mode == ReportPages::Mode::Curve ? m_total : m_keptCurvePages;
    }
    [[nodiscard]] int Scroll() const { return m_scroll; }

private:
    void Go(int page);
    bool WheelNotch(int direction);

    int m_samples;
    ReportPages::Mode m_mode = ReportPages::Mode::Curve;
    int m_total = 1;
    int m_current = 1;
    int m_keptCurvePages = 1;
    int m_pageHeight = 0;
    int m_scroll = 0;
    int m_wheelCount = 0; // notches at the end in the direction of m_wheelDirection
    int m_wheelDirection = 0;
};
