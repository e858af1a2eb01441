// Texts of the history pages: units, Fahrenheit display, alarm marks, intervals, the data
// page's model and the summary figures.
#include "HistoryTestSupport.h"

#include "history/core/CHistoryTextModel.h"
#include "history/core/HistorySummary.h"
#include "history/core/HistoryTexts.h"

#include <QAbstractItemModelTester>
#include <QTest>

#include <memory>

using namespace historytest;

class TestHistoryTexts : public QObject {
    Q_OBJECT
private slots:
    void init() { UseChineseCelsius(); }

    void interval_data()
    {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("days dropped") << qint64(90000) << "01:00:00";
        QTest::newRow("none") << qint64(0) << "";
    }
    void interval()
    {
        QFETCH(qint64, seconds);
        QTEST(HistoryTexts::Interval(seconds), "text");
    }

    void recordLimits()
    {
        QCOMPARE(HistoryTexts::RecordLimits(4, 0x8C, 1, 20, kNoValue), "[20.00,  ]%RH");
        QCOMPARE(HistoryTexts::RecordLimits(4, 0x80, 0, -5, 30), "[-5.00, 30.00]°C");
        QCOMPARE(HistoryTexts::RecordLimits(4, 0x80, 1, -5, 30), ""); // no channel 2
        QCOMPARE(HistoryTexts::RecordLimits(3, 0x88, 0, -5, 30), "");
    }

    // Value cells: stored value, unit, alarm marks; the limits compare stored values.
    void valueCell_data()
    {
        QTest::addColumn<bool>("fahrenheit");
        QTest::addColumn<int>("alarm");
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("above") << false << 4 << 31.5f << "31.50°C [>30.00]";
        QTest::newRow("equal upper") << false << 4 << 30.0f << "30.00°C";
        QTest::newRow("below") << false << 4 << 5.0f << "5.00°C [<10.00]";
        QTest::newRow("no alarm") << false << 0 << 31.5f << "31.50°C";
        QTest::newRow("no value") << false << 4 << -1000.0f << "";
        QTest::newRow("fahrenheit below") << true << 4 << 5.0f << "41.00°F [<50.00]";
    }
    void valueCell()
    {
        QFETCH(bool, fahrenheit);
        QFETCH(int, alarm);
        QFETCH(float, value);
        AppSettings &a = AppSettings::Instance();
        a.SetCurrentTempUnit(fahrenheit ? a.FahrenheitText() : a.CelsiusText());
        CNodeDataSave s;
        Fill(s, 0x80, 3, [value](int i, int) { return i == 1 ? value : 20.0f; });
        SetAlarm(s, 10, 30, 0, 0);
        s.alarmFlag = quint8(alarm);
        const HistoryRows rows(s);
        QTEST(rows.Cell(1, HistoryRows::ColChannel1), "text");
        QCOMPARE(rows.Cell(1, HistoryRows::ColChannel2), QString()); // single channel
    }

    void rowTexts()
    {
        CNodeDataSave s;
        Fill(s, 0x8C, 5, [](int i, int ch) { return ch == 0 ? 20.0f + i : 55.0f; });
        (void)s.ComputeRangeStatistics(s.times()[2], s.recordEnd);
        const HistoryRows rows(s);
        QCOMPARE(rows.RowCount(), 3);
        QCOMPARE(rows.Cell(0, HistoryRows::ColTime), "2024-3-1 08:02:00");
        QCOMPARE(rows.Cell(3, HistoryRows::ColNumber), QString());
        s.times()[3] = 0;
        QCOMPARE(HistoryRows(s).Cell(1, HistoryRows::ColTime), QString());
    }

    // Hand-computed: 20 and 30 °C give exp(-10000/293.15) and exp(-10000/303.15); their mean's
    // -ln is 34.2081…, 10000 / 34.2081 = 299.4099 K = 26.2599 °C.
    void meanKineticTemperature()
    {
        const float two[] = {20.0f, 30.0f};
        QVERIFY(qAbs(*HistorySummary::MeanKineticTemperature(two, 2) - 26.2599) < 0.001);
        const float withGap[] = {25.0f, -1000.0f, 25.0f, 25.0f, 40.0f};
        QVERIFY(qAbs(*HistorySummary::MeanKineticTemperature(withGap, 5) - 31.2751) < 0.001);
        const float none[] = {-1000.0f};
        QVERIFY(!HistorySummary::MeanKineticTemperature(none, 1));
    }

    void extrasWithAlarm()
    {
        CNodeDataSave s;
        Fill(s, 0x8C, 10, [](int i, int ch) {
            return ch == 0 ? (i < 3 ? 31.0f : i == 9 ? 30.0f : 5.0f) : 50.0f;
        });
        SetAlarm(s, 10, 30, 20, 80);
        const HistorySummary::Page p = HistorySummary::Build(s);
        QCOMPARE(p.figures[0].samplesAbove, 3); // 30.00 equals the limit: not above
        QCOMPARE(p.figures[0].samplesBelow, 6);
        QCOMPARE(p.figures[0].secondsAbove, 180);
        QVERIFY(!p.figures[1].meanKinetic.has_value()); // humidity has none
        QCOMPARE(p.extras.size(), 5); // mean kinetic temperature and the time outside each limit
    }

    void model()
    {
        CNodeDataSave s;
        Fill(s, 0x88, CNodeDataSave::kCapacity, [](int i, int ch) { return float(i % 500) / 10 + ch; });
        CHistoryTextModel m(s);
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m.Refresh();
        QCOMPARE(m.rowCount(), CNodeDataSave::kCapacity);
        QCOMPARE(m.data(m.index(199999, 0)).toString(), "200000");
        QCOMPARE(m.data(m.index(501, 3)).toString(), "1.10°C");
        m.SetMarkedRow(7);
        QCOMPARE(m.data(m.index(7, 1), Qt::ForegroundRole).value<QColor>(), QColor(0, 20, 220));
        m.SetMarkedRow(CNodeDataSave::kCapacity);
        QCOMPARE(m.MarkedRow(), -1);
        m.SetMarkedRow(3);
        (void)s.ComputeRangeStatistics(s.times()[10], s.times()[19]);
        m.Refresh();
        QCOMPARE(m.rowCount(), 10);
        QCOMPARE(m.MarkedRow(), -1);
    }
};

QTEST_GUILESS_MAIN(TestHistoryTexts)
#include "test_historytexts.moc"
