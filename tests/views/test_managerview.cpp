// The management view and its add dialog wired through their widgets (cell texts and commands
// are tested without widgets).
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

} // namespace

class TestManagerView : public QObject {
    Q_OBJECT

    std::unique_ptr<CCorvaneODBC> m_db;
    std::unique_ptr<CCorvaneBeeNode> m_table;
    std::unique_ptr<viewtest::ScriptedPrompt> m_prompt;
    QList<QPair<RequestKind, int>> m_submitted; // the kind and the node id of its row, or -1
    QStringList m_log;

    std::unique_ptr<CFormviewManager> MakeView()
    {
        m_prompt = std::make_unique<viewtest::ScriptedPrompt>();
        m_prompt->result = QDialog::Rejected;
        auto view = std::make_unique<CFormviewManager>(
            *m_table, *m_db,
            [this](CUartAffairInterface *source, RequestKind kind, int row) {
                m_submitted << qMakePair(kind, source ? source->NodeId(row) : -1);
                return 1;
            },
            m_prompt.get());
        view->SetMessageSink([this](MessageKind kind, const QString &text) {
            m_log << TypeWord(kind) + QLatin1Char('|') + text;
        });
        view->RebuildTree();
        return view;
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
        QVERIFY(viewtest::AddNode(*m_db, 1, 0x40, 0, QStringLiteral("接收器")));
        QVERIFY(viewtest::AddNode(*m_db, 2, 0x04, 1, QStringLiteral("R2")));
        QVERIFY(viewtest::AddNode(*m_db, 3, 0x80, 2, QStringLiteral("L3")));
    }

    void addDialogFiltersAddress()
    {
        CNewBeeDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("btn1010"));
        auto part = [&](int i) {
            return dialog.findChild<QLineEdit *>(QStringLiteral("edit%1").arg(1036 + i));
        };
        part(0)->setFocus();
        QTest::keyClicks(part(0), QStringLiteral("00A1x2"));
        QCOMPARE(part(0)->text(), QStringLiteral("0012")); // upper case and x deleted as typed
        QVERIFY(part(1)->hasFocus());                      // a full part moves the focus on
        QTest::keyClicks(part(1), QStringLiteral("4b00"));
        QTest::keyClicks(part(2), QStringLiteral("01a2"));
        QTest::keyClicks(part(3), QStringLiteral("34c4"));
        QCOMPARE(dialog.Address(), QStringLiteral("00124b0001a234c4"));
        QVERIFY(ok->isEnabled());
        QTest::keyClick(part(3), Qt::Key_Return); // Enter confirms nothing
        QVERIFY(dialog.isVisible());
    }

    void addRenameAndDeleteDialogs()
    {
        auto view = MakeView();
        m_prompt->script = AddAnswer(QStringLiteral("X"), 2, Address(3));
        view->AddNode();
        QCOMPARE(m_prompt->shown, QStringList{QStringLiteral("设备已存在")});
        QVERIFY(m_log.isEmpty());

        // Rename acts on the highest row selected.
        SelectRows(view->List(), {2, 0});
        QString shownAddress;
        m_prompt->script = [&](QDialog &dialog) {
            shownAddress = dialog.findChild<QLabel *>(QStringLiteral("lbl1031"))->text();
            static_cast<CRenameDlg &>(dialog).NameEdit()->setText(QStringLiteral("新名"));
            return int(QDialog::Accepted);
        };
        view->RenameSelected();
        QCOMPARE(shownAddress, Address(3));
        QCOMPARE(view->Tree()->topLevelItem(0)->child(0)->child(0)->text(0), QStringLiteral("新名"));

        // Delete asks only when something is checked.
        m_prompt->script = nullptr;
        m_prompt->dialogs.clear();
        view->DeleteChecked();
        QVERIFY(m_prompt->dialogs.isEmpty());
        view->Model().SetChecked(1, true);
        view->Model().SetChecked(2, true);
        m_prompt->result = QDialog::Accepted;
        view->DeleteChecked();
        QCOMPARE(m_prompt->dialogs.size(), 1);
        QCOMPARE(view->Model().rowCount(), 1);
        QCOMPARE(m_log.last(), QStringLiteral("系统|删除单温度记录仪 {新名, ID:%1}").arg(Address(3)));

        m_prompt->script = AddAnswer(QStringLiteral("新"), 3, Address(9));
        view->AddNode();
        QCOMPARE(m_log.last(), QStringLiteral("系统|添加双温度记录仪 {新, ID:%1}").arg(Address(9)));
        QCOMPARE(view->Tree()->topLevelItemCount(), 2); // the new node has no parent
    }

    void buttonsHeaderAndTree()
    {
        auto view = MakeView();
        view->show();
        SelectRows(view->List(), {0, 1});
        view->findChild<QPushButton *>(QStringLiteral("btn1218"))->click();
        view->findChild<QPushButton *>(QStringLiteral("btn1013"))->click();
        QCOMPARE(m_submitted, (QList<QPair<RequestKind, int>>{{RequestKind::RefreshConnection, 2},
                                                              {RequestKind::Scan, -1}}));

        emit view->List()->horizontalHeader()->sectionClicked(MgrColCheck);
        QCOMPARE(view->Model().CheckedRows().size(), size_t(3));
        emit view->Tree()->itemDoubleClicked(view->Tree()->topLevelItem(0)->child(0)->child(0), 0);
        const QModelIndexList selected = view->List()->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected[0].row(), 2);

        view->SetAdministrator(false);
        QVERIFY(!view->findChild<QPushButton *>(QStringLiteral("btn1026"))->isEnabled());
        QVERIFY(view->findChild<QPushButton *>(QStringLiteral("btn1218"))->isEnabled());
    }
};

QTEST_MAIN(TestManagerView)
#include "test_managerview.moc"
