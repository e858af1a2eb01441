#pragma once

#include "base/UserPrompt.h"
#include "messages/ui/AccountInput.h"

#include <QWidget>

#include <memory>

class CUserStore;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// The user tab: the accounts with their types, the logged-in account, changing one's own
// password, and, for the administrator "admin", adding and deleting accounts.
class CFormviewUser : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxAccountsForAdding = 25;
    static constexpr int kNameColumnWidth = 80;
    static constexpr int kTypeColumnWidth = 108;

    // prompt: where messages go (nullptr: real message boxes).
    explicit CFormviewUser(CUserStore &store, IUserPrompt *prompt = nullptr, QWidget *parent = nullptr);
    ~CFormviewUser() override;

    // Fills the list from the store and sets which controls are enabled.
    void Refresh();

private:
    void OnChangePassword();
    void OnAddAccount();
    void OnDeleteAccount();
    [[nodiscard]] bool IsAdminSession() const;
    [[nodiscard]] QString TypeText(int type) const;
    // Shows the message of a failed file operation; true when it failed.
    bool ReportFailure(UserFileStatus status);

    CUserStore &m_store;
    std::unique_ptr<IUserPrompt> m_ownPrompt;
    IUserPrompt *m_prompt;
    QTreeWidget *m_list;
    QLabel *m_currentName;
    QLabel *m_currentType;
    QLineEdit *m_oldPassword;
    QLineEdit *m_newPassword;
    QLineEdit *m_confirmPassword;
    QPushButton *m_change;
    QLineEdit *m_newName;
    QComboBox *m_type;
    QLineEdit *m_addPassword;
    QLineEdit *m_addConfirm;
    QPushButton *m_add;
    QPushButton *m_delete;
};
