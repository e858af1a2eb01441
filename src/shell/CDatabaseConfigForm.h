#pragma once

#include <QWidget>

class CCorvaneODBC;
class IUserPrompt;
class QComboBox;
class QLineEdit;
class QPushButton;

// The settings dialog's database page: creates a database file in the home folder's database/
// folder and chooses the system database that the next start opens.
class CDatabaseConfigForm final : public QWidget {
    Q_OBJECT
public:
    // The prompt must outlive the page.
    CDatabaseConfigForm(CCorvaneODBC &database, IUserPrompt &prompt, QWidget *parent = nullptr);

    void SetStartupFlag(bool startup) { m_startup = startup; }
    [[nodiscard]] QString Folder() const { return m_folder; }

    // The create button: makes the database named in the edit box (".mdb" appended when the
    // name does not end in it). An empty name or an existing file does nothing.
    void OnCreate();
    // The set button: makes the chosen existing database the system database.
    void OnSet();

signals:
    void systemMessage(const QString &text);

private:
    void FillList();

    CCorvaneODBC &m_database;
    IUserPrompt &m_prompt;
    QString m_folder;
    bool m_startup = false;
    QLineEdit *m_nameEdit = nullptr;
    QPushButton *m_createButton = nullptr;
    QComboBox *m_list = nullptr;
    QPushButton *m_setButton = nullptr;
};
