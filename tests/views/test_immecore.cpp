// The widget-free part of the real-time view over a real node table: list cells, the text page
// over the sample ring (around its 10000 samples), alarm marks and the cancel rule.
#include "views/core/CImmeTextModel.h"
#include "views/core/ImmeCells.h"
#include "views/core/ImmeRules.h"

#include "ViewTestKit.h"
#include "base/NodeType.h"
#include "network/BeeNodeItem.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

namespace {

constexpr int kSingle = 4; // node ids of the fixture
constexpr int kDual = 2;
constexpr qint64 kT0 = 1700000000;

} // namespace

class TestImmeCore : public QObject {
    Q_OBJECT

    std::unique_ptr<CCorvaneODBC> m_db;
    std::unique_ptr<CCorvaneBeeNode> m_table;

    void AddSamples(int id, int from, int count)
    {
        for (int i = from; i < from + count; ++i)
            (void)m_table->AddRtSample(id, kT0 + i, float(i % 100), float(-i % 50));
    }

private slots:
    void initTestCase() { QVERIFY(viewtest::UseChineseHome()); }

    void init()
    {
        AppSettings::Instance().SetCurrentTempUnit(QStringLiteral("°C"));
        QVERIFY(viewtest::FourNodes(QStringLiteral("imme"), m_db, m_table));
    }

    void cells_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<float>("ch1");
        QTest::addColumn<float>("ch2");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        const float none = std::numeric_limits<float>::quiet_NaN(); // no sample at all
        QTest::newRow("-1000.0 empty") << kDual << -1000.0f << 3.0f << 0 << int(RtColCh1) << "";
        QTest::newRow("just above -1000") << kDual << -999.99f << 3.0f << 0 << int(RtColCh1) << "-999.99°C";
        QTest::newRow("single: no channel 2") << kSingle << 1.0f << 7.0f << 0 << int(RtColCh2) << "";
        QTest::newRow("pending marker") << kDual << none << none << 2 << int(RtColCheck) << "*001";
        QTest::newRow("no marker at 20") << kDual << none << none << 20 << int(RtColCheck) << " 001";
    }
    void cells()
    {
        QFETCH(int, id);
        QFETCH(float, ch1);
        QFETCH(float, ch2);
        QFETCH(int, state);
        QFETCH(int, column);
        m_table->SetRtInterval(id, 100);
        m_table->SetRtCmdState(id, quint8(state));
        if (!std::isnan(ch1))
            QVERIFY(m_table->AddRtSample(id, kT0, ch1, ch2) >= 0);
        CImmeListModel model(*m_table, *m_db);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.Reload();
        QCOMPARE(model.rowCount(), 2); // the loggers only
        QTEST(model.TextAt(model.RowOf(id), column), "text");
    }

    void ring_data()
    {
        QTest::addColumn<int>("before");  // samples shown before one more arrives
        QTest::addColumn<int>("removed"); // first rows removed on its arrival
        QTest::newRow("9999") << 9998 << 0;
        QTest::newRow("10000") << 9999 << 0;
        QTest::newRow("10001") << 10000 << 1;
    }
    void ring()
    {
        QFETCH(int, before);
        QFETCH(int, removed);
        CImmeTextModel model(*m_table);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        AddSamples(kDual, 0, before);
        model.Show(kDual);
        QSignalSpy removals(&model, &QAbstractItemModel::rowsRemoved);
        AddSamples(kDual, before, 1);
        model.Sync(kDual);
        const int total = before + 1;
        const int rows = std::min(total, BeeNodeItem::kRingSize);
        QCOMPARE(model.rowCount(), rows);
        QCOMPARE(removals.count(), removed);
        const int oldest = total - rows;
        QCOMPARE(model.Text(rows - 1, CImmeTextModel::ColNumber), QString::number(rows));
        QCOMPARE(model.Text(0, CImmeTextModel::ColTime), CvTime::FormatDateTime(kT0 + oldest));
        QCOMPARE(model.Text(rows - 1, CImmeTextModel::ColTime), CvTime::FormatDateTime(kT0 + total - 1));
    }

    void alarmSuffix_data()
    {
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<float>("upper");
        QTest::addColumn<float>("lower");
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("above") << true << 25.0f << 10.0f << 30.0f << "30.00°C [>25.00]";
        QTest::newRow("below") << true << 25.0f << 10.0f << 5.0f << "5.00°C [<10.00]";
        QTest::newRow("alarm off") << false << 25.0f << 10.0f << 30.0f << "30.00°C";
        QTest::newRow("no reading") << true << 25.0f << 10.0f << -1000.0f << "";
    }
    void alarmSuffix()
    {
        QFETCH(bool, alarm);
        QFETCH(float, upper);
        QFETCH(float, lower);
        QFETCH(float, value);
        m_table->SetStatus(kSingle, alarm ? NodeType::kStatusAlarmEnabled : 0);
        m_table->SetCh1Upper(kSingle, upper);
        m_table->SetCh1Lower(kSingle, lower);
        (void)m_table->AddRtSample(kSingle, kT0, value, 0.0f);
        CImmeTextModel model(*m_table);
        model.Show(kSingle);
        QTEST(model.Text(0, CImmeTextModel::ColCh1), "text");
    }

    void cancel_data()
    {
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("writeQueued");
        QTest::addColumn<bool>("readQueued");
        QTest::addColumn<qint64>("requested");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("asked"); // removals tried
        QTest::newRow("unchecked: nothing") << false << true << true << qint64(60) << 0 << 0;
        QTest::newRow("start cancelled") << true << true << false << qint64(60) << 26 << 2;
        QTest::newRow("stop cancelled") << true << true << false << qint64(0) << 27 << 2;
        QTest::newRow("fetch cancelled last") << true << true << true << qint64(60) << 28 << 2;
    }
    void cancel()
    {
        QFETCH(bool, checked);
        QFETCH(bool, writeQueued);
        QFETCH(bool, readQueued);
        QFETCH(qint64, requested);
        QFETCH(int, state);
        QFETCH(int, asked);
        m_table->SetRtCmdState(kDual, 6);
        m_table->SetRtRequestedInterval(kDual, requested);
        int tries = 0;
        const quint8 result = ImmeRules::Cancel(*m_table, kDual, checked, [&](RequestKind kind) {
            ++tries;
            return kind == RequestKind::SetRealTime ? writeQueued : readQueued;
        });
        QCOMPARE(int(result), state);
        QCOMPARE(tries, asked);
        QCOMPARE(int(m_table->GetRtCmdState(kDual)), state ? state : 6);
    }
};

QTEST_GUILESS_MAIN(TestImmeCore)
#include "test_immecore.moc"
