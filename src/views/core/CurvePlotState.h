#pragma once

#include "views/core/CurveGeometry.h"

#include <QPoint>
#include <QtGlobal>

#include <array>

// What the operator has chosen on a curve page: the channels shown, the time zoom (the number
// of screens the samples are spread over), the first sample shown (the slider) and the last
// cursor click. The real-time page keeps it across loggers; the history page resets the view
// for each new data set.
class CurvePlotState {
public:
    static constexpr int kChannels = 2;

    // Check boxes by device type: a single-temperature logger has channel 1 only, the dual and
    // temperature-humidity loggers both; any other type neither. Present channels are shown.
    void SetChannelsByType(quint8 type);
    [[nodiscard]] bool ChannelEnabled(int c) const { return m_enabled[size_t(c)]; }
    [[nodiscard]] bool ChannelShown(int c) const { return m_shown[size_t(c)]; }
    [[nodiscard]] bool AnyShown() const { return m_shown[0] || m_shown[1]; }
    // A disabled channel cannot be shown; returns the resulting show flag.
    bool SetChannelShown(int c, bool shown);

    [[nodiscard]] int Zoom() const { return m_zoom; }
    [[nodiscard]] int First() const { return m_first; }
    // Zoom in (x 2) or out (/ 2), capped at the sample count and at least 1. Refused (false)
    // when no channel is shown.
    bool ZoomIn(int sampleCount);
    bool ZoomOut(int sampleCount);
    // A zoom chosen outright (scripts), kept within 1 ... sampleCount.
    void SetZoom(int zoom, int sampleCount) { (void)ZoomTo(m_zoom, zoom, sampleCount); }
    // The slider position as first sample shown (0 when negative); refused when no channel is
    // shown.
    bool SetFirst(int position);
    // Zoom 1 from the first sample, the cursor back at the start.
    void ResetView();

    // A click at a picture position: stored for the cursor when it lies on the plot
    // (left <= x <= width, inside the picture height); a click in the label margin is ignored.
    bool Click(const QPoint &picturePos, const CurveGeometry &geometry);
    [[nodiscard]] int ClickX() const { return m_clickX; }

    // The history page's value axis follows the points shown instead of the data set extremes.
    bool autoScale = false;

private:
    static bool ZoomTo(int &zoom, int wanted, int sampleCount);

    std::array<bool, kChannels> m_enabled{false, false};
    std::array<bool, kChannels> m_shown{false, false};
    int m_zoom = 1;
    int m_first = 0;
    int m_clickX = 0;
};
