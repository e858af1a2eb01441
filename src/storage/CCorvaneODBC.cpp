#include "storage/CCorvaneODBC.h"
#include "storage/StorageLog.h"

#include "base/AppSettings.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/TextBytes.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {

const QString kDriver = QStringLiteral("QSQLITE");
const QString kNodeTable = QStringLiteral("CorvaneRFMS");

QString NewConnectionName(const char *purpose)
{
    static QAtomicInt counter;
    return QStringLiteral("corvane-%1-%2").arg(QLatin1String(purpose)).arg(counter.fetchAndAddRelaxed(1));
}

// A table name is spliced into its CREATE statement (names cannot be bound), so only letters
// and digits are taken; every name this program makes (node key + suffix) is of that form.
bool IsPlainTableName(const QString &name)
{
    if (name.isEmpty())
        return false;
    for (const QChar c : name) {
        if (c.unicode() > 0x7F || !c.isLetterOrNumber())
            return false;
    }
    return true;
}

bool ExecStatement(QSqlDatabase connection, const QString &statement, QString &error)
{
    QSqlQuery q(connection);
    if (q.exec(statement))
        return true;
    error = q.lastError().text();
    return false;
}

// error receives the failure of a database that cannot be read.
bool HasNodeTable(QSqlDatabase connection, QSqlError &error)
{
    QSqlQuery q(connection);
    q.prepare(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = ?"));
    q.addBindValue(kNodeTable);
    if (!q.exec() || !q.next()) {
        error = q.lastError();
        return false;
    }
    return q.value(0).toInt() > 0;
}

// Column names of a table, in order; empty when it cannot be read.
QStringList ColumnsOf(QSqlDatabase connection, const QString &table)
{
    QStringList columns;
    QSqlQuery q(connection);
    if (q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table))) {
        while (q.next())
            columns << q.value(1).toString();
    }
    return columns;
}

// The columns of the node table as this program makes it.
const QStringList &NodeColumns()
{
    static const QStringList columns = [] {
        const QString name = NewConnectionName("columns");
        QStringList found;
        {
            QSqlDatabase memory = QSqlDatabase::addDatabase(kDriver, name);
            memory.setDatabaseName(QStringLiteral(":memory:"));
            QString error;
            if (memory.open() && ExecStatement(memory, CCorvaneODBC::NodeTableStatement(), error))
                found = ColumnsOf(memory, kNodeTable);
            memory.close();
        }
        QSqlDatabase::removeDatabase(name);
        return found;
    }();
    return columns;
}

// Why an open database is no database of this system; empty when it is one. Its tables are
// the node table with its own columns and per-node summary and data tables, nothing else.
QString ForeignReason(QSqlDatabase connection, QSqlError &error)
{
    QSqlQuery q(connection);
    if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"))) {
        error = q.lastError();
        return {};
    }
    static const QRegularExpression nodeTables(QStringLiteral("^[0-9a-fA-F]{16}(SUMM|Data.{3})$"));
    bool hasNodeTable = false;
    while (q.next()) {
        const QString table = q.value(0).toString();
        if (table == kNodeTable)
            hasNodeTable = true;
        else if (!table.startsWith(QLatin1String("sqlite_")) && !nodeTables.match(table).hasMatch())
            return QStringLiteral("it holds the foreign table %1").arg(table);
    }
    if (!hasNodeTable)
        return QStringLiteral("it has no node table %1").arg(kNodeTable);
    if (ColumnsOf(connection, kNodeTable) != NodeColumns())
        return QStringLiteral("its node table has other columns");
    return {};
}

// Lookups by extended address walk this index. A database made before it existed gains it on
// open; the rows stay as they are. A file that cannot take it (read-only medium, another
// program writing) is still opened: lookups are then only slower.
void EnsureAddressIndex(QSqlDatabase connection)
{
    QString error;
    if (!ExecStatement(
            connection,
            QStringLiteral("CREATE INDEX IF NOT EXISTS CorvaneRFMS_extaddress ON CorvaneRFMS (extaddress)"),
            error))
        qCWarning(lcStorage) << "no index on the node addresses:" << error;
}

