// The real-time view wired to a real node table, with a recording submit and a scripted prompt
// that drives the dialogs: new samples redraw the logger shown, the interval dialog's two
// buttons, start and stop on the checked loggers (the cell and cancel rules are tested without
// widgets).
#include "views/CFormviewImme.h"
#include "views/CImmeDialogs.h"
#include "views/CImmePages.h"
#include "views/core/CImmeTextModel.h"
#include "views/core/ImmeCells.h"

#include "ScriptedPrompt.h"
#include "ViewTestKit.h"

#include <QPushButton>
#include <QTableView>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QtTest>

namespace {

constexpr int kDual = 1; // node ids of the fixture
constexpr int kSingle = 2;
constexpr qint64 kT0 = 1700000000;

} // namespace

class TestImmeView : public QObject {
    Q_OBJECT

    std::unique_ptr<CCorvaneODBC> m_db;
    std::unique_ptr<CCorvaneBeeNode> m_table;
    std::unique_ptr<CFormviewImme> m_view;
    viewtest::ScriptedPrompt m_prompt;
    QString m_button;
    int m_confirmed = -1; // the rows the last confirmation listed
    int m_accept = 1;     // what the submit answers
    QList<RequestKind> m_submitted;

    void Select(int id) { m_view->List()->selectRow(m_view->Model().RowOf(id)); }
    void Check(int id) { m_view->Model().SetChecked(m_view->Model().RowOf(id), true); }
    // The interval dialog gets 01:02:05 and a button click; a confirmation is accepted.
    int RunDialog(QDialog &dialog)
    {
        if (auto *setup = qobject_cast<CImmeSetupDlg *>(&dialog)) {
            setup->Picker()->setTime(QTime(1, 2, 5));
            if (auto *button = setup->findChild<QPushButton *>(m_button))
                button->click();
            return setup->result();
        }
        auto *confirm = qobject_cast<CListConfirmDlg *>(&dialog);
        m_confirmed = confirm ? confirm->List()->topLevelItemCount() : -1;
        return QDialog::Accepted;
    }

private slots:
    void initTestCase() { QVERIFY(viewtest::UseChineseHome()); }

    void init()
    {
        m_db = viewtest::FreshDatabase(QStringLiteral("immeview"));
        QVERIFY(m_db);
        m_table = std::make_unique<CCorvaneBeeNode>();
        QVERIFY(viewtest::AddNode(*m_db, kDual, 0x88, 0, QStringLiteral("冷库")));
        QVERIFY(viewtest::AddNode(*m_db, kSingle, 0x80, 0, QStringLiteral("冰箱")));
        (void)LoadNetworkTable(*m_db, *m_table);
        m_submitted.clear();
        m_accept = 1;
        m_prompt.script = [this](QDialog &dialog) { return RunDialog(dialog); };
        m_view = std::make_unique<CFormviewImme>(
            *m_table, *m_db,
            [this](CUartAffairInterface *, RequestKind kind, int) {
                m_submitted << kind;
                return m_accept;
            },
            [](RequestKind, const QString &) { return true; }, &m_prompt);
        // As the main window wires it.
        connect(&m_table->Notifier(), &NetworkNotifier::newSample, m_view.get(), &CFormviewImme::UpdateNode);
        m_view->RefreshList();
    }
    void cleanup() { m_view.reset(); }

    void newSampleRedrawsShown()
    {
        (void)m_table->AddRtSample(kDual, kT0, 20.0f, 30.0f);
        (void)m_table->AddRtSample(kSingle, kT0, 5.0f, 0.0f);
        m_view->ShowNode(kDual);
        (void)m_table->AddRtSample(kDual, kT0 + 10, 22.0f, 30.0f);
        emit m_table->Notifier().newSample(kDual);
        QCOMPARE(m_view->Curve()->Samples().count, 2);
        QCOMPARE(m_view->TextPage()->Model().rowCount(), 2);
        // Another logger's sample updates its row, not the pages.
        (void)m_table->AddRtSample(kSingle, kT0 + 10, 6.0f, 0.0f);
        emit m_table->Notifier().newSample(kSingle);
        QCOMPARE(m_view->Curve()->Samples().count, 2);
        QCOMPARE(m_view->Model().TextAt(m_view->Model().RowOf(kSingle), RtColCh1), QStringLiteral("6.00°C"));
    }

    void changeInterval_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("intervals"); // column 5 of the dual and the single logger
        QTest::newRow("apply") << "btn1061" << QStringList{"", "01:02:05*"};
        QTest::newRow("apply to all checked, selected unchecked")
            << "btn1240" << QStringList{"01:02:05*", "01:02:05*"};
    }
    void changeInterval()
    {
        QFETCH(QString, button);
        m_button = button;
        Check(kDual);
        Select(kSingle); // selected, not checked
        m_view->ChangeInterval();
        const CImmeListModel &model = m_view->Model();
        QTEST((QStringList{model.TextAt(model.RowOf(kDual), RtColInterval),
                           model.TextAt(model.RowOf(kSingle), RtColInterval)}),
              "intervals");
        QVERIFY(model.IsChecked(model.RowOf(kSingle)));
        QVERIFY(m_submitted.isEmpty()); // nothing is sent before a start
    }

    void startAndStop_data()
    {
        QTest::addColumn<bool>("stop");
        QTest::addColumn<int>("accepted");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("interval");
        QTest::newRow("start queued") << false << 1 << 6 << "00:01:40*";
        QTest::newRow("start refused") << false << 0 << 3 << "00:01:40*";
        QTest::newRow("stop queued") << true << 1 << 10 << "*";
    }
    void startAndStop()
    {
        QFETCH(bool, stop);
        QFETCH(int, accepted);
        m_table->SetRtCmdState(kDual, 3);
        m_table->SetRtRequestedInterval(kDual, 100);
        m_view->Model().UpdateNode(kDual);
        Check(kDual);
        m_accept = accepted;
        stop ? m_view->StopRealTime() : m_view->StartRealTime();
        QCOMPARE(m_submitted, QList<RequestKind>{RequestKind::SetRealTime}); // the checked row only
        QTEST(int(m_table->GetRtCmdState(kDual)), "state");
        QTEST(m_view->Model().TextAt(m_view->Model().RowOf(kDual), RtColInterval), "interval");
        QCOMPARE(m_confirmed, 1);
    }
};

QTEST_MAIN(TestImmeView)
#include "test_immeview.moc"
