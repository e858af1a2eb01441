// The real-time view on a real node table, with a recording submit and cancel and a scripted
// prompt that drives the dialogs: new samples redraw the logger shown, the interval dialog's
// two buttons, start and stop on the checked loggers.
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
    QTime m_pickerTime;
    QString m_button;
    QStringList m_rows; // the last confirmation's list
    int m_accept = 1;   // what the submit answers
    QList<RequestKind> m_submitted;

    void Add(int n, quint8 type, const QString &name) { QVERIFY(viewtest::AddNode(*m_db, n, type, 0, name)); }
    void Select(int id) { m_view->List()->selectRow(m_view->Model().RowOf(id)); }
    void Check(int id) { m_view->Model().SetChecked(m_view->Model().RowOf(id), true); }
    // The interval dialog gets a picker time and a button click; a confirmation is accepted
    // and its list rows kept.
    int RunDialog(QDialog &dialog)
    {
        if (auto *setup = qobject_cast<CImmeSetupDlg *>(&dialog)) {
            setup->Picker()->setTime(m_pickerTime);
            if (auto *button = setup->findChild<QPushButton *>(m_button))
                button->click();
            return setup->result();
        }
        m_rows.clear();
        auto *confirm = qobject_cast<CListConfirmDlg *>(&dialog);
        for (int r = 0; confirm && r < confirm->List()->topLevelItemCount(); ++r) {
            const QTreeWidgetItem *item = confirm->List()->topLevelItem(r);
            m_rows << QStringList{item->text(0), item->text(1), item->text(2)}.join(QLatin1Char('|'));
        }
        return QDialog::Accepted;
    }

private slots:
    void initTestCase() { QVERIFY(viewtest::UseChineseHome()); }

    void init()
    {
        m_db = viewtest::FreshDatabase(QStringLiteral("immeview"));
        QVERIFY(m_db);
        m_table = std::make_unique<CCorvaneBeeNode>();
        Add(1, 0x88, QStringLiteral("冷库"));
        Add(2, 0x80, QStringLiteral("冰箱"));
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
        QCOMPARE(m_view->Curve()->Samples().count, 1);
        for (int i = 1; i <= 2; ++i) {
            (void)m_table->AddRtSample(kDual, kT0 + 10 * i, 21.0f + i, 30.0f);
            emit m_table->Notifier().newSample(kDual);
            QCOMPARE(m_view->Curve()->Samples().count, 1 + i);
            QCOMPARE(m_view->TextPage()->Model().rowCount(), 1 + i);
            QCOMPARE(m_view->PanelTexts().last(),
                     m_view->Model().TextAt(m_view->Model().RowOf(kDual), RtColTime));
            QCOMPARE(m_view->Model().TextAt(m_view->Model().RowOf(kDual), RtColCh1),
                     QStringLiteral("%1.00°C").arg(21 + i));
        }
        // Another logger's sample updates its row, not the pages.
        (void)m_table->AddRtSample(kSingle, kT0 + 10, 6.0f, 0.0f);
        emit m_table->Notifier().newSample(kSingle);
        QCOMPARE(m_view->Curve()->Samples().count, 3);
        QCOMPARE(m_view->Model().TextAt(m_view->Model().RowOf(kSingle), RtColCh1), QStringLiteral("6.00°C"));
    }

    void changeInterval_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QTime>("picked");
        QTest::addColumn<QStringList>("intervals"); // column 5 of the dual and the single logger
        QTest::addColumn<bool>("selectedChecked");
        QTest::newRow("apply") << "btn1061" << QTime(1, 2, 5) << QStringList{"", "01:02:05*"} << true;
        QTest::newRow("apply to all checked, selected unchecked")
            << "btn1240" << QTime(1, 2, 5) << QStringList{"01:02:05*", "01:02:05*"} << true;
        QTest::newRow("00:00:00 ignored") << "btn1240" << QTime(0, 0) << QStringList{"", ""} << false;
        QTest::newRow("closed without a button") << "none" << QTime(1, 2, 5) << QStringList{"", ""} << false;
    }
    void changeInterval()
    {
        QFETCH(QString, button);
        QFETCH(QTime, picked);
        m_button = button;
        m_pickerTime = picked;
        Check(kDual);
        Select(kSingle); // selected, not checked
        m_view->ChangeInterval();
        const CImmeListModel &model = m_view->Model();
        QTEST((QStringList{model.TextAt(model.RowOf(kDual), RtColInterval),
                           model.TextAt(model.RowOf(kSingle), RtColInterval)}),
              "intervals");
        QTEST(model.IsChecked(model.RowOf(kSingle)), "selectedChecked");
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
        QTest::newRow("stop refused") << true << 0 << 3 << "*";
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
        QCOMPARE(m_rows, QStringList{QStringLiteral("1|冷库|00:01:40*")});
    }
};

QTEST_MAIN(TestImmeView)
#include "test_immeview.moc"