// SQLite's codes for a database another connection is writing to.
bool IsBusy(const QSqlError &error)
{
    return error.nativeErrorCode() == QLatin1String("5") || error.nativeErrorCode() == QLatin1String("6");
}

} // namespace

// The process-wide object outlives the application object, and Qt's registry of connections
// goes with the application: its connection is closed while the application ends.
static void CloseProcessDatabase()
{
    theDatabase().CloseDatabase();
}

CCorvaneODBC &theDatabase()
{
    static CCorvaneODBC database;
    static const bool closesWithApplication = (qAddPostRoutine(&CloseProcessDatabase), true);
    Q_UNUSED(closesWithApplication);
    return database;
}

CCorvaneODBC::CCorvaneODBC() : m_connectionName(NewConnectionName("db")) {}

CCorvaneODBC::~CCorvaneODBC()
{
    // Without an application object Qt's connection registry may be gone already.
    if (QCoreApplication::instance())
        CloseDatabase();
}

QString CCorvaneODBC::NodeTableStatement()
{
    QString s = QStringLiteral("CREATE TABLE CorvaneRFMS (") + QStringLiteral("id LONG, ") +
                QStringLiteral("name TEXT(32), ") + QStringLiteral("extaddress TEXT(16), ") +
                QStringLiteral("shortAddress TEXT(10), ") + QStringLiteral("type BYTE, ") +
                QStringLiteral("fatherid LONG, ") + QStringLiteral("childsnumble INTEGER, ") +
                QStringLiteral("runstate BYTE, ") + QStringLiteral("startTime DATE, ") +
                QStringLiteral("endTime DATE, ") + QStringLiteral("sampleCap LONG, ") +
                QStringLiteral("channel1_upper SINGLE, ") + QStringLiteral("channel1_lower SINGLE, ") +
                QStringLiteral("channel2_upper SINGLE, ") + QStringLiteral("channel2_lower SINGLE, ") +
                QStringLiteral("rtDataCap LONG, ") + QStringLiteral("lengthDatas LONG, ") +
                QStringLiteral("downloadplanmode BYTE, ") + QStringLiteral("downloadplantime DATE, ") +
                QStringLiteral("lasthistorydataid LONG, ") + QStringLiteral("gprs_local TEXT(15), ");
    for (int k = 1; k <= 10; ++k)
        s += QStringLiteral("gprs_bind%1 TEXT(15)").arg(k) +
             (k < 10 ? QStringLiteral(", ") : QStringLiteral(")"));
    return s;
}

// A node key may begin with a digit, which SQLite takes as a number unless the name is
// bracketed; the columns are those of the Access statements.
QString CCorvaneODBC::SummaryTableStatement(const QString &nodeKey)
{
    QString s = QStringLiteral("CREATE TABLE [") + nodeKey + QStringLiteral("SUMM") + QStringLiteral("] (") +
                QStringLiteral("id LONG, ");
    for (int i = 0; i < 7; ++i)
        s += QStringLiteral("startTime%1 BYTE, ").arg(i);
    for (int i = 0; i < 7; ++i)
        s += QStringLiteral("endTime%1 BYTE, ").arg(i);
    for (int i = 0; i < 4; ++i)
        s += QStringLiteral("lengthDatas%1 BYTE, ").arg(i);
    for (int i = 0; i < 3; ++i)
        s += QStringLiteral("sampleCap%1 BYTE, ").arg(i);
    s += QStringLiteral("isWarn BYTE, ") + QStringLiteral("channel1_upperH BYTE, ") +
         QStringLiteral("channel1_upperL BYTE, ") + QStringLiteral("channel1_lowerH BYTE, ") +
         QStringLiteral("channel1_lowerL BYTE, ") + QStringLiteral("channel2_upperH BYTE, ") +
         QStringLiteral("channel2_upperL BYTE, ") + QStringLiteral("channel2_lowerH BYTE, ") +
         QStringLiteral("channel2_lowerL BYTE, ") + QStringLiteral("tableName TEXT(3), ") +
         QStringLiteral("tablestartid LONG, ") + QStringLiteral("insName TEXT(32), ") +
         QStringLiteral("insType BYTE)");
    return s;
}

