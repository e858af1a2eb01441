// The management view and its add dialog, driven through their widgets.
#include "views/CDelBeeDlg.h"
#include "views/CFormviewManager.h"
#include "views/CNewBeeDlg.h"
#include "views/CRenameDlg.h"
#include "views/core/CManagerListModel.h"

#include "ScriptedPrompt.h"
#include "ViewTestKit.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>
#include <QtTest>

using viewtest::Address;

namespace {

// Fills the add dialog as an operator would, part by part.
std::function<int(QDialog &)> AddAnswer(const QString &name, int typeIndex, const QString &address)
{
    return [=](QDialog &dialog) {
        dialog.findChild<QLineEdit *>(QStringLiteral("edit1034"))->setText(name);
        dialog.findChild<QComboBox *>(QStringLiteral("combo1035"))->setCurrentIndex(typeIndex);
        for (int i = 0; i < 4; ++i)
            dialog.findChild<QLineEdit *>(QStringLiteral("edit%1").arg(1036 + i))
                ->setText(address.mid(4 * i, 4));
        return int(QDialog::Accepted);
    };
}

struct Submitted {
    CUartAffairInterface *source;
    RequestKind kind;
    int row;
};

} // namespace

class TestManagerView : public QObject {
    Q_OBJECT

    std::unique_ptr<CCorvaneODBC> m_db;
    std::unique_ptr<CCorvaneBeeNode> m_table;
    std::unique_ptr<viewtest::ScriptedPrompt> m_prompt;
    QList<Submitted> m_submitted;
    QStringList m_log;

    std::unique_ptr<CFormviewManager> MakeView()
    {
        m_prompt = std::make_unique<viewtest::ScriptedPrompt>();
        m_prompt->result = QDialog::Rejected;
        auto view = std::make_unique<CFormviewManager>(
            *m_table, *m_db,
            [this](CUartAffairInterface *source, RequestKind kind, int row) {
                m_submitted << Submitted{source, kind, row};
                return 1;
            },
            m_prompt.get());
        view->SetMessageSink([this](MessageKind kind, const QString &text) {
            m_log << TypeWord(kind) + QLatin1Char('|') + text;
        });
        view->RebuildTree();
        return view;
    }
    void Add(int n, quint8 type, int father, const QString &name)
    {
        QVERIFY(viewtest::AddNode(*m_db, n, type, father, name));
    }
    static void SelectRows(QTableView *list, const QList<int> &rows)
    {
        list->clearSelection();
        for (const int r : rows)
            list->selectionModel()->select(list->model()->index(r, 1),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

private slots:
    void initTestCase() { QVERIFY(viewtest::UseChineseHome()); }

    void init()
    {
        m_db = viewtest::FreshDatabase(QStringLiteral("view"));
        QVERIFY(m_db);
        m_table = std::make_unique<CCorvaneBeeNode>();
        m_submitted.clear();
        m_log.clear();
        Add(1, 0x40, 0, QStringLiteral("接收器"));
        Add(2, 0x04, 1, QStringLiteral("R2"));
        Add(3, 0x80, 2, QStringLiteral("L3"));
    }

    void addDialogFiltersAndOrders()
    {
        CNewBeeDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("btn1010"));
        auto part = [&](int i) {
            return dialog.findChild<QLineEdit *>(QStringLiteral("edit%1").arg(1036 + i));
        };
        QVERIFY(!ok->isEnabled());
        part(0)->setFocus();
        QTest::keyClicks(part(0), QStringLiteral("00A1x2"));
        QCOMPARE(part(0)->text(), QStringLiteral("0012")); // upper case and x deleted as typed
        QVERIFY(part(1)->hasFocus());                      // a full part moves the focus on
        QTest::keyClicks(part(1), QStringLiteral("4b0"));
        QTest::keyClicks(part(2), QStringLiteral("00"));
        QCOMPARE(part(2)->text(), QString()); // part 2 has 3 characters: part 3 is cleared
        QTest::keyClicks(part(1), QStringLiteral("0"));
        QVERIFY(part(2)->hasFocus());
        QTest::keyClicks(part(2), QStringLiteral("01a2"));
        QTest::keyClicks(part(3), QStringLiteral("B3C4"));
        QCOMPARE(part(3)->text(), QStringLiteral("34"));
        QVERIFY(!ok->isEnabled());
        QTest::keyClicks(part(3), QStringLiteral("c4"));
        QCOMPARE(dialog.Address(), QStringLiteral("00124b0001a234c4"));
        QVERIFY(ok->isEnabled());
        QTest::keyClick(part(3), Qt::Key_Return); // Enter confirms nothing
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), 0);
        ok->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void addRefusesExistingAndLogs()
    {
        auto view = MakeView();
        m_prompt->script = AddAnswer(QStringLiteral("X"), 2, Address(3));
        view->AddNode();
        QCOMPARE(m_prompt->shown, QStringList{QStringLiteral("设备已存在")});
        QVERIFY(m_log.isEmpty());
        QSignalSpy logged(view.get(), &CFormviewManager::messageLogged);
        m_prompt->script = AddAnswer(QStringLiteral("新"), 3, Address(9));
        view->AddNode();
        QCOMPARE(m_log, QStringList{QStringLiteral("系统|添加双温度记录仪 {新, ID:%1}").arg(Address(9))});
        QCOMPARE(logged.size(), 1);
        QCOMPARE(view->Tree()->topLevelItemCount(), 2); // the new node has no parent
        m_prompt->script = nullptr;
        view->AddNode(); // cancelled
        QCOMPARE(m_log.size(), 1);
    }

