// The history view over a real database: loggers listed, a record loaded onto the three pages,
// the range pickers and "设置", the search, "另存为" and reading the saved data file back.
#include "history/CFormviewHistory.h"
#include "history/CHistoryCurve.h"
#include "history/CHistorySumm.h"
#include "history/CHistoryText.h"
#include "history/core/CHistoryRecordModel.h"
#include "history/core/CHistoryTextModel.h"
#include "views/CurvePlotPage.h"
#include "views/core/CHistoryNodeModel.h"

#include "../views/ViewTestKit.h"
#include "HistoryTestSupport.h"
#include "network/CCorvaneBeeNode.h"
#include "network/NetworkLoader.h"
#include "storage/HistoryTables.h"

#include <QDateTimeEdit>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

using namespace historytest;

namespace {

const QString kKey = QStringLiteral("00124b0000000002");

} // namespace

class TestHistoryView : public QObject {
    Q_OBJECT

    std::unique_ptr<CCorvaneODBC> m_db;
    std::unique_ptr<CCorvaneBeeNode> m_table;
    std::unique_ptr<CFormviewHistory> m_view;
    const qint64 m_start1 = At(2024, 5, 1, 8, 0, 0);
    const qint64 m_start2 = At(2024, 5, 2, 8, 0, 0);

    template <typename T> T *Find(const char *name) const
    {
        T *w = m_view->findChild<T *>(QLatin1String(name));
        if (!w)
            qWarning("no control %s", name);
        return w;
    }
    QString Label(const char *name) const { return Find<QLabel>(name)->text(); }
    QString Cell(int row, int column) const
    {
        return m_view->TextPage()->Model().index(row, column).data().toString();
    }

private slots:
    void initTestCase() { QVERIFY(viewtest::UseChineseHome()); }
    void init()
    {
        historytest::UseChineseCelsius();
        m_db = viewtest::FreshDatabase(QStringLiteral("histview"));
        QVERIFY(m_db);
        const quint8 types[] = {0x40, 0x8C, 0x04}; // receiver, the logger kKey, router
        for (int n = 0; n < 3; ++n)
            QVERIFY(viewtest::AddNode(*m_db, n + 1, types[n], n ? 1 : 0, QStringLiteral("冷库B")));
        m_table = std::make_unique<CCorvaneBeeNode>();
        (void)LoadNetworkTable(*m_db, *m_table);
        // Record 1: four samples a minute apart; record 2 a day later, ten samples.
        const std::array<float, 4> limits{10, 30, 20, 80};
        const QByteArray first = Hundredths({2500, 5000, 3150, 8500, 1000, 6000, 3000, 2000});
        QCOMPARE(m_db->History().StoreHistoryBlock(Block(kKey, 0x8C, m_start1, 60, first, limits)), 1);
        QList<int> second;
        for (int i = 0; i < 10; ++i)
            second << 2000 + i << 5000;
        QCOMPARE(
            m_db->History().StoreHistoryBlock(Block(kKey, 0x8C, m_start2, 60, Hundredths(second), limits)),
            1);
        m_view = std::make_unique<CFormviewHistory>(*m_table, *m_db);
        m_view->RefreshList();
    }
    void cleanup()
    {
        m_view.reset();
        m_table.reset();
        m_db.reset();
    }

    void loadsRecordOnAllPages()
    {
        QCOMPARE(m_view->Nodes().rowCount(), 1); // the receiver and the router are not listed
        m_view->ChooseNode(0);
        QCOMPARE(m_view->Records().rowCount(), 2);
        QVERIFY(!Find<QPushButton>("btn1143")->isEnabled()); // print waits for its preview

        // A zoomed curve of one data set does not carry over to the next.
        m_view->LoadRecord(1);
        QVERIFY(m_view->CurvePage()->Page()->State().ZoomIn(10));
        m_view->LoadRecord(0);
        QCOMPARE(m_view->CurvePage()->Page()->State().Zoom(), 1);
        QCOMPARE(m_view->CurvePage()->Page()->Samples().count, 4);
        QCOMPARE(Label("static1192"), "31.50°C");
        QCOMPARE(Cell(1, 2), "31.50°C [>30.00]");
        QCOMPARE(Find<QTimeEdit>("picker1180")->time(), QTime(8, 3));
    }
    void rangePickersAndApply()
    {
        m_view->ChooseNode(0);
        m_view->LoadRecord(1); // 08:00 .. 08:09
        auto *set = Find<QPushButton>("btn1012");
        auto *startTime = Find<QTimeEdit>("picker1178");
        auto *endTime = Find<QTimeEdit>("picker1180");
        startTime->setTime(QTime(8, 0, 30));
        endTime->setTime(QTime(8, 5));
        QVERIFY(set->isEnabled());
        Find<QDateEdit>("picker1184")->setDate(QDate(2024, 5, 2));
        QTest::mouseClick(set, Qt::LeftButton);
        QVERIFY(!set->isEnabled());
        QCOMPARE(m_view->TextPage()->Model().rowCount(), 5); // 08:01 .. 08:05
        QCOMPARE(Label("static1191"), "5");
        QCOMPARE(m_view->CurvePage()->Page()->Samples().count, 5);
    }
    // A moment in the other record loads it and marks its row.
    void searchLoadsAndMarks()
    {
        m_view->NodeList()->selectRow(0);
        m_view->ChooseNode(0);
        m_view->LoadRecord(0);
        Find<QDateTimeEdit>("picker1238")->setDateTime(QDateTime::fromSecsSinceEpoch(m_start2 + 185));
        QTest::mouseClick(Find<QPushButton>("btn1239"), Qt::LeftButton);
        QCOMPARE(m_view->Records().CheckedRow(), 1);
        QCOMPARE(m_view->TextPage()->Model().MarkedRow(), 3);
        QCOMPARE(m_view->TextPage()->List()->currentIndex().row(), 3);
    }
    void saveAsThenOpen()
    {
        const QString folder = historytest::TempPath(QStringLiteral("viewsave"));
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder));
        m_view->SetChoosers(
            [&folder](QWidget *, const QString &, const QStringList &) {
                return CFormviewHistory::SaveChoice{folder + "/data.txt", 0};
            },
            [&folder](QWidget *, const QString &) { return folder + "/data.txt.cvdf"; });
        QSignalSpy status(m_view.get(), &CFormviewHistory::statusChanged);
        m_view->ChooseNode(0);
        m_view->LoadRecord(0);
        QTest::mouseClick(Find<QPushButton>("btn1125"), Qt::LeftButton);
        QCOMPARE(status.count(), 1);
        QCOMPARE(status.at(0).at(0).toString(),
                 "数据另存为： " + QDir::toNativeSeparators(folder + "/data.txt.cvdf"));

        m_view->LoadRecord(1);
        QCOMPARE(m_view->TextPage()->Model().rowCount(), 10);
        QTest::mouseClick(Find<QPushButton>("btn1013"), Qt::LeftButton);
        QCOMPARE(m_view->TextPage()->Model().rowCount(), 4);
        QCOMPARE(Cell(1, 2), "31.50°C [>30.00]");
        QCOMPARE(m_view->Records().CheckedRow(), 1); // the record list stays as it was
    }
};

QTEST_MAIN(TestHistoryView)
#include "test_historyview.moc"
