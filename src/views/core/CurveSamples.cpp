#include "views/core/CurveSamples.h"

#include "base/NodeType.h"
#include "network/BeeNodeItem.h"
#include "storage/CNodeDataSave.h"

CurveSamples CurveSamples::FromDataSet(const CNodeDataSave &set)
{
    CurveSamples s;
    s.times = set.times();
    s.first = set.HasRange() ? set.rangeFirst : 0;
    s.count = set.HasRange() ? set.rangeCount : 0;
    s.alarm = set.alarmFlag == 4;
    if (NodeType::HasChannel1(set.deviceType))
        s.channel[0] = {set.ch1(), set.ch1Min, set.ch1Max, set.ch1Lower, set.ch1Upper, {}, false};
    if (NodeType::HasChannel2(set.deviceType))
        s.channel[1] = {set.ch2(), set.ch2Min, set.ch2Max, set.ch2Lower, set.ch2Upper, {}, false};
    return s;
}

CurveSamples CurveSamples::FromRing(const BeeNodeItem &live)
{
    CurveSamples s;
    s.count = live.RtCount();
    if (s.count == 0)
        return s;
    s.times = live.rtTimes.get();
    s.first = live.rtFirst;
    s.ring = BeeNodeItem::kRingSize;
    s.alarm = (live.status & NodeType::kStatusAlarmEnabled) != 0;
    if (NodeType::HasChannel1(live.type))
        s.channel[0] = {live.rtCh1.get(), live.ch1Min, live.ch1Max, live.ch1Lower, live.ch1Upper, {}, false};
    if (NodeType::HasChannel2(live.type))
        s.channel[1] = {live.rtCh2.get(), live.ch2Min, live.ch2Max, live.ch2Lower, live.ch2Upper, {}, false};
    return s;
}
