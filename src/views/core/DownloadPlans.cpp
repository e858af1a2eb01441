#include "views/core/DownloadPlans.h"

#include "base/CvTime.h"
#include "network/CCorvaneBeeNode.h"
#include "storage/CCorvaneODBC.h"

#include <algorithm>
#include <unordered_map>

namespace DownloadPlans {

qint64 TodayAt(qint64 time, qint64 now)
{
    const CvTime::LocalFields day = CvTime::ToLocal(now);
    const CvTime::LocalFields clock = CvTime::ToLocal(time);
    return CvTime::FromLocal({day.year, day.month, day.day, clock.hour, clock.minute, clock.second})
        .value_or(now);
}

int CheckPlan(quint8 mode, qint64 time, qint64 now)
{
    return mode == Once && time <= now ? kInvalidTime : 0;
}

int CheckRange(quint8 mode, qint64 from, qint64 to)
{
    return mode == 1 && from >= to ? kInvalidTime : 0;
}

bool SavePlan(CCorvaneODBC &database, int id, quint8 mode, qint64 time)
{
    if (!database.IsOpen() || database.SeekLookupNode(id) != 1)
        return false;
    const bool planned = mode == Daily || mode == Once;
    NodeChange change;
    change.mask = NodeChange::DownloadPlanMode | NodeChange::DownloadPlanTime;
    change.values.extaddress = database.LookupCursor().Row().extaddress;
    change.values.downloadplanmode = planned ? mode : quint8(None);
    change.values.downloadplantime = planned ? time : 0;
    return database.SaveNode(change) == 1;
}

void SetMode(CCorvaneBeeNode &table, int id, quint8 mode, qint64 from, qint64 to)
{
    const bool range = mode == 1;
    table.SetDownloadPlanMode(id, range ? 1 : 0);
    table.SetDownloadPlanFrom(id, range ? from : 0);
    table.SetDownloadPlanTo(id, range ? to : 0);
}

} // namespace DownloadPlans

void DownloadPlanList::Arm(int id, quint8 planMode, qint64 planTime, quint8 downloadCmdState, qint64 now)
{
    using namespace DownloadPlans;
    if (planMode == Daily && planTime != 0) {
        const bool running = downloadCmdState >= 6 && downloadCmdState <= 14;
        if (!running)
            Put(id, Daily, TodayAt(planTime, now));
    } else if (planMode == Once && planTime != 0) {
        if (now < planTime)
            Put(id, Once, planTime);
    } else {
        Remove(id);
    }
}

void DownloadPlanList::Put(int id, quint8 mode, qint64 time)
{
    Remove(id);
    m_entries.push_back({id, mode, time});
}

void DownloadPlanList::Remove(int id)
{
    m_entries.erase(
        std::remove_if(m_entries.begin(), m_entries.end(), [id](const Entry &e) { return e.nodeId == id; }),
        m_entries.end());
}

std::vector<DownloadPlanList::Fired> DownloadPlanList::Tick(qint64 now,
                                                            const std::function<qint64(int)> &lastFired,
                                                            const std::function<bool(int)> &submit)
{
    std::vector<Fired> fired;
    for (const Entry &entry : std::vector<Entry>(m_entries)) {
        const qint64 due =
            entry.mode == DownloadPlans::Daily ? DownloadPlans::TodayAt(entry.time, now) : entry.time;
        const qint64 late = now - due;
        if (late >= 0 && late < DownloadPlans::kWindow && due != lastFired(entry.nodeId) &&
            submit(entry.nodeId))
            fired.push_back({entry.nodeId, due});
    }
    for (const Fired &f : fired)
        Remove(f.nodeId);
    return fired;
}

DownloadPlanner::DownloadPlanner(CCorvaneBeeNode &table, CCorvaneODBC &database, Submitter submit,
                                 QObject *parent)
    : QObject(parent), m_table(table), m_database(database), m_submit(std::move(submit)),
      m_clock(&CvTime::Now), m_connected([] { return true; })
{
    m_timer.setInterval(DownloadPlans::kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &DownloadPlanner::Tick);
}

void DownloadPlanner::NodeUpdated(int id)
{
    const bool found = m_database.IsOpen() && m_database.SeekLookupNode(id) == 1;
    Follow(id, found ? &m_database.LookupCursor().Row() : nullptr);
    FollowTimer();
}

void DownloadPlanner::Follow(int id, const NodeRow *row)
{
    const BeeNodeItem *live = m_table.Find(id);
    if (!live || !row)
        m_plans.Remove(id);
    else
        m_plans.Arm(id, row->downloadplanmode, row->downloadplantime, live->downloadCmdState, Now());
}

void DownloadPlanner::ArmAll()
{
    // The table read once rather than sought node by node (thousands of nodes at start-up).
    std::unordered_map<int, NodeRow> rows;
    if (m_database.IsOpen()) {
        for (NodeRow &row : m_database.ReadNodes())
            rows.emplace(row.id, std::move(row)); // the first row of an id, as a seek finds it
    }
    for (const int id : m_table.Ids()) {
        const auto it = rows.find(id);
        Follow(id, it == rows.end() ? nullptr : &it->second);
    }
    FollowTimer();
}

void DownloadPlanner::ForceTimer(bool on)
{
    if (on)
        m_timer.start();
    else
        m_timer.stop();
}

void DownloadPlanner::Tick()
{
    if (!m_connected())
        return;
    const auto lastFired = [this](int id) {
        const BeeNodeItem *live = m_table.Find(id);
        return live ? live->downloadTime : 0;
    };
    for (const DownloadPlanList::Fired &f : m_plans.Tick(Now(), lastFired, m_submit)) {
        m_table.SetDownloadTime(f.nodeId, f.time);
        m_table.SetDownloadCmdState(f.nodeId, DownloadPlans::kStateStarted);
        emit planFired(f.nodeId, f.time);
    }
    FollowTimer();
}

void DownloadPlanner::FollowTimer()
{
    if (m_plans.IsEmpty())
        m_timer.stop();
    else if (!m_timer.isActive())
        m_timer.start();
}
