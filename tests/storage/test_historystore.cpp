// The history tables on a real database file: storing downloaded blocks (rows, headers,
// chains, continuation, table codes), reading records back into the sample store, the
// summary cursor's refusals, and the all-or-nothing store.
#include "StorageTestSupport.h"

#include "base/ValueFormat.h"
#include "storage/CCorvaneODBC.h"
#include "storage/HistoryTables.h"

#include <QCryptographicHash>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <functional>

using namespace HistoryCodec;
using namespace storagetest;

namespace {

HistoryBlockInput Block(const QByteArray &data, qint64 offset = 0, quint8 type = 0x80)
{
    HistoryBlockInput b;
    b.nodeKey = kKey;
    b.nodeName = QStringLiteral("Cold room");
    b.startTime = At(2014, 5, 6, 8, 0, 0);
    b.endTime = At(2014, 5, 7, 8, 0, 0);
    b.interval = 60;
    b.alarmFlag = 4;
    b.ch1Lower = -0.125f;
    b.ch1Upper = 0.125f;
    b.ch2Lower = 10.0f;
    b.ch2Upper = 327.68f;
    b.deviceType = type;
    b.startOffset = offset;
    b.total = data.size();
    b.received = data.size();
    b.data = data;
    return b;
}

// Every table with its statement and every row, in a stable order.
QString Dump(QSqlDatabase db)
{
    QString out;
    QSqlQuery master(db);
    master.exec(QStringLiteral("SELECT name, sql FROM sqlite_master ORDER BY name"));
    QStringList tables;
    while (master.next()) {
        out += master.value(0).toString() + QLatin1Char('|') + master.value(1).toString() + QLatin1Char('\n');
        if (master.value(1).toString().startsWith(QLatin1String("CREATE TABLE")))
            tables << master.value(0).toString();
    }
    for (const QString &t : tables) {
        QSqlQuery q(db);
        q.exec(QStringLiteral("SELECT * FROM [%1] ORDER BY rowid").arg(t));
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i)
                cells << q.value(i).toString();
            out += t + QLatin1Char(':') + cells.join(QLatin1Char(',')) + QLatin1Char('\n');
        }
    }
    return out;
}

} // namespace

class TestHistoryStore : public QObject {
    Q_OBJECT
    CHistoryStore &H() { return m_db->History(); }
    QSqlDatabase Db() { return m_db->Connection(); }
    void Exec(const QString &sql)
    {
        QSqlQuery q(Db());
        QVERIFY2(q.exec(sql), qPrintable(sql));
    }
    // The summary cursor on the node's last record.
    bool LastRecord() { return H().OpenSummaryTable(kKey) && H().MoveLastRecord(); }
    // The node's last record in the sample store, loaded as the history view loads it.
    bool LoadLastRecord()
    {
        return LastRecord() && H().OpenDataTable(H().DataTableName(), 0) &&
               H().LoadSegmentChain(H().LastHeaderId()) && H().LoadRecordSamples();
    }

    std::unique_ptr<CCorvaneODBC> m_db;
    int m_serial = 0;

private slots:
    void initTestCase() { QVERIFY(UseTestHome()); }

    void init()
    {
        m_db = std::make_unique<CCorvaneODBC>();
        QVERIFY(OpenNewDatabase(*m_db, QStringLiteral("history%1.mdb").arg(++m_serial)));
    }

    void cleanup() { m_db.reset(); }

    // The stored rows themselves (two sample rows, then the header) are pinned by
    // storedRowsKeepTheirBytes.
    void blockOf121Bytes()
    {
        QByteArray data(121, '\0');
        for (int i = 0; i < 121; ++i)
            data[i] = static_cast<char>(i + 1);
        QCOMPARE(H().StoreHistoryBlock(Block(data)), 1);

        QVERIFY(LastRecord());
        QCOMPARE(H().DataLength(), qint64(121));
        QCOMPARE(H().LastHeaderId(), 3);
        // Sixty values from the first row; the lone 121st byte is no whole value.
        QVERIFY(LoadLastRecord());
        const CNodeDataSave &s = H().Samples();
        QCOMPARE(s.ch1Count, 60);
        QCOMPARE(s.ch1()[0], SampleValue(1, 2));
        QCOMPARE(s.recordEnd, At(2014, 5, 6, 8, 59, 0));
    }

