#include "views/core/CurvePainter.h"

#include <QFont>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Rows far off the plot are kept in this range so that the integer conversion stays defined.
constexpr double kRowLimit = 1.0e6;

const QColor kChannelColors[CurveSamples::kChannels] = {QColor(255, 60, 60), QColor(240, 190, 20)};
const QColor kMarginColor(123, 155, 168);
const QColor kGridColor(0, 0, 200);
const QColor kCursorColor(82, 105, 118);

// An alarm line off the plot stays just outside it, where the operator still sees it.
int AlarmRow(int row, const CurveGeometry &g)
{
    if (row < g.top)
        return g.top - 5;
    if (row > g.bottom)
        return g.bottom + 5;
    return row;
}

// Smallest and largest value of channel c among the chosen points.
std::pair<double, double> PointExtremes(const CurveSamples &s, const CurveDecimation &d, int c)
{
    double low = 0.0;
    double high = 0.0;
    bool any = false;
    for (const int i : d.index[size_t(c)]) {
        const double v = s.Value(c, i);
        low = any ? std::min(low, v) : v;
        high = any ? std::max(high, v) : v;
        any = true;
    }
    const CurveChannelData &ch = s.channel[size_t(c)];
    return any ? std::make_pair(low, high) : std::make_pair(double(ch.min), double(ch.max));
}

int CursorPoint(int clickX, const CurveGeometry &g, const CurveDecimation &d)
{
    if (d.points <= 0)
        return -1;
    const int dx = clickX - g.left;
    const int rest = dx % d.pixelsPerPoint;
    int j = dx / d.pixelsPerPoint;
    if (2 * rest > d.pixelsPerPoint && 2 * rest >= 4)
        ++j;
    return std::clamp(j, 0, d.points - 1);
}

QString LabelText(double value, bool fahrenheit)
{
    return QString::asprintf("%4.2f", fahrenheit ? value * 1.8 + 32.0 : value);
}

void PaintGrid(QPainter &p, const CurveGeometry &g)
{
    p.fillRect(QRect(QPoint(g.left, 0), QPoint(g.width, g.height)), Qt::black);
    p.fillRect(QRect(QPoint(0, 0), QPoint(g.left, g.height)), kMarginColor);
    p.setPen(QPen(kGridColor, 1));
    p.drawLine(g.tickStart, g.top, g.width, g.top);
    for (int k = 1; k <= 4; ++k) {
        p.drawLine(g.left, g.grid * k, g.width, g.grid * k);
        p.drawLine(g.tickStart, g.grid * k + g.top, g.width, g.grid * k + g.top);
    }
}

// Text with its cell filled in the margin colour, the top-left corner at (x, y).
void PaintText(QPainter &p, int x, int y, const QString &text, const QColor &color)
{
    p.setPen(color);
    p.setBackgroundMode(Qt::OpaqueMode);
    p.drawText(QRect(x, y, 1000, 1000), Qt::AlignLeft | Qt::AlignTop, text);
    p.setBackgroundMode(Qt::TransparentMode);
}

void PaintLabels(QPainter &p, const CurveFrame &f, const CurveSamples &s, const CurvePlotState &state)
{
    const CurveGeometry &g = f.geometry;
    for (int k = 0; k < CurveFrame::kGridValues; ++k) {
        const int row = g.bottom - g.grid * k;
        if (state.ChannelShown(0) && s.HasChannel(0))
            PaintText(p, g.labelX, row - g.label1Rise, LabelText(f.GridValue(0, k), s.channel[0].fahrenheit),
                      kChannelColors[0]);
        if (state.ChannelShown(1) && s.HasChannel(1))
            PaintText(p, g.labelX, row + g.label2Drop, LabelText(f.GridValue(1, k), s.channel[1].fahrenheit),
                      kChannelColors[1]);
    }
}

void PaintAlarms(QPainter &p, const CurveFrame &f, const CurveSamples &s, const CurvePlotState &state)
{
    if (!s.alarm)
        return;
    const CurveGeometry &g = f.geometry;
    for (int c = 0; c < CurveSamples::kChannels; ++c) {
        if (!state.ChannelShown(c) || !s.HasChannel(c))
            continue;
        p.setPen(QPen(kChannelColors[c], 1, Qt::DotLine));
        p.drawLine(g.left, f.upperRow[size_t(c)], g.width, f.upperRow[size_t(c)]);
        p.drawLine(g.left, f.lowerRow[size_t(c)], g.width, f.lowerRow[size_t(c)]);
    }
}

