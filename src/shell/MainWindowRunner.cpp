#include "shell/MainWindowRunner.h"
#include "shell/ShellLog.h"

#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "base/StringIds.h"
#include "link/CUart_CommApp.h"
#include "link/LinkErrorDisplay.h"
#include "messages/CMessageHisNew.h"
#include "messages/CUserStore.h"
#include "messages/ui/CFormviewMessage.h"
#include "messages/ui/CFormviewUser.h"
#include "network/CCorvaneBeeNode.h"
#include "network/LinkSession.h"
#include "network/NetworkLoader.h"
#include "network/NetworkNotifier.h"
#include "shell/CCorvaneManagerDlg.h"
#include "shell/CViewPlace.h"
#include "shell/CommandViewsAttach.h"
#include "shell/HistoryViewAttach.h"
#include "storage/CCorvaneODBC.h"
#include "views/CFormviewGPRS.h"
#include "views/CFormviewManager.h"
#include "views/MonitorDialog.h"

namespace {

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

void LogMessage(MessageKind kind, const QString &text)
{
    (void)MessageStores::Instance().fresh.LogNow(kind, text);
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

// The views told when the management view rebuilt its tree or renamed a node.
constexpr CorvaneView kNodeViews[] = {CorvaneView::Imme, CorvaneView::Command, CorvaneView::Download,
                                      CorvaneView::History, CorvaneView::Gprs};

CFormviewManager *AttachManagerView(CCorvaneManagerDlg &window, CCorvaneODBC &db, CUart_CommApp &link)
{
    auto *manager = new CFormviewManager(theNodeTable(), db,
                                         [&link](CUartAffairInterface *source, RequestKind kind, int row) {
                                             return link.SubmitCommand(source, kind, row);
                                         });
    manager->SetAdministrator(AppSettings::Instance().IsAdministrator());
    CViewPlace *place = window.Place(CorvaneView::Manager);
    place->SetView(manager);
    QObject::connect(place, &CViewPlace::notified, manager, [manager](ViewNotify code, int argument) {
        switch (code) {
        case ViewNotify::Reload:
            manager->RebuildTree();
            break;
        case ViewNotify::NodeChanged:
            manager->RefreshList();
            break;
        case ViewNotify::Specific:
        case ViewNotify::RouterLost:
            manager->UpdateNode(argument);
            break;
        case ViewNotify::ShowHide:
            break;
        }
    });
    QObject::connect(manager, &CFormviewManager::messageLogged, &window,
                     [&window](MessageKind kind, const QString &text) { window.OnNewMessage(kind, text); });
    QObject::connect(manager, &CFormviewManager::treeRebuilt, &window, [&window] {
        for (const CorvaneView view : kNodeViews)
            window.PostToView(view, ViewNotify::Reload, 0);
    });
    QObject::connect(manager, &CFormviewManager::nodeRenamed, &window, [&window](int id) {
        for (const CorvaneView view : kNodeViews)
            window.PostToView(view, ViewNotify::NodeChanged, id);
    });
    return manager;
}

// The message tab: the "新消息" button makes it take the new messages over.
void AttachMessageView(CCorvaneManagerDlg &window)
{
    MessageStores &stores = MessageStores::Instance();
    auto *view = new CFormviewMessage(stores.fresh, stores.archive);
    CViewPlace *place = window.Place(CorvaneView::Message);
    place->SetView(view);
    QObject::connect(place, &CViewPlace::notified, view, [view](ViewNotify code, int) {
        if (code == ViewNotify::Specific)
            view->ProcessNewMessages();
    });
    QObject::connect(view, &CFormviewMessage::unreadCheckWanted, &window, &CCorvaneManagerDlg::OnCheckUnread);
}

// The monitor screen over the loggers of the list, fed with every new sample while it is open.
void SetUpMonitorScreen(CCorvaneManagerDlg &window, CCorvaneODBC &db, NetworkNotifier &notifier)
{
    window.SetMonitorScreenFactory([&window, &db, &notifier](QWidget *parent) {
        GprsLoggerModel loggers(theNodeTable(), db);
        loggers.Reload();
        auto screen = std::make_unique<MonitorDialog>(theNodeTable(), MonitorTiles::SourcesOf(loggers),
                                                      &CvTime::Now, parent);
        QObject::connect(&notifier, &NetworkNotifier::newSample, screen.get(), &MonitorDialog::OnSample);
        QObject::connect(screen.get(), &MonitorDialog::stopAlarmWanted, &window,
                         &CCorvaneManagerDlg::StopAlarm);
        return std::unique_ptr<QDialog>(std::move(screen));
    });
}

} // namespace

void AttachGprsView(CCorvaneManagerDlg &window, CCorvaneODBC &db, CUart_CommApp &link,
                    const LinkSession &session)
{
    auto *view = new CFormviewGPRS(
        theNodeTable(), db, [&session] { return session.State().receiverId; },
        [&link](RequestKind kind) { return link.SubmitCommand(nullptr, kind, 0); });
    view->SetAdministrator(AppSettings::Instance().IsAdministrator());
    CViewPlace *place = window.Place(CorvaneView::Gprs);
    place->SetView(view);
    QObject::connect(place, &CViewPlace::notified, view, [view](ViewNotify code, int argument) {
        switch (code) {
        case ViewNotify::Reload:
            view->Reload();
            break;
        case ViewNotify::NodeChanged:
            if (argument > 0)
                view->UpdateNode(argument);
            else
                view->RefreshLoggers();
            break;
        case ViewNotify::Specific:
            if (argument == 1)
                view->Reload();
            break;
        case ViewNotify::ShowHide:
        case ViewNotify::RouterLost:
            break;
        }
    });
}

CFormviewManager *AttachStartupViews(CCorvaneManagerDlg &window, CCorvaneODBC &db, CUart_CommApp &link)
{
    window.Place(CorvaneView::User)->SetView(new CFormviewUser(CUserStore::Instance()));
    CFormviewManager *manager = AttachManagerView(window, db, link);
    AttachCommandViews(window, db, link);
    AttachHistoryView(window, db);
    AttachMessageView(window);
    return manager;
}

void LoadStartupNetwork(CCorvaneManagerDlg &window, CCorvaneODBC &db, CFormviewManager &manager)
{
    if (!OpenStartupDatabase(window, db))
        return;
    manager.RebuildTree(); // loads the network table from the node table
    const QString text = LoadStr(Sid::OpenedDatabase) + AppSettings::Instance().DatabaseFileName();
    LogMessage(MessageKind::System, text);
    window.OnNewMessage(MessageKind::System, text);
}

void ConnectViewNotices(NetworkNotifier &notifier, CCorvaneManagerDlg &window)
{
    const auto post = [&window](CorvaneView view, ViewNotify code, int argument) {
        window.PostToView(view, code, argument);
    };
    QObject::connect(&notifier, &NetworkNotifier::nodeChanged, &window, [post](int id, NodeAspect aspect) {
        switch (aspect) {
        case NodeAspect::Link:
            return post(CorvaneView::Manager, ViewNotify::Specific, id);
        case NodeAspect::RealTime:
            return post(CorvaneView::Imme, ViewNotify::NodeChanged, id);
        case NodeAspect::Logging:
            return post(CorvaneView::Command, ViewNotify::NodeChanged, id);
        case NodeAspect::Download:
            return post(CorvaneView::Download, ViewNotify::NodeChanged, id);
        }
    });
    QObject::connect(&notifier, &NetworkNotifier::nodeLost, &window,
                     [post](int id) { post(CorvaneView::Manager, ViewNotify::Specific, id); });
    QObject::connect(&notifier, &NetworkNotifier::routerLost, &window,
                     [post](int id) { post(CorvaneView::Manager, ViewNotify::RouterLost, id); });
    QObject::connect(&notifier, &NetworkNotifier::allNodesChanged, &window,
                     [post] { post(CorvaneView::Manager, ViewNotify::NodeChanged, 0); });
    QObject::connect(&notifier, &NetworkNotifier::topologyChanged, &window,
                     [post] { post(CorvaneView::Manager, ViewNotify::Reload, 0); });
    QObject::connect(&notifier, &NetworkNotifier::linkLost, &window, [post] {
        for (CorvaneView view : {CorvaneView::Imme, CorvaneView::Command, CorvaneView::History})
            post(view, ViewNotify::Reload, 0);
    });
    QObject::connect(&notifier, &NetworkNotifier::gprsChanged, &window,
                     [post] { post(CorvaneView::Gprs, ViewNotify::Reload, 0); });
    // A lock that ran out of time; a finished one reloads through gprsChanged.
    QObject::connect(&notifier, &NetworkNotifier::gprsLockFinished, &window, [post](bool ok) {
        if (!ok)
            post(CorvaneView::Gprs, ViewNotify::Specific, 1);
    });
}

int RunMainWindow(const StartOptions &options, const DemoStarter &demo)
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
    CFormviewManager *manager = AttachStartupViews(window, db, link);

