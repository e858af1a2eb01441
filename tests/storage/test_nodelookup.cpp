// The node table's address index and the lookups by address and id: a database made without
// the index gains it on open with every stored value unchanged, and the lookups follow adds,
// renames and deletes, also those another connection makes.
#include "StorageTestSupport.h"

#include "storage/CCorvaneODBC.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

using namespace storagetest;

namespace {

using Mode = CCorvaneODBC::OpenMode;

const QString kRaw = QStringLiteral("raw");

QString Address(int n)
{
    return QStringLiteral("00124b00000a%1").arg(n, 4, 16, QLatin1Char('0'));
}

// Every column of every row by SQLite's own quoting (type and exact value), in rowid order,
// and the table's statement.
QStringList Dump(QSqlDatabase db)
{
    QStringList quoted;
    for (const QString &column : NodeTableColumns())
        quoted << QStringLiteral("quote(%1)").arg(column);
    QSqlQuery q(db);
    QStringList rows;
    if (!q.exec(QStringLiteral("SELECT rowid, %1 FROM CorvaneRFMS ORDER BY rowid").arg(quoted.join(','))))
        return {q.lastError().text()};
    while (q.next()) {
        QStringList values;
        for (int c = 0; c <= 31; ++c)
            values << q.value(c).toString();
        rows << values.join('|');
    }
    q.exec(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = 'CorvaneRFMS'"));
    rows << (q.next() ? q.value(0).toString() : QStringLiteral("no table"));
    return rows;
}

QString QueryPlan(QSqlDatabase db)
{
    QSqlQuery q(db);
    q.exec(QStringLiteral("EXPLAIN QUERY PLAN SELECT rowid FROM CorvaneRFMS WHERE extaddress = 'x'"));
    QString plan;
    while (q.next())
        plan += q.value(3).toString() + QLatin1Char(';');
    return plan;
}

// A database as an older build made it: the node table without the index, rows with every
// column set, rows with only some, and an address held twice.
bool MakeOldDatabase(QSqlDatabase db)
{
    QSqlQuery q(db);
    if (!q.exec(CCorvaneODBC::NodeTableStatement()))
        return false;
    QStringList marks;
    for (int c = 0; c < 31; ++c)
        marks << QStringLiteral("?");
    q.prepare(QStringLiteral("INSERT INTO CorvaneRFMS VALUES (%1)").arg(marks.join(',')));
    const QVariantList full = {1,
                               QStringLiteral("冷库 1"),
                               Address(1),
                               QStringLiteral("0x1a2b"),
                               0x88,
                               0,
                               -5,
                               3,
                               1700000000,
                               1700086400,
                               16000,
                               25.5,
                               -3.25,
                               80.0,
                               10.125,
                               60,
                               4096,
                               2,
                               1700003600,
                               77,
                               QStringLiteral("13800138000"),
                               QStringLiteral("OK")};
    for (int c = 0; c < 31; ++c)
        q.addBindValue(c < full.size() ? full[c] : QVariant(QString()));
    if (!q.exec())
        return false;
    return q.exec(
               QStringLiteral("INSERT INTO CorvaneRFMS (id, extaddress) VALUES (2, '%1')").arg(Address(2))) &&
           q.exec(QStringLiteral("INSERT INTO CorvaneRFMS (id, extaddress, name) VALUES (3, '%1', 'again')")
                      .arg(Address(1))) &&
           q.exec(QStringLiteral("INSERT INTO CorvaneRFMS (id, name) VALUES (4, NULL)"));
}

NodeChange Named(int n, const QString &name)
{
    NodeChange change;
    change.mask = NodeChange::ExtAddress | NodeChange::Name;
    change.values.extaddress = Address(n);
    change.values.name = name;
    return change;
}

} // namespace

class TestNodeLookup : public QObject {
    Q_OBJECT

    int m_serial = 0;

    QString NewPath()
    {
        return AppSettings::Instance().DatabaseFolder() + QStringLiteral("/l%1.mdb").arg(++m_serial);
    }

    // Ids found walking the iteration cursor, and the same rows read at once.
    static void CheckIteration(CCorvaneODBC &db, const QList<int> &ids)
    {
        std::vector<NodeRow> walked;
        QList<int> walkedIds;
        for (int more = db.FirstNode(); more && !db.IsNodeIterationEnd(); db.NextNode()) {
            walked.push_back(db.IterationCursor().Row());
            walkedIds << walked.back().id;
        }
        QCOMPARE(walkedIds, ids);
        QVERIFY(db.ReadNodes() == walked);
        QVERIFY(db.IsNodeIterationEnd());
    }

private slots:
    void initTestCase() { QVERIFY(UseTestHome()); }

    void oldDatabaseGainsIndexWithRowsUnchanged_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("indexed");
        QTest::newRow("work") << int(Mode::Work) << true;
        QTest::newRow("existing") << int(Mode::Existing) << true;
        QTest::newRow("read-only") << int(Mode::ReadOnly) << false;
    }

