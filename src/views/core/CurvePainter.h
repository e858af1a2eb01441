#pragma once

#include "views/core/CurveDecimation.h"
#include "views/core/CurveGeometry.h"
#include "views/core/CurvePlotState.h"
#include "views/core/CurveSamples.h"

#include <QColor>
#include <QPolygon>
#include <QRect>

#include <array>

class QPainter;

// The value axis of one channel: value = base + perPixel x (pixels above the plot bottom).
struct CurveAxis {
    double base = 0.0;
    double perPixel = 1.0;

    // An axis spanning [min, max] over `pixels`; when the extremes are equal (one sample, a
    // constant value) or unusable it spans one unit centred on the value.
    [[nodiscard]] static CurveAxis Span(double min, double max, int pixels);
    // Pixel row of a value on a plot whose bottom is at `bottom` (truncated, kept in a sane
    // range for values far off the axis).
    [[nodiscard]] int Row(double value, int bottom) const;
};

// Everything one redraw computes before painting: the decimation, the axes, the points, the
// alarm-line rows and the cursor.
struct CurveFrame {
    static constexpr int kGridValues = 5;

    CurveGeometry geometry;
    CurveDecimation decimation;
    std::array<CurveAxis, CurveSamples::kChannels> axis;
    std::array<QPolygon, CurveSamples::kChannels> points;
    std::array<int, CurveSamples::kChannels> upperRow{0, 0};
    std::array<int, CurveSamples::kChannels> lowerRow{0, 0};
    int cursorPoint = -1; // index of the chosen point; -1 without points
    std::array<int, CurveSamples::kChannels> cursorSample{-1, -1};

    // The value at major grid line k (0 = plot bottom) of channel c.
    [[nodiscard]] double GridValue(int c, int k) const;
    // x of the cursor line, or -1 when it falls outside the plot.
    [[nodiscard]] int CursorX() const;
};

// Draws a curve picture: background, grid, value labels, alarm lines, cursor and the
// decimated polylines of the shown channels, on any paint device. It keeps no state of its
// own: the samples and the page's choices come with every call.
class CurvePainter {
public:
    explicit CurvePainter(const CurveGeometry &base) : m_base(base) {}

    [[nodiscard]] const CurveGeometry &Base() const { return m_base; }
    // The base layout scaled to a picture size.
    [[nodiscard]] CurveGeometry GeometryFor(const QSize &picture) const { return m_base.ScaledTo(picture); }

    [[nodiscard]] CurveFrame Layout(const QSize &picture, const CurveSamples &samples,
                                    const CurvePlotState &state) const;
    // Paints a laid-out frame into the target rectangle (its size should be the frame's
    // picture size; drawing is clipped to it).
    void Paint(QPainter &painter, const QRect &target, const CurveFrame &frame, const CurveSamples &samples,
               const CurvePlotState &state) const;
    // Layout and Paint in one; returns the frame for the read-outs.
    CurveFrame Draw(QPainter &painter, const QRect &target, const CurveSamples &samples,
                    const CurvePlotState &state) const;

    [[nodiscard]] static QColor ChannelColor(int c);
    [[nodiscard]] static QColor MarginColor();
    // A legend swatch: the channel colour when shown, else the default (window) brush.
    static void PaintSwatch(QPainter &painter, const QRect &rect, int c, bool shown);

private:
    CurveGeometry m_base;
};
