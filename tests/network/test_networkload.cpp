// Loading the network table from the node table: tree by fatherid, depth-first order, missing
// ancestors and parents, binding masks from the "OK" columns.
#include "../storage/StorageTestSupport.h"

#include "network/CCorvaneBeeNode.h"
#include "network/NetworkLoader.h"
#include "network/ProgramLinkServices.h"
#include "storage/CCorvaneODBC.h"
#include "storage/HistoryTables.h"

#include <QtTest>

namespace {

NodeRow Row(int id, quint8 type, int father)
{
    NodeRow row;
    row.id = id;
    row.type = type;
    row.fatherid = father;
    return row;
}

// Ids of a tree in depth-first order, each with its parent's id (0 at the top).
QList<QPair<int, int>> Shape(const NodeTree &tree)
{
    QList<QPair<int, int>> shape;
    for (const int index : tree.PreOrder()) {
        const NodeTree::Entry &e = tree.entries[size_t(index)];
        shape << qMakePair(e.row.id, e.parent < 0 ? 0 : tree.entries[size_t(e.parent)].row.id);
    }
    return shape;
}

} // namespace

class TestNetworkLoad : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(storagetest::UseTestHome()); }

    // The link handling asks where a node's stored history ends and stores downloads with cursors
    // of its own: a history view's record stays where it was.
    void linkHistoryLeavesTheViewCursorAlone()
    {
        CCorvaneODBC db;
        QVERIFY(storagetest::OpenNewDatabase(db, QStringLiteral("hist.mdb")));
        const QString a = QStringLiteral("00124b00000000a1");
        const QString b = QStringLiteral("00124b00000000b1");
        HistoryBlockInput block;
        block.nodeName = QStringLiteral("R");
        block.interval = 60;
        block.deviceType = 0x80;
        block.data = QByteArray::fromHex("0102030405060708");
        block.total = block.received = int(block.data.size());
        for (const QString &key : {a, b}) {
            block.nodeKey = key;
            block.startTime += 3600;
            block.endTime = block.startTime + 4 * 60;
            QCOMPARE(db.LinkHistory().StoreHistoryBlock(block), 1);
        }
        CHistoryStore &view = db.History();
        QVERIFY(view.OpenSummaryTable(a) && view.MoveLastRecord() && !view.IsRecordEnd());
        const qint32 record = view.RecordId();

        const auto services = MakeProgramLinkServices(theNodeTable(), db);
        const LinkServices::StoredHistory stored = services->StoredHistoryOf(b);
        QCOMPARE(stored.start, block.startTime);
        QCOMPARE(stored.length, 8);
        QCOMPARE(view.SummaryNodeKey(), a);
        QCOMPARE(view.RecordId(), record);
    }

    void loadsTreeIntoTable()
    {
        CCorvaneODBC db;
        QVERIFY(storagetest::OpenNewDatabase(db, QStringLiteral("net.mdb")));
        // id: type, father. 6 comes before its parent 7; 5's parent 99 is not in the table.
        const std::vector<NodeRow> rows = {Row(1, 0x40, 0), Row(2, 0x04, 1),  Row(3, 0x80, 2),
                                           Row(4, 0x88, 1), Row(5, 0x8C, 99), Row(6, 0x80, 7),
                                           Row(7, 0x04, 2)};
        for (const NodeRow &row : rows) {
            NodeChange change;
            change.mask = NodeChange::ExtAddress | NodeChange::Type | NodeChange::FatherId | NodeChange::Name;
            change.values = row;
            change.values.extaddress =
                QStringLiteral("00124b00000000%1").arg(row.id, 2, 10, QLatin1Char('0'));
            change.values.name = QStringLiteral("node %1").arg(row.id);
            QCOMPARE(db.SaveNode(change), 1);
        }
        // Phone bindings of logger 3: slots 1 and 10 say "OK"; "ok" and "OK " do not count.
        QVERIFY(db.SeekEditNode(3));
        QVERIFY(db.EditCursor().Edit());
        db.EditCursor().Fields().gprs_bind[0] = QStringLiteral("OK");
        db.EditCursor().Fields().gprs_bind[1] = QStringLiteral("ok");
        db.EditCursor().Fields().gprs_bind[2] = QStringLiteral("OK ");
        db.EditCursor().Fields().gprs_bind[9] = QStringLiteral("OK");
        QVERIFY(db.EditCursor().Update());

        CCorvaneBeeNode table;
        table.AddNode(42); // not in the node table: removed
        table.AddNode(3);  // present: kept with its live fields
        table.SetShortAddress(3, 0x2222);
        table.SetGprsSlot(3, -1);

        const NodeTree tree = LoadNetworkTable(db, table);
        const QList<QPair<int, int>> expected = {{1, 0}, {2, 1}, {3, 2}, {7, 2}, {6, 7}, {4, 1}, {5, 0}};
        QCOMPARE(Shape(tree), expected);

        QCOMPARE(table.Size(), 7);
        for (int order = 0; order < expected.size(); ++order) {
            const int id = expected[order].first;
            QCOMPARE(table.GetTreeOrder(id), order);
            QCOMPARE(table.GetFatherId(id), quint32(rows[size_t(id - 1)].fatherid));
        }
        QCOMPARE(table.GetShortAddress(3), 0x2222);
        QCOMPARE(table.GetGprsBindMask(3), 0x201u);
        // New items went in front in depth-first order; the one already there kept its place.
        QList<int> order;
        for (table.MoveFirst(); !table.IsEOF(); table.MoveNext())
            order << table.GetCurrentId();
        QCOMPARE(order, (QList<int>{5, 4, 6, 7, 2, 1, 3}));

        // Loading again after a deletion drops the node and re-numbers the order.
        QCOMPARE(db.DeleteNode(2), 1);
        LoadNetworkTable(db, table);
        QCOMPARE(table.Size(), 6);
        // 3's and 7's parent is gone: both stand at the top now (after 1, 4), 6 still under 7.
        for (const int id : {1, 4, 3, 5, 7, 6})
            QCOMPARE(table.GetTreeOrder(id), QList<int>({1, 4, 3, 5, 7, 6}).indexOf(id));
    }

    void treeEdgeCases()
    {
        // Nodes listed before their ancestors land under them: 1 <- 2 <- 3, rows in reverse.
        QCOMPARE(Shape(BuildNodeTree({Row(3, 0x04, 0), Row(2, 0x04, 3), Row(1, 0x80, 2)})),
                 (QList<QPair<int, int>>{{3, 0}, {2, 3}, {1, 2}}));
        // Receivers and unknown types stay at the top whatever their fatherid says.
        QCOMPARE(Shape(BuildNodeTree({Row(1, 0x40, 0), Row(2, 0x40, 1), Row(3, 0x00, 1), Row(4, 0x84, 1)})),
                 (QList<QPair<int, int>>{{1, 0}, {4, 1}, {2, 0}, {3, 0}}));
        // A cycle ends: the first node goes to the top, the other under it.
        QCOMPARE(Shape(BuildNodeTree({Row(20, 0x04, 21), Row(21, 0x04, 20)})),
                 (QList<QPair<int, int>>{{20, 0}, {21, 20}}));
        // A node that is its own parent, and duplicates of an id (the first row counts).
        QCOMPARE(Shape(BuildNodeTree({Row(8, 0x04, 8), Row(9, 0x80, 8), Row(9, 0x80, 0)})),
                 (QList<QPair<int, int>>{{8, 0}, {9, 8}}));

        // A chain longer than 50 steps: 1 <- 2 <- ... <- 60 (the receiver), rows in id order.
        std::vector<NodeRow> chain;
        for (int id = 1; id < 60; ++id)
            chain.push_back(Row(id, 0x04, id + 1));
        chain.push_back(Row(60, 0x40, 0));
        const NodeTree tree = BuildNodeTree(chain);
        QCOMPARE(tree.entries.size(), size_t(60));
        // Nodes 1 to 10 reach no placed ancestor within 50 steps and go to the top first.
        QCOMPARE(tree.roots.size(), size_t(11));
        for (int id = 1; id <= 10; ++id)
            QCOMPARE(tree.entries[size_t(tree.IndexOf(id))].parent, -1);
        QCOMPARE(tree.entries[size_t(tree.entries[size_t(tree.IndexOf(11))].parent)].row.id, 12);
    }

    void emptyOrClosedDatabase()
    {
        CCorvaneODBC closed;
        CCorvaneBeeNode table;
        table.AddNode(1);
        const NodeTree tree = LoadNetworkTable(closed, table);
        QVERIFY(tree.entries.empty());
        QCOMPARE(table.Size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestNetworkLoad)
#include "test_networkload.moc"
