// The curve page widget: its controls drive the plot state and the picture.
#include "views/CurvePlotPage.h"

#include "CurveSeries.h"

#include "base/NodeType.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

namespace {

// n samples with varied values: channel 1 0..39, channel 2 50..56.
viewtest::Series Varied(int n)
{
    viewtest::Series data(n, 0.0f, 0.0f);
    for (int i = 0; i < n; ++i) {
        data.ch1[size_t(i)] = float(i % 40);
        data.ch2[size_t(i)] = 50.0f + float(i % 7);
    }
    return data;
}

} // namespace

class TestCurvePage : public QObject {
    Q_OBJECT
private slots:
    void singleTemperatureChannel2CannotBeChecked()
    {
        CurvePlotPage page(CurvePlotPage::Kind::RealTime);
        page.SetDevice(NodeType::SingleTemp, QStringLiteral("℃"), QString());
        page.show();
        QVERIFY(page.ChannelBox(0)->isChecked());
        QVERIFY(!page.ChannelBox(1)->isEnabled());
        QTest::mouseClick(page.ChannelBox(1), Qt::LeftButton);
        QVERIFY(!page.ChannelBox(1)->isChecked());
        QVERIFY(!page.State().ChannelShown(1));
        QVERIFY(page.UnitLabel(1)->text().isEmpty());
        // A dual logger enables both; unchecking channel 1 hides it.
        page.SetDevice(NodeType::DualTemp, QStringLiteral("℃"), QStringLiteral("℃"));
        QVERIFY(page.ChannelBox(1)->isEnabled() && page.ChannelBox(1)->isChecked());
        QTest::mouseClick(page.ChannelBox(0), Qt::LeftButton);
        QVERIFY(!page.State().ChannelShown(0));
    }

    void clickLeftOfPlotLeavesCursor()
    {
        const viewtest::Series data = Varied(100);
        CurvePlotPage page(CurvePlotPage::Kind::RealTime);
        page.SetDevice(NodeType::DualTemp, QStringLiteral("℃"), QStringLiteral("℃"));
        page.SetSamples(data.View());
        page.show();
        const CurveGeometry g = CurveGeometry::RealTime();
        QTest::mouseClick(page.Picture(), Qt::LeftButton, {}, QPoint(g.left + 3 * 20, 100));
        QCOMPARE(page.Frame().cursorPoint, 20);
        const QString reading = page.ReadOut(0)->text();
        QVERIFY(reading.contains(QStringLiteral("℃")));
        QTest::mouseClick(page.Picture(), Qt::LeftButton, {}, QPoint(g.left - 20, 100));
        QCOMPARE(page.Frame().cursorPoint, 20);
        QCOMPARE(page.ReadOut(0)->text(), reading);
        QTest::mouseClick(page.Picture(), Qt::LeftButton, {}, QPoint(g.left + 3 * 30, 100));
        QCOMPARE(page.Frame().cursorPoint, 30);
        QVERIFY(page.ReadOut(0)->text() != reading);
    }

    void zoomButtonsAndSlider()
    {
        const viewtest::Series data = Varied(3);
        CurvePlotPage page(CurvePlotPage::Kind::History);
        page.SetDevice(NodeType::TempHumidity, QStringLiteral("℃"), QStringLiteral("%RH"));
        page.SetSamples(data.View());
        QCOMPARE(page.Slider()->maximum(), 2);
        page.ZoomInButton()->click();
        page.ZoomInButton()->click();
        page.ZoomInButton()->click(); // capped at the sample count
        QCOMPARE(page.State().Zoom(), 3);
        page.ZoomOutButton()->click();
        QCOMPARE(page.State().Zoom(), 1);
        page.Slider()->setValue(2);
        QCOMPARE(page.State().First(), 2);
        QCOMPARE(page.Frame().decimation.points, 1);
        page.AutoScaleBox()->setChecked(true);
        QVERIFY(page.State().autoScale);
    }

    void pictureIsPainted()
    {
        const viewtest::Series data = Varied(1000);
        CurvePlotPage page(CurvePlotPage::Kind::RealTime);
        page.SetDevice(NodeType::DualTemp, QStringLiteral("℃"), QStringLiteral("℃"));
        page.SetSamples(data.View());
        page.show();
        const auto column = [&page](const QColor &colour) {
            const QImage image = page.Picture()->grab().toImage();
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                n += image.pixelColor(200, y) == colour;
            return n;
        };
        QVERIFY(column(CurvePainter::ChannelColor(1)) > 0);
        // Unchecking channel 2 takes its curve away and uncovers channel 1's.
        QTest::mouseClick(page.ChannelBox(1), Qt::LeftButton);
        QCOMPARE(column(CurvePainter::ChannelColor(1)), 0);
        QVERIFY(column(CurvePainter::ChannelColor(0)) > 0);
    }
};

QTEST_MAIN(TestCurvePage)
#include "test_curvepage.moc"
