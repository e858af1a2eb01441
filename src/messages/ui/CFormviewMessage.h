#pragma once

#include "messages/MessageTakeOver.h"

#include <QWidget>

#include <functional>

class CMessageDplList;
class CMessageHis;
class CMessageHisNew;
class CMessageHistoryForm;
class QTabWidget;

// The message tab: the alarm page, the recent page and the history page. It is the one place
// where new messages leave the new-messages store: ProcessNewMessages takes them over, archives
// them into the monthly files, lists them and shows them once more in the new-message dialog.
class CFormviewMessage final : public QWidget {
    Q_OBJECT
public:
    enum Page { AlarmPage, RecentPage, HistoryPage };
    // Shows the records of one take-over (default: CNewMsgDlg, modally).
    using DialogRunner = std::function<void(QWidget *parent, const std::vector<MessageRow> &rows)>;

    CFormviewMessage(CMessageHisNew &fresh, CMessageHis &archive, QWidget *parent = nullptr);

    void SetDialogRunner(DialogRunner runner) { m_dialog = std::move(runner); }
    // The time stamped on records whose own time cannot be read (default: the clock).
    void SetClock(std::function<qint64()> now) { m_now = std::move(now); }

    [[nodiscard]] QTabWidget *Tabs() const { return m_tabs; }
    [[nodiscard]] CMessageDplList *AlarmList() const { return m_alarm; }
    [[nodiscard]] CMessageDplList *RecentList() const { return m_recent; }
    [[nodiscard]] CMessageHistoryForm *History() const { return m_history; }

public slots:
    void ProcessNewMessages();

signals:
    // The take-over ended: the main window checks again for unread messages.
    void unreadCheckWanted();

private:
    CMessageHisNew &m_fresh;
    CMessageHis &m_archive;
    MessageWords m_words;
    DialogRunner m_dialog;
    std::function<qint64()> m_now;
    QTabWidget *m_tabs = nullptr;
    CMessageDplList *m_alarm = nullptr;
    CMessageDplList *m_recent = nullptr;
    CMessageHistoryForm *m_history = nullptr;
};
