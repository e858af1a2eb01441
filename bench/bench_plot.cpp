// The curve plot at its largest: decimation plus drawing of a 200000-sample history data set
// into the history page's 500 x 250 picture, and of a full 10000-sample real-time ring (wrapped)
// into the real-time page's 415 x 250 picture; the decimation alone beside each.
#include "views/core/CurvePainter.h"

#include "base/NodeType.h"

#include <QImage>
#include <QPainter>

#include <cmath>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

struct Data {
    std::vector<qint64> times;
    std::vector<float> ch1;
    std::vector<float> ch2;
    CurveSamples samples;

    Data(int n, int first, int ring) : times(size_t(n)), ch1(size_t(n)), ch2(size_t(n))
    {
        for (int i = 0; i < n; ++i) {
            times[size_t(i)] = 1400000000 + qint64(i) * 60;
            ch1[size_t(i)] = float(20.0 + 8.0 * std::sin(i / 500.0) + (i % 13) * 0.1);
            ch2[size_t(i)] = float(55.0 + 20.0 * std::cos(i / 900.0));
        }
        samples.times = times.data();
        samples.count = n;
        samples.first = first;
        samples.ring = ring;
        samples.alarm = true;
        samples.channel[0] = {ch1.data(), 11.0f, 29.5f, 15.0f, 26.0f, QStringLiteral("℃"), false};
        samples.channel[1] = {ch2.data(), 35.0f, 75.0f, 40.0f, 70.0f, QStringLiteral("%RH"), false};
    }
};

void DrawInto(benchmark::State &st, const Data &data, const CurveGeometry &geometry)
{
    CurvePlotState state;
    state.SetChannelsByType(NodeType::TempHumidity);
    const CurvePainter painter(geometry);
    QImage picture(geometry.Size(), QImage::Format_RGB32);
    for (auto _ : st) {
        QPainter p(&picture);
        const CurveFrame frame = painter.Draw(p, picture.rect(), data.samples, state);
        benchmark::DoNotOptimize(frame.decimation.points);
    }
}

void Decimate(benchmark::State &st, const Data &data, const CurveGeometry &geometry)
{
    for (auto _ : st) {
        const CurveDecimation d = CurveDecimation::Run(data.samples, 0, 1, geometry.PlotWidth());
        benchmark::DoNotOptimize(d.points);
    }
}

void BM_History200000Draw(benchmark::State &st)
{
    static const Data data(200000, 0, 0);
    DrawInto(st, data, CurveGeometry::History());
}

void BM_History200000Decimate(benchmark::State &st)
{
    static const Data data(200000, 0, 0);
    Decimate(st, data, CurveGeometry::History());
}

void BM_Ring10000Draw(benchmark::State &st)
{
    static const Data data(10000, 3456, 10000);
    DrawInto(st, data, CurveGeometry::RealTime());
}

void BM_Ring10000Decimate(benchmark::State &st)
{
    static const Data data(10000, 3456, 10000);
    Decimate(st, data, CurveGeometry::RealTime());
}

} // namespace

BENCHMARK(BM_History200000Draw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_History200000Decimate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ring10000Draw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ring10000Decimate)->Unit(benchmark::kMillisecond);
