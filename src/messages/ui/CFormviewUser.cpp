#include "messages/ui/CFormviewUser.h"
#include "messages/ui/MessageBoxPrompt.h"

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "messages/CUserStore.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QLineEdit *PasswordField(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(CUserStore::kMaxPasswordLength);
    KeepPasswordAscii(edit);
    return edit;
}

} // namespace

CFormviewUser::CFormviewUser(CUserStore &store, IUserPrompt *prompt, QWidget *parent)
    : QWidget(parent), m_store(store),
      m_ownPrompt(prompt ? nullptr : std::make_unique<CMessageBoxPrompt>(Sid::UserTitle)),
      m_prompt(prompt ? prompt : m_ownPrompt.get()), m_list(new QTreeWidget(this)),
      m_currentName(new QLabel(this)), m_currentType(new QLabel(this)),
      m_oldPassword(PasswordField(this, "oldPassword")), m_newPassword(PasswordField(this, "newPassword")),
      m_confirmPassword(PasswordField(this, "confirmPassword")),
      m_change(new QPushButton(LoadStr(Sid::UserChangeButton), this)), m_newName(new QLineEdit(this)),
      m_type(new QComboBox(this)), m_addPassword(PasswordField(this, "addPassword")),
      m_addConfirm(PasswordField(this, "addConfirm")),
      m_add(new QPushButton(LoadStr(Sid::UserAddButton), this)),
      m_delete(new QPushButton(LoadStr(Sid::UserDeleteButton), this))
{
    m_list->setObjectName(QStringLiteral("userList"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setHeaderLabels({LoadStr(Sid::UserName), LoadStr(Sid::UserType)});
    m_list->header()->setStretchLastSection(false);
    m_list->setColumnWidth(0, kNameColumnWidth);
    m_list->setColumnWidth(1, kTypeColumnWidth);
    m_currentName->setObjectName(QStringLiteral("currentUserName"));
    m_currentType->setObjectName(QStringLiteral("currentUserType"));
    m_change->setObjectName(QStringLiteral("changeButton"));
    m_newName->setObjectName(QStringLiteral("newName"));
    m_newName->setMaxLength(UserFile::kNameSize);
    m_type->setObjectName(QStringLiteral("typeCombo"));
    m_type->addItems({LoadStr(Sid::UserAdministrator), LoadStr(Sid::UserOrdinaryUser)});
    // No type is chosen at first (adding then asks for one); without a placeholder the unchosen
    // combo draws as an empty box that looks as if it offered nothing.
    m_type->setCurrentIndex(-1);
    m_type->setPlaceholderText(LoadStr(Sid::UserChooseType));
    m_add->setObjectName(QStringLiteral("addButton"));
    m_delete->setObjectName(QStringLiteral("deleteButton"));

    auto *listBox = new QGroupBox(LoadStr(Sid::UserListGroup), this);
    auto *listLayout = new QVBoxLayout(listBox);
    listLayout->addWidget(m_list);
    auto *current = new QFormLayout;
    current->addRow(LoadStr(Sid::UserCurrentUser), m_currentName);
    current->addRow(LoadStr(Sid::UserCurrentType), m_currentType);
    listLayout->addLayout(current);

    auto *changeBox = new QGroupBox(LoadStr(Sid::UserChangeGroup), this);
    auto *changeForm = new QFormLayout(changeBox);
    changeForm->addRow(LoadStr(Sid::UserOldPassword), m_oldPassword);
    changeForm->addRow(LoadStr(Sid::UserNewPassword), m_newPassword);
    changeForm->addRow(LoadStr(Sid::UserConfirmPassword), m_confirmPassword);
    changeForm->addRow(QString(), m_change);

    auto *addBox = new QGroupBox(LoadStr(Sid::UserAddGroup), this);
    auto *addForm = new QFormLayout(addBox);
    addForm->addRow(LoadStr(Sid::UserNewName), m_newName);
    addForm->addRow(LoadStr(Sid::UserTypeLabel), m_type);
    addForm->addRow(LoadStr(Sid::UserNewPassword), m_addPassword);
    addForm->addRow(LoadStr(Sid::UserConfirmPassword), m_addConfirm);
    auto *addButtons = new QHBoxLayout;
    addButtons->addWidget(m_add);
    addButtons->addWidget(m_delete);
    addForm->addRow(QString(), addButtons);

    auto *right = new QVBoxLayout;
    right->addWidget(changeBox);
    right->addWidget(addBox);
    right->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(listBox, 1);
    layout->addLayout(right, 1);

    connect(m_change, &QPushButton::clicked, this, &CFormviewUser::OnChangePassword);
    connect(m_add, &QPushButton::clicked, this, &CFormviewUser::OnAddAccount);
    connect(m_delete, &QPushButton::clicked, this, &CFormviewUser::OnDeleteAccount);
    Refresh();
}

CFormviewUser::~CFormviewUser() = default;

QString CFormviewUser::TypeText(int type) const
{
    return LoadStr(type == CUserStore::kAdministrator ? Sid::UserAdministrator : Sid::UserOrdinaryUser);
}

bool CFormviewUser::IsAdminSession() const
{
    const CUserStore::LoginState &login = m_store.Login();
    return login.IsValid() && login.typeBytes[0] == CUserStore::kAdministrator &&
           login.name == QLatin1String("admin");
}

void CFormviewUser::Refresh()
{
    m_list->clear();
    for (int i = 0; i < m_store.Count(); ++i)
        new QTreeWidgetItem(m_list, {m_store.Names().at(i), TypeText(m_store.Type(i))});
    const CUserStore::LoginState &login = m_store.Login();
    m_currentName->setText(login.name);
    m_currentType->setText(login.IsValid() ? TypeText(login.typeBytes[0]) : QString());
    const bool admin = IsAdminSession();
    const bool canAdd = admin && m_store.Count() < kMaxAccountsForAdding;
    m_newName->setEnabled(canAdd);
    m_type->setEnabled(canAdd);
    m_addPassword->setEnabled(canAdd);
    m_addConfirm->setEnabled(canAdd);
    m_add->setEnabled(canAdd);
    // Deleting stays possible at the account limit, or a full list could never shrink again.
    m_delete->setEnabled(admin);
}

bool CFormviewUser::ReportFailure(UserFileStatus status)
{
    if (status == UserFileStatus::Ok)
        return false;
    const QString text = UserFileErrorText(status);
    if (!text.isEmpty())
        m_prompt->Show(this, PromptIcon::Critical, {}, text);
    return true;
}

void CFormviewUser::OnChangePassword()
{
    // The account is looked up by name: deletions may have moved it since the login.
    const int index = m_store.Find(m_store.Login().name);
    bool matches = false;
    if (index >= 0) {
        const UserFileStatus status = m_store.CheckPassword(index, m_oldPassword->text(), matches);
        if (status == UserFileStatus::Damaged) {
            ReportFailure(status);
            return;
        }
    }
    if (!matches) {
        m_prompt->Warn(this, LoadStr(Sid::UserOldWrong));
        return;
    }
    const QString password = m_newPassword->text();
    if (password.size() < CUserStore::kMinPasswordLength) {
        m_prompt->Warn(this, LoadStr(Sid::UserTooShort));
        return;
    }
    if (m_confirmPassword->text() != password) {
        m_prompt->Warn(this, LoadStr(Sid::UserConfirmWrong));
        return;
    }
    if (ReportFailure(m_store.ChangePassword(index, password)))
        return;
    m_oldPassword->clear();
    m_newPassword->clear();
    m_confirmPassword->clear();
    m_prompt->Inform(this, LoadStr(Sid::UserPasswordChanged));
}

void CFormviewUser::OnAddAccount()
{
    const QString name = m_newName->text();
    if (name.isEmpty()) {
        m_prompt->Warn(this, LoadStr(Sid::UserEnterName));
        return;
    }
    if (m_store.Find(name) >= 0) {
        m_prompt->Warn(this, LoadStr(Sid::UserNameExists));
        return;
    }
    if (m_type->currentIndex() < 0) {
        m_prompt->Warn(this, LoadStr(Sid::UserChooseType));
        return;
    }
    const QString password = m_addPassword->text();
    if (password.size() < CUserStore::kMinPasswordLength) {
        m_prompt->Warn(this, LoadStr(Sid::UserTooShort));
        return;
    }
    if (m_addConfirm->text() != password) {
        m_prompt->Warn(this, LoadStr(Sid::UserConfirmWrong));
        return;
    }
    if (!UserFile::EncodeName(name)) {
        m_prompt->Warn(this, LoadStr(Sid::UserNameTooLong));
        return;
    }
    const std::uint8_t type = m_type->currentText() == LoadStr(Sid::UserAdministrator)
                                  ? CUserStore::kAdministrator
                                  : CUserStore::kOrdinaryUser;
    if (ReportFailure(m_store.AddAccount(name, password, type)))
        return;
    m_newName->clear();
    m_addPassword->clear();
    m_addConfirm->clear();
    m_prompt->Inform(this, LoadStr(Sid::UserCreated));
    Refresh();
}

void CFormviewUser::OnDeleteAccount()
{
    const QTreeWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString name = item->text(0);
    if (name == QLatin1String("admin")) {
        m_prompt->Warn(this, LoadStr(Sid::UserCannotDelete));
        return;
    }
    if (!m_prompt->AskYesNo(this, LoadStr(Sid::UserReallyDelete)))
        return;
    if (ReportFailure(m_store.DeleteAccount(name)))
        return;
    m_prompt->Inform(this, LoadStr(Sid::UserDeleted));
    Refresh();
}
