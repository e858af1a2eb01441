#include "history/core/ReportPages.h"

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "history/core/HistoryCoreLog.h"
#include "history/core/HistoryTexts.h"
#include "views/core/CurvePainter.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace ReportPages {
namespace {

// Curve page layout (mm).
constexpr double kStripLeft = 30.0;
constexpr double kStripWidth = 240.0;
constexpr double kStripHeight = 50.0;
constexpr double kStripTop = 25.0;
constexpr double kStripPitch = 57.0;
constexpr double kValueMargin = 5.0; // the value span of 40 mm sits 5 mm inside the strip
constexpr double kValueSpan = 40.0;
constexpr double kHeaderX[] = {6, 34, 54, 84, 116, 148, 168};
constexpr double kHeaderRules[] = {5, 33, 53, 83, 115, 147, 167, 182};
constexpr int kHeaderLabels[] = {193, 195, 194, 196, 197, 198, 199}; // 名称 类型 固有ID 启动 结束 间隔 数据量
constexpr int kTimeLabels = 6;

const QColor kGridGrey(150, 150, 150);

// Text with its top-left corner at a point in millimetres.
void Text(QPainter &p, const Geometry &g, double x, double y, const QString &text)
{
    p.drawText(QRectF(g.At(x, y), QSizeF(g.X(300), g.Y(30))), Qt::AlignLeft | Qt::AlignTop, text);
}

// Text clipped to a column of the given width.
void CellText(QPainter &p, const Geometry &g, double x, double y, double width, const QString &text)
{
    p.drawText(QRectF(g.At(x, y), QSizeF(g.X(width), g.Y(5))), Qt::AlignLeft | Qt::AlignTop, text);
}

void UseFont(QPainter &p, const Geometry &g, double points)
{
    QFont font(QStringLiteral("Arial"));
    font.setWeight(QFont::Normal);
    font.setPixelSize(g.FontPixels(points));
    p.setFont(font);
}

void Line(QPainter &p, const Geometry &g, double x1, double y1, double x2, double y2)
{
    p.drawLine(g.At(x1, y1), g.At(x2, y2));
}

QPen Pen(const Geometry &g, const QColor &color, double screenPixels, Qt::PenStyle style = Qt::SolidLine)
{
    QPen pen(color, g.Pixels(screenPixels), style);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

// The pens of the two channels' curves and of their alarm limits.
QPen CurvePen(const Geometry &g, int c)
{
    return Pen(g, CurvePainter::ChannelColor(c), c == 0 ? 1 : 4);
}

QPen LimitPen(const Geometry &g, int c)
{
    return c == 0 ? Pen(g, CurvePainter::ChannelColor(0), 1, Qt::DashLine)
                  : Pen(g, CurvePainter::ChannelColor(1), 3, Qt::DashDotLine);
}

QString PageNumber(int page, int total)
{
    return QStringLiteral("%1/%2").arg(page).arg(total);
}

} // namespace

int TextPageCount(int samples)
{
    return 1 + (std::max(0, samples) + kRowsPerPage - 1) / kRowsPerPage;
}

int ClampCurvePages(int pages)
{
    return std::clamp(pages, 1, kMaxCurvePages);
}

int PageCount(Mode mode, int samples, int curvePages)
{
    return mode == Mode::Text ? TextPageCount(samples) : ClampCurvePages(curvePages);
}

QSizeF PageMillimetres(Mode mode)
{
    return mode == Mode::Curve ? QSizeF(290, 200) : QSizeF(200, 290);
}

double PrintScale(Mode mode, const QSizeF &printableMm)
{
    // Slightly less than the page, since the page's outer millimetres carry nothing.
    const QSizeF drawn = mode == Mode::Curve ? QSizeF(284.3, 197.3) : QSizeF(197.3, 284.3);
    return std::min(printableMm.width() / drawn.width(), printableMm.height() / drawn.height());
}

QSize Geometry::PageSize(Mode mode) const
{
    const QSizeF mm = PageMillimetres(mode);
    return {int(std::ceil(X(mm.width()))), int(std::ceil(Y(mm.height())))};
}

double Geometry::Pixels(double screenPixels) const
{
    return std::max(1.0, screenPixels * m_dpiX / 96.0 * m_scale);
}

int Geometry::FontPixels(double points) const
{
    return std::max(1, int(std::lround(points * m_scale * m_dpiY / 72.0)));
}

Report::Report(const CNodeDataSave &store)
    : m_store(store), m_rows(store), m_summary(HistorySummary::Build(store)),
      m_samples(CurveSamples::FromDataSet(store))
{
}

TextRow Report::Row(int page, int r) const
{
    const int row = (page - 2) * kRowsPerPage + r - 1;
    if (page < 2 || r < 1 || r > kRowsPerPage || row >= m_rows.RowCount())
        return {};
    return {m_rows.Cell(row, HistoryRows::ColNumber),
            QLatin1Char(' ') + m_rows.Cell(row, HistoryRows::ColTime),
            {m_rows.Cell(row, HistoryRows::ColChannel1), m_rows.Cell(row, HistoryRows::ColChannel2)}};
}

Strip Report::StripOf(int page, int total, int k, int widthPixels) const
{
    Strip s;
    const int n = m_rows.RowCount();
    s.length = n / (kStripsPerPage * std::max(1, total)) + 1;
    const int piece = kStripsPerPage * (page - 1) + k;
    s.first = piece * s.length;
    s.count = std::clamp(n - s.first, 0, s.length);
    if (s.count == 0)
        return s;
    CurveSamples samples = m_samples;
    samples.first = m_samples.first + s.first;
    samples.count = s.count;
    s.points = CurveDecimation::Run(samples, 0, 1, widthPixels);
    return s;
}

QString Report::ValueLabel(int channel, int j) const
{
    const bool first = channel == 0;
    const double max = first ? m_store.ch1Max : m_store.ch2Max;
    const double min = first ? m_store.ch1Min : m_store.ch2Min;
    const QString &unit = first ? m_rows.Units().ch1 : m_rows.Units().ch2;
    return HistoryTexts::Number(max - j * (max - min) / 4.0, unit).left(10);
}

void Report::Paint(QPainter &painter, const Geometry &g, Mode mode, int page, int total) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::black);
    if (mode == Mode::Curve)
        PaintCurvePage(painter, g, page, total);
    else
        PaintTextPage(painter, g, page, total);
    painter.restore();
}

