// The logging command and download views on a real node table, with the real link queue behind
// the submit (its refusals included), a scripted prompt and a clock of the test's own.
#include "views/CFormviewCommand.h"
#include "views/CFormviewDownload.h"
#include "views/core/CommandCells.h"
#include "views/core/DownloadCells.h"
#include "views/core/DownloadPlans.h"

#include "ScriptedPrompt.h"
#include "ViewTestKit.h"

#include "link/CUartAffairLink.h"
#include "link/CUart_CommApp.h"
#include "network/ProgramLinkServices.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QtTest>

using viewtest::Address;
using viewtest::At;

class TestCommandViews : public QObject {
    Q_OBJECT

    std::unique_ptr<CCorvaneODBC> m_db;
    std::unique_ptr<CUart_CommApp> m_app;
    viewtest::ScriptedPrompt m_prompt;
    qint64 m_now = 0;
    QList<QPair<int, QString>> m_cancelAsked;

    void Add(int n, quint8 type, const QString &name, qint32 sampleCap = 0)
    {
        NodeChange change;
        change.mask = NodeChange::ExtAddress | NodeChange::Type | NodeChange::Name | NodeChange::SampleCap |
                      NodeChange::Channel1Lower | NodeChange::Channel1Upper | NodeChange::Channel2Lower |
                      NodeChange::Channel2Upper;
        change.values.extaddress = Address(n);
        change.values.type = type;
        change.values.name = name;
        change.values.sampleCap = sampleCap;
        change.values.channel1_lower = change.values.channel1_upper = -2000.0f;
        change.values.channel2_lower = change.values.channel2_upper = -2000.0f;
        QCOMPARE(m_db->SaveNode(change), 1);
    }
    CFormviewCommand::Submitter Submit()
    {
        return [this](CUartAffairInterface *source, RequestKind kind, int row) {
            return m_app->SubmitCommand(source, kind, row);
        };
    }
    CFormviewCommand::Canceller Cancel()
    {
        return [this](RequestKind kind, const QString &address) {
            m_cancelAsked << qMakePair(KindNumber(kind), address);
            const auto ext = FrameCodec::AddressFromText(address);
            return ext && m_app->Link().CancelQueued(kind, *ext) == 1;
        };
    }
    static void Select(QTableView *list, int row)
    {
        list->selectionModel()->select(list->model()->index(row, 1),
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    template <typename T> static T *Child(QWidget &w, const char *name)
    {
        return w.findChild<T *>(QLatin1String(name));
    }

private slots:
    void initTestCase() { QVERIFY(viewtest::UseChineseHome()); }

    void init()
    {
        AppSettings::Instance().SetCurrentTempUnit(AppSettings::Instance().CelsiusText());
        m_db = viewtest::FreshDatabase(QStringLiteral("views"));
        QVERIFY(m_db);
        Add(1, 0x40, QStringLiteral("接收器"));
        Add(2, 0x80, QStringLiteral("L2"), 0);
        Add(3, 0x8C, QStringLiteral("L3"), 600);
        Add(4, 0x88, QStringLiteral("L4"), 0);
        while (theNodeTable().Size() > 0) {
            theNodeTable().MoveFirst();
            theNodeTable().RemoveNode(theNodeTable().GetCurrentId());
        }
        (void)LoadNetworkTable(*m_db, theNodeTable());
        m_app = std::make_unique<CUart_CommApp>();
        m_app->Link().SetServices(MakeProgramLinkServices(theNodeTable(), *m_db));
        m_app->Port().SetConnectedPort(0);
        m_prompt = viewtest::ScriptedPrompt();
        m_cancelAsked.clear();
        m_now = At(2026, 3, 1, 7, 59, 50);
    }

    void cleanup() { m_app.reset(); }

    void commandListPanelAndApplyToChecked()
    {
        CFormviewCommand view(theNodeTable(), *m_db, Submit(), Cancel(), &m_prompt);
        view.SetClock([this] { return m_now; });
        QAbstractItemModelTester tester(&view.Model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        view.RefreshList();
        CCommandListModel &model = view.Model();
        QCOMPARE(model.rowCount(), 3); // the loggers only

        // A past pending start time shows as now; the node table's interval otherwise.
        const int l2 = model.RowOf(2);
        theNodeTable().SetLogStartTime(2, m_now - 3600);
        Select(view.List(), l2);
        QCOMPARE(view.SelectedNode(), 2);
        QCOMPARE(Child<QDateTimeEdit>(view, "picker1094")
                     ->dateTime()
                     .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                 QStringLiteral("2026-03-01 07:59:50"));
        QVERIFY(!Child<QLineEdit>(view, "edit1092")->isEnabled());
        Select(view.List(), model.RowOf(3));
        QCOMPARE(Child<QTimeEdit>(view, "picker1095")->time(), QTime(0, 10, 0));

        // Limits typed on the humidity logger, then applied to every checked row.
        Child<QCheckBox>(view, "check1088")->setChecked(true);
        QTest::keyClicks(Child<QLineEdit>(view, "edit1090"), QStringLiteral("1-2..3"));
        QTest::keyClicks(Child<QLineEdit>(view, "edit1089"), QStringLiteral("30"));
        QTest::keyClicks(Child<QLineEdit>(view, "edit1092"), QStringLiteral("20"));
        QTest::keyClicks(Child<QLineEdit>(view, "edit1091"), QStringLiteral("180"));
        QCOMPARE(view.Limits(), (std::array<float, 4>{12.3f, 30.0f, 20.0f, 100.0f}));
        model.SetChecked(l2, true);
        model.SetChecked(model.RowOf(4), true);
        QTest::mouseClick(Child<QPushButton>(view, "btn1241"), Qt::LeftButton);
        QVERIFY(m_prompt.shown.isEmpty());
        for (const int id : {2, 3, 4}) {
            const int row = model.RowOf(id);
            QVERIFY(model.IsChecked(row));
            QCOMPARE(model.TextAt(row, CmdColState), QStringLiteral("仪器参数重新设置"));
            QVERIFY(model.TextAt(row, CmdColCheck).startsWith(QLatin1Char('*')));
        }
        QCOMPARE(model.TextAt(model.RowOf(3), CmdColCh2Alarm), QStringLiteral("[20.00, 100.00]%RH*"));
        QCOMPARE(model.TextAt(l2, CmdColCh2Alarm), QString());
    }

    void refusedApply()
    {
        CFormviewCommand view(theNodeTable(), *m_db, Submit(), Cancel(), &m_prompt);
        view.RefreshList();
        Select(view.List(), view.Model().RowOf(2));
        Child<QCheckBox>(view, "check1088")->setChecked(true);
        QTest::mouseClick(Child<QPushButton>(view, "btn1103"), Qt::LeftButton);
        QCOMPARE(m_prompt.shown, QStringList{QStringLiteral("错误：通道1报警设置")});
        QCOMPARE(int(theNodeTable().GetLogCmdState(2)), 0);
    }

    void startNeedsApplyAndCancelNeedsACheck()
    {
        CFormviewCommand view(theNodeTable(), *m_db, Submit(), Cancel(), &m_prompt);
        view.RefreshList();
        CCommandListModel &model = view.Model();
        QCOMPARE(m_app->SubmitCommand(nullptr, RequestKind::Scan, 0), 1); // a scan at the head of the queue
        const int row = model.RowOf(4);
        model.SetChecked(row, true);
        QTest::mouseClick(Child<QPushButton>(view, "btn1104"), Qt::LeftButton);
        QCOMPARE(m_prompt.dialogs, QStringList{QStringLiteral("CCommandStartDlg")});
        QCOMPARE(m_app->Link().QueueSize(), 1); // never applied: start time and interval 0
        QCOMPARE(int(theNodeTable().GetLogCmdState(4)), 0);
        // Enter acts on a focused command button only.
        QTest::keyClick(view.List(), Qt::Key_Return);
        QTest::keyClick(Child<QPushButton>(view, "btn1241"), Qt::Key_Return);
        QCOMPARE(m_prompt.dialogs.size(), 1);
        m_prompt.result = QDialog::Rejected;
        QTest::keyClick(Child<QPushButton>(view, "btn1105"), Qt::Key_Return);
        QCOMPARE(m_prompt.dialogs.last(), QStringLiteral("CCommandStopDlg"));
        m_prompt.result = QDialog::Accepted;

        Select(view.List(), row);
        QTest::mouseClick(Child<QPushButton>(view, "btn1103"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(view, "btn1104"), Qt::LeftButton);
        QCOMPARE(m_app->Link().QueueSize(), 2);
        QCOMPARE(model.TextAt(row, CmdColState), QStringLiteral("仪器参数写入启动"));

        // Selected but not checked: nothing is asked of the link.
        model.SetChecked(row, false);
        QTest::mouseClick(Child<QPushButton>(view, "btn1121"), Qt::LeftButton);
        QVERIFY(m_cancelAsked.isEmpty());
        model.SetChecked(row, true);
        QTest::mouseClick(Child<QPushButton>(view, "btn1121"), Qt::LeftButton);
        QCOMPARE(m_cancelAsked.size(), 3);
        QCOMPARE(m_app->Link().QueueSize(), 1);
        QCOMPARE(model.TextAt(row, CmdColState), QStringLiteral("仪器参数写入操作已取消"));
    }

    void downloadPlansModesAndTimer()
    {
        CFormviewDownload view(theNodeTable(), *m_db, Submit(), Cancel(), &m_prompt);
        view.SetClock([this] { return m_now; });
        QAbstractItemModelTester tester(&view.Model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        view.RefreshList();
        CDownloadListModel &model = view.Model();
        QCOMPARE(model.rowCount(), 3);
        const int row = model.RowOf(3);
        Select(view.List(), row);

        // A single plan in the past is refused; a daily one at 08:00:00 arms the timer.
        Child<QRadioButton>(view, "radio1110")->click();
        QTest::mouseClick(Child<QPushButton>(view, "btn1117"), Qt::LeftButton); // picker at now
        QCOMPARE(m_prompt.shown, QStringList{QStringLiteral("错误：指定时间无效")});
        Child<QRadioButton>(view, "radio1109")->click();
        Child<QDateTimeEdit>(view, "picker1111")->setTime(QTime(8, 0, 0));
        QTest::mouseClick(Child<QPushButton>(view, "btn1117"), Qt::LeftButton);
        QCOMPARE(model.TextAt(row, DlColPlan), QStringLiteral("下载时间:每天  08:00:00"));
        QVERIFY(view.Planner().IsTimerActive());

        // An equal range is refused.
        Child<QRadioButton>(view, "radio1171")->click();
        QTest::mouseClick(Child<QPushButton>(view, "btn1174"), Qt::LeftButton);
        QCOMPARE(m_prompt.shown.size(), 2);

        // The plan fires once at the first tick inside its minute.
        view.Planner().Tick();
        QCOMPARE(m_app->Link().QueueSize(), 0);
        m_now = At(2026, 3, 1, 8, 0, 3);
        view.Planner().Tick();
        QCOMPARE(m_app->Link().QueueSize(), 1);
        QCOMPARE(model.TextAt(row, DlColState), QStringLiteral("下载启动"));
        QVERIFY(model.TextAt(row, DlColCheck).startsWith(QLatin1Char('*')));
        QVERIFY(!view.Planner().IsTimerActive()); // running download: not armed again
        m_app->Link().ClearQueue();
        theNodeTable().SetDownloadCmdState(3, 16);
        view.UpdateNode(3);
        QVERIFY(view.Planner().IsTimerActive());
        m_now += 5;
        view.Planner().Tick();
        QCOMPARE(m_app->Link().QueueSize(), 0);

        // No plan: the last entry leaves and the timer stops.
        Select(view.List(), row);
        Child<QRadioButton>(view, "radio1108")->click();
        QTest::mouseClick(Child<QPushButton>(view, "btn1117"), Qt::LeftButton);
        QVERIFY(view.Planner().Plans().IsEmpty());
        QVERIFY(!view.Planner().IsTimerActive());
    }

    void manualDownloadAndCancel()
    {
        CFormviewDownload view(theNodeTable(), *m_db, Submit(), Cancel(), &m_prompt);
        view.RefreshList();
        CDownloadListModel &model = view.Model();
        QTest::mouseClick(Child<QPushButton>(view, "btn1118"), Qt::LeftButton);
        QVERIFY(m_prompt.dialogs.isEmpty()); // nothing checked
        model.SetChecked(model.RowOf(2), true);
        model.SetChecked(model.RowOf(4), true);
        m_prompt.result = QDialog::Rejected;
        QTest::mouseClick(Child<QPushButton>(view, "btn1118"), Qt::LeftButton);
        QCOMPARE(m_app->Link().QueueSize(), 0);
        m_prompt.result = QDialog::Accepted;
        QTest::mouseClick(Child<QPushButton>(view, "btn1118"), Qt::LeftButton);
        QCOMPARE(m_app->Link().QueueSize(), 2);
        QCOMPARE(int(theNodeTable().GetDownloadCmdState(4)), 6);
        Select(view.List(), model.RowOf(4));
        QTest::mouseClick(Child<QPushButton>(view, "btn1122"), Qt::LeftButton);
        QCOMPARE(m_app->Link().QueueSize(), 1);
        QCOMPARE(model.TextAt(model.RowOf(4), DlColState), QStringLiteral("下载操作已取消"));
    }
};

QTEST_MAIN(TestCommandViews)
#include "test_commandviews.moc"
