#include "HistoryArgs.h"

#include "CliCommon.h"

#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "storage/CCorvaneODBC.h"
#include "storage/HistoryTables.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <limits>

namespace cli {

std::optional<qint64> ParseTime(const QString &text)
{
    bool ok = false;
    const qint64 seconds = text.toLongLong(&ok);
    // Stored times are calendar bytes from 1970 on: an earlier time cannot be kept.
    if (ok)
        return seconds >= 0 ? std::optional<qint64>(seconds) : std::nullopt;
    static const QRegularExpression form(
        QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})[ T](\\d{1,2}):(\\d{1,2}):(\\d{1,2})$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    CvTime::LocalFields f;
    f.year = m.captured(1).toInt();
    f.month = m.captured(2).toInt();
    f.day = m.captured(3).toInt();
    f.hour = m.captured(4).toInt();
    f.minute = m.captured(5).toInt();
    f.second = m.captured(6).toInt();
    const std::optional<qint64> local = CvTime::FromLocal(f);
    return local && *local >= 0 ? local : std::nullopt;
}

std::optional<qint64> ParseInteger(const QString &text)
{
    bool ok = false;
    const qint64 v = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                         ? text.mid(2).toLongLong(&ok, 16)
                         : text.toLongLong(&ok, 10);
    return ok ? std::optional<qint64>(v) : std::nullopt;
}

std::optional<QString> NodeKey(const QString &text)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9a-fA-F]{16}$"));
    if (!hex.match(text).hasMatch())
        return std::nullopt;
    return text.toLower();
}

// Opens the database file: a bare name in the home's database folder as the program does,
// else (or when no such file is there) the file at that path; the name must end in "mdb".
// Only a database of this system is opened, read-only for the commands that only read.
bool OpenDb(CCorvaneODBC &db, const QString &file, CCorvaneODBC::OpenMode mode, QString &error)
{
    const bool bare = !file.contains(QLatin1Char('/')) && !file.contains(QLatin1Char('\\'));
    const QString inHome = AppSettings::Instance().DatabaseFolder() + QLatin1Char('/') + file;
    const QString path = bare && QFileInfo::exists(inHome) ? inHome : QFileInfo(file).absoluteFilePath();
    if (db.OpenDatabaseAt(path, mode))
        return true;
    error = db.LastError().isEmpty() ? QStringLiteral("cannot open database %1").arg(file) : db.LastError();
    return false;
}

// Loads a record into the store as the history view does and applies --from/--to.
bool LoadRecord(CHistoryStore &h, const QString &key, const QString &recordText, QStringList &args,
                QString &error)
{
    const std::optional<qint64> record = ParseInteger(recordText);
    if (!record || *record < 1 || *record > std::numeric_limits<qint32>::max()) {
        error = QStringLiteral("bad record id: %1").arg(recordText);
        return false;
    }
    QString fromText;
    QString toText;
    const bool hasFrom = cli::TakeOption(args, QStringLiteral("--from"), fromText);
    const bool hasTo = cli::TakeOption(args, QStringLiteral("--to"), toText);
    if (!h.OpenSummaryTable(key)) {
        error = QStringLiteral("no history for node %1").arg(key);
        return false;
    }
    if (!h.SeekRecord(static_cast<qint32>(*record))) {
        error = QStringLiteral("no record %1 for node %2").arg(*record).arg(key);
        return false;
    }
    if (!h.OpenDataTable(h.DataTableName(), 0)) {
        error = QStringLiteral("data table %1 missing").arg(h.DataTableName());
        return false;
    }
    if (!h.LoadSegmentChain(h.LastHeaderId()) && h.ChainDamaged()) {
        error = QStringLiteral("damaged record %1 of node %2: its segment chain loops").arg(*record).arg(key);
        return false;
    }
    (void)h.LoadRecordSamples();
    CNodeDataSave &s = h.Samples();
    if (hasFrom || hasTo) {
        const std::optional<qint64> from =
            hasFrom ? ParseTime(fromText) : std::optional<qint64>(s.recordStart);
        const std::optional<qint64> to = hasTo ? ParseTime(toText) : std::optional<qint64>(s.recordEnd);
        if (!from || !to) {
            error = QStringLiteral("bad time in --from/--to");
            return false;
        }
        // The history view applies a range only inside the record.
        if (!(s.recordStart <= *from && *from <= *to && *to <= s.recordEnd) ||
            !s.ComputeRangeStatistics(*from, *to)) {
            error = QStringLiteral("range refused: the record runs from %1 to %2")
                        .arg(s.recordStart)
                        .arg(s.recordEnd);
            return false;
        }
    }
    return true;
}

} // namespace cli
