#pragma once

#include "link/AffairReply.h"
#include "link/ComPort.h"
#include "link/FrameCodec.h"
#include "link/ReceiveBuffer.h"

#include "link/RequestKind.h"

#include <QObject>

#include <vector>

class CUartAffairInterface;
class CUartAffairLink;
class LinkErrorDisplay;

// The handler in place while no transaction engine is plugged in: accepts exactly the complete
// records, stamps their reception time and keeps them until taken.
class CompleteReplyCollector : public IReplyHandler {
public:
    [[nodiscard]] bool HandleReply(AffairReply &reply) override;
    [[nodiscard]] std::vector<AffairReply> TakeFinished();

private:
    std::vector<AffairReply> m_finished;
};

// Owner of the receiver link: the port, the receive buffer with frame extraction and decoding,
// and the hand-over of decoded records to the reply handler. Everything runs on the thread that
// owns the object; the hand-over to the rest of the program is a queued signal.
class CUart_CommApp : public QObject {
    Q_OBJECT
public:
    static constexpr int kBufferSize = ReceiveBuffer::kSize;

    explicit CUart_CommApp(QObject *parent = nullptr);
    ~CUart_CommApp() override;

    // The program's one link owner.
    [[nodiscard]] static CUart_CommApp &Instance();

    [[nodiscard]] LsComm::CComPort &Port() { return m_port; }
    // Opens the port at 38400 8N1 without flow control and routes its bytes to OnReceive.
    [[nodiscard]] bool OpenPort(const QString &location);
    // Writes one request: always its 64 bytes. Returns the bytes accepted, -1 on failure.
    [[nodiscard]] qint64 WriteRequest(const FrameCodec::RequestBuffer &request);

    // Receive callback: stores the chunk (or drops it whole when it does not fit), stamps the
    // last-reception time, extracts frames and announces accepted records.
    void OnReceive(const quint8 *bytes, qint64 count);
    // Extracts every whole frame buffered; 1 when the handler accepted at least one, else 0.
    [[nodiscard]] int ExtractFrames();

    // Seconds since 1970 of the last received chunk; 0 before any.
    [[nodiscard]] qint64 LastReceiveTime() const { return m_lastReceive; }
    void SetLastReceiveTime(qint64 seconds) { m_lastReceive = seconds; }
    [[nodiscard]] int ByteCount() const { return m_rx.Count(); }
    [[nodiscard]] const quint8 *BufferData() const { return m_rx.Data(); }

    // nullptr restores the default handler. The handler must outlive its installation.
    void SetReplyHandler(IReplyHandler *handler);
    [[nodiscard]] CompleteReplyCollector &DefaultHandler() { return m_defaultHandler; }

    // The transaction engine (a child of this object, installed as the reply handler).
    [[nodiscard]] CUartAffairLink &Link();
    // Queues a request of the kind for the node on the source's row (no source: receiver-wide
    // requests); 1 when queued. Not connected: shows string 294 through the error display.
    [[nodiscard]] int SubmitCommand(CUartAffairInterface *source, RequestKind kind, int row);
    // Not owned; nullptr shows nothing.
    void SetErrorDisplay(LinkErrorDisplay *display) { m_errorDisplay = display; }

signals:
    // Accepted records are waiting with the reply handler. Always delivered queued.
    void RepliesReady();
    // A download data block was accepted (progress changed). Always delivered queued.
    void ProgressChanged();

private:
    ReceiveBuffer m_rx;
    qint64 m_lastReceive = 0;
    LsComm::CComPort m_port;
    CompleteReplyCollector m_defaultHandler;
    IReplyHandler *m_handler = &m_defaultHandler;
    CUartAffairLink *m_link = nullptr;
    LinkErrorDisplay *m_errorDisplay = nullptr;
};
