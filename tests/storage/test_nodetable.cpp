// The database connection and the node table, on real SQLite files in the test's home folder.
#include "StorageTestSupport.h"

#include "storage/CCorvaneODBC.h"

#include <QFile>
#include <QSqlQuery>
#include <QtTest>

using namespace storagetest;

namespace {

class RecordingSink : public IDatabaseErrorSink {
public:
    void ShowDatabaseError(const DatabaseError &error) override { errors.push_back(error); }
    std::vector<DatabaseError> errors;
};

NodeChange Change(const QString &address, quint32 mask)
{
    NodeChange change;
    change.mask = mask;
    change.values.extaddress = address;
    return change;
}

// "00124b00000000" + two hex digits of n.
QString Address(int n)
{
    return QStringLiteral("00124b0000000%1").arg(n, 3, 16, QLatin1Char('0'));
}

} // namespace

class TestNodeTable : public QObject {
    Q_OBJECT

    QString m_folder;
    int m_serial = 0;

    // A fresh database in the database folder, opened on db.
    bool FreshDatabase(CCorvaneODBC &db)
    {
        return OpenNewDatabase(db, QStringLiteral("t%1.mdb").arg(++m_serial));
    }

    QList<int> IterationIds(CCorvaneODBC &db)
    {
        QList<int> ids;
        if (!db.FirstNode())
            return ids;
        for (; !db.IsNodeIterationEnd(); db.NextNode())
            ids << db.IterationNodeId();
        return ids;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(UseTestHome());
        m_folder = AppSettings::Instance().DatabaseFolder();
    }

    void tableCreationFailures()
    {
        RecordingSink sink;
        CCorvaneODBC db;
        db.SetErrorSink(&sink);
        QVERIFY(FreshDatabase(db));
        const QString key = QStringLiteral("00124b0001020304");
        QCOMPARE(db.CreateSummaryTable(key), 1);
        // A summary table that exists: silent failure.
        QCOMPARE(db.CreateSummaryTable(key), 0);
        QVERIFY(sink.errors.empty());
        // A data table that exists: reported as "Database Error:" + driver text.
        QCOMPARE(db.CreateDataTable(key + QStringLiteral("DataA01")), 1);
        QCOMPARE(db.CreateDataTable(key + QStringLiteral("DataA01")), 0);
        QCOMPARE(sink.errors.size(), size_t(1));
        QCOMPARE(sink.errors[0].kind, DatabaseError::Kind::SqlError);
        QVERIFY(sink.errors[0].text.startsWith(QStringLiteral("Database Error:")));
        // Names that cannot be spliced safely are refused before any statement runs.
        QCOMPARE(db.CreateSummaryTable(QStringLiteral("x; DROP TABLE CorvaneRFMS")), 0);
        QCOMPARE(db.CreateDataTable(QStringLiteral("a b")), 0);
    }

    void openRules()
    {
        RecordingSink sink;
        CCorvaneODBC db;
        db.SetErrorSink(&sink);
        QVERIFY(db.CreateDatabase(m_folder + QStringLiteral("/rules.mdb")));

        // The name rule is case-sensitive and silent.
        QCOMPARE(db.OpenDatabase(QStringLiteral("rules.MDB")), 0);
        QCOMPARE(db.OpenDatabase(QStringLiteral("../database/rules.mdb")), 0);
        QVERIFY(sink.errors.empty());
        QVERIFY(!db.IsOpen());

        // A missing file is not made: it cannot be linked to.
        QCOMPARE(db.OpenDatabase(QStringLiteral("absent.mdb")), 0);
        QVERIFY(!QFile::exists(m_folder + QStringLiteral("/absent.mdb")));
        QCOMPARE(sink.errors.size(), size_t(1));
        QCOMPARE(sink.errors[0].text, QStringLiteral("Fail to link database"));

        // A damaged file is reported the same way and left as it is.
        const QByteArray junk(4096, '\x5a');
        QVERIFY(WriteFile(m_folder + QStringLiteral("/bad.mdb"), junk));
        QCOMPARE(db.OpenDatabase(QStringLiteral("bad.mdb")), 0);
        QCOMPARE(sink.errors.size(), size_t(2));
        QCOMPARE(ReadFile(m_folder + QStringLiteral("/bad.mdb")), junk);

        // An SQLite file without the node table gets it on open.
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            raw.setDatabaseName(m_folder + QStringLiteral("/plain.mdb"));
            QVERIFY(raw.open());
            QSqlQuery(raw).exec(QStringLiteral("CREATE TABLE other (x LONG)"));
            raw.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        QCOMPARE(db.OpenDatabase(QStringLiteral("plain.mdb")), 1);
        QCOMPARE(db.SaveNode(Change(Address(1), NodeChange::ExtAddress)), 1);
    }

