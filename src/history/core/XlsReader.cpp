#include "history/core/XlsReader.h"

#include "history/core/HistoryCoreLog.h"

#include <QFile>

#include <freexl.h>

namespace XlsReader {
namespace {

XlsWriter::Cell CellOf(const FreeXL_CellValue &v)
{
    switch (v.type) {
    case FREEXL_CELL_INT:
        return XlsWriter::Cell::OfNumber(v.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return XlsWriter::Cell::OfNumber(v.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        return XlsWriter::Cell::OfText(QString::fromUtf8(v.value.text_value));
    default:
        return {};
    }
}

bool ReadSheet(const void *handle, unsigned short index, SheetData &sheet)
{
    const char *name = nullptr;
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_get_worksheet_name(handle, index, &name) != FREEXL_OK ||
        freexl_select_active_worksheet(handle, index) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK)
        return false;
    sheet.name = QString::fromUtf8(name);
    sheet.columns = columns;
    sheet.rows.reserve(int(rows));
    for (unsigned int r = 0; r < rows; ++r) {
        QList<XlsWriter::Cell> row(columns);
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue v;
            if (freexl_get_cell_value(handle, r, c, &v) != FREEXL_OK)
                return false;
            row[c] = CellOf(v);
        }
        sheet.rows.append(row);
    }
    return true;
}

} // namespace

QString SheetData::Text(int row, int column) const
{
    if (row < 0 || row >= rows.size() || column < 0 || column >= rows[row].size())
        return {};
    const XlsWriter::Cell &c = rows[row][column];
    return c.kind == XlsWriter::Cell::Number ? QString::number(c.number, 'g', 15) : c.text;
}

std::optional<QList<SheetData>> Read(const QString &path, QString *error)
{
    const void *handle = nullptr;
    const int opened = freexl_open(QFile::encodeName(path).constData(), &handle);
    unsigned int count = 0;
    QList<SheetData> sheets;
    bool ok = opened == FREEXL_OK && freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count) == FREEXL_OK;
    for (unsigned int i = 0; ok && i < count; ++i) {
        SheetData sheet;
        ok = ReadSheet(handle, static_cast<unsigned short>(i), sheet);
        sheets.append(sheet);
    }
    freexl_close(handle); // also after a failed open
    if (ok)
        return sheets;
    qCWarning(lcHistoryCore) << "cannot read workbook" << path << "freexl status" << opened;
    if (error)
        *error = QStringLiteral("not a readable Excel 97-2003 workbook: %1").arg(path);
    return std::nullopt;
}

} // namespace XlsReader
