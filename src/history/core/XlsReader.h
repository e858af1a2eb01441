#pragma once

#include "history/core/XlsWriter.h"

#include <QList>
#include <QString>

#include <optional>

// Reads the sheets of an existing Excel 97-2003 workbook (names and cell values) so that a
// rewritten workbook keeps them.
namespace XlsReader {

struct SheetData {
    QString name;
    int columns = 0;
    QList<QList<XlsWriter::Cell>> rows;
    // The cell as text (numbers in their shortest exact form); empty outside the sheet.
    [[nodiscard]] QString Text(int row, int column) const;
};

// Every sheet of the workbook at path; empty with a reason when it cannot be read.
[[nodiscard]] std::optional<QList<SheetData>> Read(const QString &path, QString *error = nullptr);

} // namespace XlsReader
