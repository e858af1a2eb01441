#pragma once

#include "base/UserPrompt.h"

#include <QDialog>

#include <memory>

class CCorvaneODBC;
class CDatabaseConfigForm;
class CSystemOptionForm;
class QTabWidget;

// The settings dialog: a database page (create a database file, choose the system database) and
// an options page (temperature unit, sound alarm, interface language). Made anew for every run.
// Changes that the operator should see in the message log leave through systemMessage(); the
// main window records them as "系统" messages.
class CSystmeConfigDlg final : public QDialog {
    Q_OBJECT
public:
    CSystmeConfigDlg(CCorvaneODBC &database, std::shared_ptr<IUserPrompt> prompt, QWidget *parent = nullptr);
    ~CSystmeConfigDlg() override;

    // Set when the main window opens the dialog at start-up because the configured database could
    // not be opened: choosing a database then needs no restart.
    void SetStartupFlag(bool startup);

    [[nodiscard]] QTabWidget *Tabs() const { return m_tabs; }
    [[nodiscard]] CDatabaseConfigForm *DatabasePage() const { return m_databasePage; }
    [[nodiscard]] CSystemOptionForm *OptionPage() const { return m_optionPage; }

signals:
    void systemMessage(const QString &text);

private:
    std::shared_ptr<IUserPrompt> m_prompt;
    QTabWidget *m_tabs = nullptr;
    CDatabaseConfigForm *m_databasePage = nullptr;
    CSystemOptionForm *m_optionPage = nullptr;
};
