// The GPRS tab and the monitor screen wired on real widgets: typing phone slots, the duplicate
// refusal, unbinding after the apply timer, the lock question, administrator-only editing; the
// monitor's page button and its alarm stop (the rules are tested without widgets).
#include "views/CFormviewGPRS.h"
#include "views/MonitorDialog.h"

#include "ScriptedPrompt.h"
#include "ViewTestKit.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
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
            *m_table, *m_db, [] { return 1; },
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
        QVERIFY(viewtest::AddNode(*m_db, 1, 0x40, 0, QStringLiteral("Gate")));
        QVERIFY(viewtest::AddNode(*m_db, kLogger, 0x80, 0, QStringLiteral("Fridge")));
        (void)LoadNetworkTable(*m_db, *m_table);
        m_prompt = viewtest::ScriptedPrompt();
        m_submitted.clear();
        MakeView(true);
    }

    void duplicateRefusedAndEmptiedSlotUnbindsAfterTimer()
    {
        Type(3, QStringLiteral("13800000003"));
        Type(5, QStringLiteral("13800000003"));
        QCOMPARE(m_prompt.shown, QStringList{QStringLiteral("手机号已存在。\n13800000003")});
        QCOMPARE(m_view->PhoneEdit(4)->text(), QString());
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        QTableView *loggers = m_view->LoggerList();
        QTest::mouseClick(loggers->viewport(), Qt::LeftButton, {},
                          loggers->visualRect(loggers->model()->index(0, 1)).center());
        GprsBindingModel &bindings = m_view->Bindings();
        QVERIFY(bindings.setData(bindings.index(2, 0), Qt::Checked, Qt::CheckStateRole));
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
        QCOMPARE(m_submitted, QList<int>{KindNumber(RequestKind::GprsLock)});
        QVERIFY(!m_view->LockButton()->isEnabled());
    }

    void editingRights()
    {
        for (const bool administrator : {true, false}) {
            MakeView(administrator);
            QCOMPARE(m_view->OpenButton()->isEnabled(), administrator);
            QCOMPARE(m_view->LockButton()->isEnabled(), administrator);
            m_view->OpenSlot();
            QCOMPARE(m_view->PhoneEdit(0)->isReadOnly(), !administrator);
        }
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
        monitor.NextButton()->click();
        QVERIFY(monitor.Tile(1)->isHidden()); // page 2 holds logger 31 alone
        QSignalSpy stop(&monitor, &MonitorDialog::stopAlarmWanted);
        monitor.findChild<QPushButton *>(QStringLiteral("btn1282"))->click();
        QCOMPARE(stop.count(), 1);
    }
};

QTEST_MAIN(TestGprsView)
#include "test_gprsview.moc"
