// Node table speed: saving nodes (wall time: every save commits and waits for the disk) and
// finding a node by its extended address and by its id, at 100 to 5,000 nodes.
#include "BenchNodeRows.h"
#include "base/AppSettings.h"
#include "storage/CCorvaneODBC.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QString Address(int id)
{
    return NetworkRow(id).extaddress;
}

NodeChange NewNode(int id)
{
    NodeChange change;
    change.mask = 0x7CB6; // what the management view writes for a new node
    change.values = NetworkRow(id);
    change.values.channel1_upper = change.values.channel1_lower = -2000.0f;
    change.values.channel2_upper = change.values.channel2_lower = -2000.0f;
    return change;
}

// A database file in a temporary home folder holding nodes 1..nodes, opened.
struct Fixture {
    QTemporaryDir home;
    CCorvaneODBC db;

    // Opens with state.range(0) nodes; false (the benchmark skipped) when that fails.
    bool Open(benchmark::State &state)
    {
        AppSettings::Instance().SetHomeFolder(home.path());
        const QString name = QStringLiteral("bench.mdb");
        const QString path = AppSettings::Instance().DatabaseFolder() + QLatin1Char('/') + name;
        const bool open = QDir().mkpath(AppSettings::Instance().DatabaseFolder()) &&
                          db.CreateDatabase(path) && FillNodeTable(path, int(state.range(0))) &&
                          db.OpenDatabase(name);
        if (!open)
            state.SkipWithError("cannot fill the database");
        return open;
    }
};

// Adds nodes one by one to a table that starts with range(0) nodes.
void BM_SaveNewNode(benchmark::State &state)
{
    Fixture f;
    if (!f.Open(state))
        return;
    const int nodes = int(state.range(0));
    int id = nodes;
    for (auto _ : state) {
        if (!f.db.SaveNode(NewNode(++id))) {
            state.SkipWithError("SaveNode failed");
            return;
        }
    }
    if (f.db.FindNodeIdByAddress(Address(id)) != id)
        state.SkipWithError("the last node was not added under the next id");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SaveNewNode)->Arg(500)->Arg(5000)->Iterations(200)->UseRealTime()->Unit(benchmark::kMicrosecond);

// Changes the run state and start time of existing nodes, as a received record does.
void BM_SaveExistingNode(benchmark::State &state)
{
    Fixture f;
    if (!f.Open(state))
        return;
    const int nodes = int(state.range(0));
    int n = 0;
    for (auto _ : state) {
        NodeChange change;
        change.mask = NodeChange::RunState | NodeChange::StartTime;
        change.values.extaddress = Address(n % nodes + 1);
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
BENCHMARK(BM_SaveExistingNode)
    ->Arg(500)
    ->Arg(5000)
    ->Iterations(200)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

void BM_FindNodeByAddress(benchmark::State &state)
{
    Fixture f;
    if (!f.Open(state))
        return;
    const int nodes = int(state.range(0));
    int n = 0;
    for (auto _ : state) {
        const int wanted = n++ * 7919 % nodes + 1; // spread over the table
        const int id = f.db.FindNodeIdByAddress(Address(wanted));
        if (id != wanted) {
            state.SkipWithError("wrong id");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FindNodeByAddress)->Arg(100)->Arg(500)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);

void BM_SeekNodeById(benchmark::State &state)
{
    Fixture f;
    if (!f.Open(state))
        return;
    const int nodes = int(state.range(0));
    int n = 0;
    for (auto _ : state) {
        const int wanted = n++ * 7919 % nodes + 1;
        if (f.db.SeekLookupNode(wanted) != 1 || f.db.LookupCursor().Row().id != wanted) {
            state.SkipWithError("node not found");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SeekNodeById)->Arg(100)->Arg(500)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);

void BM_FindMissingAddress(benchmark::State &state)
{
    Fixture f;
    if (!f.Open(state))
        return;
    for (auto _ : state) {
        if (f.db.FindNodeIdByAddress(QStringLiteral("ffffffffffffffff")) != -1) {
            state.SkipWithError("found a node that is not there");
            return;
        }
    }
}
BENCHMARK(BM_FindMissingAddress)->Arg(100)->Arg(5000)->Unit(benchmark::kMicrosecond);

} // namespace
