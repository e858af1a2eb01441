#include "views/core/ListTexts.h"
#include "views/core/ManagerCells.h"
#include "views/core/ManagerCommands.h"

#include "ViewTestKit.h"
#include "network/BeeNodeItem.h"
#include "storage/CCorvaneNetMger.h"

#include <QtTest>

using viewtest::At;

namespace {

const QString kFahrenheit = QStringLiteral("°F");

NodeRow Row(quint8 type)
{
    NodeRow row;
    row.id = 7;
    row.name = QStringLiteral("冷库1");
    row.extaddress = QStringLiteral("00124b0001a2b3c4");
    row.type = type;
    row.channel1_lower = row.channel1_upper = row.channel2_lower = row.channel2_upper = -2000.0f;
    return row;
}

BeeNodeItem Live(quint8 type, quint8 status, quint8 faults = 0)
{
    BeeNodeItem item(7);
    item.type = type;
    item.status = status;
    item.faultFlags = faults;
    return item;
}

} // namespace

// The texts, pictures and colours of the management list, and the log texts of its commands.
class TestManagerCells : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { AppSettings::Instance().SetLanguage(UiLanguage::Chinese); }

    void runStateText_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("faults");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("picture");
        QTest::addColumn<QColor>("colour");
        const QColor violet(0xAA, 0x1E, 0xFA), green(0x1E, 0x82, 0x14), black(Qt::black);
        QTest::newRow("receiver connected")
            << 0x40 << 0x01 << 0 << "已连接" << int(StatePicture::ReceiverConnected) << violet;
        QTest::newRow("sensor 1") << 0x80 << 0x02 << 0x04 << "异常：传感器1" << int(StatePicture::LoggerKnown)
                                  << green;
        QTest::newRow("radio, state unknown")
            << 0x80 << 0x03 << 0x20 << "异常：射频连接" << int(StatePicture::LoggerUnknown) << black;
        QTest::newRow("two faults at once")
            << 0x88 << 0x02 << 0x0C << "已启动" << int(StatePicture::LoggerKnown) << green;
    }
    void runStateText()
    {
        QFETCH(int, type);
        QFETCH(int, status);
        QFETCH(int, faults);
        const NodeRow row = Row(quint8(type));
        const BeeNodeItem live = Live(quint8(type), quint8(status), quint8(faults));
        const ManagerCells cells(row, live, QString(), QString());
        QTEST(cells.Text(MgrColRunState), "text");
        QTEST(int(cells.State()), "picture");
        QTEST(cells.RowColour(), "colour");
    }

    void loggerColumns_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("interval");
        QTest::addColumn<QString>("ch2Unit");
        QTest::addColumn<QStringList>("texts"); // start, alarm setting, stop, interval, channel 1, 2
        const QString start = QStringLiteral("2024-3-5 08:00:00"), stop = QStringLiteral("2024-3-6 09:07:05");
        QTest::newRow("dual, stopped, lower unset")
            << 0x88 << 0x04 << 90000 << kFahrenheit
            << QStringList{start, "已设置", stop, "01:00:00", "[ , 86.00]°F", "[22.10, 54.05]°F"};
        QTest::newRow("humidity not converted")
            << 0x8C << 0x04 << 1 << QStringLiteral("%RH")
            << QStringList{start, "已设置", stop, "00:00:01", "[ , 86.00]°F", "[-5.50, 12.25]%RH"};
        QTest::newRow("pre-start hides stop, alarm unset")
            << 0x80 << 0x01 << 3661 << QString() << QStringList{start, "未设置", "", "01:01:01", "", ""};
        QTest::newRow("alarm state 8")
            << 0x88 << 0x08 << 1 << kFahrenheit << QStringList{start, "", stop, "00:00:01", "", ""};
        QTest::newRow("router shows none")
            << 0x04 << 0x04 << 90000 << QString() << QStringList{"", "", "", "", "", ""};
    }
    void loggerColumns()
    {
        QFETCH(int, type);
        QFETCH(int, status);
        QFETCH(int, interval);
        QFETCH(QString, ch2Unit);
        NodeRow row = Row(quint8(type));
        row.startTime = At(2024, 3, 5, 8, 0, 0);
        row.endTime = At(2024, 3, 6, 9, 7, 5);
        row.sampleCap = interval;
        row.channel1_upper = 30.0f;
        row.channel2_lower = -5.5f;
        row.channel2_upper = 12.25f;
        const BeeNodeItem live = Live(quint8(type), quint8(status));
        const ManagerCells cells(row, live, kFahrenheit, ch2Unit);
        QStringList texts;
        for (const int c : {MgrColStartTime, MgrColAlarmSetting, MgrColStopTime, MgrColInterval,
                            MgrColCh1Alarm, MgrColCh2Alarm})
            texts << cells.Text(c);
        QTEST(texts, "texts");
    }

    void pictures_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("rf");
        QTest::addColumn<int>("power");
        QTest::addColumn<int>("rfPicture");
        QTest::addColumn<int>("powerPicture");
        using P = PowerPicture;
        QTest::newRow("-74 is good") << 0x80 << -74 << 3 << int(RfPicture::Rf3) << int(P::Power3);
        QTest::newRow("-75 is weak") << 0x80 << -75 << 2 << int(RfPicture::Rf2) << int(P::Power2);
        QTest::newRow("-85 weakest") << 0x80 << -85 << 9 << int(RfPicture::Rf1) << int(P::Power1);
        QTest::newRow("unknown levels") << 0x80 << 50 << 0 << int(RfPicture::None) << int(P::None);
        QTest::newRow("router has no battery") << 0x04 << -70 << 3 << int(RfPicture::Rf3) << int(P::None);
        QTest::newRow("receiver has neither") << 0x40 << -70 << 3 << int(RfPicture::None) << int(P::None);
    }
    void pictures()
    {
        QFETCH(int, type);
        QFETCH(int, rf);
        QFETCH(int, power);
        BeeNodeItem live = Live(quint8(type), 0);
        live.rfLevel = rf;
        live.powerLevel = quint8(power);
        const NodeRow row = Row(quint8(type));
        const ManagerCells cells(row, live, QString(), QString());
        QTEST(int(cells.Rf()), "rfPicture");
        QTEST(int(cells.Power()), "powerPicture");
        // The level is read out wherever its picture is shown.
        QCOMPARE(cells.AccessibleText(MgrColRf),
                 cells.Rf() == RfPicture::None ? QString() : QString::number(rf));
    }

    void addresses()
    {
        // Only sixteen lower-case hexadecimal digits name a node.
        QVERIFY(ManagerCommands::IsValidAddress(QStringLiteral("00124b0001a2b3c4")));
        for (const char *bad : {"00124B0001A2B3C4", "00124b0001a2b3c", "00124b0001a2b3cg"})
            QVERIFY2(!ManagerCommands::IsValidAddress(QLatin1String(bad)), bad);
    }
};

QTEST_GUILESS_MAIN(TestManagerCells)
#include "test_managercells.moc"