    void createRules()
    {
        CCorvaneODBC db;
        RecordingSink sink;
        db.SetErrorSink(&sink);
        // An existing file is never overwritten.
        const QString existing = m_folder + QStringLiteral("/keep.mdb");
        QVERIFY(WriteFile(existing, "precious"));
        QCOMPARE(db.CreateDatabase(existing), 0);
        QCOMPARE(ReadFile(existing), QByteArray("precious"));
        // A folder that does not exist.
        QCOMPARE(db.CreateDatabase(m_folder + QStringLiteral("/nofolder/x.mdb")), 0);

        // Path limits: 95 bytes fit, 96 are refused and nothing is made; a character outside
        // ASCII counts as two bytes.
        const QString prefix = m_folder + QLatin1Char('/');
        const int room = CCorvaneODBC::kMaxSourcePath - int(prefix.size()) - 4;
        QVERIFY2(room > 2, "test home folder path too long for this test");
        const QString fits = prefix + QString(room, QLatin1Char('a')) + QStringLiteral(".mdb");
        const QString tooLong = prefix + QString(room + 1, QLatin1Char('b')) + QStringLiteral(".mdb");
        const QString wide = prefix + QString(room - 1, QLatin1Char('c')) + QStringLiteral("库.mdb");
        QCOMPARE(db.CreateDatabase(fits), 1);
        QCOMPARE(db.CreateDatabase(tooLong), 0);
        QVERIFY(!QFile::exists(tooLong));
        QCOMPARE(db.CreateDatabase(wide), 0);
        QVERIFY(!QFile::exists(wide));
        QCOMPARE(db.OpenDatabase(QString(room, QLatin1Char('a')) + QStringLiteral(".mdb")), 1);
        QVERIFY(sink.errors.empty());
    }

    void addressLengthIsChecked()
    {
        CCorvaneODBC db;
        QVERIFY(FreshDatabase(db));
        QCOMPARE(db.SaveNode(Change(Address(1), NodeChange::ExtAddress | NodeChange::Type)), 1);
        for (const QString &address : {Address(1).left(15), Address(1) + QLatin1Char('0'), QString()}) {
            NodeChange change = Change(address, 0x7FFFE);
            change.values.name = QStringLiteral("intruder");
            change.values.type = 0x8C;
            QCOMPARE(db.SaveNode(change), 0);
        }
        QCOMPARE(IterationIds(db), QList<int>{1});
        QVERIFY(db.SeekEditNode(1));
        QCOMPARE(db.EditCursor().Row().name, QString());
        QCOMPARE(db.EditCursor().Row().type, quint8(0));
        QCOMPARE(db.EditCursor().Row().extaddress, Address(1));
    }

    void maskSelectsColumns()
    {
        CCorvaneODBC db;
        QVERIFY(FreshDatabase(db));
        NodeChange change = Change(Address(7), NodeChange::ExtAddress | NodeChange::Type);
        change.values.name = QStringLiteral("carried, not written");
        change.values.type = 0x88;
        change.values.sampleCap = 600;
        QCOMPARE(db.SaveNode(change), 1);

        change.mask = NodeChange::Name;
        change.values.name = QStringLiteral("Cold room 1");
        change.values.type = 0x40;
        QCOMPARE(db.SaveNode(change), 1);
        change.mask = NodeChange::SampleCap | NodeChange::StartTime | NodeChange::ChildsNumble;
        change.values.name = QStringLiteral("not this");
        change.values.startTime = 4102444800; // beyond 2038
        change.values.childsnumble = -32768;
        QCOMPARE(db.SaveNode(change), 1);

        QVERIFY(db.SeekEditNode(1));
        const NodeRow row = db.EditCursor().Row();
        QCOMPARE(row.name, QStringLiteral("Cold room 1")); // carried values are not written
        QCOMPARE(row.type, quint8(0x88));
        QCOMPARE(row.sampleCap, 600);
        QCOMPARE(row.startTime, qint64(4102444800));
        QCOMPARE(row.childsnumble, -32768);

        // Values the columns cannot hold are refused and leave the row as it was.
        change.mask = NodeChange::Name | NodeChange::RunState;
        change.values.name = QString(33, QLatin1Char('n'));
        change.values.runstate = 2;
        QCOMPARE(db.SaveNode(change), 0);
        change.mask = NodeChange::ChildsNumble;
        change.values.childsnumble = 40000;
        QCOMPARE(db.SaveNode(change), 0);
        QVERIFY(db.SeekEditNode(1));
        QCOMPARE(db.EditCursor().Row(), row);
        change.mask = NodeChange::Name;
        change.values.name = QString(32, QChar(0x5e93)); // 32 characters fit, whatever their width
        QCOMPARE(db.SaveNode(change), 1);
    }

