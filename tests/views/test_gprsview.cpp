// The GPRS tab and the monitor screen on real widgets: opening and typing phone slots, the 475
// refusal, unbinding after timer 1, the lock button's rule, administrator-only editing; the
// monitor's page button and its alarm stop (readings and tile looks run end to end elsewhere).
#include "views/CFormviewGPRS.h"
#include "views/MonitorDialog.h"

#include "ScriptedPrompt.h"
#include "ViewTestKit.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

namespace {

constexpr int kLogger = 2;

} // namespace

class TestGprsView : public QObject {
    Q_OBJECT

    std::unique_ptr<CCorvaneODBC> m_db;
    std::unique_ptr<CCorvaneBeeNode> m_table;
    std::unique_ptr<CFormviewGPRS> m_view;
    viewtest::ScriptedPrompt m_prompt;
    QList<int> m_submitted;
    int m_receiver = 1;

    void Add(int n, quint8 type, const QString &name) { QVERIFY(viewtest::AddNode(*m_db, n, type, 0, name)); }
    // Opens slot k (1-based) by the drop-down list and its button, types and presses Enter.
    void Type(int k, const QString &text)
    {
        m_view->SlotChoice()->setCurrentIndex(k - 1);
        m_view->OpenButton()->click();
        QLineEdit *edit = m_view->PhoneEdit(k - 1);
        QVERIFY(!edit->isReadOnly());
        edit->clear();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(edit->isReadOnly());
    }
    void MakeView(bool administrator)
    {
        m_view = std::make_unique<CFormviewGPRS>(
            *m_table, *m_db, [this] { return m_receiver; },
            [this](RequestKind kind) {
                m_submitted << KindNumber(kind);
                return 1;
            },
            &m_prompt);
        m_view->SetAdministrator(administrator);
    }

private slots:
    void initTestCase() { QVERIFY(viewtest::UseChineseHome()); }

    void init()
    {
        m_db = viewtest::FreshDatabase(QStringLiteral("gprsview"));
        QVERIFY(m_db);
        m_table = std::make_unique<CCorvaneBeeNode>();
        Add(1, 0x40, QStringLiteral("Gate"));
        Add(kLogger, 0x80, QStringLiteral("Fridge"));
        (void)LoadNetworkTable(*m_db, *m_table);
        m_prompt = viewtest::ScriptedPrompt();
        m_submitted.clear();
        m_receiver = 1;
        MakeView(true);
    }

    void duplicateNumberRefused()
    {
        Type(3, QStringLiteral("13800000003"));
        Type(5, QStringLiteral("13800000003"));
        QCOMPARE(m_prompt.shown, QStringList{QStringLiteral("手机号已存在。\n13800000003")});
        QCOMPARE(m_view->PhoneEdit(4)->text(), QString());
    }

    void sameNumberStartsNoTimer()
    {
        Type(3, QStringLiteral("13800000003"));
        QVERIFY(m_view->ApplyPending());
        QTRY_VERIFY(!m_view->ApplyPending());
        Type(3, QStringLiteral("13800000003"));
        QVERIFY(!m_view->ApplyPending());
        QVERIFY(m_prompt.shown.isEmpty());
    }

    void emptiedSlotUnbindsAfterTimer()
    {
        Type(3, QStringLiteral("13800000003"));
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        QTableView *loggers = m_view->LoggerList();
        QTest::mouseClick(loggers->viewport(), Qt::LeftButton, {},
                          loggers->visualRect(loggers->model()->index(0, 1)).center());
        GprsBindingModel &bindings = m_view->Bindings();
        QCOMPARE(bindings.Logger(), kLogger);
        QVERIFY(bindings.setData(bindings.index(2, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(bindings.setData(bindings.index(6, 0), Qt::Checked, Qt::CheckStateRole)); // empty slot 7
        QCOMPARE(bindings.index(6, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(m_table->GetGprsBindMask(kLogger), 0x4u);
        QTRY_VERIFY(!m_view->ApplyPending());
        Type(3, QString());
        QCOMPARE(m_table->GetGprsBindMask(kLogger), 0x4u);
        QTRY_COMPARE(m_table->GetGprsBindMask(kLogger), 0u);
        QCOMPARE(bindings.index(2, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    }

    void lockButton()
    {
        QVERIFY(m_view->LockButton()->isEnabled()); // the logger has no entry in the receiver yet
        m_prompt.yes = false;
        m_view->LockButton()->click();
        QVERIFY(m_submitted.isEmpty());
        m_prompt.yes = true;
        m_view->LockButton()->click();
        QCOMPARE(m_prompt.questions.size(), 2);
        QCOMPARE(m_submitted, QList<int>{KindNumber(RequestKind::GprsLock)});
        QVERIFY(!m_view->LockButton()->isEnabled());
        m_view->Reload(); // the lock's end
        QVERIFY(m_view->LockButton()->isEnabled());
    }

    void editingRights_data()
    {
        QTest::addColumn<bool>("administrator");
        QTest::addColumn<int>("receiver");
        QTest::addColumn<bool>("canEdit");
        QTest::newRow("administrator") << true << 1 << true;
        QTest::newRow("ordinary user") << false << 1 << false;
        QTest::newRow("no receiver") << true << -1 << false;
    }
    void editingRights()
    {
        QFETCH(bool, administrator);
        QFETCH(int, receiver);
        QFETCH(bool, canEdit);
        m_receiver = receiver;
        MakeView(administrator);
        QCOMPARE(m_view->OpenButton()->isEnabled(), canEdit);
        QCOMPARE(m_view->LockButton()->isEnabled(), canEdit);
        m_view->OpenSlot();
        QCOMPARE(m_view->PhoneEdit(0)->isReadOnly(), !canEdit);
    }

    void monitorPageAndStop()
    {
        CCorvaneBeeNode table;
        std::vector<MonitorTiles::Source> loggers;
        for (int id = 1; id <= 31; ++id) {
            table.AddNode(id);
            table.SetType(id, 0x80);
            loggers.push_back({id, QStringLiteral("L%1").arg(id)});
        }
        MonitorDialog monitor(table, loggers, [] { return qint64(0); });
        QCOMPARE(monitor.geometry(), monitor.screen()->availableGeometry());
        monitor.NextButton()->click();
        QVERIFY(monitor.Tile(1)->isHidden()); // page 2 holds logger 31 alone
        QSignalSpy stop(&monitor, &MonitorDialog::stopAlarmWanted);
        monitor.findChild<QPushButton *>(QStringLiteral("btn1282"))->click();
        QCOMPARE(stop.count(), 1);
    }
};

QTEST_MAIN(TestGprsView)
#include "test_gprsview.moc"
