// Storing and loading a 200000-sample dual-channel history (800000 bytes) through the history
// tables, beside raw SQLite doing the same work on the same driver: the same rows written in one
// transaction with one commit, the same rows read with the same statement along the same index.
// Scrambling and descrambling are timed on their own. Also: a late record in a full table, the
// time labels of a record and the range statistics over 200000 samples.
#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "storage/CCorvaneODBC.h"
#include "storage/HistoryTables.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QVariant>

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kSamples = CNodeDataSave::kCapacity;
constexpr int kBytes = kSamples * 2 * 2;        // two channels, two bytes each
constexpr int kRows = (kBytes + 119) / 120 + 1; // sample rows and one header row
const QString kKey = QStringLiteral("00124b0001a2b3c4");

QTemporaryDir &Home()
{
    static QTemporaryDir dir;
    static const bool ready = [] {
        AppSettings::Instance().SetHomeFolder(dir.path());
        return QDir().mkpath(AppSettings::Instance().DatabaseFolder());
    }();
    (void)ready;
    return dir;
}

// A fresh, empty database open on db.
bool FreshDatabase(CCorvaneODBC &db)
{
    Home();
    static int serial = 0;
    const QString name = QStringLiteral("bench%1.mdb").arg(++serial);
    const QString path = AppSettings::Instance().DatabaseFolder() + QLatin1Char('/') + name;
    QFile::remove(path);
    return db.CreateDatabase(path) && db.OpenDatabase(name);
}

HistoryBlockInput Block()
{
    HistoryBlockInput b;
    b.nodeKey = kKey;
    b.nodeName = QStringLiteral("bench");
    b.startTime = 1400000000;
    b.endTime = b.startTime + qint64(kSamples) * 60;
    b.interval = 60;
    b.alarmFlag = 4;
    b.ch1Lower = -10.0f;
    b.ch1Upper = 30.0f;
    b.ch2Lower = 20.0f;
    b.ch2Upper = 80.0f;
    b.deviceType = 0x88;
    b.data.resize(kBytes);
    for (int i = 0; i < kBytes; ++i)
        b.data[i] = static_cast<char>((i * 37) & 0xFF);
    b.total = b.received = kBytes;
    return b;
}

// The rows the product stores for Block(), read back once: the fair raw insert writes exactly
// these (scrambling done), the fair raw select reads them with the product's statement.
struct StoredRows {
    QString summaryTable;
    QString dataTable;
    std::vector<QVariantList> summary;
    std::vector<QVariantList> data;
};

std::vector<QVariantList> AllRows(QSqlDatabase db, const QString &table)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.exec(QStringLiteral("SELECT * FROM [%1] ORDER BY rowid").arg(table));
    std::vector<QVariantList> rows;
    while (q.next()) {
        QVariantList row;
        for (int c = 0; c < q.record().count(); ++c)
            row << q.value(c);
        rows.push_back(row);
    }
    return rows;
}

const StoredRows &ProductRows()
{
    static const StoredRows rows = [] {
        StoredRows r;
        CCorvaneODBC db;
        if (!FreshDatabase(db) || db.History().StoreHistoryBlock(Block()) != 1)
            return r;
        r.summaryTable = kKey + QStringLiteral("SUMM");
        r.dataTable = kKey + QStringLiteral("DataA01");
        r.summary = AllRows(db.Connection(), r.summaryTable);
        r.data = AllRows(db.Connection(), r.dataTable);
        return r;
    }();
    return rows;
}

bool InsertAll(QSqlDatabase db, const QString &table, const std::vector<QVariantList> &rows)
{
    if (rows.empty())
        return false;
    QStringList marks;
    for (int i = 0; i < rows.front().size(); ++i)
        marks << QStringLiteral("?");
    QSqlQuery insert(db);
    if (!insert.prepare(
            QStringLiteral("INSERT INTO [%1] VALUES (%2)").arg(table, marks.join(QLatin1Char(',')))))
        return false;
    for (const QVariantList &row : rows) {
        for (int c = 0; c < row.size(); ++c)
            insert.bindValue(c, row.at(c));
        if (!insert.exec())
            return false;
    }
    return true;
}

