// Report pages of a 200000-sample dual-channel record with alarm limits: laying out and
// writing 99 curve pages to PDF, the text mode's page count and one text page rendered at
// screen resolution as the preview does.
#include "BenchRecord.h"
#include "history/core/ReportPages.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void WritePdf(benchmark::State &state, ReportPages::Mode mode, int pages)
{
    const CNodeDataSave &s = FullDualRecord();
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
    const CNodeDataSave &s = FullDualRecord();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReportPages::PageCount(ReportPages::Mode::Text, s.rangeCount, 1));
}

void BM_TextPagePreview200k(benchmark::State &state)
{
    const ReportPages::Report report(FullDualRecord());
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
