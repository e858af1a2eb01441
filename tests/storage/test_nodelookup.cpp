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

// The first column of every row the statement gives.
QStringList Values(QSqlDatabase db, const QString &statement)
{
    QSqlQuery q(db);
    if (!q.exec(statement))
        return {q.lastError().text()};
    QStringList values;
    while (q.next())
        values << q.value(0).toString();
    return values;
}

// Every column of every row by SQLite's own quoting (type and exact value), in rowid order,
// and the table's statement.
QStringList Dump(QSqlDatabase db)
{
    QStringList quoted{QStringLiteral("rowid")};
    for (const QString &column : NodeTableColumns())
        quoted << QStringLiteral("quote(%1)").arg(column);
    const QString rows = QStringLiteral("SELECT %1 FROM CorvaneRFMS ORDER BY rowid");
    return Values(db, rows.arg(quoted.join(QStringLiteral(" || '|' || ")))) +
           Values(db, QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table'"));
}

QStringList Indexes(QSqlDatabase db)
{
    return Values(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index'"));
}

// A database as an older build made it: the node table without the index, a row with every
// column set, rows with only some, and an address held twice.
bool MakeOldDatabase(QSqlDatabase db)
{
    QSqlQuery q(db);
    const QString insert = QStringLiteral("INSERT INTO CorvaneRFMS ");
    return q.exec(CCorvaneODBC::NodeTableStatement()) &&
           q.exec(insert +
                  QStringLiteral("VALUES (1, '冷库 1', '%1', '0x1a2b', 136, 0, -5, 3, 1700000000, "
                                 "1700086400, 16000, 25.5, -3.25, 80.0, 10.125, 60, 4096, 2, 1700003600, "
                                 "77, '13800138000', 'OK', '', NULL, NULL, NULL, NULL, NULL, NULL, "
                                 "NULL, 'OK')")
                      .arg(Address(1))) &&
           q.exec(insert + QStringLiteral("(id, extaddress) VALUES (2, '%1')").arg(Address(2))) &&
           q.exec(insert +
                  QStringLiteral("(id, extaddress, name) VALUES (3, '%1', 'again')").arg(Address(1))) &&
           q.exec(insert + QStringLiteral("(id) VALUES (4)"));
}

// Runs work on a connection of its own to the file, as another program would.
template <typename Work> void OnOwnConnection(const QString &path, Work work)
{
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kRaw);
        raw.setDatabaseName(path);
        QVERIFY(raw.open());
        work(raw);
        raw.close();
    }
    QSqlDatabase::removeDatabase(kRaw);
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

private slots:
    void initTestCase() { QVERIFY(UseTestHome()); }

    void oldDatabaseGainsIndexWithRowsUnchanged_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("indexed");
        QTest::newRow("work") << int(Mode::Work) << true;
        QTest::newRow("read-only") << int(Mode::ReadOnly) << false;
    }

    void oldDatabaseGainsIndexWithRowsUnchanged()
    {
        QFETCH(int, mode);
        QFETCH(bool, indexed);
        const QString path = NewPath();
        QStringList before;
        OnOwnConnection(path, [&before](QSqlDatabase raw) {
            QVERIFY(MakeOldDatabase(raw));
            before = Dump(raw);
        });

        CCorvaneODBC db;
        for (int open = 0; open < 2; ++open) { // the second open finds the index there
            QCOMPARE(db.OpenDatabaseAt(path, Mode(mode)), 1);
            // The first row (by id) of an address held twice.
            QCOMPARE(db.FindNodeIdByAddress(Address(1)), 1);
            db.CloseDatabase();
        }
        OnOwnConnection(path, [&before, indexed](QSqlDatabase raw) {
            QCOMPARE(Dump(raw), before);
            QCOMPARE(Indexes(raw),
                     indexed ? QStringList{QStringLiteral("CorvaneRFMS_extaddress")} : QStringList());
        });
    }

    // Adds, a rename and a delete of this program and the adds and deletes of another one.
    void lookupsFollowAddsRenamesAndDeletes()
    {
        CCorvaneODBC db;
        const QString path = NewPath();
        QVERIFY(db.CreateDatabase(path) && db.OpenDatabaseAt(path));
        for (int n = 1; n <= 5; ++n) {
            QCOMPARE(db.SaveNode(Named(n, QStringLiteral("node %1").arg(n))), 1);
            QCOMPARE(db.IterationNodeId(), 1); // the cursors stand on the first row, as re-opened
        }
        QCOMPARE(db.ReadNodes().size(), size_t(5)); // later reads must not give these rows again
        QCOMPARE(db.SaveNode(Named(3, QStringLiteral("renamed"))), 1);
        QCOMPARE(db.DeleteNode(2), 1);
        OnOwnConnection(path, [](QSqlDatabase other) {
            QSqlQuery q(other);
            QVERIFY(q.exec(
                QStringLiteral("INSERT INTO CorvaneRFMS (id, extaddress, name) VALUES (10, '%1', 'node 10')")
                    .arg(Address(10))));
            QVERIFY(q.exec(QStringLiteral("DELETE FROM CorvaneRFMS WHERE id = 4")));
        });
        QCOMPARE(db.SaveNode(Named(6, QStringLiteral("node 11"))), 1); // largest id + 1

        const QList<int> ids = {1, -1, 3, -1, 5, 11, -1, -1, -1, 10};
        for (int n = 1; n <= ids.size(); ++n) {
            const int id = ids[n - 1];
            QCOMPARE(db.FindNodeIdByAddress(Address(n)), id);
            QCOMPARE(db.SeekLookupNode(id) + db.SeekEditNode(id), id > 0 ? 2 : 0);
            const QString name = id == 3 ? QStringLiteral("renamed") : QStringLiteral("node %1").arg(id);
            QCOMPARE(db.EditCursor().Row().name, id > 0 ? name : QString());
        }

        // A row deleted behind the cursors' backs is left out of the rows read at once, not
        // read as a blank node.
        QVERIFY(QSqlQuery(db.Connection()).exec(QStringLiteral("DELETE FROM CorvaneRFMS WHERE id = 3")));
        QVERIFY(db.FirstNode());
        QList<int> left;
        for (const NodeRow &row : db.ReadNodes())
            left << row.id;
        QCOMPARE(left, (QList<int>{1, 5, 10, 11}));
        // A change by another program is read, not the rows kept from before.
        OnOwnConnection(path, [](QSqlDatabase other) {
            QVERIFY(
                QSqlQuery(other).exec(QStringLiteral("UPDATE CorvaneRFMS SET name = 'far' WHERE id = 1")));
        });
        QVERIFY(db.FirstNode());
        QCOMPARE(db.ReadNodes().front().name, QStringLiteral("far"));
    }
};

QTEST_GUILESS_MAIN(TestNodeLookup)
#include "test_nodelookup.moc"
