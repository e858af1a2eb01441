// Node table speed with 500 nodes: adding through SaveNode, changing an existing node through
// SaveNode, and finding a node by its extended address.
#include "base/AppSettings.h"
#include "storage/CCorvaneODBC.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kNodes = 500;

QString Address(int n)
{
    return QStringLiteral("00124b%1").arg(n, 10, 16, QLatin1Char('0'));
}

NodeChange NewNode(int n)
{
    NodeChange change;
    change.mask = 0x7CB6; // what the management view writes for a new node
    change.values.extaddress = Address(n);
    change.values.name = QStringLiteral("logger %1").arg(n);
    change.values.type = 0x88;
    change.values.channel1_upper = change.values.channel1_lower = -2000.0f;
    change.values.channel2_upper = change.values.channel2_lower = -2000.0f;
    return change;
}

// A fresh database file in a temporary home folder, opened.
struct Fixture {
    QTemporaryDir home;
    CCorvaneODBC db;
    bool ok = false;
    int serial = 0;

    Fixture()
    {
        AppSettings::Instance().SetHomeFolder(home.path());
        ok = QDir().mkpath(AppSettings::Instance().DatabaseFolder());
    }
    bool Fresh()
    {
        const QString name = QStringLiteral("bench%1.mdb").arg(++serial);
        return db.CreateDatabase(AppSettings::Instance().DatabaseFolder() + QLatin1Char('/') + name) &&
               db.OpenDatabase(name);
    }
    bool Fill()
    {
        for (int n = 0; n < kNodes; ++n) {
            if (!db.SaveNode(NewNode(n)))
                return false;
        }
        return true;
    }
    // A fresh database holding kNodes nodes; reports the failure to state otherwise.
    bool Filled(benchmark::State &state)
    {
        if (ok && Fresh() && Fill())
            return true;
        state.SkipWithError("cannot fill the database");
        return false;
    }
};

void BM_SaveNewNodes500(benchmark::State &state)
{
    Fixture f;
    for (auto _ : state) {
        state.PauseTiming();
        if (!f.ok || !f.Fresh()) {
            state.SkipWithError("cannot create the database");
            return;
        }
        state.ResumeTiming();
        if (!f.Fill()) {
            state.SkipWithError("SaveNode failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kNodes);
}
BENCHMARK(BM_SaveNewNodes500)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SaveExistingNode(benchmark::State &state)
{
    Fixture f;
    if (!f.Filled(state))
        return;
    int n = 0;
    for (auto _ : state) {
        NodeChange change;
        change.mask = NodeChange::RunState | NodeChange::StartTime;
        change.values.extaddress = Address(n % kNodes);
        change.values.runstate = quint8(n & 3);
        change.values.startTime = 1400000000 + n;
        if (!f.db.SaveNode(change)) {
            state.SkipWithError("SaveNode failed");
            return;
        }
        ++n;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SaveExistingNode)->Unit(benchmark::kMicrosecond);

void BM_FindNodeByAddress(benchmark::State &state)
{
    Fixture f;
    if (!f.Filled(state))
        return;
    int n = 0;
    for (auto _ : state) {
        const int id = f.db.FindNodeIdByAddress(Address(n % kNodes));
        benchmark::DoNotOptimize(id);
        if (id != n % kNodes + 1) {
            state.SkipWithError("wrong id");
            return;
        }
        ++n;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FindNodeByAddress)->Unit(benchmark::kMicrosecond);

void BM_FindMissingAddress(benchmark::State &state)
{
    Fixture f;
    if (!f.Filled(state))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(f.db.FindNodeIdByAddress(QStringLiteral("ffffffffffffffff")));
}
BENCHMARK(BM_FindMissingAddress)->Unit(benchmark::kMicrosecond);

} // namespace
