#include "UserFileFixture.h"

#include "base/AppSettings.h"
#include "messages/CUserStore.h"
#include "messages/ui/CFormviewUser.h"
#include "messages/ui/CLoginDlg.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using namespace UserFileFixture;

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
        return PasswordMatches(store, store.Find(name), password);
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
    void init() { m_path = FreshPath(); }

    // The remembered account is preselected; the password field keeps ASCII only.
    void loginDialogControls()
    {
        CUserStore store;
        MakeStore(store, m_path, {QStringLiteral("bob"), QStringLiteral("carol")});
        QCOMPARE(store.RememberLastLogin(1), UserFileStatus::Ok);
        QCOMPARE(store.Load(), UserFileStatus::Ok);
        RecordingPrompt prompt;
        {
            CLoginDlg dialog(store, &prompt);
            QCOMPARE(Child<QComboBox>(&dialog, "nameCombo")->currentText(), QStringLiteral("bob"));
        }
        // An index not below the count selects the first account.
        QCOMPARE(store.RememberLastLogin(7), UserFileStatus::Ok);
        QCOMPARE(store.Load(), UserFileStatus::Ok);
        CLoginDlg dialog(store, &prompt);
        QCOMPARE(Child<QComboBox>(&dialog, "nameCombo")->currentText(), QStringLiteral("admin"));
        dialog.show();
        QLineEdit *edit = Child<QLineEdit>(&dialog, "passwordEdit");
        // Typed through an input method: the text arrives as a whole at the caret.
        QTest::keyClicks(edit, QStringLiteral("ab"));
        edit->insert(QStringLiteral("中"));
        QCOMPARE(edit->text(), QStringLiteral("ab"));
        // Pasted text: only the ASCII part stays and the caret stays behind it.
        edit->setText(QStringLiteral("p密w码d"));
        QCOMPARE(edit->text(), QStringLiteral("pwd"));
        QCOMPARE(edit->cursorPosition(), 3);
    }

    // Every refusal reads alike, whatever was wrong; a damaged file says so first.
    void login_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("damaged"); // the user file
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("messages"); // none: logged in
        const QStringList refused{QStringLiteral("密码错误")};
        const QString p25 = QStringLiteral("Twenty-five-characters-25");
        QTest::newRow("wrong password") << "bob" << false << "wrongpass" << refused;
        QTest::newRow("damaged file") << "admin" << true << "adminpass"
                                      << QStringList{QStringLiteral("错误:文件损坏user.ruf")} + refused;
        QTest::newRow("25 characters") << "bob" << false << p25 << QStringList();
    }
    void login()
    {
        QFETCH(QString, name);
        QFETCH(bool, damaged);
        QFETCH(QString, password);
        QFETCH(QStringList, messages);
        CUserStore store;
        MakeStore(store, m_path, {QStringLiteral("bob")});
        QCOMPARE(store.ChangePassword(1, QStringLiteral("Twenty-five-characters-25")), UserFileStatus::Ok);
        QFile f(m_path);
        if (damaged)
            QVERIFY(f.open(QIODevice::Append) && f.write("x") == 1 && f.flush());
        RecordingPrompt prompt;
        CLoginDlg dialog(store, &prompt);
        dialog.show();
        Child<QComboBox>(&dialog, "nameCombo")->setCurrentText(name);
        Fill(&dialog, "passwordEdit", password);
        Click(&dialog, "okButton");
        QCOMPARE(prompt.texts, messages);
        if (damaged)
            QCOMPARE(prompt.icons.first(), PromptIcon::Critical);
        const bool in = messages.isEmpty();
        QCOMPARE(dialog.result(), int(in ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(store.Login().IsValid(), in);
        if (!in)
            return;
        QCOMPARE(AppSettings::Instance().UserName(), QStringLiteral("bob"));
        QCOMPARE(AppSettings::Instance().UserType(), 2);
        f.close();
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.read(1), QByteArray(1, '\x01')); // remembered for the next start
    }

    // Only the account named "admin" may add and delete; adding stops at 25 accounts.
    void userViewRights()
    {
        CUserStore store;
        MakeStore(store, m_path, {QStringLiteral("bob")});
        QCOMPARE(
            store.AddAccount(QStringLiteral("root"), QStringLiteral("rootpass"), CUserStore::kAdministrator),
            UserFileStatus::Ok);
        RecordingPrompt prompt;
        const auto rights = [&](const char *name) {
            LogIn(store, QLatin1String(name));
            CFormviewUser view(store, &prompt);
            return QList<bool>{Child<QPushButton>(&view, "addButton")->isEnabled(),
                               Child<QPushButton>(&view, "deleteButton")->isEnabled(),
                               Child<QPushButton>(&view, "changeButton")->isEnabled()};
        };
        QCOMPARE(rights("bob"), (QList<bool>{false, false, true}));
        QCOMPARE(rights("root"), (QList<bool>{false, false, true}));
        QCOMPARE(rights("admin"), (QList<bool>{true, true, true}));
        for (int i = store.Count(); i < 25; ++i)
            QCOMPARE(store.AddAccount(QStringLiteral("u%1").arg(i), QStringLiteral("secret1"), 2),
                     UserFileStatus::Ok);
        QCOMPARE(rights("admin"), (QList<bool>{false, true, true}));
    }

    // Each check speaks before the next one is looked at; only the last attempt adds.
    void addAccountChecksInOrder()
    {
        CUserStore store;
        MakeStore(store, m_path, {QStringLiteral("bob")});
        LogIn(store, QStringLiteral("admin"));
        RecordingPrompt prompt;
        CFormviewUser view(store, &prompt);
        const struct {
            QString name;
            int type;
            const char *password, *confirm, *message;
        } steps[] = {
            {QString(), -1, "", "", "请输入名称"},
            {QStringLiteral("bob"), -1, "", "", "用户名已存在"},
            {QStringLiteral("carol"), -1, "", "", "请选择用户类型"},
            {QStringLiteral("carol"), 0, "12345", "12345", "密码太短"},
            {QStringLiteral("carol"), 0, "123456", "123457", "密码确认错误"},
            {QString(17, QChar(0x5F20)), 1, "123456", "123456", "用户名称太长"}, // over 50 bytes
            {QStringLiteral("carol"), 0, "123456", "123456", "成功创建用户"},
        };
        for (const auto &step : steps) {
            Child<QLineEdit>(&view, "newName")->setText(step.name);
            Child<QComboBox>(&view, "typeCombo")->setCurrentIndex(step.type);
            Fill(&view, "addPassword", QLatin1String(step.password));
            Fill(&view, "addConfirm", QLatin1String(step.confirm));
            Click(&view, "addButton");
            QCOMPARE(prompt.texts, QStringList{QString::fromUtf8(step.message)});
            prompt.texts.clear();
        }
        QCOMPARE(store.Count(), 3);
        QCOMPARE(store.Type(2), CUserStore::kAdministrator);
        QVERIFY(Matches(store, QStringLiteral("carol"), QStringLiteral("123456")));
    }

    void deleteAccount()
    {
        CUserStore store;
        MakeStore(store, m_path, {QStringLiteral("bob"), QStringLiteral("carol")});
        LogIn(store, QStringLiteral("admin"));
        RecordingPrompt prompt;
        CFormviewUser view(store, &prompt);
        QTreeWidget *list = Child<QTreeWidget>(&view, "userList");

        list->setCurrentItem(list->topLevelItem(0));
        Click(&view, "deleteButton");
        QCOMPARE(prompt.Take(), QStringLiteral("不能删除用户"));
        QVERIFY(prompt.questions.isEmpty());

        list->setCurrentItem(list->topLevelItem(1));
        prompt.answer = false;
        Click(&view, "deleteButton");
        QCOMPARE(prompt.questions, QStringList{QStringLiteral("确定删除用户吗？")});
        QCOMPARE(store.Count(), 3);

        prompt.answer = true;
        Click(&view, "deleteButton");
        QCOMPARE(prompt.Take(), QStringLiteral("成功删除用户"));
        QCOMPARE(store.Names(), (QStringList{QStringLiteral("admin"), QStringLiteral("carol")}));
        QCOMPARE(list->topLevelItemCount(), 2);
    }

    void changeOwnPasswordChecksInOrder()
    {
        CUserStore store;
        MakeStore(store, m_path, {QStringLiteral("bob"), QStringLiteral("carol")});
        LogIn(store, QStringLiteral("carol"));
        // The logged-in account moves to index 1 when bob is deleted; its own record changes.
        QCOMPARE(store.DeleteAccount(QStringLiteral("bob")), UserFileStatus::Ok);
        RecordingPrompt prompt;
        CFormviewUser view(store, &prompt);
        const struct {
            const char *old, *password, *confirm, *message;
        } steps[] = {
            {"wrong", "abc", "", "原密码错误"},
            {"carolpass", "12345", "12345", "密码太短"},
            {"carolpass", "newcarolpass", "newcarolpas", "密码确认错误"},
            {"carolpass", "newcarolpass", "newcarolpass", "密码更改成功"},
        };
        for (const auto &step : steps) {
            QVERIFY(Matches(store, QStringLiteral("carol"), QStringLiteral("carolpass")));
            Fill(&view, "oldPassword", QLatin1String(step.old));
            Fill(&view, "newPassword", QLatin1String(step.password));
            Fill(&view, "confirmPassword", QLatin1String(step.confirm));
            Click(&view, "changeButton");
            QCOMPARE(prompt.texts, QStringList{QString::fromUtf8(step.message)});
            prompt.texts.clear();
        }
        QVERIFY(Matches(store, QStringLiteral("carol"), QStringLiteral("newcarolpass")));
        QVERIFY(Matches(store, QStringLiteral("admin"), QStringLiteral("adminpass")));
    }
};

QTEST_MAIN(TestUsersUi)
#include "test_users_ui.moc"
