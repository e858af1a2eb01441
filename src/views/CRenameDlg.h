#pragma once

#include <QDialog>

class QLineEdit;

// Renaming a node: shows its old name, type and extended address and takes the new name (at
// most 16 characters).
class CRenameDlg : public QDialog {
    Q_OBJECT
public:
    CRenameDlg(const QString &type, const QString &address, const QString &oldName,
               QWidget *parent = nullptr);

    [[nodiscard]] QString NewName() const;
    [[nodiscard]] QLineEdit *NameEdit() const { return m_name; }

private:
    QLineEdit *m_name = nullptr;
};
