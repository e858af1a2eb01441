#include "messages/ui/CFormviewMessage.h"
#include "messages/ui/MessagesUiLog.h"

#include "base/CvTime.h"
#include "base/StringTable.h"
#include "messages/CMessageHisNew.h"
#include "messages/ui/CFormviewMessagePages.h"

#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int kAlarmTab = 207;   // 报警消息
constexpr int kRecentTab = 205;  // 最近消息
constexpr int kHistoryTab = 206; // 历史消息

} // namespace

CFormviewMessage::CFormviewMessage(CMessageHisNew &fresh, CMessageHis &archive, QWidget *parent)
    : QWidget(parent), m_fresh(fresh), m_archive(archive), m_words(MessageWords::Load()), m_now(&CvTime::Now)
{
    setObjectName(QStringLiteral("CFormviewMessage"));
    m_dialog = [this](QWidget *owner, const std::vector<MessageRow> &rows) {
        CNewMsgDlg dialog(m_words, rows, owner);
        dialog.exec();
    };
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tab1018"));
    m_alarm = new CMessageDplList(m_words, QStringLiteral("alarmPage"), m_tabs);
    m_recent = new CMessageDplList(m_words, QStringLiteral("recentPage"), m_tabs);
    m_history = new CMessageHistoryForm(m_archive, m_words, m_tabs);
    m_tabs->addTab(m_alarm, LoadStr(kAlarmTab));
    m_tabs->addTab(m_recent, LoadStr(kRecentTab));
    m_tabs->addTab(m_history, LoadStr(kHistoryTab));
    m_alarm->List()->setAccessibleName(LoadStr(kAlarmTab));
    m_recent->List()->setAccessibleName(LoadStr(kRecentTab));
    m_history->List()->setAccessibleName(LoadStr(kHistoryTab));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
}

void CFormviewMessage::ProcessNewMessages()
{
    const TakeOverResult result = TakeOverMessages(m_fresh, m_archive, m_words, m_now());
    if (!result.opened) {
        qCWarning(lcMessagesUi) << "the new-messages file cannot be opened";
        return;
    }
    m_alarm->Append(result.alarm);
    m_recent->Append(result.recent);
    if (!result.archived.empty())
        m_history->RefreshMonth();
    m_dialog(this, result.all);
    emit unreadCheckWanted();
}
