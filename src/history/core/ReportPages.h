#pragma once

#include "history/core/HistoryRows.h"
#include "history/core/HistorySummary.h"
#include "storage/CNodeDataSave.h"
#include "views/core/CurveDecimation.h"
#include "views/core/CurveSamples.h"

#include <QPointF>
#include <QSize>
#include <QSizeF>
#include <QString>

class QPagedPaintDevice;
class QPainter;

// The printed report of the sample store's selected range, in one of two modes: curve pages
// (landscape, three strips a page) and text pages (portrait, a summary page and then 60 rows a
// page). Every length is in millimetres, turned into device pixels by the device's resolution
// and a scale factor, so that the preview image, the printer and a PDF file share the drawing.
namespace ReportPages {

enum class Mode { Curve = 1, Text = 2 };

inline constexpr int kRowsPerPage = 60;
inline constexpr int kMaxCurvePages = 99;
inline constexpr int kStripsPerPage = 3;

// Text mode: the summary page and one page per 60 samples (1 + ceil(n / 60)).
[[nodiscard]] int TextPageCount(int samples);
// A number of curve pages kept within 1 ... 99.
[[nodiscard]] int ClampCurvePages(int pages);
// Pages of a mode for the range: the curve page count (clamped) or the text page count.
[[nodiscard]] int PageCount(Mode mode, int samples, int curvePages);
// The page in millimetres: 290 x 200 for curves, 200 x 290 for text.
[[nodiscard]] QSizeF PageMillimetres(Mode mode);
// Scale that fits a page on a printable area given in millimetres.
[[nodiscard]] double PrintScale(Mode mode, const QSizeF &printableMm);

// Millimetres to device pixels: mm x dpi x 10 / 254 x scale, per axis.
class Geometry {
public:
    Geometry(double dpiX, double dpiY, double scale = 1.0) : m_dpiX(dpiX), m_dpiY(dpiY), m_scale(scale) {}

    [[nodiscard]] double X(double mm) const { return mm * m_dpiX * 10.0 / 254.0 * m_scale; }
    [[nodiscard]] double Y(double mm) const { return mm * m_dpiY * 10.0 / 254.0 * m_scale; }
    [[nodiscard]] QPointF At(double xMm, double yMm) const { return {X(xMm), Y(yMm)}; }
    // Whole-pixel size of a page of the mode.
    [[nodiscard]] QSize PageSize(Mode mode) const;
    // A pen width given in screen pixels (1/96 inch), at least one device pixel.
    [[nodiscard]] double Pixels(double screenPixels) const;
    // A font size in points as device pixels (at least 1).
    [[nodiscard]] int FontPixels(double points) const;

private:
    double m_dpiX;
    double m_dpiY;
    double m_scale;
};

// The texts of one row of a text page; empty for a row past the range.
struct TextRow {
    QString number;
    QString time; // " %d-%d-%d %.2d:%.2d:%.2d"
    QString value[2];
};

// The samples of one strip: the piece of the range it shows and its reduced points.
struct Strip {
    int first = 0; // sample index within the range
    int count = 0;
    int length = 1; // L: samples a full piece holds (x axis span)
    CurveDecimation points;
};

// The report of one store's selected range. It reads the store at construction (texts,
// units, figures) and while painting (samples); the store must outlive it and stay unchanged.
class Report {
public:
    explicit Report(const CNodeDataSave &store);

    [[nodiscard]] int Samples() const { return m_rows.RowCount(); }
    // The document's name: the record's name, its node key when it has none.
    [[nodiscard]] QString Title() const { return m_store.name.isEmpty() ? m_store.nodeKey : m_store.name; }
    [[nodiscard]] const HistorySummary::Page &Summary() const { return m_summary; }

    // Row r (1 ... 60) of text page `page` (2 ...).
    [[nodiscard]] TextRow Row(int page, int r) const;
    // Strip k of curve page `page` (1-based) of `total`, reduced to at most widthPixels points.
    [[nodiscard]] Strip StripOf(int page, int total, int k, int widthPixels) const;
    // The five value labels of a channel (label j = max - j x (max - min) / 4, shown unit).
    [[nodiscard]] QString ValueLabel(int channel, int j) const;

    // Paints page `page` of `total` of the mode with its top-left corner at the painter's origin.
    void Paint(QPainter &painter, const Geometry &g, Mode mode, int page, int total) const;

private:
    void PaintTextPage(QPainter &p, const Geometry &g, int page, int total) const;
    void PaintSummaryLines(QPainter &p, const Geometry &g) const;
    void PaintRows(QPainter &p, const Geometry &g, int page) const;
    void PaintCurvePage(QPainter &p, const Geometry &g, int page, int total) const;
    void PaintHeader(QPainter &p, const Geometry &g) const;
    void PaintStrip(QPainter &p, const Geometry &g, double top, const Strip &strip) const;
    void PaintStripLabels(QPainter &p, const Geometry &g, double top, const Strip &strip) const;

    const CNodeDataSave &m_store;
    HistoryRows m_rows;
    HistorySummary::Page m_summary;
    CurveSamples m_samples;
};

// Paints pages 1 ... total of the mode onto a paged device (a printer or a PDF writer) with
// the painter already begun on it. Stops at a page that cannot be started; false then.
bool PaintDocument(QPainter &painter, QPagedPaintDevice &device, const Geometry &g, const Report &report,
                   Mode mode, int total);

struct PdfResult {
    bool ok = false;
    QString message; // for the operator when !ok
};
// Writes all pages of the mode to a PDF file of the page's size (landscape for curves,
// portrait for text). The file is replaced only when every page was written.
[[nodiscard]] PdfResult WritePdf(const CNodeDataSave &store, const QString &path, Mode mode, int curvePages);

} // namespace ReportPages
