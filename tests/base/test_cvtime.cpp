#include "base/CvTime.h"

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
        QTest::newRow("winter") << 2014 << 1 << 15 << 12 << qint64(1389783600);
        QTest::newRow("summer") << 2014 << 7 << 15 << 12 << qint64(1405418400);
        QTest::newRow("leap day") << 2016 << 2 << 29 << 0 << qint64(1456700400);
    }
    void roundTripsAcrossDaylightSaving()
    {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(int, hour);
        QFETCH(qint64, expected);
        const CvTime::LocalFields f{year, month, day, hour, 0, 0};
        const auto secs = CvTime::FromLocal(f);
        QVERIFY(secs.has_value());
        QCOMPARE(*secs, expected);
        QVERIFY(CvTime::ToLocal(*secs) == f);
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
        QCOMPARE(CvTime::FormatDateTime(1389783605), QStringLiteral("2014-1-15 12:00:05"));
        QCOMPARE(CvTime::FormatSpan(3661), QStringLiteral("01:01:01"));
        QCOMPARE(CvTime::FormatSpan(0), QStringLiteral("00:00:00"));
        QCOMPARE(CvTime::FormatSpan(360000), QStringLiteral("100:00:00"));
    }
};

QTEST_GUILESS_MAIN(TestCvTime)
#include "test_cvtime.moc"
