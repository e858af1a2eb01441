// The history view's widget-free parts: the logger list, the record list read from stored
// records, the search for a moment, the range rules and "另存为".
#include "history/core/CHistoryRecordModel.h"
#include "history/core/HistoryViewRules.h"
#include "views/core/CHistoryNodeModel.h"

#include "../views/ViewTestKit.h"
#include "HistoryTestSupport.h"
#include "network/CCorvaneBeeNode.h"
#include "network/NetworkLoader.h"
#include "storage/HistoryTables.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using historytest::At;

namespace {

const QString kKey = QStringLiteral("00124b0000000007");

HistoryBlockInput Record(quint8 type, qint64 start, qint64 interval)
{
    return historytest::Block(kKey, type, start, interval, QByteArray(400, '\x10'), {-5, 30, 2, 8});
}

} // namespace

class TestHistoryViewRules : public QObject {
    Q_OBJECT

    std::unique_ptr<CCorvaneODBC> m_db;
    // Record 1: dual logger, 90000 s apart, 100 samples; record 2: single logger from 2024-06-01.
    const qint64 m_start1 = At(2024, 1, 1, 0, 0, 0);
    const qint64 m_start2 = At(2024, 6, 1, 0, 0, 0);

private slots:
    void initTestCase() { QVERIFY(viewtest::UseChineseHome()); }
    void init()
    {
        historytest::UseChineseCelsius();
        m_db = viewtest::FreshDatabase(QStringLiteral("hview"));
        QVERIFY(m_db);
        QCOMPARE(m_db->History().StoreHistoryBlock(Record(0x88, m_start1, 90000)), 1);
        QCOMPARE(m_db->History().StoreHistoryBlock(Record(0x80, m_start2, 60)), 1);
    }

