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

    void rowsLiveStateAndChecks()
    {
        CManagerListModel model(*m_table, *m_db);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.Reload();
        QCOMPARE(Column(model, MgrColName), (QStringList{"接收器", "R3", "L2", "L4"}));
        QCOMPARE(Column(model, MgrColCheck), (QStringList{"001", "002", "003", "004"}));
        QCOMPARE(model.NodeId(9), -1);
        QVERIFY(model.ExtAddressText(-1).isEmpty());

        // A live change repaints its own row.
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        m_table->SetStatus(3, 0x01);
        model.LiveChanged(3);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].toModelIndex().row(), 1);
        QCOMPARE(model.index(1, MgrColRunState).data().toString(), QStringLiteral("已连接"));

        // The header toggle follows row 0: unchecked makes all checked, checked all unchecked.
        QVERIFY(model.setData(model.index(2, 0), Qt::Checked, Qt::CheckStateRole));
        model.ToggleAllChecks();
        QCOMPARE(model.CheckedRows(), (std::vector<int>{0, 1, 2, 3}));
        model.ToggleAllChecks();
        QVERIFY(model.CheckedRows().empty());
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
        QCOMPARE(l4.row(), 4);
        QVERIFY(model.IsChecked(4));

        QCOMPARE(ManagerCommands::DeleteNodes(*m_db, {Address(2), Address(9)}, m_sink), 1);
        (void)LoadNetworkTable(*m_db, *m_table);
        model.Reload();
        QCOMPARE(Column(model, MgrColName), (QStringList{"接收器", "R3", "L5", "L4"}));
        QCOMPARE(l4.row(), 3);
        QVERIFY(model.IsChecked(3));
        QCOMPARE(m_log.size(), 1); // the unknown address is skipped
    }
};

QTEST_GUILESS_MAIN(TestNodeListModel)
#include "test_nodelistmodel.moc"
