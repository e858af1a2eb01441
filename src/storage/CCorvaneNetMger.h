#pragma once

#include <QSqlQuery>
#include <QString>
#include <QtGlobal>

#include <array>
#include <unordered_map>
#include <utility>
#include <vector>

// One row of the node table CorvaneRFMS, in column order. A fresh row has empty texts, zero
// numbers and zero times; a NULL column reads as that fresh value.
struct NodeRow {
    static constexpr int kBindSlots = 10;
    // Column limits of the node table (characters).
    static constexpr int kNameLength = 32;
    static constexpr int kAddressLength = 16;
    static constexpr int kShortAddressLength = 10;
    static constexpr int kPhoneLength = 15;

    qint32 id = 0;
    QString name;
    QString extaddress;
    QString shortAddress;
    quint8 type = 0;
    qint32 fatherid = 0;
    int childsnumble = 0; // 16-bit column
    quint8 runstate = 0;
    qint64 startTime = 0; // seconds since 1970 UTC
    qint64 endTime = 0;
    qint32 sampleCap = 0;
    float channel1_upper = 0.0f;
    float channel1_lower = 0.0f;
    float channel2_upper = 0.0f;
    float channel2_lower = 0.0f;
    qint32 rtDataCap = 0;
    qint32 lengthDatas = 0;
    quint8 downloadplanmode = 0;
    qint64 downloadplantime = 0;
    qint32 lasthistorydataid = 0;
    QString gprs_local;
    std::array<QString, kBindSlots> gprs_bind; // gprs_bind1 .. gprs_bind10

    bool operator==(const NodeRow &other) const;
    bool operator!=(const NodeRow &other) const { return !(*this == other); }
};

// The 31 column names of the node table, in table order.
[[nodiscard]] const std::array<QString, 31> &NodeTableColumns();

// Change record of SaveNode: the columns named by the mask bits are written. The extended
// address in values always identifies the node, whether or not bit 0x4 is set.
struct NodeChange {
    enum Bit : quint32 {
        Name = 0x2,
        ExtAddress = 0x4,
        ShortAddress = 0x8,
        Type = 0x10,
        FatherId = 0x20,
        ChildsNumble = 0x40,
        RunState = 0x80,
        StartTime = 0x100,
        EndTime = 0x200,
        SampleCap = 0x400,
        Channel1Upper = 0x800,
        Channel1Lower = 0x1000,
        Channel2Upper = 0x2000,
        Channel2Lower = 0x4000,
        RtDataCap = 0x8000,
        LengthDatas = 0x10000,
        DownloadPlanMode = 0x20000,
        DownloadPlanTime = 0x40000,
    };
    quint32 mask = 0;
    NodeRow values;

    // Copies the columns named by mask from values into row.
    void ApplyTo(NodeRow &row) const;
};

// Node key of an 8-byte extended address: 16 lower-case hexadecimal digits, two per byte, in
// the order the bytes are held. It names the node's history tables.
[[nodiscard]] QString NodeKeyFromAddress(const std::array<quint8, 8> &address);

// A cursor over the whole node table sorted by id, on a named QtSql connection. Like a dynaset,
// it fixes the set and order of rows when it is (re)queried and reads a row's current values
// when it moves onto it; rows added later are seen only after the next re-query, rows deleted
// meanwhile read as missing. Moving past the last row sets the end flag, before the first
// the begin flag; an empty table sets both.
// Its statements are prepared once per connection; seeks by id and by address find the row
// through hash maps of the set (and the address index) instead of walking it.
class CCorvaneNetMger {
public:
    explicit CCorvaneNetMger(QString connectionName = QString());

