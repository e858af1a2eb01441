#include "storage/HistoryTables.h"
#include "storage/StorageLog.h"

#include "storage/CCorvaneODBC.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <cstring>
#include <limits>

using namespace HistoryCodec;

namespace {

constexpr qint64 kMaxInterval = 0xFFFFFF; // 24 bits in the summary row
constexpr int kMaxNameLength = 32;

QString Bracketed(const QString &table)
{
    return QLatin1Char('[') + table + QLatin1Char(']');
}

// Summary columns after id, in table order, that this code reads and writes.
const QStringList &SummaryColumns()
{
    static const QStringList columns = [] {
        QStringList c;
        for (int i = 0; i < 7; ++i)
            c << QStringLiteral("startTime%1").arg(i);
        for (int i = 0; i < 7; ++i)
            c << QStringLiteral("endTime%1").arg(i);
        for (int i = 0; i < 4; ++i)
            c << QStringLiteral("lengthDatas%1").arg(i);
        for (int i = 0; i < 3; ++i)
            c << QStringLiteral("sampleCap%1").arg(i);
        c << QStringLiteral("isWarn") << QStringLiteral("channel1_upperH")
          << QStringLiteral("channel1_upperL") << QStringLiteral("channel1_lowerH")
          << QStringLiteral("channel1_lowerL") << QStringLiteral("channel2_upperH")
          << QStringLiteral("channel2_upperL") << QStringLiteral("channel2_lowerH")
          << QStringLiteral("channel2_lowerL") << QStringLiteral("tableName")
          << QStringLiteral("tablestartid") << QStringLiteral("insName") << QStringLiteral("insType");
        return c;
    }();
    return columns;
}

const QString &DataColumns()
{
    static const QString columns = [] {
        QStringList c;
        for (int i = 0; i < 60; ++i)
            c << QStringLiteral("data%1_0").arg(i) << QStringLiteral("data%1_1").arg(i);
        return c.join(QStringLiteral(", "));
    }();
    return columns;
}

quint8 ByteOf(const QVariant &v)
{
    return static_cast<quint8>(v.toInt());
}

} // namespace

CHistoryStore::CHistoryStore(CCorvaneODBC &database) : m_database(database) {}

QSqlDatabase CHistoryStore::Db() const
{
    return m_database.Connection();
}

QString CHistoryStore::SummaryTable() const
{
    return m_sumKey + QStringLiteral("SUMM");
}

bool CHistoryStore::TableExists(const QString &table) const
{
    QSqlQuery q(Db());
    return q.exec(QStringLiteral("SELECT 1 FROM %1 LIMIT 1").arg(Bracketed(table)));
}

// ---------------------------------------------------------------- summary cursor

int CHistoryStore::OpenSummaryTable(const QString &nodeKey)
{
    CloseSummaryTable();
    const QString table = nodeKey + QStringLiteral("SUMM");
    if (!IsSafeTableName(table) || !Db().isOpen() || !TableExists(table))
        return 0;
    m_sumKey = nodeKey;
    m_sumState = kOpen;
    if (!RequerySummary()) {
        CloseSummaryTable();
        return 0;
    }
    return 1;
}

void CHistoryStore::CloseSummaryTable()
{
    m_sumKey.clear();
    m_sumState = 0;
    m_sumRowCount = 0;
    m_sumPos = -1;
    m_sumRowid = -1;
    m_sumId = 0;
    m_sum = SummaryPlain{};
    m_sumStartBytes = {};
}

bool CHistoryStore::RequerySummary()
{
    QSqlQuery q(Db());
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(Bracketed(SummaryTable()))) || !q.next())
        return false;
    m_sumRowCount = q.value(0).toInt();
    m_sumState = static_cast<quint8>(m_sumState & ~(kAdding | kEditing));
    // A re-queried cursor stands on its first row.
    LoadSummaryRow(0);
    return true;
}