    void continuationAndNewRecord()
    {
        QCOMPARE(H().StoreHistoryBlock(Block(Samples({100, 200, 300}))), 1);
        // Same start, offset = stored length: the record goes on.
        HistoryBlockInput next = Block(Samples({400, 500}), 6);
        next.endTime = At(2014, 5, 8, 8, 0, 0);
        QCOMPARE(H().StoreHistoryBlock(next), 1);
        QVERIFY(LoadLastRecord());
        QCOMPARE(H().RecordCount(), 1);
        QCOMPARE(H().EndTime(), At(2014, 5, 8, 8, 0, 0));
        QCOMPARE(H().Segments()[1].previousHeaderId, 2); // rows 1 (samples), 2 (header), 3, 4 (header)
        QCOMPARE(Values(H().Samples().ch1(), H().Samples().ch1Count), (QList<float>{1, 2, 3, 4, 5}));

        // The same logging period from offset 0 with other samples: another recording, a second record.
        QCOMPARE(H().StoreHistoryBlock(Block(Samples({110, 200, 300}))), 1);
        QVERIFY(LastRecord());
        QCOMPARE(H().RecordCount(), 2);
        QCOMPARE(H().TableCode(), QStringLiteral("A01")); // the table is shared
        // A mismatching offset also starts a new record.
        QCOMPARE(H().StoreHistoryBlock(Block(Samples({1}), 4)), 1);
        QVERIFY(H().OpenSummaryTable(kKey));
        QCOMPARE(H().RecordCount(), 3);
        QVERIFY(H().SeekRecord(1));
        QCOMPARE(H().DataLength(), qint64(10));
    }

    void dualChannelOddSegment()
    {
        // Three values (ch1, ch2, ch1), then a second segment that again begins with channel 1.
        QCOMPARE(H().StoreHistoryBlock(Block(Samples({101, 201, 102}), 0, 0x88)), 1);
        QCOMPARE(H().StoreHistoryBlock(Block(Samples({103, 202, 104}), 6, 0x88)), 1);
        QVERIFY(LoadLastRecord());
        const CNodeDataSave &s = H().Samples();
        QCOMPARE(Values(s.ch1(), s.ch1Count), (QList<float>{1.01f, 1.02f, 1.03f, 1.04f}));
        QCOMPARE(Values(s.ch2(), s.ch2Count), (QList<float>{2.01f, 2.02f}));
    }

    void rangeStatistics()
    {
        CNodeDataSave s;
        s.deviceType = 0x88;
        s.recordStart = 1000;
        s.interval = 10;
        for (int i = 0; i < 10; ++i) {
            s.ch1()[i] = static_cast<float>(i);
            s.ch2()[i] = static_cast<float>(100 - i);
        }
        s.ch1Count = s.ch2Count = 10;
        s.FillSampleTimes();
        s.recordEnd = s.times()[9]; // 1090

        struct Case {
            qint64 from, to;
            int ok, first, count;
            float max1, min1, avg1;
        };
        const Case cases[] = {
            {1000, 1090, 1, 0, 10, 9, 0, 4.5f},
            {1005, 1035, 1, 1, 3, 3, 1, 2.0f},           // between samples: the later start, the earlier end
            {1095, 1200, 1, 10, 0, -2000, -2000, -2000}, // after the last sample: empty range
            {1050, 1040, 0, 0, 0, 0, 0, 0},              // from after to: refused
            {500, 900, 0, 0, 0, 0, 0, 0},                // ends before the record
        };
        for (const Case &c : cases) {
            const float keepMax = s.ch1Max;
            QCOMPARE(s.ComputeRangeStatistics(c.from, c.to), c.ok);
            QCOMPARE(s.rangeFirst, c.first);
            QCOMPARE(s.rangeCount, c.count);
            if (c.ok) {
                QCOMPARE(s.ch1Max, c.max1);
                QCOMPARE(s.ch1Min, c.min1);
                QCOMPARE(s.ch1Avg, c.avg1);
            } else {
                QCOMPARE(s.ch1Max, keepMax); // statistics stay as they were
            }
        }
        QVERIFY(s.ComputeRangeStatistics(1010, 1030));
        QCOMPARE(s.ch2Avg, 98.0f);
    }

