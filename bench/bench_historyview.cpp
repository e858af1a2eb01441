// Loading a stored 200000-sample dual-channel record into the history view by double click:
// database read, sample store, curve, data and summary pages, with the view shown so that the
// visible rows of the data page are formatted and painted.
#include "base/AppSettings.h"
#include "history/CFormviewHistory.h"
#include "history/CHistoryText.h"
#include "history/core/CHistoryTextModel.h"
#include "network/CCorvaneBeeNode.h"
#include "network/NetworkLoader.h"
#include "storage/CCorvaneODBC.h"
#include "storage/HistoryTables.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kSamples = CNodeDataSave::kCapacity;
const QString kKey = QStringLiteral("00124b0001a2b3c4");

HistoryBlockInput Block()
{
    HistoryBlockInput b;
    b.nodeKey = kKey;
    b.nodeName = QStringLiteral("bench");
    b.startTime = 1400000000;
    b.interval = 60;
    b.endTime = b.startTime + qint64(kSamples - 1) * 60;
    b.alarmFlag = 4;
    b.ch1Lower = -10.0f;
    b.ch1Upper = 30.0f;
    b.ch2Lower = 20.0f;
    b.ch2Upper = 80.0f;
    b.deviceType = 0x8C;
    b.data.resize(kSamples * 4);
    for (int i = 0; i < b.data.size(); ++i)
        b.data[i] = static_cast<char>((i * 37) & 0x7F);
    b.total = b.received = b.data.size();
    return b;
}

bool Prepare(CCorvaneODBC &db, CCorvaneBeeNode &table, const QTemporaryDir &home)
{
    AppSettings &settings = AppSettings::Instance();
    settings.SetHomeFolder(home.path());
    settings.SetLanguage(UiLanguage::Chinese);
    settings.SetCurrentTempUnit(settings.CelsiusText());
    const QString name = QStringLiteral("view.mdb");
    if (!QDir().mkpath(settings.DatabaseFolder()) ||
        !db.CreateDatabase(settings.DatabaseFolder() + QLatin1Char('/') + name) || !db.OpenDatabase(name))
        return false;
    NodeChange node;
    node.mask = NodeChange::ExtAddress | NodeChange::Type | NodeChange::Name;
    node.values.extaddress = kKey;
    node.values.type = 0x8C;
    node.values.name = QStringLiteral("bench");
    if (db.SaveNode(node) != 1 || db.History().StoreHistoryBlock(Block()) != 1)
        return false;
    (void)LoadNetworkTable(db, table);
    return true;
}

void BM_LoadRecordIntoView200k(benchmark::State &state)
{
    QTemporaryDir home;
    CCorvaneODBC db;
    CCorvaneBeeNode table;
    if (!Prepare(db, table, home)) {
        state.SkipWithError("no database");
        return;
    }
    CFormviewHistory view(table, db);
    view.resize(1200, 800);
    view.show();
    view.RefreshList();
    view.ChooseNode(0);
    for (auto _ : state) {
        view.LoadRecord(0);
        QApplication::processEvents();
    }
    const int rows = view.TextPage()->Model().rowCount();
    if (rows != kSamples)
        state.SkipWithError("record not loaded");
    state.counters["rows"] = rows;
}
BENCHMARK(BM_LoadRecordIntoView200k)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
