#pragma once

#include "messages/MessageListModels.h"

#include <QDialog>
#include <QTimer>
#include <QWidget>

class QDateEdit;
class QPushButton;
class QTableView;

// The four message lists are report lists of the same four columns with full-row selection.
void SetUpMessageList(QTableView &view, QAbstractItemModel &model);

// The alarm page and the recent page: the records taken over during this run. "清空" empties
// the list (no file is touched) and narrows the event column to the cleared width.
class CMessageDplList final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kStartLongest = 60;
    static constexpr int kFitAbove = 75;
    static constexpr int kClearedLongest = 75;
    static constexpr int kClearedWidth = 487;

    CMessageDplList(const MessageWords &words, const QString &objectName, QWidget *parent = nullptr);

    // Appends the rows and fits the event column when the longest event exceeds 75 bytes.
    void Append(const std::vector<MessageRow> &rows);
    void Clear();
    [[nodiscard]] MessageListModel &Model() { return m_model; }
    [[nodiscard]] QTableView *List() const { return m_list; }

private:
    MessageListModel m_model;
    QTableView *m_list = nullptr;
};

// The history page: one archived month, read from its monthly file each time it refreshes. A
// change of the month starts a 1.2-second timer that each further change restarts.
class CMessageHistoryForm final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRefreshDelayMs = 1200;

    CMessageHistoryForm(CMessageHis &archive, const MessageWords &words, QWidget *parent = nullptr);

    // Shows the month of the picker.
    void RefreshMonth();
    [[nodiscard]] MessageHistoryModel &Model() { return m_model; }
    [[nodiscard]] QTableView *List() const { return m_list; }
    [[nodiscard]] QDateEdit *Picker() const { return m_picker; }
    [[nodiscard]] int Refreshes() const { return m_refreshes; }

private:
    MessageHistoryModel m_model;
    QTableView *m_list = nullptr;
    QDateEdit *m_picker = nullptr;
    QTimer m_timer;
    int m_refreshes = 0;
};

// "新消息": every record of one take-over, readable or not, in file order.
class CNewMsgDlg final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kFitAbove = 60;

    CNewMsgDlg(const MessageWords &words, const std::vector<MessageRow> &rows, QWidget *parent = nullptr);
    [[nodiscard]] MessageListModel &Model() { return m_model; }
    [[nodiscard]] QTableView *List() const { return m_list; }

private:
    MessageListModel m_model;
    QTableView *m_list = nullptr;
};
