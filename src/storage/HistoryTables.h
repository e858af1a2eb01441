#pragma once

#include "storage/CNodeDataSave.h"
#include "storage/HistoryCodec.h"

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <vector>

class QSqlQuery;

class CCorvaneODBC;

// One segment header of the open record's chain, as read from its header row.
struct SegmentEntry {
    qint32 headerId = 0;
    bool isHeader = false;
    qint32 firstId = 0;
    qint32 lastId = 0;
    qint32 previousHeaderId = 0;
    qint32 byteCount = 0;
    quint8 flag = 0;
    QByteArray name; // 32 bytes

    // The entry of the header row headerId.
    [[nodiscard]] static SegmentEntry OfHeader(qint32 headerId, const HistoryCodec::SegmentHeader &header);
};

// What the link handling supplies when a download has finished: the node's logging period and
// settings as just written to its node-table row, and the downloaded block.
struct HistoryBlockInput {
    QString nodeKey;  // 16 lowercase hexadecimal digits
    QString nodeName; // the name column of the node's row
    qint64 startTime = 0;
    qint64 endTime = 0;
    qint64 interval = 0;
    quint8 alarmFlag = 0;
    float ch1Lower = 0.0f;
    float ch1Upper = 0.0f;
    float ch2Lower = 0.0f;
    float ch2Upper = 0.0f;
    quint8 deviceType = 0;
    qint64 startOffset = 0; // byte offset of the block's first byte within the logging period
    qint64 total = 0;       // bytes expected
    qint64 received = 0;    // bytes received
    QByteArray data;
};

// The per-node history tables on the database-access object's connection: the summary cursor
// over one node's summary table, the data cursor over one data table with the open record's
// segment chain, storing a downloaded block and loading a record into the sample store.
// Rows are reached by position in id order (a row's id equals its position). Operations
// return 1 for success and 0 for failure.
class CHistoryStore {
public:
    // Summary cursor state bits.
    static constexpr quint8 kOpen = 0x01;
    static constexpr quint8 kAdding = 0x02;
    static constexpr quint8 kEditing = 0x04;
    static constexpr quint8 kOutOfDate = 0x08;
    // Data cursor state bits.
    static constexpr quint8 kDataOpen = 0x01;
    static constexpr quint8 kChainLoaded = 0x10;

    explicit CHistoryStore(CCorvaneODBC &database);
    CHistoryStore(const CHistoryStore &) = delete;
    CHistoryStore &operator=(const CHistoryStore &) = delete;

    // ---- Summary table of one node ----
    [[nodiscard]] int OpenSummaryTable(const QString &nodeKey);
    void CloseSummaryTable();
    [[nodiscard]] int MoveFirstRecord();
    [[nodiscard]] int MoveNextRecord();
    [[nodiscard]] int MoveLastRecord();
    // Moves to the first row of that id in id order; past the last row when there is none.
    [[nodiscard]] int SeekRecord(qint32 id);
    [[nodiscard]] bool IsRecordEnd() const;
    // Id of the current row; -1 when not open or past the end.
    [[nodiscard]] qint32 RecordId() const;
    [[nodiscard]] int RecordCount() const { return (m_sumState & kOpen) ? m_sumRowCount : 0; }
    [[nodiscard]] quint8 SummaryState() const { return m_sumState; }
    [[nodiscard]] QString SummaryNodeKey() const { return m_sumKey; }

    [[nodiscard]] int AddSummaryRow();
    [[nodiscard]] int EditSummaryRow();
    [[nodiscard]] int UpdateNewSummaryRow();
    [[nodiscard]] int UpdateEditedSummaryRow();

    // Setters act only in the mode given by the mask (kAdding, kEditing) and refuse bad values.
    [[nodiscard]] int SetStartTime(int mode, qint64 seconds);
    [[nodiscard]] int SetEndTime(int mode, qint64 seconds);
    [[nodiscard]] int SetDataLength(int mode, qint64 bytes);
    [[nodiscard]] int SetRecordInterval(int mode, qint64 seconds);
    [[nodiscard]] int SetAlarm(int mode, quint8 flag, float ch1Lower, float ch1Upper, float ch2Lower,
                               float ch2Upper);
    [[nodiscard]] int SetTableCode(int mode, const QString &code);
    [[nodiscard]] int SetLastHeaderId(int mode, qint32 id);
    [[nodiscard]] int SetNodeName(int mode, const QString &name);
    [[nodiscard]] int SetDeviceType(int mode, quint8 type);

    [[nodiscard]] qint64 StartTime();
    [[nodiscard]] qint64 EndTime();
    [[nodiscard]] qint64 DataLength();
    [[nodiscard]] qint64 RecordInterval();
    [[nodiscard]] quint8 AlarmFlag();
    [[nodiscard]] float Channel1Lower();
    [[nodiscard]] float Channel1Upper();
    [[nodiscard]] float Channel2Lower();
    [[nodiscard]] float Channel2Upper();
    [[nodiscard]] QString TableCode();
    [[nodiscard]] qint32 LastHeaderId();
    [[nodiscard]] QString NodeName();
    [[nodiscard]] quint8 DeviceType();
    // Node key + "Data" + table code.
    [[nodiscard]] QString DataTableName();

