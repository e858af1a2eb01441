#include "network/BeeNodeItem.h"

#include "base/NodeType.h"

bool BeeNodeItem::AddRtSample(qint64 time, float ch1, float ch2)
{
    if (!NodeType::HasChannel1(type))
        return false;
    if (rtLast < 0) {
        rtFirst = rtLast = 0;
        if (!rtTimes)
            rtTimes = std::make_unique<qint64[]>(kRingSize);
        if (!rtCh1) {
            rtCh1 = std::make_unique<float[]>(kRingSize);
            ch1Max = ch1Min = ch1;
        }
        if (NodeType::HasChannel2(type) && !rtCh2) {
            rtCh2 = std::make_unique<float[]>(kRingSize);
            ch2Max = ch2Min = ch2;
        }
    } else {
        rtLast = (rtLast + 1) % kRingSize;
        if (rtLast == rtFirst)
            rtFirst = (rtFirst + 1) % kRingSize; // the oldest sample is overwritten
    }
    rtTimes[size_t(rtLast)] = time;
    rtCh1[size_t(rtLast)] = ch1;
    if (ch1 < ch1Min)
        ch1Min = ch1;
    if (ch1 > ch1Max)
        ch1Max = ch1;
    if (rtCh2) {
        rtCh2[size_t(rtLast)] = ch2;
        if (ch2 < ch2Min)
            ch2Min = ch2;
        if (ch2 > ch2Max)
            ch2Max = ch2;
    }
    return true;
}

int BeeNodeItem::RtCount() const
{
    if (rtLast < 0)
        return 0;
    const int count = rtLast - rtFirst + 1;
    return count < 1 ? count + kRingSize : count;
}

qint64 BeeNodeItem::RtTime(int i) const
{
    if (i < 0 || i >= RtCount() || !rtTimes)
        return 0;
    return rtTimes[size_t((rtFirst + i) % kRingSize)];
}

float BeeNodeItem::RtCh1(int i) const
{
    if (i < 0 || i >= RtCount() || !rtCh1)
        return kNoValue;
    return rtCh1[size_t((rtFirst + i) % kRingSize)];
}

float BeeNodeItem::RtCh2(int i) const
{
    if (i < 0 || i >= RtCount() || !rtCh2)
        return kNoValue;
    return rtCh2[size_t((rtFirst + i) % kRingSize)];
}

GprsName BeeNodeItem::MakeGprsName(const QString &name)
{
    static const char kHex[] = "0123456789ABCDEF";
    GprsName out{};
    const int units = std::min<int>(int(name.size()), 12);
    for (int u = 0; u < units; ++u) {
        const ushort code = name.at(u).unicode();
        for (int d = 0; d < 4; ++d)
            out[size_t(u * 4 + d)] = quint8(kHex[(code >> (12 - 4 * d)) & 0xF]);
    }
    return out;
}