QString CCorvaneODBC::DataTableStatement(const QString &tableName)
{
    QString s =
        QStringLiteral("CREATE TABLE [") + tableName + QStringLiteral("] (") + QStringLiteral("id LONG, ");
    for (int i = 0; i < 60; ++i) {
        s += QStringLiteral("data%1_0 BYTE, ").arg(i);
        s += QStringLiteral("data%1_1 BYTE").arg(i) + (i < 59 ? QStringLiteral(", ") : QStringLiteral(")"));
    }
    return s;
}

int CCorvaneODBC::LegacyByteLength(const QString &text)
{
    return ::LegacyByteLength(text);
}

bool CCorvaneODBC::PathTooLong(const QString &fullPath) const
{
    const int bytes = LegacyByteLength(fullPath);
    return bytes > kMaxFullPath || bytes > kMaxSourcePath;
}

void CCorvaneODBC::Report(DatabaseError::Kind kind, const QString &driverText)
{
    DatabaseError error;
    error.kind = kind;
    if (kind == DatabaseError::Kind::LinkFailed) {
        error.caption = LoadStr(Sid::DbErrorTitle);
        error.text = LoadStr(Sid::DbLinkFailed);
    } else if (kind == DatabaseError::Kind::Busy) {
        error.caption = LoadStr(Sid::DbErrorTitle);
        error.text = LoadStr(Sid::DatabaseBusy);
    } else {
        error.text = LoadStr(Sid::DbError) + driverText;
    }
    m_lastError = error.text;
    if (kind != DatabaseError::Kind::SqlError && !driverText.isEmpty())
        m_lastError += QStringLiteral(" (") + driverText + QLatin1Char(')');
    qCWarning(lcStorage) << m_lastError;
    if (m_sink)
        m_sink->ShowDatabaseError(error);
}

int CCorvaneODBC::Refuse(const QString &reason)
{
    m_lastError = reason;
    qCWarning(lcStorage) << reason;
    return 0;
}

bool CCorvaneODBC::IsOpen() const
{
    return QSqlDatabase::contains(m_connectionName) &&
           QSqlDatabase::database(m_connectionName, false).isOpen();
}

QSqlDatabase CCorvaneODBC::Connection() const
{
    return QSqlDatabase::contains(m_connectionName) ? QSqlDatabase::database(m_connectionName, false)
                                                    : QSqlDatabase();
}

