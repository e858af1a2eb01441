#pragma once

#include "base/MessageKind.h"
#include "link/AffairReply.h"
#include "link/AffairRequest.h"
#include "link/CUart_CommApp.h"
#include "link/FrameCodec.h"
#include "link/LinkServices.h"

#include <QMetaType>
#include <QObject>
#include <QString>

#include <functional>
#include <list>
#include <memory>

// The progress field of a node that a command drives.
enum class CommandField { None, RealTime, Logging, Download };

// Status shown by the main window: status line, progress bar (0 idle, 5 download started,
// 10 node reached, 15 history information read, 15..115 downloading), and the last event.
struct LinkStatus {
    QString statusText;
    int progress = 0;
    MessageKind msgKind = MessageKind::None;
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
    // The engine owns its services; the program's come from the network layer. Until they are
    // set the engine knows no node and logs nothing.
    void SetServices(std::unique_ptr<LinkServices> services);
    [[nodiscard]] bool HasServices() const { return m_services != nullptr; }
    [[nodiscard]] LinkServices &Services();

    // --- Building a request: create, set the optional parameters, set the short address, commit.
    // Create refuses (false) an address text that is not 16 hexadecimal digits, except for kinds 1
    // and 11 (which then get eight zero bytes); a refusal drops the request under construction.
    [[nodiscard]] bool Create(RequestKind kind, const QString &extAddressText);
    [[nodiscard]] bool Create(RequestKind kind, const FrameCodec::ExtAddress &extAddress);
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
    int CancelQueued(RequestKind kind, const FrameCodec::ExtAddress &extAddress);
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
    // The kind of message-log entry a record makes; None for none.
    [[nodiscard]] MessageKind EventKind(const AffairReply &record);

    [[nodiscard]] LinkStatus &Status() { return m_status; }
    [[nodiscard]] const LinkStatus &Status() const { return m_status; }

signals:
    // A command's progress code changed: the network layer writes it into the node's field.
    void commandStateChanged(int nodeId, RequestKind kind, CommandField field, quint8 state);
    // A network scan starts: the live state of every node but the receiver is to be reset.
    void scanStarted();
    // A node whose real-time data were overdue did not answer: it is to be declared lost.
    void nodeLost(int nodeId);
    // The GPRS lock ended: true when the receiver holds the phone book and the logger entries,
    // false when it timed out.
    void gprsLockFinished(bool ok);
    // The status text or the progress changed.
    void statusChanged();
    // A message was logged; nodeLost when a node was declared lost (the alarm frame is due).
    void messageLogged(bool nodeLost);
    // Something was put on the finished list outside answer handling (a time-out delivered a
    // partial download, or a finished head was retired by the tick).
    void finishedAvailable();

private:
    using RequestPtr = std::unique_ptr<AffairRequest>;

    void BuildSideEffects(AffairRequest &head);
    void TimeOut(AffairRequest &head);
    bool DeliverPartialDownload(AffairRequest &head);
    void Merge(AffairRequest &head, std::unique_ptr<AffairReply> reply);
    // Adds a data block that continues the download to the result.
    void AppendBlock(AffairRequest &head, const DownloadBlock &in);
    void Advance(AffairRequest &head, FrameCodec::Command replyType);
    void SizeDownload(AffairRequest &head);
    void RunGprsFlow(AffairRequest &head, const AffairReply &reply);
    void RunSelfCheck(AffairRequest &head, const AffairReply &reply);
    // The self-check's steps: the phone book compared, then each logger entry read back.
    void CheckPhoneBook(AffairRequest &head, const AffairReply &reply);
    void ReadLoggerEntries(AffairRequest &head, const AffairReply &reply);
    void KeepLoggerEntry(int slot, const AffairReply &entry);
    void RunLock(AffairRequest &head, const AffairReply &reply);
    // The lock's steps: the phone book written and read back, then each logger entry.
    void LockPhoneBook(AffairRequest &head, const AffairReply &reply);
    void LockLoggerEntries(AffairRequest &head);
    bool LoadNextLoggerToWrite(AffairRequest &head);
    void FinishHeadIfDone();
    void AddFinished(std::unique_ptr<AffairReply> record, quint8 disposition);
    void SetStatus(const QString &text, int progress);
    void SetProgress(int progress);
    int AnnounceCommandState(const AffairRequest &request, bool atStart);
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

// Command states the engine announces for the network table.
namespace LinkCommandState {
// Which node field a request kind drives and the codes at its first GNI and at its time-out;
// field None when the kind has none.
struct Codes {
    CommandField field = CommandField::None;
    quint8 atStart = 0;
    quint8 atTimeOut = 0;
};
[[nodiscard]] Codes ForRequest(const AffairRequest &request);
} // namespace LinkCommandState

Q_DECLARE_METATYPE(CommandField)
