// Report pages of a 200000-sample dual-channel record with alarm limits: laying out and
// writing 99 curve pages to PDF, the text mode's page count and one text page rendered at
// screen resolution as the preview does.
#include "base/AppSettings.h"
#include "history/core/ReportPages.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const CNodeDataSave &Record()
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

void WritePdf(benchmark::State &state, ReportPages::Mode mode, int pages)
{
    const CNodeDataSave &s = Record();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    for (auto _ : state) {
        if (!ReportPages::WritePdf(s, path, mode, pages).ok)
            state.SkipWithError("writing failed");
    }
    state.counters["bytes"] = double(QFile(path).size());
    state.counters["pages"] = ReportPages::PageCount(mode, s.rangeCount, pages);
}

void BM_CurvePdf99Pages200k(benchmark::State &state)
{
    WritePdf(state, ReportPages::Mode::Curve, ReportPages::kMaxCurvePages);
}

void BM_CurvePdf1Page200k(benchmark::State &state)
{
    WritePdf(state, ReportPages::Mode::Curve, 1);
}

void BM_TextPageCount200k(benchmark::State &state)
{
    const CNodeDataSave &s = Record();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReportPages::PageCount(ReportPages::Mode::Text, s.rangeCount, 1));
}

void BM_TextPagePreview200k(benchmark::State &state)
{
    const ReportPages::Report report(Record());
    const ReportPages::Geometry g(96, 96);
    QImage image(g.PageSize(ReportPages::Mode::Text), QImage::Format_RGB32);
    const int total = ReportPages::TextPageCount(report.Samples());
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        report.Paint(painter, g, ReportPages::Mode::Text, total / 2, total);
    }
    state.counters["pages"] = total;
}

} // namespace

BENCHMARK(BM_CurvePdf99Pages200k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CurvePdf1Page200k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextPageCount200k);
BENCHMARK(BM_TextPagePreview200k)->Unit(benchmark::kMillisecond);