void CCorvaneODBC::CloseDatabase()
{
    m_lookup.Close();
    m_iteration.Close();
    m_edit.Close();
    m_path.clear();
    if (QSqlDatabase::contains(m_connectionName)) {
        QSqlDatabase::database(m_connectionName, false).close();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

int CCorvaneODBC::OpenDatabase(const QString &fileName)
{
    if (!fileName.endsWith(QLatin1String("mdb")))
        return Refuse(QStringLiteral("database name does not end in \"mdb\": %1").arg(fileName));
    if (fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\')))
        return Refuse(QStringLiteral("database name names a folder: %1").arg(fileName));
    return OpenDatabaseAt(AppSettings::Instance().DatabaseFolder() + QLatin1Char('/') + fileName);
}

int CCorvaneODBC::OpenDatabaseAt(const QString &fullPath, OpenMode mode)
{
    if (!fullPath.endsWith(QLatin1String("mdb")))
        return Refuse(QStringLiteral("database name does not end in \"mdb\": %1").arg(fullPath));
    if (PathTooLong(fullPath))
        return Refuse(
            QStringLiteral("database path longer than %1 bytes: %2").arg(kMaxSourcePath).arg(fullPath));

    CloseDatabase();
    // SQLite would make a missing file; a database that is not there cannot be linked to.
    if (!QFileInfo(fullPath).isFile()) {
        Report(DatabaseError::Kind::LinkFailed, QStringLiteral("no such file: %1").arg(fullPath));
        return 0;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(kDriver, m_connectionName);
    db.setDatabaseName(fullPath);
    if (mode == OpenMode::ReadOnly)
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    QSqlError error;
    bool hasTable = false;
    QString foreign;
    if (!db.open())
        error = db.lastError();
    else if (mode == OpenMode::Work)
        hasTable = HasNodeTable(db, error);
    else
        foreign = ForeignReason(db, error);
    if (error.type() != QSqlError::NoError) {
        db = QSqlDatabase();
        CloseDatabase();
        Report(IsBusy(error) ? DatabaseError::Kind::Busy : DatabaseError::Kind::LinkFailed, error.text());
        return 0;
    }
    if (!foreign.isEmpty()) {
        db = QSqlDatabase();
        CloseDatabase();
        return Refuse(QStringLiteral("%1 is not a database of this system: %2").arg(fullPath, foreign));
    }
    m_path = fullPath;
    if (mode == OpenMode::Work && !hasTable && !CreateNodeTable(Connection())) {
        CloseDatabase();
        return 0;
    }
    if (mode != OpenMode::ReadOnly)
        EnsureAddressIndex(Connection());
    if (!OpenNodeCursors()) {
        Report(DatabaseError::Kind::SqlError, m_lookup.LastError());
        CloseDatabase();
        return 0;
    }
    return 1;
}

int CCorvaneODBC::CreateDatabase(const QString &fullPath)
{
    if (fullPath.isEmpty())
        return Refuse(QStringLiteral("no database path"));
    if (PathTooLong(fullPath))
        return Refuse(
            QStringLiteral("database path longer than %1 bytes: %2").arg(kMaxSourcePath).arg(fullPath));
    const QFileInfo info(fullPath);
    if (info.exists())
        return Refuse(QStringLiteral("file exists, not overwritten: %1").arg(fullPath));
    if (!info.absoluteDir().exists())
        return Refuse(QStringLiteral("folder does not exist: %1").arg(info.absolutePath()));

    const QString name = NewConnectionName("create");
    int result = 0;
    bool created = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(kDriver, name);
        db.setDatabaseName(fullPath);
        if (db.open()) {
            created = true;
            result = CreateNodeTable(db);
            db.close();
        } else {
            Report(DatabaseError::Kind::LinkFailed, db.lastError().text());
        }
    }
    QSqlDatabase::removeDatabase(name);
    // A file left without its node table would pass for a database: take it away again.
    if (!result && created)
        QFile::remove(fullPath);
    return result;
}

int CCorvaneODBC::CreateNodeTable(QSqlDatabase connection)
{
    QString error;
    if (!connection.isOpen()) {
        Report(DatabaseError::Kind::SqlError, QStringLiteral("connection not open"));
        return 0;
    }
    if (!ExecStatement(connection, NodeTableStatement(), error)) {
        Report(DatabaseError::Kind::SqlError, error);
        return 0;
    }
    return 1;
}

int CCorvaneODBC::CreateSummaryTable(const QString &nodeKey)
{
    QString error;
    if (!IsOpen())
        return Refuse(QStringLiteral("no database open"));
    if (!IsPlainTableName(nodeKey))
        return Refuse(QStringLiteral("unusable node key: %1").arg(nodeKey));
    if (!ExecStatement(Connection(), SummaryTableStatement(nodeKey), error))
        return Refuse(error);
    return 1;
}

int CCorvaneODBC::CreateDataTable(const QString &tableName)
{
    QString error;
    if (!IsOpen())
        return Refuse(QStringLiteral("no database open"));
    if (!IsPlainTableName(tableName)) {
        Report(DatabaseError::Kind::SqlError, QStringLiteral("unusable table name: %1").arg(tableName));
        return 0;
    }
    if (!ExecStatement(Connection(), DataTableStatement(tableName), error)) {
        Report(DatabaseError::Kind::SqlError, error);
        return 0;
    }
    return 1;
}

int CCorvaneODBC::OpenNodeCursors()
{
    for (CCorvaneNetMger *cursor : {&m_lookup, &m_iteration, &m_edit}) {
        cursor->Close();
        if (!IsOpen())
            return 0;
        cursor->SetConnectionName(m_connectionName);
        if (!cursor->Open())
            return Refuse(cursor->LastError());
    }
    return 1;
}

int CCorvaneODBC::FirstNode()
{
    if (!m_iteration.IsOpen() || (m_iteration.IsBOF() && m_iteration.IsEOF()))
        return 0;
    m_iteration.MoveFirst();
    return 1;
}

std::vector<NodeRow> CCorvaneODBC::ReadNodes()
{
    if (!FirstNode())
        return {};
    return m_iteration.ReadAll();
}

int CCorvaneODBC::NextNode()
{
    if (!m_iteration.IsEOF())
        m_iteration.MoveNext();
    return 1;
}

bool CCorvaneODBC::IsNodeIterationEnd() const
{
    return m_iteration.IsEOF();
}

int CCorvaneODBC::IterationNodeId() const
{
    return m_iteration.IsOpen() ? m_iteration.Row().id : -1;
}

int CCorvaneODBC::LargestNodeId()
{
    return m_lookup.LargestId();
}

int CCorvaneODBC::SeekLookupNode(int id)
{
    return m_lookup.SeekId(id) ? 1 : 0;
}

int CCorvaneODBC::SeekEditNode(int id)
{
    return m_edit.SeekId(id) ? 1 : 0;
}

int CCorvaneODBC::FindNodeIdByAddress(const QString &address)
{
    return m_lookup.SeekAddress(address) ? m_lookup.Row().id : -1;
}

int CCorvaneODBC::SaveNode(const NodeChange &change)
{
    const QString &address = change.values.extaddress;
    if (address.size() != NodeRow::kAddressLength)
        return Refuse(QStringLiteral("extended address is not %1 characters: %2")
                          .arg(NodeRow::kAddressLength)
                          .arg(address));
    if (!m_edit.IsOpen())
        return Refuse(QStringLiteral("no database open"));

    bool started = false;
    bool added = false;
    int newId = 0;
    const int id = FindNodeIdByAddress(address);
    if (id >= 1) {
        started = SeekEditNode(id) && m_edit.Edit();
    } else {
        const int largest = LargestNodeId();
        if (largest < 0)
            return Refuse(QStringLiteral("node table not readable"));
        m_edit.MoveLast();
        m_edit.MoveNext();
        if (m_edit.IsEOF() && m_edit.AddNew()) {
            newId = largest + 1;
            m_edit.Fields().id = newId;
            started = added = true;
        }
    }
    if (!started)
        return Refuse(QStringLiteral("node %1 can be neither found nor added").arg(address));

    change.ApplyTo(m_edit.Fields());
    const bool written = m_edit.Update();
    const QString error = m_edit.LastError();
    if (!written || !added) {
        (void)m_edit.RequeryAfterWrite();
        return written ? 1 : Refuse(error);
    }
    // Every cursor takes the new row into its set, as re-opening them would.
    const qint64 rowId = m_edit.LastAddedRowId();
    for (CCorvaneNetMger *cursor : {&m_lookup, &m_iteration, &m_edit}) {
        if (!cursor->RequeryAfterWrite(rowId, newId))
            return Refuse(cursor->LastError());
    }
    return 1;
}

int CCorvaneODBC::DeleteNode(int id)
{
    if (!SeekEditNode(id))
        return 0;
    if (!m_edit.Delete())
        return Refuse(m_edit.LastError());
    m_edit.MoveNext();
    if (!OpenNodeCursors())
        return 0;
    return 1;
}
