// The node list model base through the management list model, and the management commands,
// over a real node table.
#include "views/core/CManagerListModel.h"
#include "views/core/ManagerCommands.h"

#include "ViewTestKit.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using viewtest::Address;

class TestNodeListModel : public QObject {
    Q_OBJECT

    std::unique_ptr<CCorvaneODBC> m_db;
    std::unique_ptr<CCorvaneBeeNode> m_table;
    QStringList m_log;
    ManagerCommands::MessageSink m_sink = [this](MessageKind, const QString &text) { m_log << text; };

    static QStringList Column(const QAbstractItemModel &model, int column)
    {
        QStringList texts;
        for (int r = 0; r < model.rowCount(); ++r)
            texts << model.index(r, column).data().toString();
        return texts;
    }

private slots:
    void initTestCase() { QVERIFY(viewtest::UseChineseHome()); }

    void init()
    {
        m_log.clear();
        QVERIFY(viewtest::FourNodes(QStringLiteral("list"), m_db, m_table));
    }

    void rowsInTreeOrder()
    {
        CManagerListModel model(*m_table, *m_db);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.Reload();
        QCOMPARE(Column(model, MgrColName), (QStringList{"接收器", "R3", "L2", "L4"}));
        QCOMPARE(Column(model, MgrColCheck), (QStringList{"001", "002", "003", "004"}));
        QCOMPARE(Column(model, MgrColId), (QStringList{"1", "3", "2", "4"}));
        QCOMPARE(model.NodeId(2), 2);
        QCOMPARE(model.ExtAddressText(1), Address(3));
        QCOMPARE(model.NodeId(9), -1);
        QVERIFY(model.ExtAddressText(-1).isEmpty());
    }

    void liveStateAndColours()
    {
        CManagerListModel model(*m_table, *m_db);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.Reload();
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        m_table->SetStatus(3, 0x01);
        model.LiveChanged(3);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].toModelIndex().row(), 1);
        QCOMPARE(model.index(1, MgrColRunState).data().toString(), QStringLiteral("已连接"));
        QVERIFY(!model.index(1, MgrColCheck).data(Qt::DecorationRole).value<QImage>().isNull());
    }

    void headerToggle()
    {
        CManagerListModel model(*m_table, *m_db);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.Reload();
        QVERIFY(model.setData(model.index(2, 0), Qt::Checked, Qt::CheckStateRole));
        model.ToggleAllChecks(); // row 0 unchecked: all become checked
        QCOMPARE(model.CheckedRows(), (std::vector<int>{0, 1, 2, 3}));
        QVERIFY(model.setData(model.index(3, 0), Qt::Unchecked, Qt::CheckStateRole));
        model.ToggleAllChecks(); // row 0 checked: all become unchecked
        QVERIFY(model.CheckedRows().empty());
        QCOMPARE(model.index(0, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
        QVERIFY(!model.setData(model.index(0, 1), Qt::Checked, Qt::CheckStateRole));
    }

    // A node added to both tables appears at its place in the tree order; one removed leaves;
    // a selection (persistent index) stays on its node while rows move.
    void followsTables()
    {
        CManagerListModel model(*m_table, *m_db);
        // The tester expects the rows next to an insertion or removal to keep their column-0
        // text; here that text is the running number, which moves on by design. Its other
        // checks still run, reported as warnings.
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
        model.Reload();
        model.SetChecked(3, true); // L4
        const QPersistentModelIndex l4 = model.index(3, MgrColName);

        QVERIFY(viewtest::AddNode(*m_db, 5, 0x80, 3, QStringLiteral("L5"))); // between L2 and L4
        (void)LoadNetworkTable(*m_db, *m_table);
        model.UpdateNode(5);
        QCOMPARE(Column(model, MgrColName), (QStringList{"接收器", "R3", "L2", "L5", "L4"}));
        QCOMPARE(Column(model, MgrColCheck).last(), QStringLiteral("005"));
        QCOMPARE(l4.row(), 4);
        QVERIFY(model.IsChecked(4));

        QCOMPARE(ManagerCommands::DeleteNodes(*m_db, {Address(2), Address(9)}, m_sink), 1);
        (void)LoadNetworkTable(*m_db, *m_table);
        model.Reload();
        QCOMPARE(Column(model, MgrColName), (QStringList{"接收器", "R3", "L5", "L4"}));
        QCOMPARE(l4.row(), 3);
        QVERIFY(model.IsChecked(3));
        QCOMPARE(m_log.size(), 1); // the unknown address is skipped

        model.UpdateNode(42); // not in the node table: nothing
        QCOMPARE(model.rowCount(), 4);
    }

    void readingCopiesLimits()
    {
        QVERIFY(m_db->SeekEditNode(2));
        QVERIFY(m_db->EditCursor().Edit());
        m_db->EditCursor().Fields().channel1_upper = 30.0f;
        m_db->EditCursor().Fields().channel2_lower = -2000.0f;
        QVERIFY(m_db->EditCursor().Update());
        CManagerListModel model(*m_table, *m_db);
        model.Reload();
        QCOMPARE(m_table->GetCh1Upper(2), 30.0f);
        QCOMPARE(m_table->GetCh2Lower(2), -2000.0f);
    }
};

QTEST_GUILESS_MAIN(TestNodeListModel)
#include "test_nodelistmodel.moc"
