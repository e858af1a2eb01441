#include "views/core/CurveSamples.h"

#include "storage/CNodeDataSave.h"
#include "storage/NodeType.h"

CurveSamples CurveSamples::FromDataSet(const CNodeDataSave &set)
{
    CurveSamples s;
    s.times = set.times();
    s.first = set.HasRange() ? set.rangeFirst : 0;
    s.count = set.HasRange() ? set.rangeCount : 0;
    s.alarm = set.alarmFlag == 4;
    auto &c1 = s.channel[0];
    auto &c2 = s.channel[1];
    if (NodeType::HasChannel1(set.deviceType)) {
        c1.values = set.ch1();
        c1.min = set.ch1Min;
        c1.max = set.ch1Max;
        c1.lower = set.ch1Lower;
        c1.upper = set.ch1Upper;
    }
    if (NodeType::HasChannel2(set.deviceType)) {
        c2.values = set.ch2();
        c2.min = set.ch2Min;
        c2.max = set.ch2Max;
        c2.lower = set.ch2Lower;
        c2.upper = set.ch2Upper;
    }
    return s;
}
