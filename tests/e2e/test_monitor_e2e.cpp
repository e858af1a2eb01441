// The monitor screen against the demo network played by the simulator: the loggers' readings
// reach their tiles through the network layer's new-sample notification, the freezer above its
// limit shows the alarm tile, and an unreachable freezer turns to the unreachable tile.
#include "DemoSetup.h"
#include "SimReceiver.h"

#include "base/AppSettings.h"
#include "link/CUart_CommApp.h"
#include "network/CCorvaneBeeNode.h"
#include "network/LinkSession.h"
#include "network/NetworkLoader.h"
#include "network/NetworkNotifier.h"
#include "storage/CCorvaneODBC.h"
#include "storage/HistoryTables.h"
#include "views/MonitorDialog.h"
#include "views/core/GprsRules.h"

#include <QLabel>
#include <QtTest>

namespace {

const QString kFreezer = QStringLiteral("00124b0001d4e5f2");

int TileOf(const MonitorDialog &monitor, int nodeId)
{
    for (int k = 0; k < MonitorTiles::kPerPage; ++k) {
        if (monitor.Page().Tiles()[size_t(k)].nodeId == nodeId)
            return k;
    }
    return -1;
}

} // namespace

class TestMonitorE2e : public QObject {
    Q_OBJECT

private slots:
    void demoReadingsAndFreezerAlarm()
    {
        AppSettings &settings = AppSettings::Instance();
        settings.SetHomeFolder(qEnvironmentVariable("CORVANE_TEST_HOME"));
        settings.SetLanguage(UiLanguage::Chinese);
        settings.SetCurrentTempUnit(settings.CelsiusText());
        CCorvaneODBC &db = theDatabase();
        QString error;
        const QString name = DemoSetup::EnsureDatabase(db, &error);
        QVERIFY2(!name.isEmpty() && db.OpenDatabase(name), qPrintable(error));
        // The demo database comes with each recording logger's samples stored once: the freezer
        // records every 120 s since two hours ago.
        CHistoryStore &history = db.History();
        QVERIFY(history.OpenSummaryTable(kFreezer) && history.MoveLastRecord() && !history.IsRecordEnd());
        QCOMPARE(history.RecordCount(), 1);
        QVERIFY(history.EndTime() - history.StartTime() >= 7200 - 120);
        QCOMPARE((history.EndTime() - history.StartTime()) % 120, qint64(0));
        (void)LoadNetworkTable(db, theNodeTable());
        std::unique_ptr<SimReceiver> sim = DemoSetup::StartReceiver(&error);
        QVERIFY2(sim, qPrintable(error));
        QVERIFY(sim->SetValue(kFreezer, 0, -12.0)); // above the freezer's upper limit of -16 °C

        CUart_CommApp app;
        LinkSession session(app, theNodeTable(), db);
        GprsLoggerModel loggers(theNodeTable(), db);
        loggers.Reload();
        MonitorDialog monitor(theNodeTable(), MonitorTiles::SourcesOf(loggers), [] { return qint64(0); });
        QObject::connect(&session.Notifier(), &NetworkNotifier::newSample, &monitor,
                         &MonitorDialog::OnSample);
        session.SetGivenPorts({sim->SlavePath()});
        session.Connect();
        QTRY_VERIFY_WITH_TIMEOUT(session.State().IsConnected(), 10000);

        const int freezer = db.FindNodeIdByAddress(kFreezer);
        const int tile = TileOf(monitor, freezer);
        QVERIFY(tile >= 0);
        QTRY_COMPARE_WITH_TIMEOUT(monitor.Tile(tile)->Look(), MonitorTiles::Look::Alarm, 90000);
        QVERIFY2(monitor.Tile(tile)->Reading()->text().startsWith(QStringLiteral(" -12.00 °C\n")),
                 qPrintable(monitor.Tile(tile)->Reading()->text()));

        QVERIFY(sim->SetReachable(kFreezer, false));
        theNodeTable().SetStatus(freezer, quint8(theNodeTable().GetStatus(freezer) | 3));
        QTRY_COMPARE_WITH_TIMEOUT(monitor.Tile(tile)->Look(), MonitorTiles::Look::Unreachable, 3500);
        app.Port().ClosePort();
    }
};

QTEST_MAIN(TestMonitorE2e)
#include "test_monitor_e2e.moc"