bool CHistoryStore::LoadSummaryRow(int position)
{
    m_sumState |= kOutOfDate;
    m_sumPos = position;
    m_sumRowid = -1;
    if (position < 0 || position >= m_sumRowCount) {
        m_sumPos = std::max(0, m_sumRowCount);
        return false;
    }
    QSqlQuery q(Db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT rowid, id, %1 FROM %2 ORDER BY id, rowid LIMIT 1 OFFSET ?")
                  .arg(SummaryColumns().join(QStringLiteral(", ")), Bracketed(SummaryTable())));
    q.addBindValue(position);
    if (!q.exec() || !q.next()) {
        m_sumPos = m_sumRowCount;
        return false;
    }
    m_sumRowid = q.value(0).toLongLong();
    m_sumId = q.value(1).toInt();
    int c = 2;
    for (quint8 &b : m_stored.startTime)
        b = ByteOf(q.value(c++));
    for (quint8 &b : m_stored.endTime)
        b = ByteOf(q.value(c++));
    for (quint8 &b : m_stored.lengthDatas)
        b = ByteOf(q.value(c++));
    for (quint8 &b : m_stored.sampleCap)
        b = ByteOf(q.value(c++));
    m_stored.isWarn = ByteOf(q.value(c++));
    for (quint8 &b : m_stored.limits)
        b = ByteOf(q.value(c++));
    m_storedTableName = q.value(c++).toString();
    m_stored.tablestartid = q.value(c++).toInt();
    m_storedName = q.value(c++).toString();
    m_stored.insType = ByteOf(q.value(c++));
    return true;
}

void CHistoryStore::RefreshPlain()
{
    if (!(m_sumState & kOutOfDate))
        return;
    if (m_sumRowid < 0) {
        m_sum = SummaryPlain{};
        m_sumStartBytes = {};
    } else {
        m_sum = DecodeSummary(m_stored, m_sumId, m_sumKey, &m_sumStartBytes);
        m_sum.tableCode = m_storedTableName;
        m_sum.name = m_storedName;
    }
    m_sumState = static_cast<quint8>(m_sumState & ~kOutOfDate);
}

const SummaryPlain *CHistoryStore::Plain()
{
    if (!(m_sumState & kOpen))
        return nullptr;
    RefreshPlain();
    return &m_sum;
}

int CHistoryStore::MoveFirstRecord()
{
    if (!(m_sumState & kOpen))
        return 0;
    return LoadSummaryRow(0) ? 1 : 0;
}

int CHistoryStore::MoveNextRecord()
{
    if (!(m_sumState & kOpen) || IsRecordEnd())
        return 0;
    return LoadSummaryRow(m_sumPos + 1) ? 1 : 0;
}

int CHistoryStore::MoveLastRecord()
{
    if (!(m_sumState & kOpen))
        return 0;
    return LoadSummaryRow(m_sumRowCount - 1) ? 1 : 0;
}

int CHistoryStore::SeekRecord(qint32 id)
{
    if (!(m_sumState & kOpen))
        return 0;
    // The first row of that id stands behind every row of a smaller id, and rows without an id
    // sort first: their number is its position.
    QSqlQuery q(Db());
    q.prepare(
        QStringLiteral("SELECT COUNT(*) FROM %1 WHERE id IS NULL OR id < ?").arg(Bracketed(SummaryTable())));
    q.addBindValue(id);
    if (q.exec() && q.next() && LoadSummaryRow(q.value(0).toInt()) && m_sumId == id)
        return 1;
    // Not found: the cursor stands past the last row, as after a walk to the end.
    (void)LoadSummaryRow(m_sumRowCount);
    return 0;
}

bool CHistoryStore::IsRecordEnd() const
{
    return !(m_sumState & kOpen) || m_sumPos < 0 || m_sumPos >= m_sumRowCount;
}

qint32 CHistoryStore::RecordId() const
{
    return IsRecordEnd() ? -1 : m_sumId;
}

int CHistoryStore::AddSummaryRow()
{
    if (!(m_sumState & kOpen) || (m_sumState & kEditing))
        return 0;
    QSqlQuery q(Db());
    if (!q.exec(QStringLiteral("SELECT MAX(id) FROM %1").arg(Bracketed(SummaryTable()))) || !q.next())
        return 0;
    m_sumId = q.value(0).toInt() + 1;
    m_sumRowid = -1;
    m_sum = SummaryPlain{};
    m_sumStartBytes = {};
    m_sumState = static_cast<quint8>((m_sumState | kAdding) & ~kOutOfDate);
    return 1;
}

int CHistoryStore::EditSummaryRow()
{
    if (!(m_sumState & kOpen) || (m_sumState & kAdding) || IsRecordEnd())
        return 0;
    RefreshPlain();
    m_sumState |= kEditing;
    return 1;
}

