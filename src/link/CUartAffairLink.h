#pragma once

#include "link/AffairReply.h"
#include "link/AffairRequest.h"
#include "link/CUart_CommApp.h"
#include "link/FrameCodec.h"
#include "network/ViewNotify.h"

#include <QObject>
#include <QString>

#include <functional>
#include <list>
#include <memory>

// What the transaction engine needs from the database and the message log. The program's
// implementation (LinkServices::Program) uses the node table and the new-message store; tests
// give their own.
class LinkServices {
public:
    struct NodeInfo {
        int id = -1; // node id in the node table; -1 when the database does not know the node
        QString name;
        quint8 type = 0;
    };
    // Download resume point: the node's history of the current recording already stored.
    struct StoredHistory {
        qint64 start = 0;
        qint32 length = 0;
    };

    virtual ~LinkServices() = default;
    // The node whose extended address text is given, looked up in the node table.
    [[nodiscard]] virtual NodeInfo FindNode(const QString &extAddressText) = 0;
    // The extended address text of a node id; empty when unknown.
    [[nodiscard]] virtual QString NodeAddress(int nodeId) = 0;
    [[nodiscard]] virtual StoredHistory StoredHistoryOf(const QString &extAddressText) = 0;
    // Adds one committed entry to the event log (the logged-in user is the services' business).
    virtual void LogEntry(const QString &type, qint64 time, const QString &text) = 0;
    virtual void SaveLog() = 0;

    // The services of the running program.
    [[nodiscard]] static std::unique_ptr<LinkServices> Program();
};

// Services that pass everything on to other services; a base for those that watch some of it
// (the monitor command prints the log entries, tests record them).
class ForwardingLinkServices : public LinkServices {
public:
    explicit ForwardingLinkServices(std::unique_ptr<LinkServices> inner) : m_inner(std::move(inner)) {}
    [[nodiscard]] NodeInfo FindNode(const QString &text) override { return m_inner->FindNode(text); }
    [[nodiscard]] QString NodeAddress(int nodeId) override { return m_inner->NodeAddress(nodeId); }
    [[nodiscard]] StoredHistory StoredHistoryOf(const QString &text) override { return m_inner->StoredHistoryOf(text); }
    void LogEntry(const QString &type, qint64 time, const QString &text) override { m_inner->LogEntry(type, time, text); }
    void SaveLog() override { m_inner->SaveLog(); }

private:
    std::unique_ptr<LinkServices> m_inner;
};

// Status shown by the main window: status line, progress bar (0 idle, 5 download started,
// 10 node reached, 15 history information read, 15..115 downloading), and the last event.
struct LinkStatus {
    QString statusText;
    int progress = 0;
    QString msgType;
    QString msgText;
};

// The transaction engine: a queue of requests of which only the head is worked on. Every link
// tick (SendNext) retransmits the head's current step until an answer advances it or its time
// runs out; answers (HandleReply) advance or finish the head; finished results and unsolicited
// reports wait on the finished list until the main window's handler takes them.
// Runs on the user-interface thread only (the port delivers its bytes there).
class CUartAffairLink : public QObject, public IReplyHandler {
    Q_OBJECT
public:
    static constexpr int kQueueCap = 2500;

    explicit CUartAffairLink(QObject *parent = nullptr);
    ~CUartAffairLink() override;

    // Seconds since 1970 UTC; the default is the system clock.
    void SetClock(std::function<qint64()> clock);
    [[nodiscard]] qint64 Now() const { return m_clock(); }
    // The engine owns its services; the default is LinkServices::Program().
    void SetServices(std::unique_ptr<LinkServices> services);
    [[nodiscard]] LinkServices &Services();

    // --- Building a request: create, set the optional parameters, set the short address, commit.
    // Create refuses (false) an address text that is not 16 hexadecimal digits, except for kinds 1
    // and 11 (which then get eight zero bytes); a refusal drops the request under construction.
    [[nodiscard]] bool Create(int kind, const QString &extAddressText);
    [[nodiscard]] bool Create(int kind, const FrameCodec::ExtAddress &extAddress);
    // Setters of the request under construction; false when none is being built or the value
    // is refused (a start time or recording interval of 0).
    bool SetRtInterval(qint64 seconds);
    bool SetStartTime(qint64 time);
    bool SetLogInterval(qint64 seconds);
    bool SetAlarm(quint8 mode, float limit1, float limit2, float limit3, float limit4);
    bool SetDownloadPlan(quint8 mode, qint64 from, qint64 to, qint64 storedStart, qint32 storedLength);
    // Kind 11 gets the broadcast mode; a short address of 1 or more selects it as the node's
    // address, anything else keeps the extended address.
    void SetShortAddress(int shortAddress);
    // GPRS transactions: the starting values taken from the network table.
    void SetGprsStart(qint32 loggerCount, qint32 phoneSlotMask);
    // 1 when queued; 0 when the queue is full, the parameters do not match the kind, or
    // nothing is being built.
    [[nodiscard]] int Commit();
    // The request under construction (tests and diagnostics).
    [[nodiscard]] const AffairRequest *Building() const { return m_building.get(); }