    void SetConnectionName(const QString &connectionName);
    // Opens the cursor on [CorvaneRFMS] sorted by id and moves to the first row.
    [[nodiscard]] bool Open();
    void Close();
    [[nodiscard]] bool IsOpen() const { return m_open; }
    // Reads the set of rows again and moves to the first row.
    [[nodiscard]] bool Requery();
    // The same after a write of this program: when no other connection changed the table since
    // the set was read, the set is kept (plus the row added by rowid addedRowId, if not 0)
    // instead of being read again.
    [[nodiscard]] bool RequeryAfterWrite(qint64 addedRowId = 0, qint32 addedId = 0);
    // Current values of every row of the set in order, rows deleted meanwhile left out; the
    // cursor ends at the end of the set. One statement for the whole table, none when nothing
    // was written to the database since the last call (the rows are kept until then).
    [[nodiscard]] std::vector<NodeRow> ReadAll();

    [[nodiscard]] bool IsBOF() const { return m_bof; }
    [[nodiscard]] bool IsEOF() const { return m_eof; }
    void MoveFirst();
    void MoveNext();
    void MovePrev();
    void MoveLast();
    // Walks from the first row comparing ids; true when found (cursor on the row), false when
    // the end is reached.
    [[nodiscard]] bool SeekId(qint32 id);
    // Positions on the first row (in id order) whose extaddress equals the text exactly; false
    // (and the end flag) when there is none.
    [[nodiscard]] bool SeekAddress(const QString &address);
    // Largest id of the table, 0 when empty, -1 when not open.
    [[nodiscard]] qint32 LargestId();

    // The bound fields of the current row (fresh values at the begin or the end).
    [[nodiscard]] const NodeRow &Row() const { return m_row; }
    // Writable fields; changes reach the table through Update() after Edit() or AddNew().
    [[nodiscard]] NodeRow &Fields() { return m_row; }

    // Starts editing the current row; false when there is none.
    [[nodiscard]] bool Edit();
    // Starts a new row with fresh values.
    [[nodiscard]] bool AddNew();
    // Writes the columns that differ from the row as it stood when Edit()/AddNew() began.
    // After adding, the cursor's current row is the one that was current before AddNew().
    [[nodiscard]] bool Update();
    void CancelUpdate();
    // Deletes the current row; the cursor stays on its place until it is moved.
    [[nodiscard]] bool Delete();

    [[nodiscard]] bool IsEditing() const { return m_mode == Mode::Edit; }
    [[nodiscard]] bool IsAdding() const { return m_mode == Mode::Add; }
    [[nodiscard]] QString LastError() const { return m_lastError; }
    // Rowid of the row the last successful Update() added.
    [[nodiscard]] qint64 LastAddedRowId() const { return m_addedRowId; }

private:
    enum class Mode { None, Edit, Add };
    struct Key {
        qint64 rowid;
        qint32 id;
    };

    void MoveTo(int index);
    bool Fetch();
    bool Fail(const QString &text);
    bool ReadKeys();
    bool ReadCurrentRows(std::vector<NodeRow> &rows);
    void AppendKey(const Key &key);
    // The statement prepared on this cursor's connection, prepared on first use.
    QSqlQuery *Prepared(QSqlQuery &query, const QString &statement);
    // Rows changed by this connection and SQLite's count of commits by other connections
    // (data_version); {-1, -1} when they cannot be read.
    std::pair<qint64, qint64> WriteState();

    QString m_connection;
    bool m_open = false;
    std::vector<Key> m_keys;
    std::unordered_map<qint64, int> m_indexOfRowId;
    std::unordered_map<qint32, int> m_firstOfId;
    qint64 m_dataVersion = -1; // when the set was read
    qint64 m_addedRowId = 0;
    QSqlQuery m_fetchQuery;
    QSqlQuery m_addressQuery;
    QSqlQuery m_stateQuery;
    std::vector<NodeRow> m_allRows; // what ReadAll() read last, for m_allRowsState
    std::pair<qint64, qint64> m_allRowsState{-1, -1};
    int m_pos = 0;
    bool m_bof = true;
    bool m_eof = true;
    NodeRow m_row;
    NodeRow m_original;
    NodeRow m_beforeAdd;
    Mode m_mode = Mode::None;
    QString m_lastError;
};