int CHistoryStore::WriteSummary(bool insert)
{
    const SummaryStored s = EncodeSummary(m_sum, m_sumId, m_sumKey);
    m_sumState |= kOutOfDate;
    const QStringList &cols = SummaryColumns();
    QSqlQuery q(Db());
    if (insert) {
        QStringList marks;
        for (int i = 0; i <= cols.size(); ++i)
            marks << QStringLiteral("?");
        q.prepare(QStringLiteral("INSERT INTO %1 (id, %2) VALUES (%3)")
                      .arg(Bracketed(SummaryTable()), cols.join(QStringLiteral(", ")),
                           marks.join(QLatin1Char(','))));
        q.addBindValue(m_sumId);
    } else {
        q.prepare(QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?")
                      .arg(Bracketed(SummaryTable()), cols.join(QStringLiteral(" = ?, "))));
    }
    auto bytes = [&q](const auto &arr) {
        for (const quint8 b : arr)
            q.addBindValue(static_cast<int>(b));
    };
    bytes(s.startTime);
    bytes(s.endTime);
    bytes(s.lengthDatas);
    bytes(s.sampleCap);
    q.addBindValue(static_cast<int>(s.isWarn));
    bytes(s.limits);
    q.addBindValue(m_sum.tableCode);
    q.addBindValue(s.tablestartid);
    q.addBindValue(m_sum.name);
    q.addBindValue(static_cast<int>(s.insType));
    if (!insert)
        q.addBindValue(m_sumRowid);
    const bool ok = q.exec() && (insert || q.numRowsAffected() == 1);
    if (!ok)
        qCWarning(lcStorage) << "summary write failed:" << q.lastError().text();
    const bool requeried = RequerySummary();
    return ok && requeried ? 1 : 0;
}

int CHistoryStore::UpdateNewSummaryRow()
{
    if (!(m_sumState & kOpen) || !(m_sumState & kAdding))
        return 0;
    return WriteSummary(true);
}

int CHistoryStore::UpdateEditedSummaryRow()
{
    if (!(m_sumState & kOpen) || !(m_sumState & kEditing))
        return 0;
    return WriteSummary(false);
}

bool CHistoryStore::SettableIn(int mode) const
{
    return (m_sumState & kOpen) && (m_sumState & mode & (kAdding | kEditing));
}

int CHistoryStore::SetStartTime(int mode, qint64 seconds)
{
    if (!SettableIn(mode) || seconds == 0)
        return 0;
    m_sum.startTime = seconds;
    m_sumStartBytes = TimeToBytes(seconds);
    return 1;
}

int CHistoryStore::SetEndTime(int mode, qint64 seconds)
{
    if (!SettableIn(mode) || seconds == 0)
        return 0;
    m_sum.endTime = seconds;
    return 1;
}

int CHistoryStore::SetDataLength(int mode, qint64 bytes)
{
    if (!SettableIn(mode) || bytes < 1 || bytes > 0xFFFFFFFFLL)
        return 0;
    m_sum.dataLength = static_cast<quint32>(bytes);
    return 1;
}

int CHistoryStore::SetRecordInterval(int mode, qint64 seconds)
{
    // The stored form has 24 bits: a larger interval would come back as another value.
    if (!SettableIn(mode) || seconds <= 0 || seconds > kMaxInterval)
        return 0;
    m_sum.interval = static_cast<quint32>(seconds);
    return 1;
}

int CHistoryStore::SetAlarm(int mode, quint8 flag, float ch1Lower, float ch1Upper, float ch2Lower,
                            float ch2Upper)
{
    if (!SettableIn(mode))
        return 0;
    m_sum.alarmFlag = flag;
    m_sum.ch1Lower = ch1Lower;
    m_sum.ch1Upper = ch1Upper;
    m_sum.ch2Lower = ch2Lower;
    m_sum.ch2Upper = ch2Upper;
    return 1;
}

int CHistoryStore::SetTableCode(int mode, const QString &code)
{
    if (!SettableIn(mode) || code.size() != 3)
        return 0;
    m_sum.tableCode = code;
    return 1;
}

int CHistoryStore::SetLastHeaderId(int mode, qint32 id)
{
    if (!SettableIn(mode))
        return 0;
    m_sum.lastHeaderId = id;
    return 1;
}

