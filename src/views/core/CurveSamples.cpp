#include "views/core/CurveSamples.h"

#include "storage/CNodeDataSave.h"
#include "base/NodeType.h"

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
