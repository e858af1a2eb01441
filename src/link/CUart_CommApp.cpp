#include "link/CUart_CommApp.h"
#include "link/LinkLog.h"

#include "base/CvTime.h"

#include <QMetaObject>

#include <utility>

namespace {
// The interim collector keeps at most this many records; the oldest go first.
constexpr std::size_t kMaxCollected = 2500;
} // namespace

bool CompleteReplyCollector::HandleReply(AffairReply &reply)
{
    if (!reply.IsComplete())
        return false;
    reply.receivedTime = CvTime::Now();
    if (m_finished.size() >= kMaxCollected)
        m_finished.erase(m_finished.begin());
    m_finished.push_back(std::move(reply));
    return true;
}

std::vector<AffairReply> CompleteReplyCollector::TakeFinished()
{
    return std::exchange(m_finished, {});
}

CUart_CommApp::CUart_CommApp(QObject *parent) : QObject(parent)
{
    connect(&m_port, &LsComm::CComPort::PortLost, this,
            [] { qCInfo(lcLink) << "port lost; reading has ended"; });
    (void)Link();
}

CUart_CommApp::~CUart_CommApp()
{
    m_port.ClosePort();
}

CUart_CommApp &CUart_CommApp::Instance()
{
    static CUart_CommApp instance;
    return instance;
}

bool CUart_CommApp::OpenPort(const QString &location)
{
    if (!m_port.OpenPort(location))
        return false;
    m_port.SetReceiveCallback([this](const quint8 *bytes, qint64 count) { OnReceive(bytes, count); });
    return true;
}

qint64 CUart_CommApp::WriteRequest(const FrameCodec::RequestBuffer &request)
{
    return m_port.Write(request.data(), static_cast<qint64>(request.size()));
}

void CUart_CommApp::SetReplyHandler(IReplyHandler *handler)
{
    m_handler = handler ? handler : &m_defaultHandler;
}

void CUart_CommApp::OnReceive(const quint8 *bytes, qint64 count)
{
    if (!m_rx.Append(bytes, count))
        qCInfo(lcLink) << "receive buffer full: dropped a chunk of" << count << "bytes";
    // Stamped also for a dropped chunk: the receiver is alive even when we cannot keep up.
    m_lastReceive = CvTime::Now();
    if (ExtractFrames() == 1)
        QMetaObject::invokeMethod(this, &CUart_CommApp::RepliesReady, Qt::QueuedConnection);
}

int CUart_CommApp::ExtractFrames()
{
    const ReceiveBuffer::Result result = m_rx.Extract(*m_handler);
    if (result.blockAccepted)
        QMetaObject::invokeMethod(this, &CUart_CommApp::ProgressChanged, Qt::QueuedConnection);
    return result.accepted ? 1 : 0;
}