int CHistoryStore::SetNodeName(int mode, const QString &name)
{
    if (!SettableIn(mode) || name.size() > kMaxNameLength)
        return 0;
    m_sum.name = name;
    return 1;
}

int CHistoryStore::SetDeviceType(int mode, quint8 type)
{
    if (!SettableIn(mode))
        return 0;
    m_sum.deviceType = type;
    return 1;
}

qint64 CHistoryStore::StartTime()
{
    const SummaryPlain *p = Plain();
    return p ? p->startTime : 0;
}

qint64 CHistoryStore::EndTime()
{
    const SummaryPlain *p = Plain();
    return p ? p->endTime : 0;
}

qint64 CHistoryStore::DataLength()
{
    const SummaryPlain *p = Plain();
    return p ? p->dataLength : 0;
}

qint64 CHistoryStore::RecordInterval()
{
    const SummaryPlain *p = Plain();
    return p ? p->interval : 0;
}

quint8 CHistoryStore::AlarmFlag()
{
    const SummaryPlain *p = Plain();
    return p ? p->alarmFlag : 0;
}

float CHistoryStore::Channel1Lower()
{
    const SummaryPlain *p = Plain();
    return p ? p->ch1Lower : kNoValue;
}

float CHistoryStore::Channel1Upper()
{
    const SummaryPlain *p = Plain();
    return p ? p->ch1Upper : kNoValue;
}

float CHistoryStore::Channel2Lower()
{
    const SummaryPlain *p = Plain();
    return p ? p->ch2Lower : kNoValue;
}

float CHistoryStore::Channel2Upper()
{
    const SummaryPlain *p = Plain();
    return p ? p->ch2Upper : kNoValue;
}

QString CHistoryStore::TableCode()
{
    const SummaryPlain *p = Plain();
    return p ? p->tableCode : QString();
}

qint32 CHistoryStore::LastHeaderId()
{
    const SummaryPlain *p = Plain();
    return p ? p->lastHeaderId : 0;
}

QString CHistoryStore::NodeName()
{
    const SummaryPlain *p = Plain();
    return p ? p->name : QString();
}

quint8 CHistoryStore::DeviceType()
{
    const SummaryPlain *p = Plain();
    return p ? p->deviceType : 0;
}

QString CHistoryStore::DataTableName()
{
    if (!(m_sumState & kOpen))
        return {};
    return m_sumKey + QStringLiteral("Data") + TableCode();
}

// ---------------------------------------------------------------- data cursor

int CHistoryStore::OpenDataTable(const QString &tableName, int create)
{
    CloseDataTable();
    if (!IsSafeTableName(tableName) || !Db().isOpen())
        return 0;
    if (!TableExists(tableName)) {
        if (create != 1 || !m_database.CreateDataTable(tableName) || !TableExists(tableName))
            return 0;
    }
    // Rows are read by position in id order; an index on id keeps that a walk of the index
    // rather than a sort of the whole table. Where it cannot be made (a read-only file) reading
    // still works, only slower.
    QSqlQuery index(Db());
    if (!index.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (id)")
                        .arg(Bracketed(tableName + QStringLiteral("_id")), Bracketed(tableName))))
        qCWarning(lcStorage) << "no id index on" << tableName << index.lastError().text();

    QSqlQuery q(Db());
    if (!q.exec(QStringLiteral("SELECT id FROM %1 ORDER BY id DESC LIMIT 1").arg(Bracketed(tableName))))
        return 0;
    m_dataTable = tableName;
    m_dataState = kDataOpen;
    m_dataLastId = q.next() ? q.value(0).toInt() : 0;
    m_dataFull = m_dataLastId > kDataTableFullId;
    return 1;
}

void CHistoryStore::CloseDataTable()
{
    m_segments.clear();
    m_dataTable.clear();
    m_dataState = 0;
    m_dataFull = false;
    m_dataLastId = 0;
    m_plainId = -1;
    m_plainCurrent = false;
}