void PaintCurves(QPainter &p, const CurveFrame &f, const CurveSamples &s, const CurvePlotState &state)
{
    const CurveGeometry &g = f.geometry;
    const int x = f.CursorX();
    if (x >= 0) {
        p.setPen(QPen(kCursorColor, 1, Qt::DotLine));
        p.drawLine(x, g.cursorTop, x, g.cursorBottom);
    }
    for (int c = 0; c < CurveSamples::kChannels; ++c) {
        if (state.ChannelShown(c) && s.HasChannel(c)) {
            p.setPen(QPen(kChannelColors[c], 1));
            p.drawPolyline(f.points[size_t(c)]);
        }
    }
    if (state.AnyShown())
        PaintText(p, g.left, g.numberY, QString::number(state.First() + 1), Qt::black);
}

} // namespace

CurveAxis CurveAxis::Span(double min, double max, int pixels)
{
    const int span = std::max(1, pixels);
    if (!(max > min) || !std::isfinite(max - min)) {
        const double centre =
            std::isfinite(min) ? (std::isfinite(max) && max > min ? (min + max) / 2 : min) : 0.0;
        return {centre - 0.5, 1.0 / span};
    }
    return {min, (max - min) / span};
}

int CurveAxis::Row(double value, int bottom) const
{
    const double row = bottom - (value - base) / perPixel;
    return int(std::clamp(std::isnan(row) ? double(bottom) : row, -kRowLimit, kRowLimit));
}

double CurveFrame::GridValue(int c, int k) const
{
    return axis[size_t(c)].base + axis[size_t(c)].perPixel * geometry.grid * k;
}

int CurveFrame::CursorX() const
{
    if (cursorPoint < 0)
        return -1;
    const int offset = cursorPoint * decimation.pixelsPerPoint;
    return offset < geometry.PlotWidth() ? geometry.left + offset : -1;
}

CurveFrame CurvePainter::Layout(const QSize &picture, const CurveSamples &s,
                                const CurvePlotState &state) const
{
    CurveFrame f;
    f.geometry = GeometryFor(picture);
    const CurveGeometry &g = f.geometry;
    if (s.count <= 0)
        return f;
    f.decimation = CurveDecimation::Run(s, state.First(), state.Zoom(), g.PlotWidth());
    const CurveDecimation &d = f.decimation;
    for (int c = 0; c < CurveSamples::kChannels; ++c) {
        if (!s.HasChannel(c))
            continue;
        const CurveChannelData &ch = s.channel[size_t(c)];
        const auto [low, high] =
            state.autoScale ? PointExtremes(s, d, c) : std::make_pair(double(ch.min), double(ch.max));
        const CurveAxis axis = CurveAxis::Span(low, high, g.PlotHeight());
        f.axis[size_t(c)] = axis;
        f.upperRow[size_t(c)] = AlarmRow(axis.Row(ch.upper, g.bottom), g);
        f.lowerRow[size_t(c)] = AlarmRow(axis.Row(ch.lower, g.bottom), g);
        QPolygon &poly = f.points[size_t(c)];
        poly.reserve(d.points);
        for (int j = 0; j < d.points; ++j)
            poly.append(QPoint(g.left + j * d.pixelsPerPoint,
                               axis.Row(s.Value(c, d.index[size_t(c)][size_t(j)]), g.bottom)));
    }
    f.cursorPoint = CursorPoint(state.ClickX(), g, d);
    for (int c = 0; c < CurveSamples::kChannels; ++c) {
        if (f.cursorPoint >= 0 && s.HasChannel(c))
            f.cursorSample[size_t(c)] = d.index[size_t(c)][size_t(f.cursorPoint)];
    }
    return f;
}

void CurvePainter::Paint(QPainter &p, const QRect &target, const CurveFrame &f, const CurveSamples &s,
                         const CurvePlotState &state) const
{
    const CurveGeometry &g = f.geometry;
    p.save();
    p.translate(target.topLeft());
    p.setClipRect(QRect(QPoint(0, 0), g.Size()));
    p.setRenderHint(QPainter::Antialiasing, false);
    PaintGrid(p, g);
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(g.fontPixels);
    font.setStyleStrategy(QFont::NoAntialias); // crisp labels in their exact colours
    p.setFont(font);
    p.setBackground(kMarginColor);
    if (s.count > 0) {
        PaintLabels(p, f, s, state);
        PaintAlarms(p, f, s, state);
        PaintCurves(p, f, s, state);
    }
    p.restore();
}

CurveFrame CurvePainter::Draw(QPainter &p, const QRect &target, const CurveSamples &s,
                              const CurvePlotState &state) const
{
    CurveFrame f = Layout(target.size(), s, state);
    Paint(p, target, f, s, state);
    return f;
}

QColor CurvePainter::ChannelColor(int c)
{
    return kChannelColors[c];
}

QColor CurvePainter::MarginColor()
{
    return kMarginColor;
}

void CurvePainter::PaintSwatch(QPainter &p, const QRect &rect, int c, bool shown)
{
    p.fillRect(rect, shown ? QBrush(kChannelColors[c]) : p.background());
    p.setPen(Qt::black);
    p.drawRect(rect.adjusted(0, 0, -1, -1));
}
