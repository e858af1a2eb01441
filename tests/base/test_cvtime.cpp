#include "base/CvTime.h"

#include <QDateTime>
#include <QtTest>

// Runs with TZ=Europe/Berlin so that daylight-saving changes are exercised.
class TestCvTime : public QObject {
    Q_OBJECT
private slots:
    void leapDayRoundTrips()
    {
        const CvTime::LocalFields f{2016, 2, 29, 0, 0, 0};
        QCOMPARE(CvTime::FromLocal(f), qint64(1456700400));
        QVERIFY(CvTime::ToLocal(1456700400) == f);
    }
    // The cached offset follows daylight saving: minutes around each change, and days away from
    // it, each reached right after a time half a year away, read as Qt's own local time does.
    void followsDaylightSaving_data()
    {
        QTest::addColumn<qint64>("change");
        QTest::newRow("spring 2014") << qint64(1396141200); // 2014-03-30 01:00 UTC
        QTest::newRow("autumn 2037") << qint64(2140045200); // beyond the zone file's table
    }
    void followsDaylightSaving()
    {
        QFETCH(qint64, change);
        QList<qint64> times{change - 3 * 86400, change + 3 * 86400};
        for (qint64 t = change - 3600; t <= change + 3600; t += 60)
            times << t;
        for (const qint64 t : times) {
            for (const qint64 away : {t - 180 * 86400, t + 180 * 86400}) {
                (void)CvTime::ToLocal(away);
                const QDateTime expected = QDateTime::fromSecsSinceEpoch(t, Qt::LocalTime);
                const CvTime::LocalFields f = CvTime::ToLocal(t);
                QCOMPARE(QDateTime(QDate(f.year, f.month, f.day), QTime(f.hour, f.minute, f.second)),
                         QDateTime(expected.date(), expected.time()));
                (void)CvTime::ToLocal(away);
                QCOMPARE(CvTime::FromLocal(f),
                         QDateTime(expected.date(), expected.time(), Qt::LocalTime).toSecsSinceEpoch());
            }
        }
    }

    // The cached zone is dropped when TZ changes: the next conversion already reads the new zone.
    void followsAChangedZone()
    {
        const qint64 winter = 1389783600; // 2014-01-15 11:00 UTC
        const qint64 summer = 1405422000; // 2014-07-15 11:00 UTC
        QCOMPARE(CvTime::ToLocal(winter).hour, 12);
        qputenv("TZ", "America/New_York");
        QCOMPARE(CvTime::ToLocal(winter).hour, 6);
        QCOMPARE(CvTime::FromLocal({2014, 7, 15, 7, 0, 0}), summer);
        qputenv("TZ", "Europe/Berlin");
        QCOMPARE(CvTime::ToLocal(summer).hour, 13);
    }

    void rejectsInvalidFields()
    {
        QVERIFY(!CvTime::FromLocal({2014, 13, 1, 0, 0, 0}).has_value());
        QVERIFY(!CvTime::FromLocal({2014, 2, 30, 0, 0, 0}).has_value());
        QVERIFY(!CvTime::FromLocal({2014, 1, 1, 24, 0, 0}).has_value());
        QVERIFY(!CvTime::FromLocal({2014, 1, 1, 0, 60, 0}).has_value());
    }
    void formatsListTexts()
    {
        QCOMPARE(CvTime::FormatSpan(3661), QStringLiteral("01:01:01"));
        QCOMPARE(CvTime::FormatSpan(0), QStringLiteral("00:00:00"));
        QCOMPARE(CvTime::FormatSpan(360000), QStringLiteral("100:00:00"));
    }
};

QTEST_GUILESS_MAIN(TestCvTime)
#include "test_cvtime.moc"
