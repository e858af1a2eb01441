#pragma once

#include <QDialog>
#include <QStringList>

#include <vector>

class QTreeWidget;

// A confirmation of a command on the checked nodes of a view: the question, the line above the
// list, the list of the nodes (running number and the columns the command shows) and its own OK
// button, the only way to confirm; Enter does nothing.
class CListConfirmDlg : public QDialog {
    Q_OBJECT
public:
    struct Column {
        QString title;
        int width = 0;
        bool right = false;
    };
    struct Texts {
        QString objectName;
        QString title;
        QString question;
        QString listLine;
        QString okName; // object name of the OK button
    };

    // rows: the cells of each node after the running number.
    CListConfirmDlg(const Texts &texts, const std::vector<Column> &columns,
                    const std::vector<QStringList> &rows, QWidget *parent = nullptr);

    [[nodiscard]] QTreeWidget *List() const { return m_list; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QTreeWidget *m_list = nullptr;
};

// Start recording: name, start time, interval, channel-1 and channel-2 alarm of each node.
class CCommandStartDlg : public CListConfirmDlg {
    Q_OBJECT
public:
    explicit CCommandStartDlg(const std::vector<QStringList> &rows, QWidget *parent = nullptr);
};

// Stop recording: the name of each node.
class CCommandStopDlg : public CListConfirmDlg {
    Q_OBJECT
public:
    explicit CCommandStopDlg(const std::vector<QStringList> &rows, QWidget *parent = nullptr);
};

// Write alarm limits: name, channel-1 and channel-2 alarm of each node.
class CCommandAlarmDlg : public CListConfirmDlg {
    Q_OBJECT
public:
    explicit CCommandAlarmDlg(const std::vector<QStringList> &rows, QWidget *parent = nullptr);
};

// Download: name and download mode of each node.
class CDownloadStartDlg : public CListConfirmDlg {
    Q_OBJECT
public:
    explicit CDownloadStartDlg(const std::vector<QStringList> &rows, QWidget *parent = nullptr);
};