int CHistoryStore::ReadDataRows(qint32 first, qint32 count,
                                const std::function<void(qint32, const Row &)> &sink)
{
    if (!(m_dataState & kDataOpen) || first < 1 || count < 1)
        return 0;
    QSqlQuery q(Db());
    q.setForwardOnly(true);
    q.prepare(RowRangeStatement(m_dataTable));
    q.addBindValue(first);
    q.addBindValue(static_cast<qint64>(first) + count - 1);
    if (!q.exec())
        return 0;
    const DataRowCodec codec = RowCodec();
    int delivered = 0;
    Row stored;
    for (qint32 expected = first; delivered < count && q.next(); ++expected) {
        // A second row of an id already read stands where the next id belongs.
        if (q.value(0).toLongLong() != expected)
            break;
        for (int i = 0; i < kRowBytes; ++i)
            stored[i] = ByteOf(q.value(i + 1));
        sink(expected, codec.Decode(stored, expected));
        ++delivered;
    }
    q.finish();
    return delivered;
}

int CHistoryStore::ReadDataRow(qint32 id)
{
    m_plainCurrent = false;
    const int n = ReadDataRows(id, 1, [this](qint32 rowId, const Row &plain) {
        m_plain = plain;
        m_plainId = rowId;
    });
    m_plainCurrent = n == 1;
    return m_plainCurrent ? 1 : 0;
}

int CHistoryStore::LoadSegmentChain(qint32 lastHeaderId)
{
    m_segments.clear();
    m_chainDamaged = false;
    if (!(m_dataState & kDataOpen))
        return 0;
    m_dataState |= kChainLoaded;
    if (lastHeaderId < 1 || m_dataLastId == 0)
        return 0;
    const ChainWalk walk = WalkSegmentChain(lastHeaderId, [this](qint32 id) -> std::optional<SegmentHeader> {
        if (!ReadDataRow(id))
            return std::nullopt;
        return DecodeSegmentHeader(m_plain);
    });
    if (walk.damaged) {
        qCWarning(lcStorage) << "segment chain of" << m_dataTable << "from" << lastHeaderId
                             << "loops: damaged record";
        m_chainDamaged = true;
        return 0;
    }
    for (const auto &[id, header] : walk.headers)
        m_segments.push_back(SegmentEntry::OfHeader(id, header));
    return 1;
}

QString CHistoryStore::RowRangeStatement(const QString &tableName)
{
    return QStringLiteral("SELECT id, %1 FROM %2 WHERE id >= ? AND id <= ? ORDER BY id, rowid")
        .arg(DataColumns(), Bracketed(tableName));
}

DataRowCodec CHistoryStore::RowCodec()
{
    RefreshPlain();
    return DataRowCodec(m_dataTable, SumOfBytes(m_sumStartBytes));
}

bool CHistoryStore::InsertDataRow(QSqlQuery &insert, const DataRowCodec &codec, qint32 id, const Row &plain)
{
    const Row stored = codec.Encode(plain, id);
    insert.bindValue(0, id);
    for (int i = 0; i < kRowBytes; ++i)
        insert.bindValue(i + 1, static_cast<int>(stored[i]));
    if (!insert.exec()) {
        qCWarning(lcStorage) << "data row" << id << "refused:" << insert.lastError().text();
        return false;
    }
    return true;
}

SegmentEntry SegmentEntry::OfHeader(qint32 headerId, const SegmentHeader &header)
{
    SegmentEntry e;
    e.headerId = headerId;
    e.isHeader = true;
    e.firstId = header.firstId;
    e.lastId = header.lastId;
    e.previousHeaderId = header.previousHeaderId;
    e.byteCount = header.byteCount;
    e.flag = header.flag;
    e.name = header.name;
    return e;
}

int CHistoryStore::AppendHistoryBlock(qint64 byteCount, QByteArray bytes)
{
    int result = 0;
    const bool ownTransaction = !m_inTransaction;
    const bool fits =
        (m_dataState & kDataOpen) && (m_dataState & kChainLoaded) && byteCount >= 1 &&
        bytes.size() >= byteCount &&
        m_dataLastId + (byteCount + kRowBytes - 1) / kRowBytes + 1 < std::numeric_limits<qint32>::max();
    if (fits && (!ownTransaction || Db().transaction())) {
        m_inTransaction = true;
        result = WriteSegment(byteCount, bytes);
        if (ownTransaction) {
            m_inTransaction = false;
            if (result != 1 || !Db().commit()) {
                Db().rollback();
                result = 0;
                RequerySummary();
            }
        }
    }
    CloseDataTable();
    return result;
}