    QStringList ports = options.ports;
    std::unique_ptr<DemoReceiver> simulator;
    if (options.demo && demo) {
        QString error;
        simulator = demo(db, &error);
        if (simulator)
            ports.prepend(simulator->PortPath());
        else
            qCWarning(lcShell) << "demo receiver not started:" << error;
    }

    LoadStartupNetwork(window, db, *manager);

    LinkSession session(link, theNodeTable(), db);
    session.SetGivenPorts(ports);
    QObject::connect(&window, &CCorvaneManagerDlg::connectRequested, &session, &LinkSession::Connect);
    QObject::connect(&window, &CCorvaneManagerDlg::alarmFrameWanted, &session, &LinkSession::SendAlarmFrame);
    NetworkNotifier &notifier = session.Notifier();
    AttachGprsView(window, db, link, session);
    SetUpMonitorScreen(window, db, notifier);
    QObject::connect(&notifier, &NetworkNotifier::connectionChanged, &window,
                     [&window](const QString &text, bool connected) {
                         window.SetConnectionText(text);
                         window.SetConnectedPicture(connected);
                     });
    QObject::connect(&notifier, &NetworkNotifier::statusChanged, &window,
                     &CCorvaneManagerDlg::OnStatusChanged);
    QObject::connect(&notifier, &NetworkNotifier::messageLogged, &window, &CCorvaneManagerDlg::OnNewMessage);
    ConnectViewNotices(notifier, window);
    // Queued: the message box must not open inside the connect handling.
    QObject::connect(&notifier, &NetworkNotifier::portDenied, &window, &CCorvaneManagerDlg::OnPortDenied,
                     Qt::QueuedConnection);

    session.Connect();
    // The window closes only when the operator confirmed the exit question.
    (void)window.exec();
    link.Port().ClosePort();
    link.SetErrorDisplay(nullptr);
    db.SetErrorSink(nullptr);
    return 0;
}
