#include "UserFileFixture.h"

#include "base/AppSettings.h"
#include "messages/CUserStore.h"
#include "messages/ui/CFormviewUser.h"
#include "messages/ui/CLoginDlg.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

// Records the messages instead of showing boxes; answers questions from a script.
class RecordingPrompt final : public IUserPrompt {
public:
    void Show(QWidget *, PromptIcon icon, const QString &, const QString &text) override
    {
        texts << text;
        icons << icon;
    }
    bool AskYesNo(QWidget *, const QString &text) override
    {
        questions << text;
        return answer;
    }
    int RunModal(QDialog &) override { return 0; }
    QString Take() { return texts.isEmpty() ? QString() : texts.takeFirst(); }
    QStringList texts;
    QList<PromptIcon> icons;
    QStringList questions;
    bool answer = true;
};

} // namespace

// The login dialog and the user view, with the Chinese texts.
class TestUsersUi : public QObject {
    Q_OBJECT

    QString m_path;

    template <typename T> static T *Child(QWidget *parent, const char *name)
    {
        T *child = parent->findChild<T *>(QLatin1String(name));
        if (!child)
            qFatal("missing control %s", name);
        return child;
    }
    void MakeFile(CUserStore &store, const QStringList &extra)
    {
        UserFileFixture::MakeStore(store, m_path, extra);
    }
    static void LogIn(CUserStore &store, const QString &name)
    {
        CUserStore::LoginState login;
        login.name = name;
        login.index = store.Find(name);
        QVERIFY(store.ReadTypeBytes(login.index, login.typeBytes) == UserFileStatus::Ok);
        store.SetLogin(login);
    }
    static bool Matches(const CUserStore &store, const QString &name, const QString &password)
    {
        return UserFileFixture::PasswordMatches(store, store.Find(name), password);
    }
    static void Fill(QWidget *view, const char *name, const QString &text)
    {
        QLineEdit *edit = Child<QLineEdit>(view, name);
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    static void Click(QWidget *view, const char *name)
    {
        QTest::mouseClick(Child<QPushButton>(view, name), Qt::LeftButton);
    }

private slots:
    void initTestCase() { AppSettings::Instance().SetLanguage(UiLanguage::Chinese); }
    void init() { m_path = UserFileFixture::FreshPath(); }

    void loginPreselectsTheLastAccount()
    {
        CUserStore store;
        MakeFile(store, {QStringLiteral("bob"), QStringLiteral("carol")});
        QCOMPARE(store.RememberLastLogin(1), UserFileStatus::Ok);
        QCOMPARE(store.Load(), UserFileStatus::Ok);
        RecordingPrompt prompt;
        {
            CLoginDlg dialog(store, &prompt);
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Corvane Manager"));
            QComboBox *names = Child<QComboBox>(&dialog, "nameCombo");
            QCOMPARE(names->count(), 3);
            QCOMPARE(names->currentText(), QStringLiteral("bob"));
            QCOMPARE(Child<QLineEdit>(&dialog, "passwordEdit")->maxLength(), 25);
        }
        // An index not below the count selects the first account.
        QCOMPARE(store.RememberLastLogin(7), UserFileStatus::Ok);
        QCOMPARE(store.Load(), UserFileStatus::Ok);
        CLoginDlg dialog(store, &prompt);
        QCOMPARE(Child<QComboBox>(&dialog, "nameCombo")->currentText(), QStringLiteral("admin"));
    }

    void loginRefusesWrongPasswordsAndUnknownNames()
    {
        CUserStore store;
        MakeFile(store, {QStringLiteral("bob")});
        RecordingPrompt prompt;
        CLoginDlg dialog(store, &prompt);
        dialog.show();
        QComboBox *names = Child<QComboBox>(&dialog, "nameCombo");
        names->setCurrentText(QStringLiteral("bob"));
        Fill(&dialog, "passwordEdit", QStringLiteral("wrongpass"));
        Click(&dialog, "okButton");
        QCOMPARE(prompt.Take(), QStringLiteral("密码错误"));
        QVERIFY(dialog.isVisible());
        QVERIFY(!store.Login().IsValid());

        names->setCurrentText(QStringLiteral("nobody"));
        Fill(&dialog, "passwordEdit", QStringLiteral("bobpass"));
        Click(&dialog, "okButton");
        QCOMPARE(prompt.Take(), QStringLiteral("密码错误"));
        // Names are compared exactly.
        names->setCurrentText(QStringLiteral("Bob"));
        Click(&dialog, "okButton");
        QCOMPARE(prompt.Take(), QStringLiteral("密码错误"));
        names->setCurrentText(QString());
        Click(&dialog, "okButton");
        QCOMPARE(prompt.Take(), QStringLiteral("密码错误"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));

        // Without any user file every login fails the same way.
        QVERIFY(QFile::remove(m_path));
        QCOMPARE(store.Load(), UserFileStatus::Missing);
        CLoginDlg noFile(store, &prompt);
        Child<QComboBox>(&noFile, "nameCombo")->setCurrentText(QStringLiteral("admin"));
        Fill(&noFile, "passwordEdit", QStringLiteral("adminpass"));
        Click(&noFile, "okButton");
        QCOMPARE(prompt.texts, QStringList{QStringLiteral("密码错误")});
    }

    void loginDamagedFileShowsBothMessages()
    {
        CUserStore store;
        MakeFile(store, {});
        QFile f(m_path);
        QVERIFY(f.open(QIODevice::Append));
        f.write("x");
        f.close();
        RecordingPrompt prompt;
        CLoginDlg dialog(store, &prompt);
        Fill(&dialog, "passwordEdit", QStringLiteral("adminpass"));
        Click(&dialog, "okButton");
        QCOMPARE(prompt.texts,
                 (QStringList{QStringLiteral("错误:文件损坏user.ruf"), QStringLiteral("密码错误")}));
        QCOMPARE(prompt.icons.first(), PromptIcon::Critical);
    }

    void passwordFieldDropsNonAsciiCharacters()
    {
        CUserStore store;
        MakeFile(store, {});
        RecordingPrompt prompt;
        CLoginDlg dialog(store, &prompt);
        dialog.show();
        QLineEdit *edit = Child<QLineEdit>(&dialog, "passwordEdit");
        QTest::keyClicks(edit, QStringLiteral("ab"));
        QTest::keyClick(edit, Qt::Key_Home);
        // Typed through an input method: the text arrives as a whole at the caret.
        edit->insert(QStringLiteral("中"));
        QCOMPARE(edit->text(), QStringLiteral("ab"));
        QCOMPARE(edit->cursorPosition(), 0);
        QTest::keyClicks(edit, QStringLiteral("z"));
        QCOMPARE(edit->text(), QStringLiteral("zab"));
        // Pasted text: only the ASCII part stays and the caret stays behind it.
        edit->setText(QStringLiteral("p密w码d"));
        QCOMPARE(edit->text(), QStringLiteral("pwd"));
        QCOMPARE(edit->cursorPosition(), 3);
    }

    void loginSucceedsAndRemembersTheAccount()
    {
        CUserStore store;
        MakeFile(store, {QStringLiteral("bob")});
        const QString p25 = QStringLiteral("Twenty-five-characters-25");
        QCOMPARE(p25.size(), 25);
        QCOMPARE(store.ChangePassword(1, p25), UserFileStatus::Ok);
        RecordingPrompt prompt;
        CLoginDlg dialog(store, &prompt);
        dialog.show();
        Child<QComboBox>(&dialog, "nameCombo")->setCurrentText(QStringLiteral("bob"));
        Fill(&dialog, "passwordEdit", p25);
        Click(&dialog, "okButton");
        QVERIFY(prompt.texts.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(store.Login().name, QStringLiteral("bob"));
        QCOMPARE(store.Login().index, 1);
        QCOMPARE(store.Login().typeBytes[0], CUserStore::kOrdinaryUser);
        QCOMPARE(AppSettings::Instance().UserName(), QStringLiteral("bob"));
        QCOMPARE(AppSettings::Instance().UserType(), 2);
        QFile f(m_path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.read(1), QByteArray(1, '\x01'));
    }

    void userViewColumnsAndRights()
    {
        CUserStore store;
        MakeFile(store, {QStringLiteral("bob")});
        LogIn(store, QStringLiteral("bob"));
        RecordingPrompt prompt;
        {
            CFormviewUser view(store, &prompt);
            QTreeWidget *list = Child<QTreeWidget>(&view, "userList");
            QCOMPARE(list->headerItem()->text(0), QStringLiteral("用户名称"));
            QCOMPARE(list->headerItem()->text(1), QStringLiteral("用户类型"));
            QCOMPARE(list->columnWidth(0), 80);
            QCOMPARE(list->columnWidth(1), 108);
            QCOMPARE(list->topLevelItemCount(), 2);
            QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("管理员"));
            QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("普通用户"));
            QCOMPARE(Child<QLabel>(&view, "currentUserName")->text(), QStringLiteral("bob"));
            QCOMPARE(Child<QLabel>(&view, "currentUserType")->text(), QStringLiteral("普通用户"));
            QCOMPARE(Child<QLineEdit>(&view, "newName")->maxLength(), 50);
            QCOMPARE(Child<QLineEdit>(&view, "newPassword")->maxLength(), 25);
            QVERIFY(!Child<QPushButton>(&view, "addButton")->isEnabled());
            QVERIFY(!Child<QPushButton>(&view, "deleteButton")->isEnabled());
            QVERIFY(Child<QPushButton>(&view, "changeButton")->isEnabled());
        }
        // An administrator not named "admin" may not add or delete either.
        QCOMPARE(
            store.AddAccount(QStringLiteral("root"), QStringLiteral("rootpass"), CUserStore::kAdministrator),
            UserFileStatus::Ok);
        LogIn(store, QStringLiteral("root"));
        {
            CFormviewUser view(store, &prompt);
            QVERIFY(!Child<QPushButton>(&view, "addButton")->isEnabled());
        }
        LogIn(store, QStringLiteral("admin"));
        {
            CFormviewUser view(store, &prompt);
            QVERIFY(Child<QPushButton>(&view, "addButton")->isEnabled());
            QVERIFY(Child<QPushButton>(&view, "deleteButton")->isEnabled());
        }
        // At 25 accounts adding stops; deleting stays possible.
        for (int i = store.Count(); i < 25; ++i)
            QCOMPARE(store.AddAccount(QStringLiteral("u%1").arg(i), QStringLiteral("secret1"), 2),
                     UserFileStatus::Ok);
        CFormviewUser view(store, &prompt);
        QVERIFY(!Child<QPushButton>(&view, "addButton")->isEnabled());
        QVERIFY(Child<QPushButton>(&view, "deleteButton")->isEnabled());
        QVERIFY(prompt.texts.isEmpty());
    }

