// The node list model base through the management list model, and the management commands,
// over a real node table.
#include "views/core/CManagerListModel.h"
#include "views/core/ManagerCommands.h"

#include "ViewTestKit.h"
#include "base/AppSettings.h"
#include "network/CCorvaneBeeNode.h"
#include "network/NetworkLoader.h"
#include "storage/CCorvaneODBC.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QtTest>

using viewtest::Address;

namespace {

struct LogEntry {
    QString type;
    QString text;
};

} // namespace

class TestNodeListModel : public QObject {
    Q_OBJECT

    std::unique_ptr<CCorvaneODBC> m_db;
    std::unique_ptr<CCorvaneBeeNode> m_table;
    QList<LogEntry> m_log;
    ManagerCommands::MessageSink m_sink = [this](MessageKind kind, const QString &text) {
        m_log << LogEntry{TypeWord(kind), text};
    };

    void Add(int n, quint8 type, int father, const QString &name)
    {
        QVERIFY(viewtest::AddNode(*m_db, n, type, father, name));
    }
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
        m_db = viewtest::FreshDatabase(QStringLiteral("list"));
        QVERIFY(m_db);
        m_table = std::make_unique<CCorvaneBeeNode>();
        m_log.clear();
        // Rows in id order: 1 receiver, 2 logger under 3, 3 router under 1, 4 logger under 1.
        Add(1, 0x40, 0, QStringLiteral("接收器"));
        Add(2, 0x88, 3, QStringLiteral("L2"));
        Add(3, 0x04, 1, QStringLiteral("R3"));
        Add(4, 0x80, 1, QStringLiteral("L4"));
        (void)LoadNetworkTable(*m_db, *m_table);
    }

    void rowsInTreeOrder()
    {
        CManagerListModel model(*m_table, *m_db);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.Reload();
        QCOMPARE(model.columnCount(), int(MgrColumnCount));
        QCOMPARE(Column(model, MgrColName), (QStringList{"接收器", "R3", "L2", "L4"}));
        QCOMPARE(Column(model, MgrColCheck), (QStringList{"001", "002", "003", "004"}));
        QCOMPARE(Column(model, MgrColId), (QStringList{"1", "3", "2", "4"}));
        QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("@"));
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
        QCOMPARE(model.index(1, MgrColName).data(Qt::ForegroundRole).value<QColor>(),
                 QColor(0xAA, 0x1E, 0xFA));
        QVERIFY(!model.index(1, MgrColCheck).data(Qt::DecorationRole).value<QImage>().isNull());
        QCOMPARE(model.index(0, MgrColName).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
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

        Add(5, 0x80, 3, QStringLiteral("L5")); // under the router: between L2 and L4
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
        QCOMPARE(m_log.size(), 1);
        QCOMPARE(m_log[0].type, QStringLiteral("系统"));
        QCOMPARE(m_log[0].text, QStringLiteral("删除双温度记录仪 {L2, ID:%1}").arg(Address(2)));

        model.UpdateNode(42); // not in the node table: nothing
        QCOMPARE(model.rowCount(), 4);
    }

    void readingCopiesLimitsAndName()
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
        GprsName name{};
        QCOMPARE(m_table->GetGprsName(2, name), 1);
        QCOMPARE(name, BeeNodeItem::MakeGprsName(QStringLiteral("L2")));
    }
};

QTEST_GUILESS_MAIN(TestNodeListModel)
#include "test_nodelistmodel.moc"
