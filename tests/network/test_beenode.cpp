// The node record and the network table: sample ring, refusals of unknown ids, cursor, GPRS
// slots, phone book and resets.
#include "network/CCorvaneBeeNode.h"

#include <QtTest>

namespace {

PhoneDigits Digits(const char *text)
{
    PhoneDigits d{};
    for (size_t i = 0; text[i] && i < d.size(); ++i)
        d[i] = text[i];
    return d;
}

QList<int> Order(CCorvaneBeeNode &table)
{
    QList<int> ids;
    for (table.MoveFirst(); !table.IsEOF(); table.MoveNext())
        ids << table.GetCurrentId();
    return ids;
}

} // namespace

class TestBeeNode : public QObject {
    Q_OBJECT
private slots:
    void ringKeepsTheNewest10000()
    {
        CCorvaneBeeNode table;
        table.AddNode(1);
        table.SetType(1, 0x88);
        for (int i = 0; i < 10001; ++i)
            QCOMPARE(table.AddRtSample(1, 1000 + i, float(i) / 10, float(-i)), 1);
        QCOMPARE(table.GetRtCount(1), 10000);
        QCOMPARE(table.GetRtTime(1, 0), qint64(1001)); // the second sample appended
        QCOMPARE(table.GetRtCh1(1, 9999), 1000.0f);
        // Extremes cover every sample appended, the overwritten one too.
        QCOMPARE(table.GetCh1Min(1), 0.0f);
        QCOMPARE(table.GetCh2Min(1), -10000.0f);
        QCOMPARE(table.GetRtCh1(1, 10000), -2000.0f); // past the end
    }

    void samplesByType()
    {
        CCorvaneBeeNode table;
        struct Case {
            quint8 type;
            int accepted;
            bool channel2;
        };
        const Case cases[] = {{0x40, 0, false}, {0x80, 1, false}, {0x8C, 1, true}, {0x84, 1, false}};
        int id = 0;
        for (const Case &c : cases) {
            ++id;
            table.AddNode(id);
            table.SetType(id, c.type);
            QCOMPARE(table.AddRtSample(id, 100, 21.5f, 55.0f), c.accepted);
            QCOMPARE(table.AddRtSample(id, 160, 22.5f, 54.0f), c.accepted);
            QCOMPARE(table.GetRtCount(id), 2 * c.accepted);
            QCOMPARE(table.GetRtCh2(id, 1), c.channel2 ? 54.0f : -2000.0f);
            QCOMPARE(table.GetCh2Max(id), c.channel2 ? 55.0f : -2000.0f);
        }
        QCOMPARE(table.AddRtSample(99, 100, 1.0f, 1.0f), 0);
    }

    void rtTimeoutRule_data()
    {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<qint64>("stored");
        QTest::newRow("0") << qint64(0) << qint64(60);
        QTest::newRow("3600") << qint64(3600) << qint64(3660);
        QTest::newRow("3601") << qint64(3601) << qint64(3600);
    }
    void rtTimeoutRule()
    {
        QFETCH(qint64, seconds);
        CCorvaneBeeNode table;
        table.AddNode(3);
        QCOMPARE(table.SetRtTimeout(3, seconds), 1);
        QTEST(table.GetRtTimeout(3), "stored");
        QCOMPARE(table.SetRtTimeout(4, seconds), 0);
    }

    // Setters of an unknown id refuse and add nothing; lookups leave the cursor alone.
    void unknownIdIsRefused()
    {
        CCorvaneBeeNode table;
        table.AddNode(5);
        table.MoveFirst();
        QCOMPARE(table.SetType(77, 0x80), 0);
        QCOMPARE(table.SetGprsSlot(77, 0), 0);
        QCOMPARE(table.GetRtCh2(77, 0), -2000.0f);
        QCOMPARE(table.Size(), 1);
        QCOMPARE(table.GetCurrentId(), 5);
    }

