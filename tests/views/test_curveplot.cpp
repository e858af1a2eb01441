// The curve plot without widgets: decimation figures, value axes, alarm lines and one picture
// painted on a QImage.
#include "views/core/CurvePainter.h"

#include "CurveSeries.h"

#include "base/NodeType.h"

#include <QImage>
#include <QPainter>
#include <QTest>

using viewtest::Series;

namespace {

CurvePlotState Shown(quint8 type = NodeType::DualTemp)
{
    CurvePlotState state;
    state.SetChannelsByType(type);
    return state;
}

QImage Render(const CurveSamples &s, const CurvePlotState &state, CurveFrame *frame = nullptr,
              const CurveGeometry &g = CurveGeometry::RealTime())
{
    QImage image(g.Size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    const CurveFrame f = CurvePainter(g).Draw(p, image.rect(), s, state);
    if (frame)
        *frame = f;
    return image;
}

int CountColour(const QImage &image, int row, const QColor &colour, int fromX = 0)
{
    int n = 0;
    for (int x = fromX; x < image.width(); ++x)
        n += image.pixelColor(x, row) == colour;
    return n;
}

} // namespace

class TestCurvePlot : public QObject {
    Q_OBJECT
private slots:
    void decimationFigures_data()
    {
        QTest::addColumn<int>("samples");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("plotWidth");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<int>("maxPoints");
        QTest::newRow("history full") << 200000 << 1 << 440 << 910 << 1 << 442;
        // The loop stops once P / D + 2 points exist; a last two-point window can end one beyond.
        QTest::newRow("zoomed to fewer than pixels") << 1000 << 4 << 355 << 2 << 1 << 358;
        QTest::newRow("one sample") << 1 << 1 << 355 << 2 << 355 << 1;
    }

    void decimationFigures()
    {
        QFETCH(int, samples);
        QFETCH(int, zoom);
        QFETCH(int, plotWidth);
        QFETCH(int, step);
        QFETCH(int, pixels);
        QFETCH(int, maxPoints);
        Series data(samples, 0.0f);
        for (int i = 0; i < samples; ++i)
            data.ch1[size_t(i)] = float(i % 17) - float(i % 5); // varied, so windows give two points
        const CurveDecimation d = CurveDecimation::Run(data.View(false), 0, zoom, plotWidth);
        QCOMPARE(d.step, step);
        QCOMPARE(d.pixelsPerPoint, pixels);
        QVERIFY2(d.points <= maxPoints, qPrintable(QString::number(d.points)));
        QVERIFY(d.points > 0);
        QCOMPARE(int(d.index[0].size()), d.points);
        // Indices run forward in time.
        for (int j = 1; j < d.points; ++j)
            QVERIFY(d.index[0][size_t(j)] > d.index[0][size_t(j - 1)]);
    }

    void windowRules()
    {
        // 8 samples on a 3-pixel plot: M = 8, K = 2 x 8 / 3 + 1 = 6.
        Series data(8, 0.0f);
        data.ch1 = {5, 9, 9, 1, 1, 7, 2, 2};
        const CurveDecimation d = CurveDecimation::Run(data.View(false), 0, 1, 3);
        QCOMPARE(d.step, 6);
        // Window [0, 6): the first of the largest (1) and the last of the smallest (4), in time
        // order; window [6, 8): 6 and 7 are equal, so the largest is 6 and the smallest 7.
        QCOMPARE(d.index[0], (std::vector<int>{1, 4, 6, 7}));

        // A ring of 6 whose oldest sample sits at position 4: samples 0..5 are positions 4,5,0,1,2,3.
        std::vector<float> ring{30, 40, 50, 60, 10, 20};
        std::vector<qint64> times{3, 4, 5, 6, 1, 2};
        CurveSamples s;
        s.times = times.data();
        s.channel[0].values = ring.data();
        s.count = 6;
        s.first = 4;
        s.ring = 6;
        // Window of K = 5 over 6 samples on a 2-pixel plot covers the wrap.
        const CurveDecimation r = CurveDecimation::Run(s, 0, 1, 2);
        QCOMPARE(r.step, 7);
        QCOMPARE(r.index[0], (std::vector<int>{0, 5}));
    }

    void axesAndAlarmLines()
    {
        // One sample (or a constant channel): the axis spans one unit centred on the value.
        Series one(1, 21.5f, -3.0f);
        CurveFrame frame;
        Render(one.View(), Shown(), &frame);
        const CurveGeometry g = CurveGeometry::RealTime();
        QCOMPARE(frame.axis[0].base, 21.0);
        QCOMPARE(frame.axis[0].perPixel, 1.0 / g.PlotHeight());
        QCOMPARE(frame.axis[1].base, -3.5);
        // The point sits in the middle of the plot, not at an undefined row.
        QCOMPARE(frame.points[0][0].y(), g.bottom - g.PlotHeight() / 2);
        Render(CurveSamples(), Shown(), &frame);
        QCOMPARE(frame.cursorPoint, -1);
        QVERIFY(frame.points[0].isEmpty());

        // An alarm limit far outside the values is drawn five pixels beyond the plot.
        Series data(50, 20.0f, 50.0f);
        data.ch1[10] = 30.0f;
        data.ch2[20] = 60.0f;
        CurveSamples s = data.View();
        s.alarm = true;
        s.channel[0].upper = 1000.0f; // far above
        s.channel[0].lower = 25.0f;   // inside
        s.channel[1].upper = 55.0f;
        s.channel[1].lower = -900.0f; // far below
        Render(s, Shown(), &frame);
        QCOMPARE(frame.upperRow[0], g.top - 5);
        QCOMPARE(frame.lowerRow[0], g.bottom - 100);
        QCOMPARE(frame.upperRow[1], g.bottom - 100);
        QCOMPARE(frame.lowerRow[1], g.bottom + 5);
    }

    void spikeAmong200000IsVisible()
    {
        constexpr int kN = 200000;
        Series data(kN, 20.0f, 50.0f);
        data.ch1[123457] = 80.0f;
        data.ch2[7] = 10.0f;      // a dip at the very start of channel 2
        data.ch2[100000] = 90.0f; // channel 2 runs mid-plot, clear of channel 1's rows
        CurveFrame frame;
        const CurveGeometry g = CurveGeometry::History();
        const QImage image = Render(data.View(), Shown(), &frame, g);
        QVERIFY(frame.decimation.points <= g.PlotWidth() + 2);
        // The spike reaches the plot top, the dip the bottom, in the channels' colours.
        QVERIFY(CountColour(image, g.top, CurvePainter::ChannelColor(0), g.left + 1) > 0);
        QVERIFY(CountColour(image, g.bottom, CurvePainter::ChannelColor(1), g.left) > 0);
        // And it sits in the column of its window.
        const int column = g.left + 123457 / frame.decimation.step * 2 * frame.decimation.pixelsPerPoint;
        bool found = false;
        for (int x = column - 2; x <= column + 2 && !found; ++x)
            found = image.pixelColor(x, g.top + 1) == CurvePainter::ChannelColor(0);
        QVERIFY(found);
    }
};

QTEST_MAIN(TestCurvePlot)
#include "test_curveplot.moc"
