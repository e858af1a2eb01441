// The GPRS book rules over a real node table: phone entries, bindings masked by the phone book,
// when a lock is offered, the rows the lock writes, and the two list models.
#include "views/core/GprsRules.h"

#include "ViewTestKit.h"
#include "network/BeeNodeItem.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

namespace {

constexpr int kReceiver = 1;
constexpr int kLoggerA = 2;
constexpr int kLoggerB = 4;
const QString kHeld = QStringLiteral("13800000003");

} // namespace

class TestGprsRules : public QObject {
    Q_OBJECT

    std::unique_ptr<CCorvaneODBC> m_db;
    std::unique_ptr<CCorvaneBeeNode> m_table;
    std::unique_ptr<GprsBookEditor> m_editor;

    QString Column(int id, int slot)
    {
        return m_db->SeekLookupNode(id) ? m_db->LookupCursor().Row().gprs_bind[size_t(slot)]
                                        : QStringLiteral("?");
    }

private slots:
    void initTestCase() { QVERIFY(viewtest::UseChineseHome()); }

    void init()
    {
        QVERIFY(viewtest::FourNodes(QStringLiteral("gprs"), m_db, m_table));
        // The receiver holds a number in slot index 2.
        QVERIFY(m_db->SeekEditNode(kReceiver) && m_db->EditCursor().Edit());
        m_db->EditCursor().Fields().gprs_bind[2] = kHeld;
        QVERIFY(m_db->EditCursor().Update());
        (void)LoadNetworkTable(*m_db, *m_table);
        m_editor = std::make_unique<GprsBookEditor>(*m_table, *m_db);
        m_editor->SetReceiverId(GprsBookEditor::ReceiverInDatabase(*m_db));
        QCOMPARE(m_editor->ReceiverId(), kReceiver);
        QCOMPARE(m_editor->LoadPhoneBook()[2], kHeld);
    }

    void phoneEntry_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("stored"); // the slot's number and its receiver column afterwards
        QTest::addColumn<int>("listState");
        using E = GprsBookEditor::PhoneEntry;
        QTest::newRow("same number in its own slot") << 2 << kHeld << int(E::Unchanged) << kHeld << -1;
        QTest::newRow("15 digits") << 4 << "123456789012345" << int(E::Changed) << "123456789012345" << 0;
        QTest::newRow("16 digits") << 4 << "1234567890123456" << int(E::Invalid) << "" << -1;
        QTest::newRow("emptying a filled slot") << 2 << "" << int(E::Changed) << "" << 0;
    }
    void phoneEntry()
    {
        QFETCH(int, slot);
        QFETCH(QString, typed);
        QFETCH(int, result);
        QFETCH(QString, stored);
        QCOMPARE(int(m_editor->EnterPhone(slot, typed, nullptr)), result);
        QCOMPARE(m_editor->PhoneText(slot), stored);
        QCOMPARE(Column(kReceiver, slot), stored);
        QTEST(m_table->GetPhoneListState(), "listState");
        QCOMPARE(bool(m_table->GetPhoneMask() & (1u << slot)), !stored.isEmpty());
    }

    void bindingModel_data()
    {
        QTest::addColumn<bool>("receiverKnown");
        QTest::addColumn<int>("slot");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("checked");
        QTest::newRow("filled slot") << true << 2 << true << int(Qt::Checked);
        QTest::newRow("empty slot stays unbound") << true << 7 << true << int(Qt::Unchecked);
        QTest::newRow("no receiver known") << false << 2 << false << int(Qt::Unchecked);
    }
    void bindingModel()
    {
        QFETCH(bool, receiverKnown);
        QFETCH(int, slot);
        QFETCH(bool, accepted);
        GprsBindingModel model(*m_editor, *m_table);
        QAbstractItemModelTester tester(&model);
        QSignalSpy changes(&model, &GprsBindingModel::bindingChanged);
        model.SetAdministrator(true);
        if (!receiverKnown)
            m_editor->SetReceiverId(-1);
        model.SetLogger(kLoggerA);
        QCOMPARE(model.rowCount(), 10);
        QCOMPARE(model.index(2, GprsBindingModel::ColPhone).data().toString(), kHeld);
        QCOMPARE(model.setData(model.index(slot, 0), Qt::Checked, Qt::CheckStateRole), accepted);
        QTEST(model.index(slot, 0).data(Qt::CheckStateRole).toInt(), "checked");
        QCOMPARE(changes.count(), accepted ? 1 : 0);
    }

    void lockWanted()
    {
        // Fresh from the rows: the book's state is unknown and no logger has a receiver entry.
        QVERIFY(m_editor->LockWanted());
        m_table->CountLoggers();
        QCOMPARE(m_table->SetGprsSlot(kLoggerA, 0), 1);
        QCOMPARE(m_table->SetGprsSlot(kLoggerB, 1), 1);
        QVERIFY(!m_editor->LockWanted());
        QCOMPARE(m_editor->EnterPhone(3, QStringLiteral("555"), nullptr),
                 GprsBookEditor::PhoneEntry::Changed);
        QVERIFY(m_editor->LockWanted());
    }

    void lockWritesBindingRows()
    {
        QCOMPARE(m_editor->EnterPhone(0, QStringLiteral("100"), nullptr),
                 GprsBookEditor::PhoneEntry::Changed);
        (void)m_editor->SetBinding(kLoggerA, 0, true);
        (void)m_editor->SetBinding(kLoggerA, 2, true);
        (void)m_editor->SetBinding(kLoggerB, 2, true);
        QVERIFY(m_editor->WriteBindings({kLoggerA, kLoggerB}));
        QCOMPARE(Column(kLoggerA, 1), QString());
        QCOMPARE(Column(kLoggerA, 2), QStringLiteral("OK"));
        // A new run reads the same bindings back.
        CCorvaneBeeNode reloaded;
        (void)LoadNetworkTable(*m_db, reloaded);
        QCOMPARE(reloaded.GetGprsBindMask(kLoggerA), 0x5u);
        QCOMPARE(reloaded.GetGprsBindMask(kLoggerB), 0x4u);
    }

    void loggerListAndRouter()
    {
        GprsLoggerModel model(*m_table, *m_db);
        QAbstractItemModelTester tester(&model);
        model.Reload();
        QCOMPARE(model.rowCount(), 2); // the loggers only
        GprsBindingModel bindings(*m_editor, *m_table);
        bindings.SetAdministrator(true);
        bindings.SetLogger(3); // a router has no bindings
        QCOMPARE(bindings.rowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestGprsRules)
#include "test_gprsrules.moc"