    void deleteRestartsIterationAndIdsAreNotReused()
    {
        CCorvaneODBC db;
        QVERIFY(FreshDatabase(db));
        for (int n = 1; n <= 4; ++n)
            QCOMPARE(db.SaveNode(Change(Address(n), NodeChange::ExtAddress)), 1);
        QCOMPARE(IterationIds(db), (QList<int>{1, 2, 3, 4}));

        QCOMPARE(db.FirstNode(), 1);
        db.NextNode();
        db.NextNode();
        QCOMPARE(db.IterationNodeId(), 3);
        QCOMPARE(db.DeleteNode(2), 1);
        QVERIFY(!db.IsNodeIterationEnd());
        QCOMPARE(db.IterationNodeId(), 1);
        QCOMPARE(db.DeleteNode(2), 0);

        // The gap of 2 stays; a new node takes the largest id + 1.
        QCOMPARE(db.SaveNode(Change(Address(5), NodeChange::ExtAddress)), 1);
        QCOMPARE(db.FindNodeIdByAddress(Address(5)), 5);
        QCOMPARE(IterationIds(db), (QList<int>{1, 3, 4, 5}));
        // Only removing the highest ids lets a number come back.
        QCOMPARE(db.DeleteNode(5), 1);
        QCOMPARE(db.SaveNode(Change(Address(6), NodeChange::ExtAddress)), 1);
        QCOMPARE(db.FindNodeIdByAddress(Address(6)), 5);
        QCOMPARE(db.FindNodeIdByAddress(Address(5)), -1);
    }

    void valuesAreBoundNotSpliced()
    {
        CCorvaneODBC db;
        QVERIFY(FreshDatabase(db));
        const QStringList names = {QStringLiteral("'; DROP TABLE CorvaneRFMS; --"),
                                   QStringLiteral("库房\\%_\n2")};
        for (int n = 0; n < names.size(); ++n) {
            NodeChange change = Change(Address(n + 1), NodeChange::ExtAddress | NodeChange::Name);
            change.values.name = names[n];
            QCOMPARE(db.SaveNode(change), 1);
            QVERIFY(db.SeekEditNode(n + 1));
            QCOMPARE(db.EditCursor().Row().name, names[n]);
        }

        // The address search is exact: no patterns, no other case, no prefix; upper case is another node.
        const QString address = QStringLiteral("00124b000102030a");
        QCOMPARE(db.SaveNode(Change(address, NodeChange::ExtAddress)), 1);
        for (const QString &other : {QStringLiteral("' OR '1'='1"), QStringLiteral("%"), address.toUpper()})
            QCOMPARE(db.FindNodeIdByAddress(other), -1);
        QCOMPARE(db.FindNodeIdByAddress(address), 3);
        QCOMPARE(db.SaveNode(Change(address.toUpper(), NodeChange::ExtAddress)), 1);
        QCOMPARE(db.FindNodeIdByAddress(address.toUpper()), 4);
    }

    void directEditPattern()
    {
        CCorvaneODBC db;
        QVERIFY(FreshDatabase(db));
        QCOMPARE(db.SaveNode(Change(Address(1), NodeChange::ExtAddress)), 1);
        CCorvaneNetMger &edit = db.EditCursor();
        // A phone column holds 15 characters.
        QVERIFY(db.SeekEditNode(1));
        QVERIFY(edit.Edit());
        edit.Fields().gprs_local = QString(16, QLatin1Char('1'));
        QVERIFY(!edit.Update());
        QVERIFY(db.SeekEditNode(1));
        QCOMPARE(edit.Row().gprs_local, QString());
        // No current row: nothing to edit or delete.
        QVERIFY(!db.SeekEditNode(9));
        QVERIFY(edit.IsEOF());
        QVERIFY(!edit.Edit());
        QVERIFY(!edit.Delete());
    }
};

QTEST_GUILESS_MAIN(TestNodeTable)
#include "test_nodetable.moc"