    void addAccountChecksInOrder()
    {
        CUserStore store;
        MakeFile(store, {QStringLiteral("bob")});
        LogIn(store, QStringLiteral("admin"));
        RecordingPrompt prompt;
        CFormviewUser view(store, &prompt);
        QComboBox *type = Child<QComboBox>(&view, "typeCombo");

        Click(&view, "addButton");
        QCOMPARE(prompt.Take(), QStringLiteral("请输入名称"));
        Fill(&view, "newName", QStringLiteral("bob"));
        Click(&view, "addButton");
        QCOMPARE(prompt.Take(), QStringLiteral("用户名已存在"));
        Fill(&view, "newName", QStringLiteral("carol"));
        Click(&view, "addButton");
        QCOMPARE(prompt.Take(), QStringLiteral("请选择用户类型"));
        type->setCurrentIndex(0);
        Fill(&view, "addPassword", QStringLiteral("12345"));
        Fill(&view, "addConfirm", QStringLiteral("12345"));
        Click(&view, "addButton");
        QCOMPARE(prompt.Take(), QStringLiteral("密码太短"));
        Fill(&view, "addPassword", QStringLiteral("123456"));
        Fill(&view, "addConfirm", QStringLiteral("123457"));
        Click(&view, "addButton");
        QCOMPARE(prompt.Take(), QStringLiteral("密码确认错误"));
        QCOMPARE(store.Count(), 2);
        Fill(&view, "addConfirm", QStringLiteral("123456"));
        Click(&view, "addButton");
        QCOMPARE(prompt.Take(), QStringLiteral("成功创建用户"));
        QVERIFY(prompt.texts.isEmpty());
        QCOMPARE(store.Count(), 3);
        QCOMPARE(store.Type(2), CUserStore::kAdministrator);
        QVERIFY(Matches(store, QStringLiteral("carol"), QStringLiteral("123456")));
        QCOMPARE(QFileInfo(m_path).size(), 5 + 78 * 3);
        QTreeWidget *list = Child<QTreeWidget>(&view, "userList");
        QCOMPARE(list->topLevelItemCount(), 3);
        QCOMPARE(list->topLevelItem(2)->text(0), QStringLiteral("carol"));

        // A name over the 50 bytes of a record.
        type->setCurrentIndex(1);
        Child<QLineEdit>(&view, "newName")->setText(QString(17, QChar(0x5F20)));
        Fill(&view, "addPassword", QStringLiteral("123456"));
        Fill(&view, "addConfirm", QStringLiteral("123456"));
        Click(&view, "addButton");
        QCOMPARE(prompt.Take(), QStringLiteral("用户名称太长"));
        QCOMPARE(store.Count(), 3);
    }