    void storeCapacity()
    {
        // A full dual-channel store: 200000 values per channel, the excess dropped.
        QByteArray bytes(CNodeDataSave::kCapacity * 4 + 8, '\0');
        for (int i = 0; i < bytes.size(); i += 2)
            bytes[i] = static_cast<char>((i / 2) % 100);
        const auto *p = reinterpret_cast<const quint8 *>(bytes.constData());
        CNodeDataSave dual;
        dual.deviceType = 0x8C;
        dual.AppendSegmentSamples(p, bytes.size());
        QCOMPARE(dual.ch1Count, CNodeDataSave::kCapacity);
        QCOMPARE(dual.ch2Count, CNodeDataSave::kCapacity);
        QCOMPARE(dual.ch2()[CNodeDataSave::kCapacity - 1], 0.99f); // value 399999
        dual.AppendSegmentSamples(p, bytes.size());                // a further segment adds nothing
        QCOMPARE(dual.ch1Count, CNodeDataSave::kCapacity);

        // The single-channel type 0x08 puts every value in channel 2.
        CNodeDataSave only2;
        only2.deviceType = 0x08;
        only2.AppendSegmentSamples(p, 6);
        QCOMPARE(only2.ch1Count, 0);
        QCOMPARE(only2.ch2Count, 3);
    }

    // A continuation of a record in a full table (last id over 500000) stays in that table; the
    // next new record goes to the next table code.
    void tableCodeAdvance()
    {
        QCOMPARE(H().StoreHistoryBlock(Block(Samples({1, 2}))), 1);
        // Fill A01 past 500000 rows, every id at its position.
        Exec(QStringLiteral("INSERT INTO [%1DataA01] (id) WITH RECURSIVE n(x) AS (SELECT 3 UNION ALL "
                            "SELECT x + 1 FROM n WHERE x < 500001) SELECT x FROM n")
                 .arg(kKey));
        QCOMPARE(H().StoreHistoryBlock(Block(Samples({3}), 4)), 1);
        QVERIFY(LastRecord());
        QCOMPARE(H().RecordCount(), 1);
        QCOMPARE(H().TableCode(), QStringLiteral("A01"));
        QCOMPARE(H().StoreHistoryBlock(Block(Samples({3}), 0)), 1);
        QVERIFY(LastRecord());
        QCOMPARE(H().TableCode(), QStringLiteral("A02"));
    }

    void mismatchedIdEndsChainAndSegment()
    {
        QByteArray first(240, '\x01'); // rows 1, 2 and header 3
        QCOMPARE(H().StoreHistoryBlock(Block(first)), 1);
        QCOMPARE(H().StoreHistoryBlock(Block(Samples({7, 8}), 240)), 1); // row 4, header 5
        const QString table = kKey + QStringLiteral("DataA01");

        // Header row 3 carries the id 2: the chain from header 5 stops before it.
        Exec(QStringLiteral("UPDATE [%1] SET id = 2 WHERE rowid = 3").arg(table));
        QVERIFY(LastRecord());
        QVERIFY(H().OpenDataTable(table, 0));
        QVERIFY(H().LoadSegmentChain(5));
        QCOMPARE(int(H().Segments().size()), 1);
        QCOMPARE(H().Segments()[0].headerId, 5);
        Exec(QStringLiteral("UPDATE [%1] SET id = 3 WHERE rowid = 3").arg(table));

        // Sample row 2 carries the id 1: the first segment stops after row 1 (60 values).
        Exec(QStringLiteral("UPDATE [%1] SET id = 1 WHERE rowid = 2").arg(table));
        QVERIFY(LoadLastRecord());
        QCOMPARE(int(H().Segments().size()), 2);
        QCOMPARE(H().Samples().ch1Count, 62);
        QCOMPARE(H().Samples().ch1()[60], 0.07f);
    }

