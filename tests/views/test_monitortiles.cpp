// The monitor screen's pages, alarm rule, tile readings and reachability check, on a network
// table (the reading texts of the demo network run end to end).
#include "views/core/MonitorTiles.h"

#include "network/CCorvaneBeeNode.h"

#include <QtTest>

using namespace MonitorTiles;

namespace {

const QString kC = QStringLiteral("°C");
const QString kF = QStringLiteral("°F");
const QString kRh = QStringLiteral("%RH");
const Units kUnits{kC, kF, kRh};

} // namespace

class TestMonitorTiles : public QObject {
    Q_OBJECT

    // Loggers 1..n: single-temperature, limits 0..25, alarm setting 4, reachable.
    static std::vector<Source> Network(CCorvaneBeeNode &table, int n, quint8 status = 0x05)
    {
        std::vector<Source> sources;
        for (int id = 1; id <= n; ++id) {
            table.AddNode(id);
            table.SetType(id, 0x80);
            table.SetStatus(id, status);
            table.SetCh1Lower(id, 0.0f);
            table.SetCh1Upper(id, 25.0f);
            sources.push_back({id, QStringLiteral("L%1").arg(id)});
        }
        return sources;
    }
    static int Shown(const Page &page)
    {
        return int(
            std::count_if(page.Tiles().begin(), page.Tiles().end(), [](const Tile &t) { return t.nodeId; }));
    }

private slots:
    void pages_data()
    {
        QTest::addColumn<int>("loggers");
        QTest::addColumn<int>("pageCount");
        QTest::addColumn<int>("shownOnFirst");
        QTest::addColumn<int>("nextOnFirst"); // 1 enabled, 0 disabled, -1 unchanged
        QTest::addColumn<int>("shownAfterNext");
        QTest::addColumn<int>("nextAfterNext");
        QTest::newRow("31 loggers") << 31 << 2 << 30 << 1 << 1 << 0;
        QTest::newRow("30 loggers") << 30 << 1 << 30 << 0 << 30 << -1;
        QTest::newRow("no loggers") << 0 << 0 << 0 << -1 << 0 << -1;
    }
    void pages()
    {
        QFETCH(int, loggers);
        CCorvaneBeeNode table;
        Page page(table, Network(table, loggers), kUnits);
        QTEST(page.Count(), "pageCount");
        QTEST(Shown(page), "shownOnFirst");
        QVERIFY(!page.PreviousEnabled());
        QTEST(page.NextEnabled() ? int(*page.NextEnabled()) : -1, "nextOnFirst");
        page.Next();
        QCOMPARE(page.Number(), 2);
        QVERIFY(page.PreviousEnabled());
        QTEST(Shown(page), "shownAfterNext");
        QTEST(page.NextEnabled() ? int(*page.NextEnabled()) : -1, "nextAfterNext");
    }

    void alarm_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("status");
        QTest::addColumn<float>("v1");
        QTest::addColumn<float>("v2");
        QTest::addColumn<bool>("alarm");
        QTest::newRow("above, setting 4") << 0x80 << 0x05 << 25.5f << 0.0f << true;
        QTest::newRow("above, setting 8") << 0x80 << 0x09 << 40.0f << 0.0f << false;
        QTest::newRow("equal to the upper limit") << 0x80 << 0x05 << 25.0f << 0.0f << false;
        QTest::newRow("single: channel 2 ignored") << 0x80 << 0x05 << 10.0f << 99.0f << false;
        QTest::newRow("dual: channel 2 below") << 0x88 << 0x05 << 10.0f << 4.9f << true;
        QTest::newRow("router") << 0x04 << 0x05 << 99.0f << 99.0f << false;
    }
    void alarm()
    {
        QFETCH(int, type);
        QFETCH(int, status);
        QFETCH(float, v1);
        QFETCH(float, v2);
        QTEST(InAlarm(quint8(type), quint8(status), v1, v2, {0.0f, 25.0f, 5.0f, 80.0f}), "alarm");
    }

    void samples()
    {
        // Temperature follows the unit; humidity is never converted.
        QCOMPARE(ReadingText(0x8C, 21.5f, -10.0f, kF, kF, kRh),
                 QStringLiteral("  70.70 °F\n -10.00 %RH     "));
        CCorvaneBeeNode table;
        Page page(table, Network(table, 31), kUnits);
        table.AddRtSample(31, 100, 30.0f, 0.0f); // on page 2
        QCOMPARE(page.OnSample(31), -1);
        table.AddRtSample(2, 100, 30.0f, 0.0f);
        QCOMPARE(page.OnSample(2), 1);
        QCOMPARE(page.Tiles()[1].look, Look::Alarm);
        table.AddRtSample(2, 101, 20.0f, 0.0f);
        QCOMPARE(page.OnSample(2), 1);
        QCOMPARE(page.Tiles()[1].look, Look::Normal);

        // Tile 0 takes logger 31 on page 2: its own reading, not the one of logger 1.
        table.AddRtSample(1, 100, 10.0f, 0.0f);
        QCOMPARE(page.OnSample(1), 0);
        page.Next();
        QCOMPARE(page.Tiles()[0].nodeId, 31);
        QCOMPARE(page.Tiles()[0].reading, QStringLiteral("\n  30.00 °C     "));
        QCOMPARE(page.Tiles()[0].look, Look::Alarm);
    }

    void reachability()
    {
        CCorvaneBeeNode table;
        Page page(table, Network(table, 2), kUnits);
        // Tiles start unreachable; a reachable logger's tile turns normal at the first check.
        QCOMPARE(page.CheckReachability(), std::vector<int>({0, 1}));
        table.AddRtSample(1, 100, 30.0f, 0.0f);
        (void)page.OnSample(1);
        QVERIFY(page.CheckReachability().empty()); // the alarm look stays while reachable
        QCOMPARE(page.Tiles()[0].look, Look::Alarm);
        table.SetStatus(1, 0x07); // run state 3: not reachable
        QCOMPARE(page.CheckReachability(), std::vector<int>({0}));
        QCOMPARE(page.Tiles()[0].look, Look::Unreachable);
        table.RemoveNode(2);
        QCOMPARE(page.CheckReachability(), std::vector<int>({1}));
    }
};

QTEST_GUILESS_MAIN(TestMonitorTiles)
#include "test_monitortiles.moc"