void Report::PaintTextPage(QPainter &p, const Geometry &g, int page, int total) const
{
    UseFont(p, g, 9);
    Text(p, g, 180, 5, PageNumber(page, total));
    if (page == 1)
        PaintSummaryLines(p, g);
    else
        PaintRows(p, g, page);
}

void Report::PaintSummaryLines(QPainter &p, const Geometry &g) const
{
    const HistorySummary::Page &s = m_summary;
    QList<std::pair<QString, QString>> lines{{LoadStr(193), s.name},    {LoadStr(195), s.typeName},
                                             {LoadStr(194), s.nodeKey}, {LoadStr(196), s.start},
                                             {LoadStr(197), s.end},     {LoadStr(198), s.interval},
                                             {LoadStr(199), s.count}};
    static constexpr int kChannelIds[2][4] = {{258, 259, 256, 200},
                                              {260, 261, 257, 201}}; // 最大 最小 均值 报警
    for (int c = 0; c < 2; ++c) {
        const HistorySummary::ChannelTexts &t = s.channel[c];
        if (!t.present)
            continue;
        const float lower = c == 0 ? m_store.ch1Lower : m_store.ch2Lower;
        const float upper = c == 0 ? m_store.ch1Upper : m_store.ch2Upper;
        lines.append({{LoadStr(kChannelIds[c][0]), t.maximum},
                      {LoadStr(kChannelIds[c][1]), t.minimum},
                      {LoadStr(kChannelIds[c][2]), t.average},
                      {LoadStr(kChannelIds[c][3]),
                       HistoryTexts::RecordLimits(m_store.alarmFlag, m_store.deviceType, c, lower, upper)}});
    }
    for (const HistorySummary::ExtraLine &e : s.extras)
        lines.append({e.label, e.value});
    UseFont(p, g, 12);
    double y = 10;
    for (const auto &[label, value] : lines) {
        Text(p, g, 20, y, label + QStringLiteral(": ") + value);
        y += 8;
    }
}

