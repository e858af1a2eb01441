#pragma once

#include <QObject>
#include <QTimer>
#include <QtGlobal>

#include <functional>
#include <vector>

class CCorvaneBeeNode;
class CCorvaneODBC;
struct NodeRow;

// Download plans: a node's plan (none, daily at a time of day, once at a date and time) stands
// in the node table; while the program runs, the plan list holds the armed plans and fires
// them from a 5-second tick. Widget-free, so the download view and the headless collector run
// the same rules.
namespace DownloadPlans {

enum Mode : quint8 { None = 0, Daily = 1, Once = 2 };
constexpr qint64 kWindow = 60; // a plan may fire within this many seconds after its time
constexpr int kTickMs = 5000;
constexpr quint8 kStateStarted = 6;    // "下载启动"
constexpr quint8 kStateCancelled = 17; // "下载操作已取消"
constexpr int kInvalidTime = 192;      // 错误：指定时间无效

// Today's date (local, of now) with the time of day of time.
[[nodiscard]] qint64 TodayAt(qint64 time, qint64 now);
// 0 when the plan may be set, else kInvalidTime: a single plan must lie after now.
[[nodiscard]] int CheckPlan(quint8 mode, qint64 time, qint64 now);
// 0 when the download mode may be set, else kInvalidTime: a range must start before it ends.
[[nodiscard]] int CheckRange(quint8 mode, qint64 from, qint64 to);
// Stores the plan in the node's row (a mode other than daily or once stores no plan and time
// 0); false when the node is not in the node table or the row cannot be written.
[[nodiscard]] bool SavePlan(CCorvaneODBC &database, int id, quint8 mode, qint64 time);
// Sets the download mode of the live record (a mode other than 1 downloads all, range 0).
void SetMode(CCorvaneBeeNode &table, int id, quint8 mode, qint64 from, qint64 to);

} // namespace DownloadPlans

// The list of armed plans: at most one entry per node, in the order they were armed.
class DownloadPlanList {
public:
    struct Entry {
        int nodeId = 0;
        quint8 mode = 0;
        qint64 time = 0;
    };
    struct Fired {
        int nodeId = 0;
        qint64 time = 0; // the plan time that fired (today's for a daily plan)
    };

    // Arms or disarms a node from its stored plan: a daily plan is armed for today unless a
    // download of the node is in progress (state 6 to 14); a single plan while it lies ahead;
    // anything else removes the node's entry.
    void Arm(int id, quint8 planMode, qint64 planTime, quint8 downloadCmdState, qint64 now);
    void Put(int id, quint8 mode, qint64 time);
    void Remove(int id);
    [[nodiscard]] bool IsEmpty() const { return m_entries.empty(); }
    [[nodiscard]] const std::vector<Entry> &Entries() const { return m_entries; }

    // One tick: an entry whose time (today's for a daily plan) passed less than 60 seconds ago
    // and differs from the node's last fired plan time fires when submit(id) queues its
    // download; a fired entry leaves the list. Entries not fired stay for the next tick.
    [[nodiscard]] std::vector<Fired> Tick(qint64 now, const std::function<qint64(int id)> &lastFired,
                                          const std::function<bool(int id)> &submit);

private:
    std::vector<Entry> m_entries;
};

// Runs the plan list for the nodes of the network table: arms a node's plan when its row or
// state changes, runs the 5-second timer while plans are armed and fires them while the
// receiver is connected. A fired plan sets the node's downloadTime and download state 6 and is
// announced, so that the node's row is updated (and a daily plan armed again once its download
// has ended).
class DownloadPlanner : public QObject {
    Q_OBJECT
public:
    // Queues the download of a node; true when queued.
    using Submitter = std::function<bool(int nodeId)>;

    DownloadPlanner(CCorvaneBeeNode &table, CCorvaneODBC &database, Submitter submit,
                    QObject *parent = nullptr);

    void SetClock(std::function<qint64()> clock) { m_clock = std::move(clock); }
    void SetConnected(std::function<bool()> connected) { m_connected = std::move(connected); }
    [[nodiscard]] qint64 Now() const { return m_clock(); }

    [[nodiscard]] const DownloadPlanList &Plans() const { return m_plans; }
    [[nodiscard]] bool IsTimerActive() const { return m_timer.isActive(); }

public slots:
    // Arms or disarms the node from its node-table row and live record; the timer follows.
    void NodeUpdated(int id);
    // Arms every node of the network table.
    void ArmAll();
    // Starts (true) or stops the timer whatever the list holds.
    void ForceTimer(bool on);
    // One tick of the timer.
    void Tick();

signals:
    void planFired(int nodeId, qint64 planTime);

private:
    // Arms or disarms the node from its row (nullptr: not in the node table).
    void Follow(int id, const NodeRow *row);
    void FollowTimer();

    CCorvaneBeeNode &m_table;
    CCorvaneODBC &m_database;
    Submitter m_submit;
    std::function<qint64()> m_clock;
    std::function<bool()> m_connected;
    DownloadPlanList m_plans;
    QTimer m_timer;
};