    void oldDatabaseGainsIndexWithRowsUnchanged()
    {
        QFETCH(int, mode);
        QFETCH(bool, indexed);
        const QString path = NewPath();
        QStringList before;
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kRaw);
            raw.setDatabaseName(path);
            QVERIFY(raw.open() && MakeOldDatabase(raw));
            before = Dump(raw);
            QVERIFY(!QueryPlan(raw).contains(QLatin1String("INDEX")));
            raw.close();
        }
        QSqlDatabase::removeDatabase(kRaw);
        QCOMPARE(before.size(), 5);

        CCorvaneODBC db;
        for (int open = 0; open < 2; ++open) { // the second open finds the index there
            QCOMPARE(db.OpenDatabaseAt(path, Mode(mode)), 1);
            // The first row of an address held twice, by id; a row without address is no match.
            QCOMPARE(db.FindNodeIdByAddress(Address(1)), 1);
            QCOMPARE(db.FindNodeIdByAddress(Address(2)), 2);
            QCOMPARE(db.FindNodeIdByAddress(QString()), -1);
            QCOMPARE(db.SeekLookupNode(1), 1);
            QCOMPARE(db.LookupCursor().Row().channel2_lower, 10.125f);
            db.CloseDatabase();
        }
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kRaw);
            raw.setDatabaseName(path);
            QVERIFY(raw.open());
            QCOMPARE(Dump(raw), before);
            QCOMPARE(QueryPlan(raw).contains(QLatin1String("INDEX CorvaneRFMS_extaddress")), indexed);
            raw.close();
        }
        QSqlDatabase::removeDatabase(kRaw);
    }

    void lookupsFollowAddsRenamesAndDeletes()
    {
        CCorvaneODBC db;
        const QString path = NewPath();
        QVERIFY(db.CreateDatabase(path) && db.OpenDatabaseAt(path));
        for (int n = 1; n <= 5; ++n) {
            QCOMPARE(db.SaveNode(Named(n, QStringLiteral("node %1").arg(n))), 1);
            // Every cursor stands on the first row afterwards, as re-opening them left them.
            QCOMPARE(db.IterationNodeId(), 1);
            QCOMPARE(db.LookupCursor().Row().id, 1);
        }
        // Renamed through a save and through the edit cursor.
        QCOMPARE(db.SaveNode(Named(3, QStringLiteral("renamed"))), 1);
        QVERIFY(db.SeekEditNode(4) && db.EditCursor().Edit());
        db.EditCursor().Fields().name = QStringLiteral("edited");
        QVERIFY(db.EditCursor().Update() && db.EditCursor().Requery());
        QCOMPARE(db.DeleteNode(2), 1);

        const QStringList names = {QStringLiteral("node 1"), QString(), QStringLiteral("renamed"),
                                   QStringLiteral("edited"), QStringLiteral("node 5")};
        for (int n = 1; n <= 5; ++n) {
            const bool kept = n != 2;
            QCOMPARE(db.FindNodeIdByAddress(Address(n)), kept ? n : -1);
            QCOMPARE(db.LookupCursor().Row().name, names[n - 1]);
            QCOMPARE(db.SeekLookupNode(n), kept ? 1 : 0);
            QCOMPARE(db.SeekEditNode(n), kept ? 1 : 0);
            QCOMPARE(db.EditCursor().Row().extaddress, kept ? Address(n) : QString());
        }
        CheckIteration(db, {1, 3, 4, 5});
    }

    // Another program adds and deletes rows; the next save of this one sees its changes.
    void savesSeeOtherConnectionsChanges()
    {
        CCorvaneODBC db;
        const QString path = NewPath();
        QVERIFY(db.CreateDatabase(path) && db.OpenDatabaseAt(path));
        for (int n = 1; n <= 3; ++n)
            QCOMPARE(db.SaveNode(Named(n, QString())), 1);
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kRaw);
            other.setDatabaseName(path);
            QVERIFY(other.open());
            QSqlQuery q(other);
            QVERIFY(q.exec(QStringLiteral("INSERT INTO CorvaneRFMS (id, extaddress) VALUES (10, '%1')")
                               .arg(Address(10))));
            QVERIFY(q.exec(QStringLiteral("DELETE FROM CorvaneRFMS WHERE id = 2")));
            other.close();
        }
        QSqlDatabase::removeDatabase(kRaw);

        QCOMPARE(db.SaveNode(Named(4, QString())), 1); // an add
        QCOMPARE(db.FindNodeIdByAddress(Address(4)), 11);
        QCOMPARE(db.FindNodeIdByAddress(Address(10)), 10);
        QCOMPARE(db.FindNodeIdByAddress(Address(2)), -1);
        CheckIteration(db, {1, 3, 10, 11});

        // A row deleted behind the cursors' backs on this connection is left out of the rows
        // read at once, not read as a blank node.
        QVERIFY(QSqlQuery(db.Connection()).exec(QStringLiteral("DELETE FROM CorvaneRFMS WHERE id = 3")));
        QVERIFY(db.FirstNode());
        std::vector<int> ids;
        for (const NodeRow &row : db.ReadNodes())
            ids.push_back(row.id);
        QCOMPARE(ids, (std::vector<int>{1, 10, 11}));
    }
};

QTEST_GUILESS_MAIN(TestNodeLookup)
#include "test_nodelookup.moc"