// What a store of Block() leaves in a fresh database, written as plainly as SQLite allows: both
// tables, the id index the product reads along, every row, in one transaction with one commit.
bool RawStore(QSqlDatabase db)
{
    const StoredRows &rows = ProductRows();
    QSqlQuery q(db);
    return db.transaction() && q.exec(CCorvaneODBC::SummaryTableStatement(kKey)) &&
           q.exec(CCorvaneODBC::DataTableStatement(rows.dataTable)) &&
           q.exec(QStringLiteral("CREATE INDEX [%1_id] ON [%1] (id)").arg(rows.dataTable)) &&
           InsertAll(db, rows.summaryTable, rows.summary) && InsertAll(db, rows.dataTable, rows.data) &&
           db.commit();
}

QString QueryPlan(QSqlDatabase db, const QString &statement)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + statement);
    q.addBindValue(1);
    q.addBindValue(2);
    QStringList plan;
    if (q.exec()) {
        while (q.next())
            plan << q.value(3).toString();
    }
    return plan.join(QStringLiteral("; "));
}

// Times write(db) on a fresh database per iteration; making and closing the database is not timed.
template <typename Write> void TimeOnFreshDatabase(benchmark::State &state, Write write)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto db = std::make_unique<CCorvaneODBC>();
        if (!FreshDatabase(*db)) {
            state.SkipWithError("no database");
            return;
        }
        state.ResumeTiming();
        if (!write(*db)) {
            state.SkipWithError("write failed");
            return;
        }
        state.PauseTiming();
        db.reset();
        state.ResumeTiming();
    }
}

// The history view's way to a record: its summary row by id, its data table, its chain, its samples.
bool LoadRecord(CHistoryStore &h, qint32 id)
{
    return h.OpenSummaryTable(kKey) && h.SeekRecord(id) && h.OpenDataTable(h.DataTableName(), 0) &&
           h.LoadSegmentChain(h.LastHeaderId()) && h.LoadRecordSamples();
}

void BM_StoreHistory(benchmark::State &state)
{
    const HistoryBlockInput block = Block();
    TimeOnFreshDatabase(state, [&](CCorvaneODBC &db) { return db.History().StoreHistoryBlock(block) == 1; });
}
BENCHMARK(BM_StoreHistory)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RawStoreRows(benchmark::State &state)
{
    if (ProductRows().data.size() != size_t(kRows)) {
        state.SkipWithError("the product's rows could not be read");
        return;
    }
    TimeOnFreshDatabase(state, [](CCorvaneODBC &db) { return RawStore(db.Connection()); });
}
BENCHMARK(BM_RawStoreRows)->Unit(benchmark::kMillisecond)->Iterations(5);

// The scrambling of the stored rows, which the raw insert does not do.
void BM_ScrambleRows(benchmark::State &state)
{
    const HistoryBlockInput block = Block();
    const QString table = kKey + QStringLiteral("DataA01");
    for (auto _ : state) {
        HistoryCodec::Row row{};
        for (int r = 1; r <= kRows; ++r) {
            std::memcpy(row.data(), block.data.constData() + (r - 1) % (kRows - 1) * 120, 120);
            benchmark::DoNotOptimize(HistoryCodec::EncodeDataRow(row, r, table, 150));
        }
    }
}
BENCHMARK(BM_ScrambleRows)->Unit(benchmark::kMillisecond);

void BM_LoadHistory(benchmark::State &state)
{
    CCorvaneODBC db;
    if (!FreshDatabase(db) || db.History().StoreHistoryBlock(Block()) != 1) {
        state.SkipWithError("no stored history");
        return;
    }
    CHistoryStore &h = db.History();
    for (auto _ : state) {
        if (!LoadRecord(h, 1)) {
            state.SkipWithError("load failed");
            return;
        }
        benchmark::DoNotOptimize(h.Samples().ch1Count);
    }
    if (h.Samples().ch1Count != kSamples || h.Samples().ch2Count != kSamples)
        state.SkipWithError("wrong sample count");
}
BENCHMARK(BM_LoadHistory)->Unit(benchmark::kMillisecond)->Iterations(10);