    void iterationAndCursor()
    {
        CCorvaneBeeNode table;
        for (int id : {1, 2, 3, 4})
            QCOMPARE(table.AddNode(id), 1);
        table.SetShortAddress(3, 0x1234);
        QCOMPARE(table.AddNode(3), 0); // existing item keeps its live fields
        QCOMPARE(table.GetShortAddress(3), 0x1234);
        QCOMPARE(Order(table), (QList<int>{4, 3, 2, 1}));

        // Removing the cursor item moves the cursor on; removing another leaves it.
        table.MoveFirst();
        table.MoveNext();
        QCOMPARE(table.RemoveNode(3), 1);
        QCOMPARE(table.GetCurrentId(), 2);
        QCOMPARE(table.RemoveNode(1), 1);
        QCOMPARE(table.GetCurrentId(), 2);
        QCOMPARE(table.RemoveNode(3), 0);
        table.Seek(3);
        QCOMPARE(table.IsEOF(), 1);
        QCOMPARE(table.AddNode(3), 1); // a new item goes in front
        QCOMPARE(Order(table), (QList<int>{3, 4, 2}));
    }

    void bindingMaskRule()
    {
        CCorvaneBeeNode table;
        table.AddNode(1);
        table.SetType(1, 0x80);
        QCOMPARE(table.CountLoggers(), 1);
        QCOMPARE(table.SetGprsSlot(1, 0), 1);
        QCOMPARE(table.SetGprsBindMask(1, 0x5), 1);
        QCOMPARE(table.GetGprsSlot(1), -1); // a new mask: the receiver must learn it again
        QCOMPARE(table.SetGprsSlot(1, 0), 1);
        QCOMPARE(table.SetGprsBindMask(1, 0x5), 1);
        QCOMPARE(table.GetGprsSlot(1), 0); // the same mask twice leaves the slot
        // Slots beyond the logger list are refused, and clear the slot held.
        QCOMPARE(table.SetGprsSlot(1, 1), 0);
        QCOMPARE(table.GetGprsSlot(1), -1);

        // Dropping phone slots drops their bits; a changed mask loses its slot.
        table.AddNode(2);
        table.SetType(2, 0x8C);
        table.CountLoggers();
        table.SetGprsBindMask(1, 0x6);
        table.SetGprsBindMask(2, 0x2);
        table.SetGprsSlot(1, 0);
        table.SetGprsSlot(2, 1);
        QCOMPARE(table.SetPhone(1, QStringLiteral("13800138000")), 1);
        table.ApplyPhoneMask();
        QCOMPARE(table.GetGprsBindMask(1), 0x2u);
        QCOMPARE(table.GetGprsSlot(1), -1);
        QCOMPARE(table.GetGprsSlot(2), 1);
    }

