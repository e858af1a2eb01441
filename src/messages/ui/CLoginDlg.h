#pragma once

#include "base/UserPrompt.h"
#include "messages/ui/AccountInput.h"

#include <QDialog>

#include <memory>

class CUserStore;
class QComboBox;
class QLineEdit;

// The login: the operator picks an account and types its password. OK succeeds only with the
// right password; the dialog then sets the login state, remembers the account as the last login
// and closes. Names and types come from the store as loaded.
class CLoginDlg : public QDialog {
    Q_OBJECT
public:
    // prompt: where messages go (nullptr: real message boxes).
    explicit CLoginDlg(CUserStore &store, IUserPrompt *prompt = nullptr, QWidget *parent = nullptr);
    ~CLoginDlg() override;

    void accept() override;

private:
    CUserStore &m_store;
    std::unique_ptr<IUserPrompt> m_ownPrompt;
    IUserPrompt *m_prompt;
    QComboBox *m_name;
    QLineEdit *m_password;
};
