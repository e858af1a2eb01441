#pragma once

#include "storage/CCorvaneNetMger.h"
#include "storage/HistoryTables.h"

#include <QSqlDatabase>
#include <QString>

// A failure the operator must see. The core never shows it itself: it hands it to the error
// sink that the user interface installs.
struct DatabaseError {
    enum class Kind {
        LinkFailed, // "Fail to link database", caption "ERROR", error icon
        Busy,       // another program is writing to the database; shown as LinkFailed is
        SqlError,   // "Database Error:" + driver text, default message box
    };
    Kind kind = Kind::SqlError;
    QString caption; // empty: the application's own title
    QString text;
};

class IDatabaseErrorSink {
public:
    virtual ~IDatabaseErrorSink() = default;
    virtual void ShowDatabaseError(const DatabaseError &error) = 0;
};

// The one database-access object: the connection to the database file (SQLite through QtSql)
// and the three node-table cursors. A database is one file in the home folder's database/
// folder whose name ends in "mdb". Operations return 1 for success and 0 for failure unless
// said otherwise.
class CCorvaneODBC {
public:
    // Longest full path of a database file: 259 in the path buffer and 95 in the data-source
    // attribute that names it, counted in bytes of the 8-bit encoding (a character outside ASCII
    // counts as two). Longer paths are refused.
    static constexpr int kMaxFullPath = 259;
    static constexpr int kMaxSourcePath = 95;

    CCorvaneODBC();
    ~CCorvaneODBC();
    CCorvaneODBC(const CCorvaneODBC &) = delete;
    CCorvaneODBC &operator=(const CCorvaneODBC &) = delete;

    // Not owned; nullptr drops the reports (they stay readable through LastError()).
    void SetErrorSink(IDatabaseErrorSink *sink) { m_sink = sink; }
    // Text of the last failure, reported or not (for the command-line tool and tests).
    [[nodiscard]] QString LastError() const { return m_lastError; }

    // Connects to database folder + "/" + fileName and opens the node cursors. Refused without
    // a report when the name does not end in "mdb" (case-sensitive) or the path is too long; a
    // missing or unreadable file reports "Fail to link database". A database without the node
    // table gets it.
    [[nodiscard]] int OpenDatabase(const QString &fileName);
    // How a database is opened.
    enum class OpenMode {
        Work,     // the program's own database: a missing node table is made
        Existing, // only a database of this system (node table, node tables, nothing else)
        ReadOnly, // as Existing, and nothing in the file is ever created or changed
    };
    // The same for a file named by its full path (command-line tool, tests). A database of
    // another program is refused in the modes other than Work.
    [[nodiscard]] int OpenDatabaseAt(const QString &fullPath, OpenMode mode = OpenMode::Work);
    // Makes a new database file at fullPath with the node table in it. An existing file is
    // never touched; the running connection is not switched to the new file.
    [[nodiscard]] int CreateDatabase(const QString &fullPath);
    // Issues the node-table statement on the given open connection.
    [[nodiscard]] int CreateNodeTable(QSqlDatabase connection);
    // Summary table nodeKey + "SUMM" on the working connection; a failure is not reported.
    [[nodiscard]] int CreateSummaryTable(const QString &nodeKey);
    // Data table of that name on the working connection; a failure is reported.
    [[nodiscard]] int CreateDataTable(const QString &tableName);
    // (Re)opens the lookup, iteration and edit cursors, in that order.
    [[nodiscard]] int OpenNodeCursors();
    void CloseDatabase();

    [[nodiscard]] bool IsOpen() const;
    // The working connection (invalid when no database is open), for the history tables.
    [[nodiscard]] QSqlDatabase Connection() const;
    [[nodiscard]] QString ConnectionName() const { return m_connectionName; }
    // Full path of the open database file.
    [[nodiscard]] QString DatabasePath() const { return m_path; }

    // The exact statements of the three kinds of table.
    [[nodiscard]] static QString NodeTableStatement();
    [[nodiscard]] static QString SummaryTableStatement(const QString &nodeKey);
    [[nodiscard]] static QString DataTableStatement(const QString &tableName);
    // Length of a text in bytes of the 8-bit encoding (non-ASCII characters count two).
    [[nodiscard]] static int LegacyByteLength(const QString &text);

    // Node table.
    // Iteration cursor: 0 when the table is empty, else on the first row and 1.
    [[nodiscard]] int FirstNode();
    // Every row of the iteration cursor's set in id order, read at once; the cursor ends at the
    // end (empty when FirstNode() gives 0).
    [[nodiscard]] std::vector<NodeRow> ReadNodes();
    // Moves on unless at the end; always 1.
    int NextNode();
    [[nodiscard]] bool IsNodeIterationEnd() const;
    // Id of the iteration row, -1 when the cursor is not open.
    [[nodiscard]] int IterationNodeId() const;
    // Lookup cursor: -1 when not open, 0 for an empty table, else the largest id.
    [[nodiscard]] int LargestNodeId();
    // 1 with the cursor on the row of that id, 0 when the end is reached.
    [[nodiscard]] int SeekLookupNode(int id);
    [[nodiscard]] int SeekEditNode(int id);
    // Id of the first row (by id) whose extaddress equals the text exactly, or -1.
    [[nodiscard]] int FindNodeIdByAddress(const QString &address);
    // Inserts or updates the node named by the change record's address. 1 when a row was
    // written; 0 when the address is not 16 characters, a text exceeds its column, or the
    // database refused the row (LastError() tells).
    [[nodiscard]] int SaveNode(const NodeChange &change);
    // Deletes the node's row and re-opens the cursors; 0 when the id is not found.
    [[nodiscard]] int DeleteNode(int id);

    [[nodiscard]] CCorvaneNetMger &LookupCursor() { return m_lookup; }
    [[nodiscard]] CCorvaneNetMger &IterationCursor() { return m_iteration; }
    // Positioned by SeekEditNode; other parts read and change the node's columns through it
    // (edit, assign, Update, Requery, and seek again).
    [[nodiscard]] CCorvaneNetMger &EditCursor() { return m_edit; }

    // The per-node history tables (summary and data cursors) and the sample store.
    [[nodiscard]] CHistoryStore &History() { return m_history; }
    // The link handling's own history cursors: storing a download or asking where the stored
    // history ends never moves the cursors a history view reads with.
    [[nodiscard]] CHistoryStore &LinkHistory() { return m_linkHistory; }

private:
    // Reports and remembers a failure the operator must see.
    void Report(DatabaseError::Kind kind, const QString &driverText);
    int Refuse(const QString &reason);
    bool PathTooLong(const QString &fullPath) const;

    QString m_connectionName;
    QString m_path;
    CCorvaneNetMger m_lookup;
    CCorvaneNetMger m_iteration;
    CCorvaneNetMger m_edit;
    IDatabaseErrorSink *m_sink = nullptr;
    QString m_lastError;
    CHistoryStore m_history{*this};
    CHistoryStore m_linkHistory{*this};
};

// The process-wide database-access object.
[[nodiscard]] CCorvaneODBC &theDatabase();