    void gprsNames()
    {
        const GprsName name = BeeNodeItem::MakeGprsName(QStringLiteral("AB库"));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(name.data()), 12), QByteArray("004100425E93"));
        QVERIFY(std::all_of(name.begin() + 12, name.end(), [](quint8 b) { return b == 0; }));
        const GprsName longName = BeeNodeItem::MakeGprsName(QStringLiteral("0123456789abcdef"));
        QVERIFY(QByteArray(reinterpret_cast<const char *>(longName.data()), 48).endsWith("00610062"));

        CCorvaneBeeNode table;
        table.AddNode(1);
        QCOMPARE(table.SetGprsName(1, name), 1);
        QCOMPARE(table.SameGprsName(1, name), 1);
        QCOMPARE(table.SameGprsName(1, longName), 0);
    }

    void phoneBook()
    {
        CCorvaneBeeNode table;
        QCOMPARE(table.SetPhone(3, QStringLiteral("13800138000")), 1);
        QCOMPARE(table.GetPhoneMask(), 0x8u);
        QVERIFY(table.SamePhone(3, Digits("13800138000")));
        QCOMPARE(table.SetPhone(3, QString()), 1);
        QCOMPARE(table.GetPhoneMask(), 0u);
        QCOMPARE(table.SetPhone(3, QString()), 0); // nothing changed the second time

        QCOMPARE(table.SetPhone(0, QStringLiteral("12345678901234567")), 1); // 17 digits clear it
        QCOMPARE(table.SetPhone(0, QStringLiteral("8613800138000")), 1);
        QCOMPARE(table.SetPhone(0, QStringLiteral("+8613800138000")), 1); // a plus sign clears too
        QCOMPARE(table.SetPhone(10, QStringLiteral("123")), 0);
        QCOMPARE(table.SetPhone(-1, QStringLiteral("123")), 0);
        QCOMPARE(table.GetPhoneMask(), 0u);

        QCOMPARE(table.SetPhone(5, QStringLiteral("13912345678")), 1);
        QCOMPARE(table.SetPhone(2, QStringLiteral("13912345678")), 1);
        QCOMPARE(table.FindPhone(QStringLiteral(" 13912345678 ")), 2);
        QCOMPARE(table.SetPhone(7, QStringLiteral("1234567890123456")), 1);
        QCOMPARE(table.FindPhone(QStringLiteral("1234567890123456")), -1); // 16 digits are never found
        QCOMPARE(table.GetPhoneMask(), 0xA4u);

        QCOMPARE(table.SetPhoneListState(0), 1);
        QCOMPARE(table.ClearPhoneBook(), 1);
        QCOMPARE(table.GetPhoneListState(), -1);
    }

    void gprsSlotAssignment()
    {
        CCorvaneBeeNode table;
        // Added 1, 2, 3: visited 3, 2, 1.
        for (int id : {1, 2, 3}) {
            table.AddNode(id);
            table.SetType(id, 0x80);
        }
        table.AddNode(4);
        table.SetType(4, 0x40);
        QCOMPARE(table.CountLoggers(), 3);
        QCOMPARE(table.SetGprsSlot(3, 0), 1);
        QCOMPARE(table.SetGprsSlot(2, 0), 1);
        table.AddNode(5);
        table.SetType(5, 0x88);
        QCOMPARE(table.CountLoggers(), 4);
        QCOMPARE(table.SetGprsSlot(1, 3), 1);
        // Re-counting: 5 is not a logger any more, so slot 3 is out of the list.
        table.SetType(5, 0x04);
        QCOMPARE(table.AssignGprsSlots(), 1);
        QCOMPARE(table.GetLoggerCount(), 3);
        QCOMPARE(table.GetGprsSlot(3), 0);
        QCOMPARE(table.GetGprsSlot(2), -1); // the second holder of slot 0
        QCOMPARE(table.GetGprsSlot(1), -1);
        QCOMPARE(table.FirstLoggerWithoutSlot(), 2);

        QCOMPARE(table.SetGprsSlot(2, 1), 1);
        QCOMPARE(table.SetGprsSlot(1, 2), 1);
        QCOMPARE(table.AssignGprsSlots(), -1);
        QCOMPARE(table.FirstLoggerWithoutSlot(), -1);
    }

    void countingAndResets()
    {
        CCorvaneBeeNode table;
        const std::pair<int, quint8> nodes[] = {{1, 0x40}, {2, 0x04}, {3, 0x80}, {4, 0x8C}};
        for (const auto &[id, type] : nodes) {
            table.AddNode(id);
            table.SetType(id, type);
            table.SetStatus(id, 0x06);
            table.SetShortAddress(id, 0x100 + id);
            table.SetRtTimeout(id, 60);
        }
        table.CountLoggers();
        table.SetGprsSlot(3, 0);
        table.AddRtSample(3, 100, 20.0f, 0.0f);
        table.SetPhoneListState(1);

        table.MoveFirst();
        QCOMPARE(table.ResetLive(1), 0);
        QCOMPARE(table.IsEOF(), 1);
        QCOMPARE(table.GetShortAddress(1), 0x101); // the receiver is spared
        for (int id : {2, 3, 4})
            QCOMPARE(table.GetStatus(id), quint8(0x0F));
        QCOMPARE(table.GetGprsSlot(3), 0);
        QCOMPARE(table.GetPhoneListState(), 1);
        QCOMPARE(table.CountUnreached(), 3);

        QCOMPARE(table.ResetLive(0), 0);
        QCOMPARE(table.GetPhoneListState(), -1);
        for (int id : {1, 2, 3, 4}) {
            QCOMPARE(table.GetShortAddress(id), -1);
            QCOMPARE(table.GetRtTimeout(id), qint64(3600));
            QCOMPARE(table.GetGprsSlot(id), -1);
        }
        QCOMPARE(table.GetRtCount(3), 1); // samples are kept
        QCOMPARE(table.CountUnreached(), 3);
    }
};

QTEST_GUILESS_MAIN(TestBeeNode)
#include "test_beenode.moc"
