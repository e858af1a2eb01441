#include "messages/ui/CLoginDlg.h"
#include "messages/ui/MessageBoxPrompt.h"
#include "messages/ui/MessagesUiLog.h"

#include "base/AppSettings.h"
#include "base/StringIds.h"
#include "messages/CUserStore.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CLoginDlg::CLoginDlg(CUserStore &store, IUserPrompt *prompt, QWidget *parent)
    : QDialog(parent), m_store(store),
      m_ownPrompt(prompt ? nullptr : std::make_unique<CMessageBoxPrompt>(Sid::UserTitle)),
      m_prompt(prompt ? prompt : m_ownPrompt.get()), m_name(new QComboBox(this)),
      m_password(new QLineEdit(this))
{
    setWindowTitle(LoadStr(Sid::UserTitle));
    m_name->setObjectName(QStringLiteral("nameCombo"));
    m_name->setEditable(true);
    m_name->setInsertPolicy(QComboBox::NoInsert);
    m_name->addItems(m_store.Names());
    const int last = m_store.LastLoginIndex();
    if (m_store.Count() > 0)
        m_name->setCurrentIndex(last >= 0 && last < m_store.Count() ? last : 0);

    m_password->setObjectName(QStringLiteral("passwordEdit"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setMaxLength(CUserStore::kMaxPasswordLength);
    KeepPasswordAscii(m_password);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(LoadStr(Sid::UserOk), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    buttons->addButton(LoadStr(Sid::UserCancel), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CLoginDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CLoginDlg::reject);

    auto *form = new QFormLayout;
    form->addRow(LoadStr(Sid::UserNameLabel), m_name);
    form->addRow(LoadStr(Sid::UserPasswordLabel), m_password);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_password->setFocus();
}

CLoginDlg::~CLoginDlg() = default;

void CLoginDlg::accept()
{
    const QString name = m_name->currentText();
    const int index = name.isEmpty() ? -1 : m_store.Find(name);
    bool matches = false;
    if (index >= 0) {
        const UserFileStatus status = m_store.CheckPassword(index, m_password->text(), matches);
        if (status == UserFileStatus::Damaged)
            m_prompt->Show(this, PromptIcon::Critical, {}, UserFileErrorText(status));
    }
    CUserStore::LoginState login;
    if (matches) {
        const UserFileStatus status = m_store.ReadTypeBytes(index, login.typeBytes);
        matches = status == UserFileStatus::Ok;
    }
    if (!matches) {
        m_prompt->Warn(this, LoadStr(Sid::UserWrongPassword));
        return;
    }
    login.name = name;
    login.index = index;
    m_store.SetLogin(login);
    AppSettings::Instance().SetUser(name, login.typeBytes[0]);
    if (m_store.RememberLastLogin(index) != UserFileStatus::Ok)
        qCWarning(lcMessagesUi) << "cannot remember the last login";
    QDialog::accept();
}