    void summaryRefusals()
    {
        CHistoryStore &h = H();
        // Nothing open: every operation fails, limits read as the no-value mark.
        QCOMPARE(h.AddSummaryRow(), 0);
        QCOMPARE(h.Channel1Lower(), kNoValue);
        QCOMPARE(h.OpenSummaryTable(kKey), 0); // does not exist: viewing does not create
        QCOMPARE(h.OpenSummaryTable(QStringLiteral("x]; DROP TABLE CorvaneRFMS; --")), 0);

        QVERIFY(m_db->CreateSummaryTable(kKey));
        QVERIFY(h.OpenSummaryTable(kKey));
        QCOMPARE(h.MoveLastRecord(), 0);
        QCOMPARE(h.EditSummaryRow(), 0);                          // no row
        QCOMPARE(h.SetStartTime(CHistoryStore::kAdding, 100), 0); // not adding

        QVERIFY(h.AddSummaryRow());
        QCOMPARE(h.EditSummaryRow(), 0); // not while adding
        const int add = CHistoryStore::kAdding;
        // Wrong mode, a zero time, no room in 24 bits, a code of 4, a 33-character name.
        const QList<int> refused{h.SetStartTime(CHistoryStore::kEditing, 100), h.SetStartTime(add, 0),
                                 h.SetRecordInterval(add, 0x1000000),
                                 h.SetTableCode(add, QStringLiteral("A001")),
                                 h.SetNodeName(add, QString(33, QLatin1Char('n')))};
        QCOMPARE(refused, QList<int>(refused.size(), 0));
        const QList<int> accepted{h.SetNodeName(add, QString(32, QLatin1Char('n'))),
                                  h.SetStartTime(add, At(2014, 2, 3, 4, 5, 6)),
                                  h.SetEndTime(add, At(2014, 2, 4, 4, 5, 6)),
                                  h.SetDataLength(add, 0xFFFFFFFFLL),
                                  h.SetRecordInterval(add, 0xFFFFFF),
                                  h.SetTableCode(add, QStringLiteral("A01"))};
        QCOMPARE(accepted, QList<int>(accepted.size(), 1));
        QCOMPARE(h.UpdateEditedSummaryRow(), 0); // adding, not editing
        QCOMPARE(h.UpdateNewSummaryRow(), 1);

        QVERIFY(h.SeekRecord(1));
        QCOMPARE(h.DataLength(), qint64(0xFFFFFFFFLL)); // reading decodes the row
        QCOMPARE(h.RecordInterval(), qint64(0xFFFFFF));
        QCOMPARE(h.SeekRecord(2), 0);

        QVERIFY(h.SeekRecord(1));
        QVERIFY(h.EditSummaryRow());
        QCOMPARE(h.AddSummaryRow(), 0); // not while editing
        QCOMPARE(h.SetDataLength(CHistoryStore::kEditing, 500), 1);
        QVERIFY(h.UpdateEditedSummaryRow());
        QVERIFY(h.MoveFirstRecord());
        QCOMPARE(h.DataLength(), qint64(500));
    }

