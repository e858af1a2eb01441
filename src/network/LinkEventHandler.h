#pragma once

#include <QObject>
#include <QString>

#include <functional>

struct AffairReply;
class CCorvaneBeeNode;
class CCorvaneODBC;
class CUart_CommApp;
struct LinkState;
class NetworkNotifier;

// Applies the records the transaction engine has finished to the program's state, on the
// user-interface thread: completes the connection on the receiver's first answer, keeps the node
// table rows and the live node records in step with what the nodes report, feeds real-time
// samples into the rings, stores downloaded history, records command progress, writes the
// message log and announces what changed on the network notifier. It parses no bytes and needs no window.
class LinkEventHandler : public QObject {
    Q_OBJECT
public:
    // Command progress codes written into the live records when a command ends.
    enum Progress : quint8 {
        RtStarted = 21,
        RtStopped = 23,
        RtRead = 25,
        LogStarted = 21,
        LogStopped = 23,
        LimitsWritten = 25,
        Downloaded = 16,
    };
    // A pre-alarm logged for the same node within this many seconds is not logged again.
    static constexpr qint64 kPreAlarmRepeatSeconds = 15;
    // A reading inside its limits but within this share of the span from a limit is a pre-alarm.
    static constexpr double kPreAlarmShare = 0.10;

    LinkEventHandler(CUart_CommApp &link, CCorvaneBeeNode &table, CCorvaneODBC &database, LinkState &state,
                     QObject *parent = nullptr);

    // Drains the engine's finished list and applies every record in order.
    void ProcessFinished();

    // True when a real-time reading of a node with the given limits lies inside them but within
    // kPreAlarmShare of the span from one of them. Limits of -2000 (no value) or an empty span
    // never give a pre-alarm.
    [[nodiscard]] static bool IsNearLimit(float value, float lower, float upper);

signals:
    // The receiver answered the probe: stop probing, start the link tick and the watchdog.
    void connected();
    // The connection status text changed (connected shows the port and the receiver's name).
    void connectionTextChanged(const QString &text);
    // Something was logged during the batch (never a lost node: the engine declares those).
    void messageLogged(bool nodeLost);
    void statusChanged();
    // A record was applied (after its node lookup; -1 for a node the database does not know).
    void recordApplied(const AffairReply &record, int nodeId);

private:
    [[nodiscard]] NetworkNotifier &Notifier();

    struct Batch {
        bool logged = false;
        bool topologyChanged = false;
    };

    void Apply(AffairReply &record, Batch &batch);
    // The node, command and message-log steps of one record.
    void ApplyToNode(AffairReply &record, int id, int parentId, Batch &batch);
    void OnFirstAnswer(const AffairReply &record, int id);
    // False when the record is not to be logged (its short address did not change).
    bool OnNodeInformation(const AffairReply &record, int id, int parentId, Batch &batch);
    void OnRealTimeData(const AffairReply &record, int id);
    void OnCommandResult(const AffairReply &record, int id, int parentId, Batch &batch);
    // The command state, progress fields and notice a command's result leaves in the network table.
    void ApplyCommandState(const AffairReply &record, int id);
    void ApplyRealTimeInterval(qint64 interval, int id);
    void ApplyAlarmFields(const AffairReply &record, int id);
    void LogRecord(const AffairReply &record, int id, Batch &batch);
    // True when the pre-alarm repeats one of the same node logged moments ago (else remembers it).
    [[nodiscard]] bool RepeatedPreAlarm(const AffairReply &record);
    // The pre-alarm text of a real-time reading, empty when it is no pre-alarm.
    [[nodiscard]] QString PreAlarmText(const AffairReply &record, int id);
    // Edits the node's row: father id and type always, then whatever edit() changes. True when
    // the father id changed.
    bool EditRow(int id, int parentId, quint8 type, const std::function<void(struct NodeRow &)> &edit);
    // Status, last-connect time, signal and battery (and the type unless told otherwise).
    void SetLiveLink(const AffairReply &record, int id, bool withType = true);
    void NotifyManager(int id, bool parentChanged);
    void StoreDownload(const AffairReply &record, int id);
    // Adds an unknown router to the node table and the network table; its id, -1 on failure.
    int AddRouter(const AffairReply &record);

    CUart_CommApp &m_link;
    CCorvaneBeeNode &m_table;
    CCorvaneODBC &m_db;
    LinkState &m_state;
};