int CHistoryStore::WriteSegment(qint64 byteCount, const QByteArray &bytes)
{
    QSqlQuery insert(Db());
    QStringList marks;
    for (int i = 0; i <= kRowBytes; ++i)
        marks << QStringLiteral("?");
    if (!insert.prepare(QStringLiteral("INSERT INTO %1 (id, %2) VALUES (%3)")
                            .arg(Bracketed(m_dataTable), DataColumns(), marks.join(QLatin1Char(',')))))
        return 0;
    const DataRowCodec codec = RowCodec();
    const auto *src = reinterpret_cast<const quint8 *>(bytes.constData());
    SegmentHeader header;
    header.firstId = m_dataLastId + 1;
    qint32 nextId = header.firstId;
    for (qint64 offset = 0; offset < byteCount; offset += kRowBytes) {
        Row row{};
        const qint64 take = std::min<qint64>(kRowBytes, byteCount - offset);
        std::memcpy(row.data(), src + offset, static_cast<size_t>(take));
        // A row that cannot be written ends the whole block: no partial segment.
        if (!InsertDataRow(insert, codec, nextId, row))
            return 0;
        ++nextId;
    }
    header.byteCount = static_cast<qint32>(byteCount);
    header.lastId = nextId - 1;
    header.previousHeaderId = m_segments.empty() ? 0 : m_segments.back().headerId;
    header.flag = 0;
    header.name = NodeName().toUtf8().left(kHeaderNameBytes);
    if (!InsertDataRow(insert, codec, nextId, EncodeSegmentHeader(header)))
        return 0;
    m_dataLastId = nextId;
    return RecordSegment(header, nextId);
}

int CHistoryStore::RecordSegment(const SegmentHeader &header, qint32 headerId)
{
    if (!ReadDataRow(headerId) || !ReadDataRow(header.firstId))
        return 0;
    m_segments.push_back(SegmentEntry::OfHeader(headerId, header));
    qint64 total = 0;
    for (const SegmentEntry &s : m_segments)
        total += s.byteCount;
    if (!EditSummaryRow() || !SetDataLength(kEditing, total) || !SetLastHeaderId(kEditing, headerId))
        return 0;
    return UpdateEditedSummaryRow();
}

// ---------------------------------------------------------------- storing a download

int CHistoryStore::StoreHistoryBlock(const HistoryBlockInput &block)
{
    if (block.data.isEmpty() || block.total < 1)
        return 0;
    // Only a finished download is stored, and only bytes that are really there.
    if (block.received != block.total || block.data.size() < block.total)
        return 0;
    if (!IsSafeTableName(block.nodeKey + QStringLiteral("SUMM")) || !Db().isOpen())
        return 0;
    if (!Db().transaction())
        return 0;
    m_inTransaction = true;
    int result = StoreInTransaction(block);
    m_inTransaction = false;
    if (result == 1 && Db().commit())
        return 1;
    Db().rollback();
    // The cursors may stand on rows that no longer exist.
    CloseDataTable();
    const QString key = m_sumKey;
    if (OpenSummaryTable(key) != 1)
        CloseSummaryTable();
    return 0;
}

bool CHistoryStore::DropStoredPart(HistoryBlockInput &b)
{
    const qint64 stored = DataLength();
    if (StartTime() != b.startTime || RecordInterval() != b.interval || b.startOffset >= stored)
        return false;
    const qint64 overlap = std::min(stored - b.startOffset, b.received);
    // Only the same samples are a block downloaded again; other bytes are another recording.
    QByteArray bytes;
    if (OpenDataTable(DataTableName(), 0) == 1 && LoadSegmentChain(LastHeaderId()) == 1)
        ForEachSegment([&bytes](const QByteArray &segment) { bytes += segment; });
    CloseDataTable();
    if (bytes.mid(b.startOffset, overlap) != b.data.left(overlap))
        return false;
    b.data = b.data.mid(overlap);
    b.received -= overlap;
    b.total -= overlap;
    b.startOffset = stored;
    return b.received == 0;
}

