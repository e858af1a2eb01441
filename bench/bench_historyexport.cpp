// Exporting a 200000-sample dual-channel record with alarm limits to a new workbook and to a
// CSV file, exactly as "另存为" does (texts of every row, temporary file, rename).
#include "base/AppSettings.h"
#include "history/core/HistoryExport.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

CNodeDataSave &Record()
{
    static CNodeDataSave s;
    static const bool ready = [] {
        AppSettings &a = AppSettings::Instance();
        a.SetLanguage(UiLanguage::Chinese);
        a.SetCurrentTempUnit(a.CelsiusText());
        s.deviceType = 0x88;
        s.name = QStringLiteral("冷库A");
        s.nodeKey = QStringLiteral("00124b0001a2b3c4");
        s.interval = 60;
        s.recordStart = 1700000000;
        for (int i = 0; i < CNodeDataSave::kCapacity; ++i) {
            s.ch1()[i] = 2.0f + float(i % 700) / 100;
            s.ch2()[i] = -18.0f + float(i % 300) / 100;
        }
        s.ch1Count = s.ch2Count = CNodeDataSave::kCapacity;
        s.FillSampleTimes();
        s.recordEnd = s.times()[CNodeDataSave::kCapacity - 1];
        s.alarmFlag = 4;
        s.ch1Lower = 2.5f;
        s.ch1Upper = 8.0f;
        s.ch2Lower = -17.5f;
        s.ch2Upper = -16.0f;
        return s.ComputeRangeStatistics(s.recordStart, s.recordEnd) == 1;
    }();
    (void)ready;
    return s;
}

void Export(benchmark::State &state, const char *name)
{
    CNodeDataSave &s = Record();
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