    void deleteAccount()
    {
        CUserStore store;
        MakeFile(store, {QStringLiteral("bob"), QStringLiteral("carol")});
        LogIn(store, QStringLiteral("admin"));
        RecordingPrompt prompt;
        CFormviewUser view(store, &prompt);
        QTreeWidget *list = Child<QTreeWidget>(&view, "userList");

        list->setCurrentItem(list->topLevelItem(0));
        Click(&view, "deleteButton");
        QCOMPARE(prompt.Take(), QStringLiteral("不能删除用户"));
        QVERIFY(prompt.questions.isEmpty());
        QCOMPARE(store.Count(), 3);

        list->setCurrentItem(list->topLevelItem(1));
        prompt.answer = false;
        Click(&view, "deleteButton");
        QCOMPARE(prompt.questions, QStringList{QStringLiteral("确定删除用户吗？")});
        QVERIFY(prompt.texts.isEmpty());
        QCOMPARE(store.Count(), 3);

        prompt.answer = true;
        Click(&view, "deleteButton");
        QCOMPARE(prompt.Take(), QStringLiteral("成功删除用户"));
        QCOMPARE(store.Names(), (QStringList{QStringLiteral("admin"), QStringLiteral("carol")}));
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(QFileInfo(m_path).size(), 161);
    }

