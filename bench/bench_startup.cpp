// Start-up to the main window with 500 and 5,000 nodes: the window and its views are built, the
// database named in the settings is opened, the network table is loaded and the views handle
// the reload notifications that follows, as RunMainWindow does before it connects the link.
// Wall time: the database file is read from disk.
#include "BenchNodeRows.h"
#include "base/AppSettings.h"
#include "link/CUart_CommApp.h"
#include "network/CCorvaneBeeNode.h"
#include "network/LinkSession.h"
#include "shell/CCorvaneManagerDlg.h"
#include "shell/MainWindowRunner.h"
#include "storage/CCorvaneODBC.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A home folder whose settings name a database of the given number of nodes.
bool PrepareHome(const QString &home, int nodes)
{
    AppSettings &settings = AppSettings::Instance();
    settings.SetHomeFolder(home);
    const QString file = QStringLiteral("startup.mdb");
    const QString path = settings.DatabaseFolder() + QLatin1Char('/') + file;
    return QDir().mkpath(settings.DatabaseFolder()) && QDir().mkpath(home + QStringLiteral("/profiler")) &&
           QDir().mkpath(settings.MessageFolder()) && settings.Write(AppSettings::kDatabase, file) &&
           theDatabase().CreateDatabase(path) && FillNodeTable(path, nodes);
}

// Forgets the nodes of the previous run, as a fresh process starts without them.
void EmptyNodeTable()
{
    CCorvaneBeeNode &table = theNodeTable();
    for (const int id : table.Ids())
        (void)table.RemoveNode(id);
}

void BM_StartupToMainWindow(benchmark::State &state)
{
    QTemporaryDir home;
    if (!home.isValid() || !PrepareHome(home.path(), int(state.range(0)))) {
        state.SkipWithError("cannot prepare the database");
        return;
    }
    CCorvaneODBC &db = theDatabase();
    CUart_CommApp &link = CUart_CommApp::Instance();
    for (auto _ : state) {
        {
            CCorvaneManagerDlg window;
            db.SetErrorSink(window.DatabaseErrorSink());
            CFormviewManager *manager = AttachStartupViews(window, db, link);
            LoadStartupNetwork(window, db, *manager);
            LinkSession session(link, theNodeTable(), db);
            AttachGprsView(window, db, link, session);
            window.show();
            QApplication::processEvents(); // the views' reload notifications and the first paint
            benchmark::DoNotOptimize(theNodeTable().Size());
            if (theNodeTable().Size() != state.range(0)) {
                state.SkipWithError("the network table was not loaded");
                break;
            }
            state.PauseTiming();
            db.SetErrorSink(nullptr);
        }
        db.CloseDatabase();
        EmptyNodeTable();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToMainWindow)
    ->Arg(500)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace
