#pragma once

#include "history/core/HistoryRows.h"
#include "history/core/XlsReader.h"
#include "history/core/XlsWriter.h"
#include "storage/CNodeDataSave.h"

#include <QIODevice>
#include <QString>

// "另存为" of the history view without a window: the workbook (summary sheet "概述", data
// sheets "数据1", "数据2", …), the CSV file and the data file, shared by the view, corvane-cli
// and the tests.
namespace HistoryExport {

// Rows of the first data sheet, of the second, and of every further one.
inline constexpr int kFirstSheetRows = 50001;
inline constexpr int kFurtherSheetRows = 65535;
inline constexpr const char *kBackupSheet = "CSpreadSheetBackup";

enum class Target { None, DataFile, Workbook, Csv };
// Filters of the save dialog in order: data file, workbook, CSV.
enum Filter { FilterDataFile = 0, FilterWorkbook = 1, FilterCsv = 2 };

struct SaveTarget {
    Target kind = Target::None;
    QString path; // the chosen path with the extension appended when it was missing
};
// The save dialog's rule: the extension is the text after the first "." of the file name; a
// matching extension or the selected filter decides, data file first. ("data.txt" with the
// data-file filter gives "data.txt.cvdf".)
[[nodiscard]] SaveTarget ChooseTarget(const QString &chosenPath, int selectedFilter);

struct Result {
    bool ok = false;
    QString message; // for the operator when !ok
};

// The sheets a new workbook gets: summary, then data sheets (none for an empty range).
[[nodiscard]] QList<XlsWriter::Sheet> ExportSheets(const CNodeDataSave &store, const HistoryRows &rows);
// Sheets of the workbook that results from exporting into existing sheets: those sheets,
// the backup of the "数据" sheet, then the export's sheets. Fails (message) when the workbook
// already has one of the export's sheets.
[[nodiscard]] Result MergeSheets(const QList<XlsReader::SheetData> &existing,
                                 QList<XlsWriter::Sheet> &sheets);

// Pure writers (tests, benchmarks, corvane-cli).
[[nodiscard]] bool WriteWorkbook(QIODevice &out, const CNodeDataSave &store, QString *error = nullptr);
[[nodiscard]] bool WriteCsv(QIODevice &out, const HistoryRows &rows);

// Exports the store's range to path. An existing workbook is read first and rewritten with
// its sheets kept; every failure leaves the file as it was. Files are written to a temporary
// file and renamed.
[[nodiscard]] Result ExportSpreadsheet(const CNodeDataSave &store, const QString &path);
[[nodiscard]] Result ExportCsv(const CNodeDataSave &store, const QString &path);
// Writes by the path's extension (".cvdf", ".xls", ".csv").
[[nodiscard]] Result SaveAs(CNodeDataSave &store, const QString &path);

} // namespace HistoryExport