    void loggersOnlyInNodeList()
    {
        const quint8 types[] = {0x40, 0x88, 0x04, 0x80, 0x8C};
        for (int n = 0; n < 5; ++n)
            QVERIFY(viewtest::AddNode(*m_db, n + 1, types[n], n ? 1 : 0, QStringLiteral("N%1").arg(n + 1)));
        CCorvaneBeeNode table;
        (void)LoadNetworkTable(*m_db, table);
        CHistoryNodeModel model(table, *m_db);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.Reload();
        QStringList names;
        for (int r = 0; r < model.rowCount(); ++r)
            names << model.index(r, CHistoryNodeModel::ColName).data().toString();
        names.sort();
        QCOMPARE(names, QStringList({"N2", "N4", "N5"}));
        model.CheckOnly(0);
        model.CheckOnly(2);
        QCOMPARE(model.CheckedRows(), std::vector<int>{2});
    }
    void recordListTexts()
    {
        CHistoryRecordModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.SetRecords(HistoryRecords::Read(m_db->History(), kKey), kKey);
        QCOMPARE(model.rowCount(), 2);
        auto text = [&model](int row, int column) { return model.index(row, column).data().toString(); };
        QCOMPARE(text(0, HistoryRecords::ColSamples), "100");
        QCOMPARE(text(1, HistoryRecords::ColSamples), "200");
        model.CheckOnly(1);
        model.CheckOnly(0);
        QCOMPARE(model.index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(model.CheckedRow(), 0);
        QVERIFY(HistoryRecords::Read(m_db->History(), QStringLiteral("00124b00000000ff")).empty());
    }
    void searchFindsRecord_data()
    {
        QTest::addColumn<qint64>("offset"); // from record 1's start
        QTest::addColumn<int>("found");
        const qint64 end1 = 99 * 90000;
        const qint64 start2 = m_start2 - m_start1;
        QTest::newRow("record 1 start") << qint64(0) << 0;
        QTest::newRow("record 1 end") << end1 << 0;
        QTest::newRow("between records") << end1 + 1 << -1;
        QTest::newRow("record 2 end") << start2 + 199 * 60 << 1;
        QTest::newRow("after record 2") << start2 + 200 * 60 << -1;
        QTest::newRow("before record 1") << qint64(-1) << -1;
    }
    void searchFindsRecord()
    {
        QFETCH(qint64, offset);
        QTEST(HistoryRecords::Find(HistoryRecords::Read(m_db->History(), kKey), m_start1 + offset), "found");
    }
    void rangeRules_data()
    {
        QTest::addColumn<QDate>("startDate");
        QTest::addColumn<QTime>("startTime");
        QTest::addColumn<QDate>("endDate");
        QTest::addColumn<QTime>("endTime");
        QTest::addColumn<bool>("applies");
        QTest::addColumn<int>("count"); // samples selected when applied
        // The record: 2024-03-01 08:00:00 .. 09:39:00, one sample a minute.
        const QDate day(2024, 3, 1);
        QTest::newRow("whole record") << day << QTime(8, 0) << day << QTime(9, 39) << true << 100;
        QTest::newRow("one moment") << day << QTime(9, 0) << day << QTime(9, 0) << true << 1;
        QTest::newRow("end before start") << day << QTime(9, 0) << day << QTime(8, 59, 59) << false << 100;
        QTest::newRow("start before record") << day << QTime(7, 59, 59) << day << QTime(9, 0) << false << 100;
        QTest::newRow("end after record") << day << QTime(8, 0) << day << QTime(9, 39, 1) << false << 100;
    }
    void rangeRules()
    {
        QFETCH(QDate, startDate);
        QFETCH(QTime, startTime);
        QFETCH(QDate, endDate);
        QFETCH(QTime, endTime);
        QFETCH(bool, applies);
        CNodeDataSave store;
        historytest::Fill(store, 0x80, 100, [](int i, int) { return float(i); });
        HistoryViewRules::Range range;
        QVERIFY(range.SetFromStore(store));
        QVERIFY(range.CanApply());
        // Time parts first, then dates: each picker keeps the other part of its end.
        range.SetStartTime(startTime);
        range.SetEndTime(endTime);
        range.SetStartDate(startDate);
        range.SetEndDate(endDate);
        QCOMPARE(range.From(), At(startDate.year(), startDate.month(), startDate.day(), startTime.hour(),
                                  startTime.minute(), startTime.second()));
        QCOMPARE(range.CanApply(), applies);
        QCOMPARE(range.Apply(store), applies);
        QTEST(store.rangeCount, "count");
    }
    void rowOfMoment_data()
    {
        QTest::addColumn<qint64>("offset"); // from the record's start
        QTest::addColumn<qint64>("interval");
        QTest::addColumn<int>("row");
        QTest::newRow("between samples") << qint64(119) << qint64(60) << 1;
        QTest::newRow("last sample") << qint64(99 * 60) << qint64(60) << 99;
        QTest::newRow("past the rows") << qint64(100 * 60) << qint64(60) << -1;
        QTest::newRow("before the range") << qint64(-1) << qint64(60) << -1;
        QTest::newRow("no interval") << qint64(60) << qint64(0) << -1;
    }
    void rowOfMoment()
    {
        QFETCH(qint64, offset);
        QFETCH(qint64, interval);
        CNodeDataSave store;
        historytest::Fill(
            store, 0x80, 100, [](int i, int) { return float(i); }, 60);
        store.interval = interval;
        QTEST(HistoryViewRules::RowOfMoment(store, store.recordStart + offset), "row");
    }
    void saveAs_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("written");
        QTest::newRow("txt with data-file filter") << "data.txt" << 0 << "data.txt.cvdf";
        QTest::newRow("cvdf with workbook filter") << "a.cvdf" << 1 << "a.cvdf";
        QTest::newRow("workbook filter") << "book" << 1 << "book.xls";
        QTest::newRow("csv filter") << "c.txt" << 2 << "c.txt.csv";
    }
    void saveAs()
    {
        QFETCH(QString, chosen);
        QFETCH(int, filter);
        QFETCH(QString, written);
        CNodeDataSave store;
        historytest::Fill(store, 0x88, 10, [](int i, int c) { return float(i + c); });
        const QString folder =
            historytest::TempPath(QStringLiteral("saveas.d-%1").arg(QTest::currentDataTag()));
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder));
        const HistoryViewRules::SaveOutcome out =
            HistoryViewRules::Save(store, folder + '/' + chosen, filter);
        QVERIFY2(out.saved, qPrintable(out.status));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{written});
        QCOMPARE(out.status,
                 QStringLiteral("数据另存为： ") + QDir::toNativeSeparators(folder + '/' + written));
        QCOMPARE(HistoryViewRules::InitialFolder(), QDir::toNativeSeparators(folder));
    }
    void saveFolderFallsBack()
    {
        QVERIFY(AppSettings::Instance().SetLastDataFileSavePath(historytest::TempPath("gone/none")));
        const QString folder = AppSettings::Instance().DataSaveFolder();
        QDir(folder).removeRecursively();
        QCOMPARE(HistoryViewRules::InitialFolder(), folder);
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(!HistoryViewRules::CanSave(CNodeDataSave()));
    }
};

QTEST_GUILESS_MAIN(TestHistoryViewRules)
#include "test_historyviewrules.moc"
