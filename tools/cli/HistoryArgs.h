#pragma once

#include <QString>
#include <QStringList>

#include "storage/CCorvaneODBC.h"

#include <optional>

class CHistoryStore;

// Arguments the commands on stored history share: times, numbers, node keys, the database
// file and the record to load.
namespace cli {

// Seconds since 1970 or a local "YYYY-MM-DD HH:MM:SS".
[[nodiscard]] std::optional<qint64> ParseTime(const QString &text);
// Decimal, or hexadecimal with 0x.
[[nodiscard]] std::optional<qint64> ParseInteger(const QString &text);
// 16 hexadecimal digits, returned in lower case.
[[nodiscard]] std::optional<QString> NodeKey(const QString &text);
// Opens the database file: a bare name in the home's database folder as the program does,
// else the file at that path; read-only commands pass OpenMode::ReadOnly. False with the reason
// in error.
bool OpenDb(CCorvaneODBC &db, const QString &file, CCorvaneODBC::OpenMode mode, QString &error);
// Loads a stored record into the sample store as the history view does and applies the
// optional --from/--to taken from args. False with the reason in error.
bool LoadRecord(CHistoryStore &h, const QString &key, const QString &recordText, QStringList &args,
                QString &error);

} // namespace cli
