// The curve page widget: its controls are wired to the plot state and the picture (the plot's
// rules are the curve plot test's business).
#include "views/CurvePlotPage.h"

#include "CurveSeries.h"

#include "base/NodeType.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

class TestCurvePage : public QObject {
    Q_OBJECT
private slots:
    void channelBoxesFollowTheDeviceAndThePicture()
    {
        // Channel 1 0..39, channel 2 50..56.
        viewtest::Series data(1000, 0.0f, 0.0f);
        for (int i = 0; i < 1000; ++i) {
            data.ch1[size_t(i)] = float(i % 40);
            data.ch2[size_t(i)] = 50.0f + float(i % 7);
        }
        CurvePlotPage page(CurvePlotPage::Kind::RealTime);
        page.SetDevice(NodeType::SingleTemp, QStringLiteral("℃"), QString());
        page.show();
        QVERIFY(!page.ChannelBox(1)->isEnabled());
        QVERIFY(!page.State().ChannelShown(1));
        page.SetDevice(NodeType::DualTemp, QStringLiteral("℃"), QStringLiteral("℃"));
        page.SetSamples(data.View());
        QVERIFY(page.ChannelBox(1)->isEnabled() && page.ChannelBox(1)->isChecked());
        const auto column = [&page](const QColor &colour) {
            const QImage image = page.Picture()->grab().toImage();
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                n += image.pixelColor(200, y) == colour;
            return n;
        };
        QVERIFY(column(CurvePainter::ChannelColor(1)) > 0);
        QTest::mouseClick(page.ChannelBox(1), Qt::LeftButton); // takes channel 2's curve away
        QCOMPARE(column(CurvePainter::ChannelColor(1)), 0);

        // A click sets the cursor and its read-out; a click left of the plot leaves both.
        const CurveGeometry g = CurveGeometry::RealTime();
        QTest::mouseClick(page.Picture(), Qt::LeftButton, {}, QPoint(g.left + 20, 100));
        const int cursor = page.Frame().cursorPoint;
        const QString reading = page.ReadOut(0)->text();
        QVERIFY(cursor > 0 && reading.contains(QStringLiteral("℃")));
        QTest::mouseClick(page.Picture(), Qt::LeftButton, {}, QPoint(g.left - 20, 100));
        QCOMPARE(page.Frame().cursorPoint, cursor);
        QCOMPARE(page.ReadOut(0)->text(), reading);
    }

    void zoomButtonsAndSlider()
    {
        const viewtest::Series data(3, 1.0f, 2.0f);
        CurvePlotPage page(CurvePlotPage::Kind::History);
        page.SetDevice(NodeType::TempHumidity, QStringLiteral("℃"), QStringLiteral("%RH"));
        page.SetSamples(data.View());
        QCOMPARE(page.Slider()->maximum(), 2);
        page.ZoomInButton()->click();
        QCOMPARE(page.State().Zoom(), 2);
        page.ZoomOutButton()->click();
        QCOMPARE(page.State().Zoom(), 1);
        page.Slider()->setValue(2);
        QCOMPARE(page.State().First(), 2);
        QCOMPARE(page.Frame().decimation.points, 1);
    }
};

QTEST_MAIN(TestCurvePage)
#include "test_curvepage.moc"
