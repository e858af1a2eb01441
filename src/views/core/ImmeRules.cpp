#include "views/core/ImmeRules.h"

#include "views/core/LoggingRules.h"

#include "network/BeeNodeItem.h"
#include "network/CCorvaneBeeNode.h"

namespace ImmeRules {

namespace {

struct CommandStates {
    RequestKind kind;
    quint8 queued;
    quint8 completed;
};

CommandStates StatesOf(Command command)
{
    switch (command) {
    case Command::Start:
        return {RequestKind::SetRealTime, 6, 21};
    case Command::Stop:
        return {RequestKind::SetRealTime, 10, 23};
    case Command::Fetch:
        break;
    }
    return {RequestKind::ReadRealTime, 14, 25};
}

constexpr quint8 kStartCancelled = 26;
constexpr quint8 kStopCancelled = 27;
constexpr quint8 kFetchCancelled = 28;

} // namespace

RequestKind KindOf(Command command)
{
    return StatesOf(command).kind;
}

quint8 QueuedState(Command command)
{
    return StatesOf(command).queued;
}

quint8 CompletedState(Command command)
{
    return StatesOf(command).completed;
}

qint64 PickerStart(qint64 rtInterval)
{
    return rtInterval != 0 ? LoggingRules::PickerInterval(rtInterval) : kDefaultInterval;
}

std::vector<int> ApplyInterval(CCorvaneBeeNode &table, const std::vector<int> &ids, qint64 interval)
{
    std::vector<int> changed;
    if (interval <= 0)
        return changed;
    for (const int id : ids) {
        if (!table.Find(id))
            continue;
        table.SetRtCmdState(id, kStateChanged);
        table.SetRtRequestedInterval(id, interval);
        changed.push_back(id);
    }
    return changed;
}

void PrepareStop(CCorvaneBeeNode &table, int id)
{
    table.SetRtInterval(id, 0);
    table.SetRtRequestedInterval(id, 0);
}

std::vector<int> ApplyTargets(int selected, const std::vector<int> &checked, int mode)
{
    std::vector<int> ids{selected};
    if (mode != kApplyToChecked)
        return ids;
    for (const int id : checked) {
        if (id != selected)
            ids.push_back(id);
    }
    return ids;
}

quint8 Cancel(CCorvaneBeeNode &table, int id, bool checked,
              const std::function<bool(RequestKind kind)> &removeQueued)
{
    const BeeNodeItem *live = table.Find(id);
    if (!checked || !live)
        return 0;
    quint8 state = 0;
    if (removeQueued(RequestKind::SetRealTime))
        state = live->rtRequestedInterval == 0 ? kStopCancelled : kStartCancelled;
    if (removeQueued(RequestKind::ReadRealTime))
        state = kFetchCancelled;
    if (state != 0)
        table.SetRtCmdState(id, state);
    return state;
}

} // namespace ImmeRules
