#include "network/LinkSession.h"

#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "base/NodeType.h"
#include "base/StringIds.h"
#include "link/CUartAffairLink.h"
#include "link/CUart_CommApp.h"
#include "link/FrameCodec.h"
#include "link/PortAccess.h"
#include "network/CCorvaneBeeNode.h"
#include "network/EngineEvents.h"
#include "network/LinkEventHandler.h"
#include "network/ProgramLinkServices.h"
#include "storage/CCorvaneODBC.h"

namespace {

// The 64-byte request-form frame of a three-letter code without a body.
QByteArray FixedFrame(const char *code)
{
    FrameCodec::RequestBuffer frame{};
    (void)FrameCodec::BuildFrame(code, nullptr, 0, frame);
    return QByteArray(reinterpret_cast<const char *>(frame.data()), int(frame.size()));
}

} // namespace

LinkSession::LinkSession(CUart_CommApp &link, CCorvaneBeeNode &table, CCorvaneODBC &database, QObject *parent)
    : QObject(parent), m_link(link), m_table(table), m_db(database),
      m_handler(std::make_unique<LinkEventHandler>(link, table, database, m_state)), m_clock(&CvTime::Now)
{
    m_probeTimer.setSingleShot(true);
    m_probeTimer.setInterval(kProbeMs);
    m_tickTimer.setInterval(kTickMs);
    m_watchdogTimer.setInterval(kWatchdogMs);
    connect(&m_probeTimer, &QTimer::timeout, this, &LinkSession::ProbeStep);
    connect(&m_tickTimer, &QTimer::timeout, this, &LinkSession::LinkTick);
    connect(&m_watchdogTimer, &QTimer::timeout, this, &LinkSession::Watchdog);

    ConnectEngine();
    connect(m_handler.get(), &LinkEventHandler::connected, this, &LinkSession::OnConnected);
    connect(m_handler.get(), &LinkEventHandler::connectionTextChanged, this,
            [this](const QString &text) { emit Notifier().connectionChanged(text, m_state.IsConnected()); });
    connect(m_handler.get(), &LinkEventHandler::statusChanged, this, &LinkSession::EmitStatus);
    connect(m_handler.get(), &LinkEventHandler::messageLogged, this, &LinkSession::EmitNewMessage);
}

void LinkSession::ConnectEngine()
{
    CUartAffairLink &engine = m_link.Link();
    if (!engine.HasServices())
        engine.SetServices(MakeProgramLinkServices(m_table, m_db));
    // Records wait on the engine's finished list; the handler drains it after the receive
    // handling has returned (the hand-over is queued).
    connect(&m_link, &CUart_CommApp::RepliesReady, m_handler.get(), &LinkEventHandler::ProcessFinished,
            Qt::QueuedConnection);
    connect(&engine, &CUartAffairLink::finishedAvailable, m_handler.get(), &LinkEventHandler::ProcessFinished,
            Qt::QueuedConnection);
    connect(&m_link, &CUart_CommApp::ProgressChanged, this, &LinkSession::EmitStatus);
    connect(&engine, &CUartAffairLink::statusChanged, this, &LinkSession::EmitStatus);
    connect(&engine, &CUartAffairLink::messageLogged, this, &LinkSession::EmitNewMessage);
    ConnectEngineToTable(engine, m_table, this);
}

NetworkNotifier &LinkSession::Notifier()
{
    return m_table.Notifier();
}

LinkSession::~LinkSession() = default;

void LinkSession::SetClock(std::function<qint64()> clock)
{
    m_clock = clock;
    m_link.Link().SetClock(std::move(clock));
}

QByteArray LinkSession::KeepAliveFrame()
{
    return FixedFrame("GDI");
}

QByteArray LinkSession::AlarmFrame()
{
    return FixedFrame("ALA");
}

void LinkSession::WriteFrame(const QByteArray &frame)
{
    (void)m_link.Port().Write(reinterpret_cast<const quint8 *>(frame.constData()), frame.size());
}

void LinkSession::EmitNewMessage(bool nodeLost)
{
    const LinkStatus &status = m_link.Link().Status();
    emit Notifier().messageLogged(status.msgKind, status.msgText, nodeLost);
}

void LinkSession::EmitStatus()
{
    LinkStatus &status = m_link.Link().Status();
    // The progress bar runs from 0 to 110; anything outside is stored back clamped.
    status.progress = std::clamp(status.progress, 0, 110);
    emit Notifier().statusChanged(status.statusText, status.progress);
}

void LinkSession::StartProbe()
{
    m_probing = true;
    if (m_automatic)
        m_probeTimer.start();
}

void LinkSession::StopProbe()
{
    m_probing = false;
    m_probeTimer.stop();
}

void LinkSession::Connect()
{
    m_recoverEntry = -1;
    m_link.Link().ClearRequestBuffer();
    m_link.Port().ClosePort();
    m_link.Port().EnumeratePorts(m_givenPorts);
    m_state.scanIndex = 0;
    m_state.connectedPort = -1;
    m_link.Port().SetConnectedPort(-1);
    StartProbe();
    m_state.connectionText = LoadStr(Sid::Connecting);
    emit Notifier().connectionChanged(m_state.connectionText, false);
    ReportDeniedPorts();
}