    void deleteChecked()
    {
        auto view = MakeView();
        view->DeleteChecked();
        QVERIFY(m_prompt->dialogs.isEmpty()); // nothing checked: no dialog
        view->Model().SetChecked(1, true);
        view->Model().SetChecked(2, true);
        QStringList shown;
        m_prompt->script = [&shown](QDialog &dialog) {
            const QTreeWidget *list = static_cast<CDelBeeDlg &>(dialog).List();
            for (int i = 0; i < list->topLevelItemCount(); ++i) {
                const QTreeWidgetItem *item = list->topLevelItem(i);
                shown << QStringList{item->text(0), item->text(1), item->text(2), item->text(3)}.join(
                    QLatin1Char('|'));
            }
            return int(QDialog::Rejected);
        };
        view->DeleteChecked();
        QCOMPARE(shown, (QStringList{QStringLiteral("1|R2|中转器|%1").arg(Address(2)),
                                     QStringLiteral("2|L3|单温度记录仪|%1").arg(Address(3))}));
        QCOMPARE(view->Model().rowCount(), 3);
        m_prompt->script = [](QDialog &) { return int(QDialog::Accepted); };
        view->DeleteChecked();
        QCOMPARE(view->Model().rowCount(), 1);
        QCOMPARE(m_table->Size(), 1);
        QCOMPARE(m_log.last(), QStringLiteral("系统|删除单温度记录仪 {L3, ID:%1}").arg(Address(3)));
    }

    void renameHighestSelected()
    {
        auto view = MakeView();
        SelectRows(view->List(), {2, 0});
        QString shownAddress;
        QString answer = QStringLiteral("新名");
        m_prompt->script = [&](QDialog &dialog) {
            shownAddress = dialog.findChild<QLabel *>(QStringLiteral("lbl1031"))->text();
            static_cast<CRenameDlg &>(dialog).NameEdit()->setText(answer);
            return int(QDialog::Accepted);
        };
        QSignalSpy renamed(view.get(), &CFormviewManager::nodeRenamed);
        view->RenameSelected();
        QCOMPARE(shownAddress, Address(3)); // the highest row selected
        QCOMPARE(renamed.size(), 1);
        QCOMPARE(view->Tree()->topLevelItem(0)->child(0)->child(0)->text(0), QStringLiteral("新名"));
        QCOMPARE(m_log.size(), 1);
        answer.clear(); // an empty name changes nothing
        view->RenameSelected();
        QCOMPARE(m_log.size(), 1);
    }

    void linkCommands()
    {
        auto view = MakeView();
        view->RefreshConnection(); // nothing selected
        QVERIFY(m_submitted.isEmpty());
        SelectRows(view->List(), {0, 1});
        view->findChild<QPushButton *>(QStringLiteral("btn1218"))->click();
        view->findChild<QPushButton *>(QStringLiteral("btn1013"))->click();
        QCOMPARE(m_submitted.size(), 2);
        QCOMPARE(m_submitted[0].kind, RequestKind::RefreshConnection);
        QCOMPARE(m_submitted[0].row, 1);
        QCOMPARE(m_submitted[0].source->NodeId(1), 2);
        QCOMPARE(m_submitted[1].kind, RequestKind::Scan);
        QCOMPARE(m_submitted[1].source, nullptr);
    }

    void headerAndTree()
    {
        auto view = MakeView();
        view->show();
        emit view->List()->horizontalHeader()->sectionClicked(MgrColCheck);
        QCOMPARE(view->Model().CheckedRows().size(), size_t(3));
        QTreeWidgetItem *logger = view->Tree()->topLevelItem(0)->child(0)->child(0);
        QCOMPARE(logger->text(0), QStringLiteral("L3"));
        emit view->Tree()->itemDoubleClicked(logger, 0);
        const QModelIndexList selected = view->List()->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected[0].row(), 2);
    }

    void nonAdministrator()
    {
        auto view = MakeView();
        view->SetAdministrator(false);
        for (const char *name : {"btn1026", "btn1027", "btn1028"})
            QVERIFY(!view->findChild<QPushButton *>(QLatin1String(name))->isEnabled());
        for (const char *name : {"btn1218", "btn1013"})
            QVERIFY(view->findChild<QPushButton *>(QLatin1String(name))->isEnabled());
    }
};

QTEST_MAIN(TestManagerView)
#include "test_managerview.moc"
