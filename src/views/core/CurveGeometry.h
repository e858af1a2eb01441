#pragma once

#include <QSize>

// Pixel layout of the curve picture: the value labels in a margin left of the plot, the plot
// between top and bottom, grid lines every `grid` pixels. The base layouts are those of the
// real-time and history pages; a larger page scales every x length by one factor and every y
// length by another.
struct CurveGeometry {
    int width = 0;      // picture width W
    int height = 250;   // picture height
    int left = 60;      // plot left edge L
    int tickStart = 55; // start of the grid ticks into the label margin
    int top = 25;       // plot top T
    int bottom = 225;   // plot bottom B
    int grid = 50;      // grid spacing (y)
    int labelX = 10;    // x of the value labels
    int label1Rise = 8; // channel-1 label above its grid line
    int label2Drop = 5; // channel-2 label below its grid line (not scaled)
    int numberY = 235;  // y of the first-sample number
    int cursorTop = 5;
    int cursorBottom = 240;
    int fontPixels = 12; // label font size

    [[nodiscard]] int PlotWidth() const { return width - left; }
    [[nodiscard]] int PlotHeight() const { return bottom - top; }
    [[nodiscard]] QSize Size() const { return {width, height}; }

    // The real-time page: 415 x 250, plot 355 pixels wide.
    [[nodiscard]] static CurveGeometry RealTime();
    // The history page: 500 x 250, plot 440 pixels wide.
    [[nodiscard]] static CurveGeometry History();
    // This layout scaled to a picture of the given size (lengths truncated).
    [[nodiscard]] CurveGeometry ScaledTo(const QSize &picture) const;
};
