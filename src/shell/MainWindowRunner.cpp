#include "shell/MainWindowRunner.h"
#include "shell/ShellLog.h"

#include "DemoSetup.h"
#include "SimReceiver.h"

#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "base/StringIds.h"
#include "link/CUart_CommApp.h"
#include "link/LinkErrorDisplay.h"
#include "messages/CMessageHisNew.h"
#include "messages/CUserStore.h"
#include "messages/ui/CFormviewUser.h"
#include "network/CCorvaneBeeNode.h"
#include "network/LinkSession.h"
#include "network/NetworkLoader.h"
#include "shell/CCorvaneManagerDlg.h"
#include "shell/CViewPlace.h"
#include "storage/CCorvaneODBC.h"

namespace {

constexpr int kOpenedDatabase = 448; // "打开数据库 "

// The link's refusals shown as error boxes of the main window.
class PromptLinkErrors : public LinkErrorDisplay {
public:
    explicit PromptLinkErrors(CCorvaneManagerDlg &window) : m_window(window) {}
    void ShowLinkError(int stringId) override
    {
        m_window.Prompt().ShowError(&m_window, QString(), LoadStr(stringId));
    }

private:
    CCorvaneManagerDlg &m_window;
};

void LogMessage(const QString &type, const QString &text)
{
    if (!MessageStores::Instance().fresh.Log(type, CvTime::Now(), AppSettings::Instance().UserName(), text))
        qCWarning(lcShell) << "message not saved:" << type << text;
}

// Opens the database the settings name; on failure the settings dialog runs once and the
// named database is tried again. True when one is open.
bool OpenStartupDatabase(CCorvaneManagerDlg &window, CCorvaneODBC &db)
{
    AppSettings &settings = AppSettings::Instance();
    if (db.OpenDatabase(settings.DatabaseFileName()))
        return true;
    window.RunSettings(true);
    return db.OpenDatabase(settings.DatabaseFileName());
}

} // namespace

int RunMainWindow(const StartOptions &options)
{
    CCorvaneODBC &db = theDatabase();
    CUart_CommApp &link = CUart_CommApp::Instance();
    CCorvaneManagerDlg window;
    db.SetErrorSink(window.DatabaseErrorSink());
    PromptLinkErrors linkErrors(window);
    link.SetErrorDisplay(&linkErrors);
    window.SetMessageRecorder(&LogMessage);
    window.SetUnreadCheck([] { return MessageStores::Instance().fresh.HasNewMessages(); });
    window.OnCheckUnread();
    window.Place(CorvaneView::User)->SetView(new CFormviewUser(CUserStore::Instance()));

    QStringList ports = options.ports;
    std::unique_ptr<SimReceiver> simulator;
    if (options.demo) {
        QString error;
        simulator = DemoSetup::StartReceiver(&error);
        if (simulator)
            ports.prepend(simulator->SlavePath());
        else
            qCWarning(lcShell) << "demo receiver not started:" << error;
        if (DemoSetup::EnsureDatabase(db, &error).isEmpty())
            qCWarning(lcShell) << "demo database not prepared:" << error;
    }

    if (OpenStartupDatabase(window, db)) {
        (void)LoadNetworkTable(db, theNodeTable());
        const QString type = LoadStr(Sid::WordSystem);
        const QString text = LoadStr(kOpenedDatabase) + AppSettings::Instance().DatabaseFileName();
        LogMessage(type, text);
        window.OnNewMessage(0, type, text);
    }

    LinkSession session(link, theNodeTable(), db);
    session.SetGivenPorts(ports);
    QObject::connect(&window, &CCorvaneManagerDlg::connectRequested, &session, &LinkSession::Connect);
    QObject::connect(&window, &CCorvaneManagerDlg::alarmFrameWanted, &session, &LinkSession::SendAlarmFrame);
    QObject::connect(&session, &LinkSession::connectionTextChanged, &window,
                     [&window](const QString &text, bool connected) {
                         window.SetConnectionText(text);
                         window.SetConnectedPicture(connected);
                     });
    QObject::connect(&session, &LinkSession::statusChanged, &window, &CCorvaneManagerDlg::OnStatusChanged);
    QObject::connect(&session, &LinkSession::newMessage, &window, &CCorvaneManagerDlg::OnNewMessage);
    // Queued: the message box must not open inside the connect handling.
    QObject::connect(&session, &LinkSession::portDenied, &window, &CCorvaneManagerDlg::OnPortDenied,
                     Qt::QueuedConnection);
    QObject::connect(&session, &LinkSession::viewNotify, &window, &CCorvaneManagerDlg::PostToView);
    QObject::connect(&session, &LinkSession::gprsRefresh, &window,
                     [&window] { window.PostToView(CorvaneView::Gprs, ViewNotify::Reload, 0); });

    session.Connect();
    // The window closes only when the operator confirmed the exit question.
    (void)window.exec();
    link.Port().ClosePort();
    link.SetErrorDisplay(nullptr);
    db.SetErrorSink(nullptr);
    return 0;
}