    void failedStoreLeavesDatabaseUnchanged_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<qint64>("offset");
        // A data row in the middle of the block refused, on a continuation and on a new record.
        QTest::newRow("continuation, row refused")
            << QStringLiteral("BEFORE INSERT ON [%1DataA01] WHEN NEW.id = 5") << qint64(240);
        QTest::newRow("new record, row refused")
            << QStringLiteral("BEFORE INSERT ON [%1DataA01] WHEN NEW.id = 5") << qint64(0);
        // The header row refused.
        QTest::newRow("header refused")
            << QStringLiteral("BEFORE INSERT ON [%1DataA01] WHEN NEW.id = 7") << qint64(240);
        // The last step, the summary update, refused after every data row was written.
        QTest::newRow("summary update refused") << QStringLiteral("BEFORE UPDATE ON [%1SUMM]") << qint64(240);
        QTest::newRow("summary insert refused") << QStringLiteral("BEFORE INSERT ON [%1SUMM]") << qint64(0);
    }

    void failedStoreLeavesDatabaseUnchanged()
    {
        QFETCH(QString, trigger);
        QFETCH(qint64, offset);
        QCOMPARE(H().StoreHistoryBlock(Block(QByteArray(240, '\x05'))), 1); // rows 1-2, header 3
        Exec(QStringLiteral("CREATE TRIGGER fail_mid %1 BEGIN SELECT RAISE(ABORT, 'refused'); END")
                 .arg(trigger.arg(kKey)));

        const QString before = Dump(Db());
        // Three sample rows (4, 5, 6) and a header (7).
        QCOMPARE(H().StoreHistoryBlock(Block(QByteArray(300, '\x06'), offset)), 0);
        QCOMPARE(Dump(Db()), before);

        // The record still reads as before, and once the fault is gone the same block is stored.
        QVERIFY(LastRecord());
        QCOMPARE(H().RecordCount(), 1);
        QCOMPARE(H().DataLength(), qint64(240));
        Exec(QStringLiteral("DROP TRIGGER fail_mid"));
        QCOMPARE(H().StoreHistoryBlock(Block(QByteArray(300, '\x06'), offset)), 1);
        QVERIFY(LastRecord());
        QCOMPARE(H().LastHeaderId(), 7);
    }

    void refusedBlocks()
    {
        // Empty, not all bytes arrived, announcing more than it carries, no start time, a bad key.
        const std::function<void(HistoryBlockInput &)> faults[] = {
            [](HistoryBlockInput &b) {
                b.data.clear();
                b.total = b.received = 0;
            },
            [](HistoryBlockInput &b) { b.total = 20; },
            [](HistoryBlockInput &b) { b.total = b.received = 11; },
            [](HistoryBlockInput &b) { b.startTime = 0; },
            [](HistoryBlockInput &b) { b.nodeKey = QStringLiteral("a]b"); },
        };
        const QString before = Dump(Db());
        for (const auto &fault : faults) {
            HistoryBlockInput b = Block(QByteArray(10, '\x01'));
            fault(b);
            QCOMPARE(H().StoreHistoryBlock(b), 0);
        }
        QCOMPARE(Dump(Db()), before);
    }

    // The first block holds samples 0..119 (240 bytes); the second block is downloaded again, in
    // part or whole: only what the record lacks is stored.
    void blockDownloadedAgain_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<qint64>("expectedLength");
        QTest::newRow("same block again") << 0 << 240 << qint64(240);
        QTest::newRow("overlapping the end") << 200 << 100 << qint64(300);
        QTest::newRow("right after the end") << 240 << 20 << qint64(260);
    }

    void blockDownloadedAgain()
    {
        QFETCH(int, offset);
        QFETCH(int, bytes);
        QFETCH(qint64, expectedLength);
        QList<int> values;
        for (int i = 0; i < 180; ++i)
            values << i * 10;
        const QByteArray all = Samples(values);
        QCOMPARE(H().StoreHistoryBlock(Block(all.left(240))), 1);
        const QString before = Dump(Db());
        QCOMPARE(H().StoreHistoryBlock(Block(all.mid(offset, bytes), offset)), 1);
        QVERIFY(LastRecord());
        QCOMPARE(H().RecordCount(), 1);
        QCOMPARE(H().DataLength(), expectedLength);
        if (expectedLength == 240)
            QCOMPARE(Dump(Db()), before);
        QVERIFY(LoadLastRecord());
        QCOMPARE(H().Samples().ch1Count, int(expectedLength / 2));
        for (int i = 0; i < H().Samples().ch1Count; ++i)
            QCOMPARE(H().Samples().ch1()[i], float(i) / 10.0f);
        // Another interval is another logging period.
        HistoryBlockInput other = Block(all.left(240));
        other.interval = 30;
        QCOMPARE(H().StoreHistoryBlock(other), 1);
        QVERIFY(LastRecord());
        QCOMPARE(H().RecordCount(), 2);
    }

    // The rows a fixed series of stores leaves (new record, continuation, second record), as the
    // byte-at-a-time scrambling wrote them: a digest of every table and row.
    void storedRowsKeepTheirBytes()
    {
        QByteArray data(1000, '\0');
        for (int i = 0; i < data.size(); ++i)
            data[i] = static_cast<char>((i * 37 + 11) & 0xFF);
        QCOMPARE(H().StoreHistoryBlock(Block(data, 0, 0x88)), 1);
        QCOMPARE(H().StoreHistoryBlock(Block(data.left(300), 1000, 0x88)), 1);
        HistoryBlockInput second = Block(data.left(121));
        second.startTime += 86400;
        QCOMPARE(H().StoreHistoryBlock(second), 1);
        // The node table's address index came later and is no history table's concern.
        QStringList lines = Dump(Db()).split(QLatin1Char('\n'));
        lines.removeIf(
            [](const QString &l) { return l.startsWith(QLatin1String("CorvaneRFMS_extaddress|")); });
        const QByteArray digest =
            QCryptographicHash::hash(lines.join(QLatin1Char('\n')).toUtf8(), QCryptographicHash::Sha256)
                .toHex();
        QCOMPARE(digest, QByteArray("ea60d0126303a37267822b51bf28483e544b53c28e76b3693789a44b97c1d659"));
    }

    void recordFoundByIdLoadsItsSamples_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("found"); // 0: not found
        QTest::newRow("last, late in the table") << 4 << 1;
        QTest::newRow("none") << 5 << 0;
    }

    // Four records share one data table, and a summary row without an id sorts before them: the
    // record of an id is found directly and reads its own samples.
    void recordFoundByIdLoadsItsSamples()
    {
        QFETCH(int, id);
        QFETCH(int, found);
        for (int r = 1; r <= 4; ++r) {
            HistoryBlockInput b = Block(Samples({r * 100, r * 100 + 1, r * 100 + 2}));
            b.startTime += r * 86400;
            QCOMPARE(H().StoreHistoryBlock(b), 1);
        }
        Exec(QStringLiteral("INSERT INTO [%1SUMM] (id) VALUES (NULL)").arg(kKey));
        QVERIFY(H().OpenSummaryTable(kKey));
        QCOMPARE(H().SeekRecord(id), found);
        if (!found) {
            QVERIFY(H().IsRecordEnd());
            return;
        }
        QCOMPARE(H().RecordId(), id);
        QVERIFY(H().OpenDataTable(H().DataTableName(), 0) && H().LoadSegmentChain(H().LastHeaderId()));
        QVERIFY(H().LoadRecordSamples());
        QCOMPARE(Values(H().Samples().ch1(), H().Samples().ch1Count),
                 (QList<float>{id * 100 / 100.0f, (id * 100 + 1) / 100.0f, (id * 100 + 2) / 100.0f}));
    }
};

QTEST_GUILESS_MAIN(TestHistoryStore)
#include "test_historystore.moc"