void Report::PaintRows(QPainter &p, const Geometry &g, int page) const
{
    UseFont(p, g, 12);
    Text(p, g, 60, 7, LoadStr(194) + QStringLiteral(": ") + m_store.nodeKey.left(20)); // 固有ID
    UseFont(p, g, 9);
    static constexpr double kColumnX[] = {15, 30, 70, 110};
    for (int c = 0; c < HistoryRows::ColumnCount; ++c)
        Text(p, g, kColumnX[c], 15, LoadStr(262 + c)); // 序号 时间 通道1数据 通道2数据
    for (int r = 1; r <= kRowsPerPage; ++r) {
        const TextRow row = Row(page, r);
        if (row.number.isEmpty())
            break;
        const double y = 15.0 + r * 270.0 / 61.0;
        const QString texts[] = {row.number, row.time, row.value[0], row.value[1]};
        for (int c = 0; c < HistoryRows::ColumnCount; ++c)
            Text(p, g, kColumnX[c], y, texts[c]);
    }
}

void Report::PaintCurvePage(QPainter &p, const Geometry &g, int page, int total) const
{
    PaintHeader(p, g);
    UseFont(p, g, 9);
    p.setPen(Qt::black);
    Text(p, g, 275, 190, PageNumber(page, total));
    const int width = std::max(1, int(g.X(kStripWidth)));
    for (int k = 0; k < kStripsPerPage; ++k)
        PaintStrip(p, g, kStripTop + kStripPitch * k, StripOf(page, total, k, width));
}

void Report::PaintHeader(QPainter &p, const Geometry &g) const
{
    const HistorySummary::Page &s = m_summary;
    const QString values[] = {s.name.left(17), s.typeName, s.nodeKey, s.start, s.end, s.interval, s.count};
    UseFont(p, g, 7);
    p.setPen(Pen(g, Qt::black, 1));
    for (int i = 0; i < 7; ++i) {
        const double width = kHeaderRules[i + 1] - kHeaderX[i];
        CellText(p, g, kHeaderX[i], 8, width, LoadStr(kHeaderLabels[i]));
        CellText(p, g, kHeaderX[i], 13, width, values[i]);
    }
    QList<double> rules(std::begin(kHeaderRules), std::end(kHeaderRules));
    double x = kHeaderRules[7];
    static constexpr int kChannelIds[2][2] = {{256, 200}, {257, 201}}; // 均值, 报警
    for (int c = 0; c < 2; ++c) {
        if (!s.channel[c].present)
            continue;
        const double alarmWidth = c == 0 ? 34 : 32;
        const float lower = c == 0 ? m_store.ch1Lower : m_store.ch2Lower;
        const float upper = c == 0 ? m_store.ch1Upper : m_store.ch2Upper;
        CellText(p, g, x + 1, 8, 19, LoadStr(kChannelIds[c][0]));
        CellText(p, g, x + 1, 13, 19, s.channel[c].average);
        CellText(p, g, x + 21, 8, alarmWidth - 1, LoadStr(kChannelIds[c][1]));
        CellText(p, g, x + 21, 13, alarmWidth - 1,
                 HistoryTexts::RecordLimits(m_store.alarmFlag, m_store.deviceType, c, lower, upper));
        const QString &unit = c == 0 ? m_rows.Units().ch1 : m_rows.Units().ch2;
        if (s.figures[c].meanKinetic) // under the average, outside the ruled table
            Text(p, g, x + 1, 18,
                 LoadStr(Sid::PrintMkt).arg(HistoryTexts::WithUnit(*s.figures[c].meanKinetic, unit)));
        x += 20 + alarmWidth;
        rules << x - alarmWidth << x;
    }
    for (const double y : {7.0, 12.0, 17.0})
        Line(p, g, kHeaderRules[0], y, x, y);
    for (const double rx : rules)
        Line(p, g, rx, 7, rx, 17);
}

