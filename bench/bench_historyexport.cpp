// Exporting a 200000-sample dual-channel record with alarm limits to a new workbook and to a
// CSV file, exactly as "另存为" does (texts of every row, temporary file, rename).
#include "BenchRecord.h"
#include "history/core/HistoryExport.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void Export(benchmark::State &state, const char *name)
{
    CNodeDataSave &s = FullDualRecord();
    QTemporaryDir dir;
    const QString path = dir.filePath(QLatin1String(name));
    for (auto _ : state) {
        QFile::remove(path);
        if (!HistoryExport::SaveAs(s, path).ok)
            state.SkipWithError("export failed");
    }
    state.counters["bytes"] = double(QFile(path).size());
}

void BM_ExportWorkbook200k(benchmark::State &state)
{
    Export(state, "out.xls");
}
void BM_ExportCsv200k(benchmark::State &state)
{
    Export(state, "out.csv");
}

} // namespace

BENCHMARK(BM_ExportWorkbook200k)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ExportCsv200k)->Unit(benchmark::kMillisecond)->Iterations(3);
