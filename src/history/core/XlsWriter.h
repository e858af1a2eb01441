#pragma once

#include <QIODevice>
#include <QList>
#include <QString>

#include <functional>

// The project's own writer of Excel 97-2003 workbooks (BIFF8 records in a compound file).
// Cells are texts (LABEL records, texts unchanged, apostrophes included) or numbers.
namespace XlsWriter {

inline constexpr int kMaxRows = 65536;
inline constexpr int kMaxColumns = 256;
inline constexpr int kMaxSheetName = 31;
inline constexpr int kMaxTextLength = 255; // longer texts are cut (LABEL limit)

struct Cell {
    enum Kind { Empty, Text, Number };
    Kind kind = Empty;
    QString text;
    double number = 0;
    static Cell OfText(const QString &t) { return {Text, t, 0}; }
    static Cell OfNumber(double v) { return {Number, {}, v}; }
};

// A sheet whose cells are asked for while writing, so large sheets need no copy.
struct Sheet {
    QString name;
    int rows = 0;
    int columns = 0;
    std::function<Cell(int row, int column)> cell;
};

// Writes the workbook. False with a reason when a sheet exceeds the format's limits (rows,
// columns, name length, duplicate name) or the device refuses a write; nothing is written
// in the first case.
[[nodiscard]] bool Write(QIODevice &out, const QList<Sheet> &sheets, QString *error = nullptr);

} // namespace XlsWriter