// The product's reads without descrambling: its statement over the record's rows (samples and
// header) along the id index, every column read as the product reads it. The label shows the plan.
void BM_RawSelectRows(benchmark::State &state)
{
    CCorvaneODBC db;
    if (!FreshDatabase(db) || db.History().StoreHistoryBlock(Block()) != 1) {
        state.SkipWithError("no stored history");
        return;
    }
    const QString statement = CHistoryStore::RowRangeStatement(kKey + QStringLiteral("DataA01"));
    state.SetLabel(QueryPlan(db.Connection(), statement).toStdString());
    for (auto _ : state) {
        QSqlQuery q(db.Connection());
        q.setForwardOnly(true);
        q.prepare(statement);
        q.addBindValue(1);
        q.addBindValue(kRows);
        q.exec();
        qint64 sum = 0;
        int rows = 0;
        while (q.next()) {
            for (int c = 0; c <= 120; ++c)
                sum += q.value(c).toInt();
            ++rows;
        }
        benchmark::DoNotOptimize(sum);
        if (rows != kRows)
            state.SkipWithError("wrong row count");
    }
}
BENCHMARK(BM_RawSelectRows)->Unit(benchmark::kMillisecond)->Iterations(10);

// The descrambling of the loaded rows, which the raw select does not do.
void BM_DescrambleRows(benchmark::State &state)
{
    const QString table = kKey + QStringLiteral("DataA01");
    HistoryCodec::Row row{};
    for (auto _ : state) {
        for (int r = 1; r <= kRows; ++r) {
            row[r % 120] = static_cast<quint8>(r);
            benchmark::DoNotOptimize(HistoryCodec::DecodeDataRow(row, r, table, 150));
        }
    }
}
BENCHMARK(BM_DescrambleRows)->Unit(benchmark::kMillisecond);

// A record stored late in a data table holding about 500000 rows, behind 99 other records of the
// node: finding its summary row and reading its rows must not walk what lies before them.
constexpr int kFillerRows = 499000;
constexpr int kRecordsBefore = 99;

bool PrepareLateRecord(CCorvaneODBC &db)
{
    HistoryBlockInput first = Block();
    first.startTime -= 86400 * 365;
    first.data.truncate(1200);
    first.total = first.received = 1200;
    if (!FreshDatabase(db) || db.History().StoreHistoryBlock(first) != 1)
        return false;
    QSqlQuery q(db.Connection());
    const QString data = kKey + QStringLiteral("DataA01");
    const QString summary = kKey + QStringLiteral("SUMM");
    if (!db.Connection().transaction() ||
        !q.exec(
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 12 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                           "INSERT INTO [%2] (id) SELECT i FROM n")
                .arg(kFillerRows)
                .arg(data)) ||
        !q.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                               "INSERT INTO [%2] (id, tableName) SELECT i, 'A01' FROM n")
                    .arg(kRecordsBefore)
                    .arg(summary)) ||
        !db.Connection().commit())
        return false;
    return db.History().StoreHistoryBlock(Block()) == 1;
}

void BM_LoadLateRecord(benchmark::State &state)
{
    CCorvaneODBC db;
    if (!PrepareLateRecord(db)) {
        state.SkipWithError("no late record");
        return;
    }
    CHistoryStore &h = db.History();
    for (auto _ : state) {
        if (!LoadRecord(h, kRecordsBefore + 1)) {
            state.SkipWithError("load failed");
            return;
        }
    }
    if (h.Samples().ch1Count != kSamples || !h.IsDataTableFull())
        state.SkipWithError("wrong record or table not full");
}
BENCHMARK(BM_LoadLateRecord)->Unit(benchmark::kMillisecond)->Iterations(10);

// The time labels of the data page for a whole record.
void BM_SampleTimeLabels(benchmark::State &state)
{
    const qint64 start = 1400000000;
    for (auto _ : state) {
        for (int i = 0; i < kSamples; ++i)
            benchmark::DoNotOptimize(CvTime::FormatDateTime(start + qint64(i) * 60));
    }
    state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_SampleTimeLabels)->Unit(benchmark::kMillisecond);

void BM_ComputeRangeStatistics(benchmark::State &state)
{
    static CNodeDataSave s;
    s.deviceType = 0x88;
    s.recordStart = 1400000000;
    s.interval = 60;
    for (int i = 0; i < kSamples; ++i) {
        s.ch1()[i] = static_cast<float>(i % 5000) / 100.0f;
        s.ch2()[i] = static_cast<float>(i % 7000) / 70.0f;
    }
    s.ch1Count = s.ch2Count = kSamples;
    s.FillSampleTimes();
    s.recordEnd = s.times()[kSamples - 1];
    for (auto _ : state) {
        benchmark::DoNotOptimize(s.ComputeRangeStatistics(s.recordStart, s.recordEnd));
        benchmark::DoNotOptimize(s.ch2Avg);
    }
}
BENCHMARK(BM_ComputeRangeStatistics)->Unit(benchmark::kMillisecond);

} // namespace