    // ---- Data table ----
    [[nodiscard]] int OpenDataTable(const QString &tableName, int create);
    void CloseDataTable();
    [[nodiscard]] bool IsDataTableFull() const { return m_dataFull; }
    [[nodiscard]] quint8 DataState() const { return m_dataState; }
    // Reads the row at position id into the plain buffer; fails unless that row has that id.
    [[nodiscard]] int ReadDataRow(qint32 id);
    [[nodiscard]] const HistoryCodec::Row &PlainRow() const { return m_plain; }
    // 0 when the cursor is closed, the record has no segment or its chain is damaged.
    [[nodiscard]] int LoadSegmentChain(qint32 lastHeaderId);
    // The last chain loaded leads round in a circle: the record cannot be read.
    [[nodiscard]] bool ChainDamaged() const { return m_chainDamaged; }
    [[nodiscard]] const std::vector<SegmentEntry> &Segments() const { return m_segments; }
    // Writes byteCount bytes as one new segment of the current record; whole or not at all.
    [[nodiscard]] int AppendHistoryBlock(qint64 byteCount, QByteArray bytes);

    // Stores a finished download as a continuation of the node's last record or as a new
    // record, in one transaction: on any failure the database is left as it was. Samples the
    // last record already holds are not stored again (1 when nothing new was left).
    [[nodiscard]] int StoreHistoryBlock(const HistoryBlockInput &block);

    // Loads the current record into the sample store and selects its whole range.
    [[nodiscard]] int LoadRecordSamples();

    // The statement that reads the rows of ids ? to ? of a data table along its id index.
    [[nodiscard]] static QString RowRangeStatement(const QString &tableName);

    [[nodiscard]] CNodeDataSave &Samples() { return m_samples; }
    [[nodiscard]] const CNodeDataSave &Samples() const { return m_samples; }

private:
    [[nodiscard]] QSqlDatabase Db() const;
    [[nodiscard]] QString SummaryTable() const;
    bool LoadSummaryRow(int position);
    bool RequerySummary();
    void RefreshPlain();
    // The current row's plain fields, decoded when needed; nullptr while no summary table is open.
    [[nodiscard]] const HistoryCodec::SummaryPlain *Plain();
    bool SettableIn(int mode) const;
    int WriteSummary(bool insert);
    bool TableExists(const QString &table) const;
    // Reads the rows of ids first, first + 1, ... (count of them) in one statement along the id
    // index, decoding each; stops at the first id missing or repeated. Returns the number of
    // rows delivered.
    int ReadDataRows(qint32 first, qint32 count,
                     const std::function<void(qint32, const HistoryCodec::Row &)> &sink);
    // The codec of the open data table's rows for the current summary row's record.
    [[nodiscard]] HistoryCodec::DataRowCodec RowCodec();
    bool InsertDataRow(QSqlQuery &insert, const HistoryCodec::DataRowCodec &codec, qint32 id,
                       const HistoryCodec::Row &plain);
    // Inserts the rows and the header row of one new segment and records it; 1 on success.
    int WriteSegment(qint64 byteCount, const QByteArray &bytes);
    // Adds the written segment to the loaded chain and the record's length and last header.
    int RecordSegment(const HistoryCodec::SegmentHeader &header, qint32 headerId);
    int StoreInTransaction(const HistoryBlockInput &block);
    // On the node's last record: cuts from the block the bytes that record already holds (same
    // start and interval, the block starting within the stored bytes and agreeing with them).
    // True when nothing is left.
    bool DropStoredPart(HistoryBlockInput &block);
    // The stored bytes of each segment of the loaded chain, in order (cut at a missing row).
    void ForEachSegment(const std::function<void(const QByteArray &)> &sink);

    CCorvaneODBC &m_database;

    // Summary cursor.
    QString m_sumKey;
    quint8 m_sumState = 0;
    int m_sumRowCount = 0;
    int m_sumPos = -1;
    qint64 m_sumRowid = -1;
    qint32 m_sumId = 0;
    HistoryCodec::SummaryStored m_stored;
    QString m_storedTableName;
    QString m_storedName;
    HistoryCodec::SummaryPlain m_sum;
    HistoryCodec::TimeBytes m_sumStartBytes{};

    // Data cursor.
    QString m_dataTable;
    quint8 m_dataState = 0;
    bool m_dataFull = false;
    qint32 m_dataLastId = 0;
    HistoryCodec::Row m_plain{};
    qint32 m_plainId = -1;
    bool m_plainCurrent = false;
    std::vector<SegmentEntry> m_segments;
    bool m_chainDamaged = false;

    bool m_inTransaction = false;
    CNodeDataSave m_samples;
};
