#include "history/core/HistoryExport.h"

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "history/core/HistoryCoreLog.h"
#include "history/core/HistorySummary.h"
#include "storage/CCorvFile.h"

#include <QFileInfo>
#include <QSaveFile>

namespace HistoryExport {
namespace {

Result Failure(const QString &message)
{
    qCWarning(lcHistoryCore) << message;
    return {false, message};
}

XlsWriter::Sheet SummarySheet(const CNodeDataSave &store)
{
    const QList<HistorySummary::Row> rows = HistorySummary::ExportRows(store);
    return {LoadStr(385), int(rows.size()), 2, [rows](int r, int c) { // 概述
                return XlsWriter::Cell::OfText(c == 0 ? rows[r].item : rows[r].value);
            }};
}

// A data sheet: the column headers, then 'count' rows of the list from 'first'.
XlsWriter::Sheet DataSheet(const HistoryRows &rows, int number, int first, int count)
{
    return {LoadStr(384) + QString::number(number), count + 1, HistoryRows::ColumnCount, // 数据
            [&rows, first](int r, int c) {
                const QString t = r == 0 ? HistoryRows::Header(c) : rows.Cell(first + r - 1, c);
                return t.isEmpty() ? XlsWriter::Cell() : XlsWriter::Cell::OfText(t);
            }};
}

// The existing "数据" sheet as texts under the name of the backup sheet.
XlsWriter::Sheet BackupSheet(const XlsReader::SheetData &data)
{
    return {QLatin1String(kBackupSheet), int(data.rows.size()), data.columns, [&data](int r, int c) {
                const QString t = data.Text(r, c);
                return t.isEmpty() ? XlsWriter::Cell() : XlsWriter::Cell::OfText(t);
            }};
}

XlsWriter::Sheet KeptSheet(const XlsReader::SheetData &data)
{
    return {data.name, int(data.rows.size()), data.columns,
            [&data](int r, int c) { return c < data.rows[r].size() ? data.rows[r][c] : XlsWriter::Cell(); }};
}

const XlsReader::SheetData *FindSheet(const QList<XlsReader::SheetData> &sheets, const QString &name)
{
    for (const XlsReader::SheetData &s : sheets)
        if (s.name.compare(name, Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

// Writes through a temporary file that replaces path only when complete.
Result WriteFile(const QString &path, const std::function<bool(QIODevice &, QString *)> &write)
{
    QSaveFile file(path);
    QString error;
    if (!file.open(QIODevice::WriteOnly))
        return Failure(LoadStr(Sid::ExportWriteFailed).arg(path, file.errorString()));
    if (!write(file, &error)) {
        file.cancelWriting();
        return Failure(
            LoadStr(Sid::ExportWriteFailed).arg(path, error.isEmpty() ? file.errorString() : error));
    }
    if (!file.commit())
        return Failure(LoadStr(Sid::ExportWriteFailed).arg(path, file.errorString()));
    return {true, {}};
}

QByteArray CsvField(const QString &text)
{
    QByteArray utf8 = text.toUtf8();
    if (!utf8.contains(',') && !utf8.contains('"') && !utf8.contains('\n') && !utf8.contains('\r'))
        return utf8;
    utf8.replace("\"", "\"\"");
    return '"' + utf8 + '"';
}

QString Extension(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const int dot = int(name.indexOf(QLatin1Char('.')));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

} // namespace

SaveTarget ChooseTarget(const QString &chosenPath, int selectedFilter)
{
    const QString ext = Extension(QString(chosenPath).replace(QLatin1Char('\\'), QLatin1Char('/')));
    const struct {
        Target kind;
        Filter filter;
        const char *ext;
    } rules[] = {{Target::DataFile, FilterDataFile, "cvdf"},
                 {Target::Workbook, FilterWorkbook, "xls"},
                 {Target::Csv, FilterCsv, "csv"}};
    for (const auto &rule : rules) {
        const bool matches = ext == QLatin1String(rule.ext);
        if (matches || selectedFilter == rule.filter)
            return {rule.kind,
                    matches ? chosenPath : chosenPath + QLatin1Char('.') + QLatin1String(rule.ext)};
    }
    return {};
}

QList<XlsWriter::Sheet> ExportSheets(const CNodeDataSave &store, const HistoryRows &rows)
{
    QList<XlsWriter::Sheet> sheets{SummarySheet(store)};
    const int count = rows.RowCount();
    if (count < 1)
        return sheets;
    sheets.append(DataSheet(rows, 1, 0, std::min(count, kFirstSheetRows)));
    // Above 50000 rows a second sheet follows, empty when there are exactly 50001.
    for (int first = kFirstSheetRows, number = 2;
         count > kFirstSheetRows - 1 && (first < count || number == 2); first += kFurtherSheetRows, ++number)
        sheets.append(DataSheet(rows, number, first, std::clamp(count - first, 0, kFurtherSheetRows)));
    return sheets;
}

Result MergeSheets(const QList<XlsReader::SheetData> &existing, QList<XlsWriter::Sheet> &sheets)
{
    for (const XlsWriter::Sheet &s : sheets)
        if (FindSheet(existing, s.name))
            return {false, s.name};
    QList<XlsWriter::Sheet> merged;
    for (const XlsReader::SheetData &s : existing)
        merged.append(KeptSheet(s));
    // A backup already in the workbook stays; the new one is then dropped.
    const XlsReader::SheetData *data = FindSheet(existing, LoadStr(384)); // 数据
    if (data && data->columns > 0 && !FindSheet(existing, QLatin1String(kBackupSheet)))
        merged.append(BackupSheet(*data));
    sheets = merged + sheets;
    return {true, {}};
}

bool WriteWorkbook(QIODevice &out, const CNodeDataSave &store, QString *error)
{
    const HistoryRows rows(store);
    return XlsWriter::Write(out, ExportSheets(store, rows), error);
}

bool WriteCsv(QIODevice &out, const HistoryRows &rows)
{
    QByteArray buffer("\xEF\xBB\xBF"); // byte-order mark: spreadsheet programs then read UTF-8
    for (int r = -1; r < rows.RowCount(); ++r) {
        for (int c = 0; c < HistoryRows::ColumnCount; ++c) {
            if (c > 0)
                buffer += ',';
            buffer += CsvField(r < 0 ? HistoryRows::Header(c) : rows.Cell(r, c));
        }
        buffer += "\r\n";
        if (buffer.size() > (1 << 20)) {
            if (out.write(buffer) != buffer.size())
                return false;
            buffer.clear();
        }
    }
    return out.write(buffer) == buffer.size();
}

Result ExportSpreadsheet(const CNodeDataSave &store, const QString &path)
{
    if (!store.HasRange())
        return Failure(LoadStr(Sid::ExportNoData));
    const HistoryRows rows(store);
    QList<XlsWriter::Sheet> sheets = ExportSheets(store, rows);
    QList<XlsReader::SheetData> existing;
    if (QFileInfo(path).exists() && QFileInfo(path).size() > 0) {
        const std::optional<QList<XlsReader::SheetData>> read = XlsReader::Read(path);
        if (!read)
            return Failure(LoadStr(Sid::ExportUnreadable).arg(path));
        existing = *read;
        const Result merged = MergeSheets(existing, sheets);
        if (!merged.ok)
            return Failure(LoadStr(Sid::ExportSheetExists).arg(path, merged.message));
    }
    return WriteFile(
        path, [&sheets](QIODevice &out, QString *error) { return XlsWriter::Write(out, sheets, error); });
}

Result ExportCsv(const CNodeDataSave &store, const QString &path)
{
    if (!store.HasRange())
        return Failure(LoadStr(Sid::ExportNoData));
    const HistoryRows rows(store);
    return WriteFile(path, [&rows](QIODevice &out, QString *) { return WriteCsv(out, rows); });
}

Result SaveAs(CNodeDataSave &store, const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("xls"))
        return ExportSpreadsheet(store, path);
    if (ext == QLatin1String("csv"))
        return ExportCsv(store, path);
    if (ext != QLatin1String("cvdf"))
        return Failure(LoadStr(Sid::ExportWriteFailed).arg(path, QStringLiteral(".cvdf / .xls / .csv")));
    if (!store.HasRange())
        return Failure(LoadStr(Sid::ExportNoData));
    CCorvFile file(store);
    if (!file.SaveDataFile(path))
        return Failure(LoadStr(Sid::ExportWriteFailed).arg(path, QString()));
    return {true, {}};
}

} // namespace HistoryExport