    void changeOwnPasswordChecksInOrder()
    {
        CUserStore store;
        MakeFile(store, {QStringLiteral("bob"), QStringLiteral("carol")});
        LogIn(store, QStringLiteral("carol"));
        // The logged-in account moves to index 1 when bob is deleted; its own record changes.
        QCOMPARE(store.DeleteAccount(QStringLiteral("bob")), UserFileStatus::Ok);
        RecordingPrompt prompt;
        CFormviewUser view(store, &prompt);
        Fill(&view, "oldPassword", QStringLiteral("wrong"));
        Fill(&view, "newPassword", QStringLiteral("abc"));
        Click(&view, "changeButton");
        QCOMPARE(prompt.Take(), QStringLiteral("原密码错误"));
        Fill(&view, "oldPassword", QStringLiteral("carolpass"));
        Fill(&view, "newPassword", QStringLiteral("12345"));
        Fill(&view, "confirmPassword", QStringLiteral("12345"));
        Click(&view, "changeButton");
        QCOMPARE(prompt.Take(), QStringLiteral("密码太短"));
        Fill(&view, "newPassword", QStringLiteral("newcarolpass"));
        Fill(&view, "confirmPassword", QStringLiteral("newcarolpas"));
        Click(&view, "changeButton");
        QCOMPARE(prompt.Take(), QStringLiteral("密码确认错误"));
        QVERIFY(Matches(store, QStringLiteral("carol"), QStringLiteral("carolpass")));
        Fill(&view, "confirmPassword", QStringLiteral("newcarolpass"));
        Click(&view, "changeButton");
        QCOMPARE(prompt.Take(), QStringLiteral("密码更改成功"));
        QVERIFY(prompt.texts.isEmpty());
        QVERIFY(Matches(store, QStringLiteral("carol"), QStringLiteral("newcarolpass")));
        QVERIFY(Matches(store, QStringLiteral("admin"), QStringLiteral("adminpass")));
        // 25 characters are accepted by the field and work.
        const QString p25 = QStringLiteral("abcdefghijklmnopqrstuvwxy");
        Fill(&view, "oldPassword", QStringLiteral("newcarolpass"));
        Fill(&view, "newPassword", p25 + QStringLiteral("z"));
        Fill(&view, "confirmPassword", p25);
        QCOMPARE(Child<QLineEdit>(&view, "newPassword")->text(), p25);
        Click(&view, "changeButton");
        QCOMPARE(prompt.Take(), QStringLiteral("密码更改成功"));
        QVERIFY(Matches(store, QStringLiteral("carol"), p25));
    }
};

QTEST_MAIN(TestUsersUi)
#include "test_users_ui.moc"