void LinkSession::ReportDeniedPorts()
{
    for (const auto &entry : m_link.Port().PortTable()) {
        if (entry.access != LsComm::PortAccess::Denied)
            continue;
        // The probe skips the port; without this the operator would see no receiver and no reason.
        m_link.Link().Status().statusText = LsComm::PortDeniedStatus(entry.location, entry.group);
        EmitStatus();
        if (!m_reportedDenied.contains(entry.location)) {
            m_reportedDenied.insert(entry.location);
            emit Notifier().portDenied(entry.location,
                                       LsComm::PortDeniedMessage(entry.location, entry.group));
        }
    }
}

void LinkSession::ProbeStep()
{
    StopProbe();
    if (m_state.IsConnected())
        return;
    if (m_recoverEntry >= 0) {
        // After a loss only the receiver's own port is asked again, until it answers or the
        // user connects anew: an unattended station comes back by itself after a brown-out.
        m_state.scanIndex = m_recoverEntry;
        ProbePort(m_recoverEntry);
        m_state.scanIndex = m_recoverEntry + 1;
        StartProbe();
        return;
    }
    const auto &ports = m_link.Port().PortTable();
    while (m_state.scanIndex < LsComm::CComPort::kMaxPorts &&
           !(m_state.scanIndex < ports.size() && ports.at(m_state.scanIndex).present))
        ++m_state.scanIndex;
    ProbePort(m_state.scanIndex);
    m_state.scanIndex += 1;
    if (m_state.scanIndex >= LsComm::CComPort::kMaxPorts) {
        m_state.connectionText.clear();
        emit Notifier().connectionChanged(QString(), false);
        emit Notifier().gprsChanged();
        emit Notifier().receiverNotFound();
        return;
    }
    StartProbe();
}

void LinkSession::ProbePort(int entry)
{
    m_link.Port().ClosePort();
    const auto &ports = m_link.Port().PortTable();
    if (entry >= ports.size() || !m_link.OpenPort(ports.at(entry).location))
        return;
    CUartAffairLink &engine = m_link.Link();
    if (engine.Create(RequestKind::ReceiverInfo, FrameCodec::PlaceholderAddressText()) && engine.Commit() &&
        engine.SendNext() == 1)
        (void)m_link.WriteRequest(engine.RequestBuffer());
}

void LinkSession::OnConnected()
{
    StopProbe();
    m_recoverEntry = -1;
    m_ticking = true;
    m_watching = true;
    if (m_automatic) {
        m_tickTimer.start();
        m_watchdogTimer.start();
    }
}

void LinkSession::LinkTick()
{
    if (!m_state.IsConnected())
        return;
    CUartAffairLink &engine = m_link.Link();
    if (engine.SendNext() == 1)
        (void)m_link.WriteRequest(engine.RequestBuffer());
    m_state.tick = quint8(m_state.tick + 1);
    const qint64 silence = Now() - m_link.LastReceiveTime();
    if (silence >= kLostSilence) {
        DropLink();
        return;
    }
    if (silence >= kKeepAliveSilence && m_state.tick % 5 == 0)
        WriteFrame(KeepAliveFrame());
}

void LinkSession::DropLink()
{
    m_recoverEntry = m_state.connectedPort - 1;
    m_ticking = false;
    m_watching = false;
    m_tickTimer.stop();
    m_watchdogTimer.stop();
    m_state.connectedPort = -1;
    m_state.receiverId = -1;
    m_link.Port().SetConnectedPort(-1);
    m_state.connectionText.clear();
    emit Notifier().connectionChanged(QString(), false);
    m_table.ResetLive(0); // announces every node changed
    emit Notifier().gprsChanged();
    CUartAffairLink &engine = m_link.Link();
    engine.ClearQueue();
    engine.Status().statusText.clear();
    engine.Status().progress = 0;
    EmitStatus();
    emit Notifier().linkLost();
    StartProbe();
}

void LinkSession::Watchdog()
{
    if (!m_state.IsConnected())
        return;
    const qint64 now = Now();
    CUartAffairLink &engine = m_link.Link();
    for (const int id : m_table.Ids()) {
        const quint8 type = m_table.GetType(id);
        const qint64 last = m_table.GetLastConnectTime(id);
        if (NodeType::IsLogger(type) && m_table.GetRtFlag(id) == 1 && last != 0) {
            if (now - last < m_table.GetRtTimeout(id) || !m_db.IsOpen() || !m_db.SeekLookupNode(id))
                continue;
            const QString address = m_db.LookupCursor().Row().extaddress;
            m_table.SetRtFlag(id, 2);
            if (engine.Create(RequestKind::ReadRealTime, address)) {
                engine.SetShortAddress(m_table.GetShortAddress(id));
                (void)engine.Commit();
            }
        } else if (NodeType::IsRouter(type) && m_table.GetRtFlag(id) == 1 &&
                   now - last >= kRouterLostSeconds) {
            m_table.SetRtFlag(id, 0);
            m_table.SetStatus(id, 0);
            emit Notifier().routerLost(id);
        }
    }
}

void LinkSession::SendAlarmFrame()
{
    const QByteArray frame = AlarmFrame();
    WriteFrame(frame);
    WriteFrame(frame);
}