int CHistoryStore::StoreInTransaction(const HistoryBlockInput &input)
{
    HistoryBlockInput b = input;
    if (!OpenSummaryTable(b.nodeKey)) {
        if (!m_database.CreateSummaryTable(b.nodeKey) || !OpenSummaryTable(b.nodeKey))
            return 0;
    }
    QByteArray code = QByteArrayLiteral("A01");
    bool continued = false;
    if (MoveLastRecord()) {
        code = TableCode().toLatin1().right(3);
        // A block downloaded again stores only the samples the record does not hold yet.
        if (DropStoredPart(b))
            return 1;
        if (StartTime() == b.startTime && DataLength() == b.startOffset) {
            if (!EditSummaryRow() || !SetDataLength(kEditing, DataLength() + b.received) ||
                !SetEndTime(kEditing, b.endTime) ||
                !SetAlarm(kEditing, b.alarmFlag, b.ch1Lower, b.ch1Upper, b.ch2Lower, b.ch2Upper) ||
                !UpdateEditedSummaryRow() || !MoveLastRecord())
                return 0;
            continued = true;
        } else {
            const QString lastTable = DataTableName();
            const bool full = OpenDataTable(lastTable, 0) == 1 && IsDataTableFull();
            CloseDataTable();
            if (full)
                code = AdvanceTableCode(code);
        }
    }
    if (!continued) {
        if (!AddSummaryRow() || !SetStartTime(kAdding, b.startTime) || !SetEndTime(kAdding, b.endTime) ||
            !SetDataLength(kAdding, b.received) || !SetRecordInterval(kAdding, b.interval) ||
            !SetAlarm(kAdding, b.alarmFlag, b.ch1Lower, b.ch1Upper, b.ch2Lower, b.ch2Upper) ||
            !SetTableCode(kAdding, QString::fromLatin1(code)) || !SetLastHeaderId(kAdding, 0) ||
            !SetNodeName(kAdding, b.nodeName.left(kMaxNameLength)) || !SetDeviceType(kAdding, b.deviceType) ||
            !UpdateNewSummaryRow() || !MoveLastRecord())
            return 0;
    }
    if (!OpenDataTable(b.nodeKey + QStringLiteral("Data") + QString::fromLatin1(code), 1))
        return 0;
    // A new record has no chain yet: the chain is loaded (empty) and the first segment follows.
    (void)LoadSegmentChain(LastHeaderId());
    return AppendHistoryBlock(b.total, b.data);
}

// ---------------------------------------------------------------- loading a record

void CHistoryStore::ForEachSegment(const std::function<void(const QByteArray &)> &sink)
{
    if (!(m_dataState & kDataOpen) || !(m_dataState & kChainLoaded))
        return;
    QByteArray segment;
    for (const SegmentEntry &e : m_segments) {
        if (e.headerId < 1)
            break;
        const qint64 span = static_cast<qint64>(e.lastId) - e.firstId;
        if (e.firstId > e.lastId ||
            !(span * kRowBytes < e.byteCount && e.byteCount <= span * kRowBytes + kRowBytes))
            continue;
        segment.resize(0);
        segment.reserve(static_cast<qsizetype>(span + 1) * kRowBytes);
        ReadDataRows(e.firstId, static_cast<qint32>(span + 1), [&segment](qint32, const Row &plain) {
            segment.append(reinterpret_cast<const char *>(plain.data()), kRowBytes);
        });
        // A segment stops at its first missing row.
        segment.truncate(std::min<qint64>(e.byteCount, segment.size()));
        sink(segment);
    }
}

int CHistoryStore::LoadRecordSamples()
{
    CNodeDataSave &s = m_samples;
    s.ch1Count = s.ch2Count = 0;
    s.rangeFirst = s.rangeCount = 0;
    s.recordStart = StartTime();
    s.recordEnd = EndTime();
    s.interval = RecordInterval();
    s.name = NodeName();
    s.deviceType = DeviceType();
    s.nodeKey = m_sumKey;
    s.alarmFlag = AlarmFlag();
    s.ch1Lower = Channel1Lower();
    s.ch1Upper = Channel1Upper();
    s.ch2Lower = Channel2Lower();
    s.ch2Upper = Channel2Upper();
    s.ch1Max = s.ch2Max = -1000.0f;
    s.ch1Min = s.ch2Min = 1000.0f;
    s.ch1Avg = s.ch2Avg = 0.0f;

    ForEachSegment([&s](const QByteArray &bytes) {
        s.AppendSegmentSamples(reinterpret_cast<const quint8 *>(bytes.constData()), bytes.size());
    });
    s.FillSampleTimes();
    const int n = s.SampleCount();
    if (n >= 1)
        s.recordEnd = s.times()[n - 1];
    (void)s.ComputeRangeStatistics(s.recordStart, s.recordEnd);
    return IsRecordEnd() ? 0 : 1;
}
