// Storing and loading a 200000-sample dual-channel history (800000 bytes) through the history
// tables, beside plain inserts / selects of the same number of 121-column rows in one
// transaction on the same SQLite driver; and the range statistics over 200000 samples.
#include "base/AppSettings.h"
#include "storage/CCorvaneODBC.h"
#include "storage/HistoryTables.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <benchmark/benchmark.h>

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

bool RawInsert(QSqlDatabase db, const QString &table)
{
    QSqlQuery create(db);
    create.exec(CCorvaneODBC::DataTableStatement(table));
    db.transaction();
    QSqlQuery insert(db);
    QStringList cols{QStringLiteral("id")};
    QStringList marks{QStringLiteral("?")};
    for (int i = 0; i < 60; ++i) {
        cols << QStringLiteral("data%1_0").arg(i) << QStringLiteral("data%1_1").arg(i);
        marks << QStringLiteral("?") << QStringLiteral("?");
    }
    insert.prepare(QStringLiteral("INSERT INTO [%1] (%2) VALUES (%3)")
                       .arg(table, cols.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    for (int r = 1; r <= kRows; ++r) {
        insert.bindValue(0, r);
        for (int c = 1; c <= 120; ++c)
            insert.bindValue(c, (r + c) & 0xFF);
        insert.exec();
    }
    return db.commit();
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

void BM_StoreHistory(benchmark::State &state)
{
    const HistoryBlockInput block = Block();
    TimeOnFreshDatabase(state, [&](CCorvaneODBC &db) { return db.History().StoreHistoryBlock(block) == 1; });
}
BENCHMARK(BM_StoreHistory)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RawInsertRows(benchmark::State &state)
{
    TimeOnFreshDatabase(state,
                        [](CCorvaneODBC &db) { return RawInsert(db.Connection(), QStringLiteral("raw")); });
}
BENCHMARK(BM_RawInsertRows)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoadHistory(benchmark::State &state)
{
    CCorvaneODBC db;
    if (!FreshDatabase(db) || db.History().StoreHistoryBlock(Block()) != 1) {
        state.SkipWithError("no stored history");
        return;
    }
    CHistoryStore &h = db.History();
    for (auto _ : state) {
        if (!h.OpenSummaryTable(kKey) || !h.SeekRecord(1) || !h.OpenDataTable(h.DataTableName(), 0) ||
            !h.LoadSegmentChain(h.LastHeaderId()) || !h.LoadRecordSamples()) {
            state.SkipWithError("load failed");
            return;
        }
        benchmark::DoNotOptimize(h.Samples().ch1Count);
    }
    if (h.Samples().ch1Count != kSamples || h.Samples().ch2Count != kSamples)
        state.SkipWithError("wrong sample count");
}
BENCHMARK(BM_LoadHistory)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_RawSelectRows(benchmark::State &state)
{
    CCorvaneODBC db;
    if (!FreshDatabase(db)) {
        state.SkipWithError("no database");
        return;
    }
    if (!RawInsert(db.Connection(), QStringLiteral("raw"))) {
        state.SkipWithError("insert failed");
        return;
    }
    for (auto _ : state) {
        QSqlQuery q(db.Connection());
        q.setForwardOnly(true);
        q.exec(QStringLiteral("SELECT * FROM [raw] ORDER BY id"));
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
