#include "base/CvTime.h"

#include <QDateTime>
#include <QtTest>

// Runs with TZ=Europe/Berlin so that daylight-saving changes are exercised.
class TestCvTime : public QObject {
    Q_OBJECT
private slots:
    void roundTripsAcrossDaylightSaving_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("hour");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("summer") << 2014 << 7 << 15 << 12 << qint64(1405418400);
        QTest::newRow("leap day") << 2016 << 2 << 29 << 0 << qint64(1456700400);
    }
    void roundTripsAcrossDaylightSaving()
    {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(int, hour);
        const CvTime::LocalFields f{year, month, day, hour, 0, 0};
        const auto secs = CvTime::FromLocal(f);
        QVERIFY(secs.has_value());
        QTEST(*secs, "expected");
        QVERIFY(CvTime::ToLocal(*secs) == f);
    }
    // The cached offset follows daylight saving: minutes around each change, and days away from
    // it, each reached right after a time half a year away, read as Qt's own local time does.
    void followsDaylightSaving_data()
    {
        QTest::addColumn<qint64>("change");
        QTest::newRow("spring 2014") << qint64(1396141200); // 2014-03-30 01:00 UTC
        QTest::newRow("autumn 2014") << qint64(1414285200); // 2014-10-26 01:00 UTC
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

    // A changed TZ is followed at the next conversion, in both directions and in both seasons.
    void followsAChangedZone_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<int>("winterHour"); // of 2014-01-15 11:00 UTC
        QTest::addColumn<int>("summerHour"); // of 2014-07-15 11:00 UTC
        QTest::newRow("Shanghai") << QByteArray("Asia/Shanghai") << 19 << 19;
        QTest::newRow("New York") << QByteArray("America/New_York") << 6 << 7;
    }
    void followsAChangedZone()
    {
        QFETCH(QByteArray, zone);
        QFETCH(int, winterHour);
        QFETCH(int, summerHour);
        const qint64 winter = 1389783600;
        const qint64 summer = 1405422000;
        (void)CvTime::ToLocal(winter); // the previous row's zone is cached
        qputenv("TZ", zone);
        QCOMPARE(CvTime::ToLocal(winter).hour, winterHour);
        QCOMPARE(CvTime::FromLocal({2014, 7, 15, summerHour, 0, 0}), summer);
        QCOMPARE(CvTime::ToLocal(summer).hour, summerHour);
        QCOMPARE(CvTime::FromLocal({2014, 1, 15, winterHour, 0, 0}), winter);
    }
    void cleanup() { qputenv("TZ", "Europe/Berlin"); }

    void rejectsInvalidFields()
    {
        QVERIFY(!CvTime::FromLocal({2014, 13, 1, 0, 0, 0}).has_value());
        QVERIFY(!CvTime::FromLocal({2014, 2, 30, 0, 0, 0}).has_value());
        QVERIFY(!CvTime::FromLocal({2014, 1, 1, 24, 0, 0}).has_value());
        QVERIFY(!CvTime::FromLocal({2014, 1, 1, 0, 60, 0}).has_value());
    }
    void formatsListTexts()
    {
        QCOMPARE(CvTime::FormatDateTime(1389783605), QStringLiteral("2014-1-15 12:00:05"));
        QCOMPARE(CvTime::FormatSpan(3661), QStringLiteral("01:01:01"));
        QCOMPARE(CvTime::FormatSpan(0), QStringLiteral("00:00:00"));
        QCOMPARE(CvTime::FormatSpan(360000), QStringLiteral("100:00:00"));
    }
};

QTEST_GUILESS_MAIN(TestCvTime)
#include "test_cvtime.moc"
