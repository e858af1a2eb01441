#include "views/core/CurveGeometry.h"

#include <QtGlobal>

CurveGeometry CurveGeometry::RealTime()
{
    CurveGeometry g;
    g.width = 415;
    return g;
}

CurveGeometry CurveGeometry::History()
{
    CurveGeometry g;
    g.width = 500;
    return g;
}

CurveGeometry CurveGeometry::ScaledTo(const QSize &picture) const
{
    if (picture == Size() || width <= 0 || height <= 0)
        return *this;
    const double xf = double(picture.width()) / width;
    const double yf = double(picture.height()) / height;
    const auto sx = [xf](int v) { return int(v * xf); };
    const auto sy = [yf](int v) { return int(v * yf); };
    CurveGeometry g = *this;
    g.width = picture.width();
    g.height = picture.height();
    g.left = sx(left);
    g.tickStart = sx(tickStart);
    g.labelX = sx(labelX);
    g.top = sy(top);
    g.bottom = sy(bottom);
    g.grid = sy(grid);
    g.label1Rise = sy(label1Rise);
    g.numberY = sy(numberY);
    g.cursorTop = sy(cursorTop);
    g.cursorBottom = sy(cursorBottom);
    g.fontPixels = qMax(6, sy(fontPixels));
    return g;
}