void Report::PaintStrip(QPainter &p, const Geometry &g, double top, const Strip &strip) const
{
    const double bottom = top + kStripHeight;
    p.setPen(Pen(g, kGridGrey, 1, Qt::DotLine));
    for (int i = 1; i <= 9; ++i)
        Line(p, g, kStripLeft, top + 5 * i, kStripLeft + kStripWidth, top + 5 * i);
    p.setPen(Pen(g, Qt::black, 3));
    Line(p, g, kStripLeft, top, kStripLeft, bottom);
    Line(p, g, kStripLeft, bottom, kStripLeft + kStripWidth, bottom);

    const double lows[] = {m_store.ch1Min, m_store.ch2Min};
    const double highs[] = {m_store.ch1Max, m_store.ch2Max};
    // Value to mm within the strip; a value off the axis (or an unusable axis) stays inside.
    const auto row = [&](int c, double v) {
        const double y = highs[c] > lows[c]
                             ? top + kValueMargin + kValueSpan * (highs[c] - v) / (highs[c] - lows[c])
                             : top + kStripHeight / 2;
        return std::clamp(y, top + 1.0, bottom - 1.0);
    };
    const double limits[2][2] = {{m_store.ch1Lower, m_store.ch1Upper}, {m_store.ch2Lower, m_store.ch2Upper}};
    for (int c = 0; c < CurveSamples::kChannels; ++c) {
        if (!m_samples.HasChannel(c))
            continue;
        if (m_samples.alarm) {
            p.setPen(LimitPen(g, c));
            for (const double limit : limits[c])
                Line(p, g, kStripLeft, row(c, limit), kStripLeft + kStripWidth, row(c, limit));
        }
        p.setPen(CurvePen(g, c));
        Line(p, g, 7, top + 3.5 + 3 * c, 9, top + 3.5 + 3 * c); // legend
        const std::vector<int> &index = strip.points.index[size_t(c)];
        QPolygonF line;
        line.reserve(int(index.size()));
        for (const int i : index) {
            const double x = kStripLeft + kStripWidth * i / strip.length;
            line << g.At(x, row(c, m_samples.Value(c, strip.first + i)));
        }
        if (line.size() == 1) // a lone sample: a 1 mm stroke, since one point draws nothing
            line << line.first() + QPointF(g.X(1), 0);
        p.drawPolyline(line);
    }
    PaintStripLabels(p, g, top, strip);
}

void Report::PaintStripLabels(QPainter &p, const Geometry &g, double top, const Strip &strip) const
{
    UseFont(p, g, 7);
    for (int c = 0; c < CurveSamples::kChannels; ++c) {
        if (!m_samples.HasChannel(c))
            continue;
        p.setPen(CurvePainter::ChannelColor(c));
        for (int j = 0; j < 5; ++j)
            Text(p, g, 12, top + 2.5 + 3 * c + 10 * j, ValueLabel(c, j));
    }
    const std::vector<int> &index = strip.points.index[0];
    if (index.empty())
        return;
    const double bottom = top + kStripHeight;
    p.setPen(Pen(g, Qt::black, 1));
    for (int j = 0; j < kTimeLabels; ++j) {
        const double x = kStripLeft + kStripWidth * j / kTimeLabels;
        const int point = j * (int(index.size()) / kTimeLabels);
        Line(p, g, x, bottom, x, bottom - 1);
        Text(p, g, x, bottom + 1, HistoryTexts::Moment(m_samples.Time(strip.first + index[size_t(point)])));
    }
}

bool PaintDocument(QPainter &painter, QPagedPaintDevice &device, const Geometry &g, const Report &report,
                   Mode mode, int total)
{
    for (int page = 1; page <= total; ++page) {
        if (page > 1 && !device.newPage()) {
            qCWarning(lcHistoryCore) << "page" << page << "of" << total << "could not be started";
            return false;
        }
        report.Paint(painter, g, mode, page, total);
    }
    return true;
}

PdfResult WritePdf(const CNodeDataSave &store, const QString &path, Mode mode, int curvePages)
{
    const Report report(store);
    if (report.Samples() == 0)
        return {false, LoadStr(Sid::ExportNoData)};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcHistoryCore) << "cannot write" << path << file.errorString();
        return {false, LoadStr(Sid::ExportWriteFailed).arg(path, file.errorString())};
    }
    constexpr int kResolution = 300;
    {
        QPdfWriter writer(&file);
        writer.setResolution(kResolution);
        writer.setTitle(report.Title());
        writer.setCreator(LoadStr(Sid::MainTitle));
        const QPageSize size(QSizeF(200, 290), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
        writer.setPageLayout(QPageLayout(
            size, mode == Mode::Curve ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&writer))
            return {false, LoadStr(Sid::ExportWriteFailed).arg(path, QStringLiteral("PDF"))};
        const Geometry g(kResolution, kResolution);
        const bool all =
            PaintDocument(painter, writer, g, report, mode, PageCount(mode, report.Samples(), curvePages));
        painter.end();
        if (!all)
            return {false, LoadStr(Sid::ExportWriteFailed).arg(path, QStringLiteral("PDF"))};
    }
    if (!file.commit()) {
        qCWarning(lcHistoryCore) << "cannot write" << path << file.errorString();
        return {false, LoadStr(Sid::ExportWriteFailed).arg(path, file.errorString())};
    }
    return {true, {}};
}

} // namespace ReportPages
