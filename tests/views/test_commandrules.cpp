// The widget-free rules of the logging and download views: limit edits, offered panel values,
// apply and cancel, and the download plan list with a clock of the test's own.
#include "views/core/DownloadPlans.h"
#include "views/core/LoggingRules.h"

#include "ViewTestKit.h"
#include "network/BeeNodeItem.h"

#include <QtTest>

using viewtest::At;

namespace {

const QString kC = QStringLiteral("°C");
const QString kF = QStringLiteral("°F");
const QString kRh = QStringLiteral("%RH");

} // namespace

class TestCommandRules : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { AppSettings::Instance().SetLanguage(UiLanguage::Chinese); }

    // What the limit edits keep of a typed text, and the limit it gives in a unit.
    void limitEdits_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<float>("value");
        QTest::newRow("second minus and dot") << "1-2..3" << kC << "12.3" << 12.3f;
        QTest::newRow("wide digit") << QStringLiteral("2\uFF13") << kC << "2" << 2.0f;
        QTest::newRow("character outside the plane") << QStringLiteral("1\U0001F600"
                                                                       "2")
                                                     << kC << "12" << 12.0f;
        QTest::newRow("302 F clamped") << "302" << kF << "302" << 127.0f;
        QTest::newRow("empty") << "" << kC << "" << -2000.0f;
        QTest::newRow("150 C clamped") << "150" << kC << "150" << 127.0f;
        QTest::newRow("humidity above") << "101" << kRh << "101" << 100.0f;
    }
    void limitEdits()
    {
        QFETCH(QString, typed);
        QFETCH(QString, unit);
        const QString kept = LoggingRules::FilterLimitText(typed);
        QTEST(kept, "kept");
        QTEST(LoggingRules::LimitValue(kept, unit), "value");
    }

    void checkLimits_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<QList<float>>("limits"); // lower 1, upper 1, lower 2, upper 2
        QTest::addColumn<int>("message");
        using L = QList<float>;
        QTest::newRow("channel 1 edits empty") << 0x80 << true << L{-2000, -2000, 0, 1} << 185;
        QTest::newRow("channel 1 equal") << 0x88 << true << L{5, 5, 0, 1} << 185;
        QTest::newRow("channel 2 reversed") << 0x8C << true << L{2, 8, 60, 40} << 186;
        QTest::newRow("no channel 2") << 0x80 << true << L{2, 8, 60, 40} << 0;
        QTest::newRow("alarm off") << 0x88 << false << L{9, 1, 9, 1} << 0;
    }
    void checkLimits()
    {
        QFETCH(int, type);
        QFETCH(bool, alarm);
        QFETCH(QList<float>, limits);
        const LoggingRules::Parameters p{0, 0, alarm, limits[0], limits[1], limits[2], limits[3]};
        QTEST(LoggingRules::CheckLimits(p, quint8(type)), "message");
    }

    void applyWritesTheLiveRecordOrNothing()
    {
        CCorvaneBeeNode table;
        QCOMPARE(table.AddNode(5), 1);
        table.SetType(5, 0x88);
        table.SetLogCmdState(5, 21);
        const LoggingRules::Parameters bad{1000, 60, true, 2.0f, 8.0f, 5.0f, 5.0f};
        QCOMPARE(LoggingRules::Apply(table, 5, bad), 186);
        QCOMPARE(int(table.GetLogCmdState(5)), 21);

        const LoggingRules::Parameters off{1000, 60, false, 2.0f, 8.0f, 5.0f, 5.0f};
        QCOMPARE(LoggingRules::Apply(table, 5, off), 0);
        const BeeNodeItem &item = *table.Find(5);
        QCOMPARE(item.logStartTime, qint64(1000));
        QCOMPARE(int(item.alarmEnable), 0);
        QCOMPARE(item.devCh2Upper, -2000.0f);
        QCOMPARE(int(item.logCmdState), 3);

        QCOMPARE(LoggingRules::Apply(table, 6, off), -1); // an unknown node
    }

    void cancelState_data()
    {
        QTest::addColumn<QList<int>>("queued");
        QTest::addColumn<int>("state");
        QTest::newRow("nothing") << QList<int>{} << 0;
        QTest::newRow("start") << QList<int>{4} << 26;
        QTest::newRow("stop") << QList<int>{5} << 27;
        QTest::newRow("start and alarm") << QList<int>{4, 9} << 28;
    }
    void cancelState()
    {
        QFETCH(QList<int>, queued);
        QList<int> asked;
        const quint8 state = LoggingRules::CancelState([&](RequestKind kind) {
            asked << KindNumber(kind);
            return queued.contains(KindNumber(kind));
        });
        QTEST(int(state), "state");
        QCOMPARE(asked, (QList<int>{4, 5, 9}));
    }

    void planAndRangeChecks()
    {
        const qint64 now = At(2026, 3, 1, 12, 0, 0);
        QCOMPARE(DownloadPlans::CheckPlan(DownloadPlans::Once, now, now), 192);
        QCOMPARE(DownloadPlans::CheckPlan(DownloadPlans::Once, now + 1, now), 0);
        QCOMPARE(DownloadPlans::CheckPlan(DownloadPlans::Daily, now - 3600, now), 0);
        QCOMPARE(DownloadPlans::CheckRange(1, now, now), 192);
        QCOMPARE(DownloadPlans::CheckRange(1, now, now - 1), 192);
        QCOMPARE(DownloadPlans::CheckRange(1, now - 1, now), 0);
        QCOMPARE(DownloadPlans::CheckRange(0, now, now), 0);
        QCOMPARE(DownloadPlans::TodayAt(At(2020, 7, 9, 8, 0, 0), now), At(2026, 3, 1, 8, 0, 0));
    }

    // Ticks every 5 s from `from` to `to` with the submits answering `accept`; returns the
    // times at which something fired, keeping the node's last fired time as the planner does.
    static QList<qint64> Run(DownloadPlanList &plans, qint64 from, qint64 to, qint64 &last,
                             bool accept = true)
    {
        QList<qint64> fired;
        for (qint64 now = from; now <= to; now += 5) {
            const auto got = plans.Tick(
                now, [&](int) { return last; }, [&](int) { return accept; });
            for (const auto &f : got) {
                fired << now;
                last = f.time;
            }
        }
        return fired;
    }

    void dailyPlanFiresOnceInItsWindow_data()
    {
        QTest::addColumn<qint64>("firstTick");
        QTest::addColumn<qint64>("firedAt");
        QTest::newRow("tick on the second") << At(2026, 3, 1, 7, 59, 50) << At(2026, 3, 1, 8, 0, 0);
        QTest::newRow("first tick 58 s late") << At(2026, 3, 1, 8, 0, 58) << At(2026, 3, 1, 8, 0, 58);
    }
    void dailyPlanFiresOnceInItsWindow()
    {
        QFETCH(qint64, firstTick);
        QFETCH(qint64, firedAt);
        DownloadPlanList plans;
        qint64 last = 0;
        plans.Arm(1, DownloadPlans::Daily, At(2025, 1, 1, 8, 0, 0), 0, firstTick);
        QCOMPARE(Run(plans, firstTick, At(2026, 3, 1, 8, 3, 0), last), QList<qint64>{firedAt});
        QVERIFY(plans.IsEmpty());
        // Armed again after the download (same day): the last fired time keeps it quiet.
        plans.Arm(1, DownloadPlans::Daily, At(2025, 1, 1, 8, 0, 0), 16, At(2026, 3, 1, 8, 3, 0));
        QCOMPARE(Run(plans, At(2026, 3, 1, 8, 3, 0), At(2026, 3, 1, 23, 59, 55), last), QList<qint64>{});
        QCOMPARE(Run(plans, At(2026, 3, 2, 7, 59, 0), At(2026, 3, 2, 8, 2, 0), last),
                 QList<qint64>{At(2026, 3, 2, 8, 0, 0)});
    }

    void armingRules()
    {
        const qint64 now = At(2026, 3, 1, 12, 0, 0);
        DownloadPlanList plans;
        plans.Arm(1, DownloadPlans::Daily, At(2025, 1, 1, 8, 0, 0), 7, now); // downloading
        QVERIFY(plans.IsEmpty());
        plans.Arm(2, DownloadPlans::Once, now - 10, 0, now); // past
        QVERIFY(plans.IsEmpty());
        plans.Arm(2, DownloadPlans::Once, now + 10, 0, now);
        plans.Arm(3, DownloadPlans::Daily, At(2025, 1, 1, 9, 30, 0), 15, now);
        plans.Arm(2, DownloadPlans::Once, now + 20, 0, now); // re-armed: moves to the end
        QCOMPARE(int(plans.Entries().size()), 2);
        QCOMPARE(plans.Entries()[0].time, At(2026, 3, 1, 9, 30, 0));
        QCOMPARE(plans.Entries()[1].time, now + 20);
        plans.Arm(3, DownloadPlans::None, 0, 0, now);
        plans.Arm(2, DownloadPlans::Daily, 0, 0, now); // a plan without a time
        QVERIFY(plans.IsEmpty());
    }

    void refusedSubmitRetriedWithinTheWindow()
    {
        const qint64 plan = At(2026, 3, 1, 8, 0, 0);
        DownloadPlanList plans;
        qint64 last = 0;
        plans.Arm(1, DownloadPlans::Once, plan, 0, plan - 30);
        QCOMPARE(Run(plans, plan - 5, plan + 20, last, false), QList<qint64>{});
        QCOMPARE(Run(plans, plan + 25, plan + 30, last), QList<qint64>{plan + 25});

        plans.Arm(2, DownloadPlans::Once, plan + 100, 0, plan);
        QCOMPARE(Run(plans, plan + 100, plan + 160, last, false), QList<qint64>{});
        QCOMPARE(Run(plans, plan + 165, plan + 400, last), QList<qint64>{}); // window passed
        QCOMPARE(int(plans.Entries().size()), 1);                            // kept, never fires
    }
};

QTEST_GUILESS_MAIN(TestCommandRules)
#include "test_commandrules.moc"