    // --- Link tick.
    // 2: the queue is empty; 1: RequestBuffer() holds a frame to write now; 0: nothing this tick.
    [[nodiscard]] int SendNext();
    [[nodiscard]] const FrameCodec::RequestBuffer &RequestBuffer() const { return m_buffer; }
    void ClearRequestBuffer() { m_buffer.fill(0); }

    // --- Answers. True when the record was accepted (its content is then taken over); false,
    // with the record left as it was, when it is not complete.
    [[nodiscard]] bool HandleReply(AffairReply &reply) override;

    // --- Queue.
    [[nodiscard]] int QueueSize() const { return int(m_queue.size()); }
    [[nodiscard]] const AffairRequest *Head() const;
    [[nodiscard]] const AffairRequest *QueuedAt(int index) const;
    // Removes every queued request of that kind for that node except the head; 1 if any.
    int CancelQueued(int kind, const FrameCodec::ExtAddress &extAddress);
    // Drops every request and its result (the link was lost).
    void ClearQueue();

    // --- Finished list, oldest first.
    [[nodiscard]] const AffairReply *FirstFinished() const;
    [[nodiscard]] int FinishedCount() const { return int(m_finished.size()); }
    // Unlinks the first record and hands it over.
    [[nodiscard]] std::unique_ptr<AffairReply> TakeFinished();
    // Unlinks and frees a record of the list; false when it is not on it.
    bool RemoveFinished(const AffairReply *record);

    // --- Texts.
    [[nodiscard]] QString DescribeRequest(const AffairRequest &request);
    [[nodiscard]] QString DescribeReply(const AffairReply &record);
    // The event type word the main window logs a record with; empty for none.
    [[nodiscard]] QString EventTypeWord(const AffairReply &record);

    [[nodiscard]] LinkStatus &Status() { return m_status; }
    [[nodiscard]] const LinkStatus &Status() const { return m_status; }

signals:
    // A view is told that something changed (management, real-time, logging, download or GPRS).
    void viewNotify(CorvaneView view, ViewNotify code, int argument);
    // The status text or the progress changed.
    void statusChanged();
    // A message was logged (kind 5: a node was declared lost).
    void messageLogged(int kind);
    // Something was put on the finished list outside answer handling (a time-out delivered a
    // partial download, or a finished head was retired by the tick).
    void finishedAvailable();

private:
    using RequestPtr = std::unique_ptr<AffairRequest>;

    void BuildSideEffects(AffairRequest &head);
    void TimeOut(AffairRequest &head);
    bool DeliverPartialDownload(AffairRequest &head);
    void Merge(AffairRequest &head, std::unique_ptr<AffairReply> reply);
    void Advance(AffairRequest &head, int replyType);
    void SizeDownload(AffairRequest &head);
    void RunGprsFlow(AffairRequest &head, const AffairReply &reply);
    void RunSelfCheck(AffairRequest &head, const AffairReply &reply);
    void RunLock(AffairRequest &head, const AffairReply &reply);
    bool LoadNextLoggerToWrite(AffairRequest &head);
    void FinishHeadIfDone();
    void AddFinished(std::unique_ptr<AffairReply> record, quint8 disposition);
    void SetStatus(const QString &text, int progress);
    void SetProgress(int progress);
    [[nodiscard]] QString NodePrefix(const FrameCodec::ExtAddress &address, quint8 fallbackType);
    [[nodiscard]] QString AlarmText(quint8 alarmMode, float l1, float l2, float l3, float l4, quint8 type,
                                    int nodeId);

    std::function<qint64()> m_clock;
    std::unique_ptr<LinkServices> m_services;
    FrameCodec::RequestBuffer m_buffer{};
    RequestPtr m_building;
    std::list<RequestPtr> m_queue;
    std::list<std::unique_ptr<AffairReply>> m_finished;
    LinkStatus m_status;
};

// Command states the engine writes into the network table.
namespace LinkCommandState {
// Which node field a request kind drives and the codes at its first GNI and at its time-out;
// field 0 when the kind has none.
struct Codes {
    enum Field { None, RealTime, Logging, Download } field = None;
    quint8 atStart = 0;
    quint8 atTimeOut = 0;
};
[[nodiscard]] Codes ForRequest(const AffairRequest &request);
} // namespace LinkCommandState
