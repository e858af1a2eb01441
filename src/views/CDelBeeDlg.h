#pragma once

#include <QDialog>

#include <vector>

class QTreeWidget;

// Confirms deleting the checked nodes from the database: the question, the list of the nodes
// (running number, name, type, extended address) and its own OK button, the only way to
// confirm; Enter does nothing.
class CDelBeeDlg : public QDialog {
    Q_OBJECT
public:
    struct Line {
        QString name;
        QString type;
        QString address;
    };

    explicit CDelBeeDlg(const std::vector<Line> &lines, QWidget *parent = nullptr);

    [[nodiscard]] QTreeWidget *List() const { return m_list; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QTreeWidget *m_list = nullptr;
};
