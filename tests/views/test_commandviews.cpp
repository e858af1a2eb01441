// The logging command and download views wired to a real node table and the real link queue
// behind the submit, with a scripted prompt and a clock of the test's own (the rules themselves
// are the command rules test's business).
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

using viewtest::At;

class TestCommandViews : public QObject {
    Q_OBJECT

    std::unique_ptr<CCorvaneODBC> m_db;
    std::unique_ptr<CUart_CommApp> m_app;
    viewtest::ScriptedPrompt m_prompt;
    qint64 m_now = 0;
    int m_cancelAsked = 0;

    CFormviewCommand::Submitter Submit()
    {
        return [this](CUartAffairInterface *source, RequestKind kind, int row) {
            return m_app->SubmitCommand(source, kind, row);
        };
    }
    CFormviewCommand::Canceller Cancel()
    {
        return [this](RequestKind kind, const QString &address) {
            ++m_cancelAsked;
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
        const std::pair<int, quint8> nodes[] = {{1, 0x40}, {2, 0x80}, {3, 0x8C}, {4, 0x88}};
        for (const auto &[n, type] : nodes)
            QVERIFY(viewtest::AddNode(*m_db, n, type, 0, QStringLiteral("L%1").arg(n)));
        while (theNodeTable().Size() > 0) {
            theNodeTable().MoveFirst();
            theNodeTable().RemoveNode(theNodeTable().GetCurrentId());
        }
        (void)LoadNetworkTable(*m_db, theNodeTable());
        m_app = std::make_unique<CUart_CommApp>();
        m_app->Link().SetServices(MakeProgramLinkServices(theNodeTable(), *m_db));
        m_app->Port().SetConnectedPort(0);
        m_prompt = viewtest::ScriptedPrompt();
        m_cancelAsked = 0;
        m_now = At(2026, 3, 1, 7, 59, 50);
    }

    void cleanup() { m_app.reset(); }

    void commandPanelApplyAndRefusal()
    {
        CFormviewCommand view(theNodeTable(), *m_db, Submit(), Cancel(), &m_prompt);
        view.SetClock([this] { return m_now; });
        QAbstractItemModelTester tester(&view.Model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        view.RefreshList();
        CCommandListModel &model = view.Model();
        QCOMPARE(model.rowCount(), 3); // the loggers only

        // A past pending start time shows as now.
        theNodeTable().SetLogStartTime(3, m_now - 3600);
        Select(view.List(), model.RowOf(3));
        QCOMPARE(view.SelectedNode(), 3);
        QCOMPARE(Child<QDateTimeEdit>(view, "picker1094")->dateTime().toSecsSinceEpoch(), m_now);

        // Alarm on without limits is refused.
        Child<QCheckBox>(view, "check1088")->setChecked(true);
        QTest::mouseClick(Child<QPushButton>(view, "btn1103"), Qt::LeftButton);
        QCOMPARE(m_prompt.shown, QStringList{QStringLiteral("错误：通道1报警设置")});
        QCOMPARE(int(theNodeTable().GetLogCmdState(3)), 0);

        // Limits typed on the humidity logger, then applied to every checked row.
        Child<QCheckBox>(view, "check1088")->setChecked(true);
        QTest::keyClicks(Child<QLineEdit>(view, "edit1090"), QStringLiteral("1-2..3"));
        QTest::keyClicks(Child<QLineEdit>(view, "edit1089"), QStringLiteral("30"));
        QTest::keyClicks(Child<QLineEdit>(view, "edit1092"), QStringLiteral("20"));
        QTest::keyClicks(Child<QLineEdit>(view, "edit1091"), QStringLiteral("180"));
        QCOMPARE(view.Limits(), (std::array<float, 4>{12.3f, 30.0f, 20.0f, 100.0f}));
        model.SetChecked(model.RowOf(4), true);
        QTest::mouseClick(Child<QPushButton>(view, "btn1241"), Qt::LeftButton);
        QCOMPARE(m_prompt.shown.size(), 1);
        QVERIFY(model.IsChecked(model.RowOf(3))); // the selected row joins the checked ones
        QCOMPARE(model.TextAt(model.RowOf(4), CmdColState), QStringLiteral("仪器参数重新设置"));
        QCOMPARE(model.TextAt(model.RowOf(3), CmdColCh2Alarm), QStringLiteral("[20.00, 100.00]%RH*"));
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

        Select(view.List(), row);
        QTest::mouseClick(Child<QPushButton>(view, "btn1103"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(view, "btn1104"), Qt::LeftButton);
        QCOMPARE(m_app->Link().QueueSize(), 2);
        QCOMPARE(model.TextAt(row, CmdColState), QStringLiteral("仪器参数写入启动"));

        // Selected but not checked: nothing is asked of the link.
        model.SetChecked(row, false);
        QTest::mouseClick(Child<QPushButton>(view, "btn1121"), Qt::LeftButton);
        QCOMPARE(m_cancelAsked, 0);
        model.SetChecked(row, true);
        QTest::mouseClick(Child<QPushButton>(view, "btn1121"), Qt::LeftButton);
        QCOMPARE(m_app->Link().QueueSize(), 1);
        QCOMPARE(model.TextAt(row, CmdColState), QStringLiteral("仪器参数写入操作已取消"));
    }

    void downloadPlanTimerManualAndCancel()
    {
        CFormviewDownload view(theNodeTable(), *m_db, Submit(), Cancel(), &m_prompt);
        view.SetClock([this] { return m_now; });
        QAbstractItemModelTester tester(&view.Model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        view.RefreshList();
        CDownloadListModel &model = view.Model();
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

        // The plan fires at the first tick inside its minute.
        view.Planner().Tick();
        QCOMPARE(m_app->Link().QueueSize(), 0);
        m_now = At(2026, 3, 1, 8, 0, 3);
        view.Planner().Tick();
        QCOMPARE(m_app->Link().QueueSize(), 1);
        QVERIFY(!view.Planner().IsTimerActive()); // running download: not armed again

        // A manual download asks first; the selected row's download is cancelled.
        model.SetChecked(model.RowOf(4), true);
        QTest::mouseClick(Child<QPushButton>(view, "btn1118"), Qt::LeftButton);
        QCOMPARE(m_app->Link().QueueSize(), 2);
        Select(view.List(), model.RowOf(4));
        QTest::mouseClick(Child<QPushButton>(view, "btn1122"), Qt::LeftButton);
        QCOMPARE(m_app->Link().QueueSize(), 1);
        QCOMPARE(model.TextAt(model.RowOf(4), DlColState), QStringLiteral("下载操作已取消"));
    }
};

QTEST_MAIN(TestCommandViews)
#include "test_commandviews.moc"
