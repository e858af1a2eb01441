#include "storage/CNodeDataSave.h"

#include "storage/HistoryCodec.h"

#include <algorithm>

CNodeDataSave::CNodeDataSave()
    : m_ch1(new float[kCapacity]()), m_ch2(new float[kCapacity]()), m_times(new qint64[kCapacity]())
{
}

void CNodeDataSave::Clear()
{
    recordStart = recordEnd = interval = 0;
    ch1Count = ch2Count = 0;
    rangeFirst = rangeCount = 0;
    name.clear();
    deviceType = 0;
    nodeKey.clear();
    alarmFlag = 0;
    ch1Lower = ch1Upper = ch2Lower = ch2Upper = kNoValue;
    ch1Max = ch1Min = ch1Avg = ch2Max = ch2Min = ch2Avg = kNoValue;
}

void CNodeDataSave::AppendSegmentSamples(const quint8 *bytes, qint64 byteCount)
{
    const bool has1 = HistoryCodec::HasChannel1(deviceType);
    const bool has2 = HistoryCodec::HasChannel2(deviceType);
    if (!has1 && !has2)
        return;
    // Every value consumes two bytes; a value whose bytes run past the count is not taken.
    // Loading ends at the first value whose channel is full: a full store of a dual-channel
    // record keeps its last channel 2 value.
    for (qint64 consumed = 2, index = 0; consumed <= byteCount; consumed += 2, ++index) {
        const bool firstOfPair = (index % 2) == 0;
        const bool toChannel1 = firstOfPair ? has1 : !has2;
        if ((toChannel1 ? ch1Count : ch2Count) >= kCapacity)
            return;
        const float v = HistoryCodec::SampleValue(bytes[consumed - 2], bytes[consumed - 1]);
        if (toChannel1) {
            m_ch1[ch1Count++] = v;
            ch1Max = std::max(ch1Max, v);
            ch1Min = std::min(ch1Min, v);
        } else {
            m_ch2[ch2Count++] = v;
            ch2Max = std::max(ch2Max, v);
            ch2Min = std::min(ch2Min, v);
        }
    }
}

void CNodeDataSave::FillSampleTimes()
{
    if (recordStart == 0 || interval == 0) {
        std::fill(m_times.get(), m_times.get() + kCapacity, qint64(0));
        return;
    }
    qint64 t = recordStart;
    for (int i = 0; i < kCapacity; ++i, t += interval)
        m_times[i] = t;
}

int CNodeDataSave::SampleCount() const
{
    if (HistoryCodec::HasChannel1(deviceType))
        return ch1Count;
    if (HistoryCodec::HasChannel2(deviceType))
        return ch2Count;
    return 0;
}

int CNodeDataSave::ComputeRangeStatistics(qint64 from, qint64 to)
{
    rangeFirst = 0;
    rangeCount = 0;
    // A negative interval cannot order samples in time; it is refused like a zero one.
    if (recordStart == 0 || recordEnd == 0 || from == 0 || to == 0 || interval <= 0)
        return 0;
    if (recordStart > recordEnd || from > to || recordStart > to)
        return 0;

    const int n = SampleCount();
    qint64 first = 0;
    if (from > recordStart) {
        const qint64 span = from - recordStart;
        first = span / interval + (span % interval != 0 ? 1 : 0);
    }
    qint64 count = (to < recordEnd) ? (to - recordStart) / interval - first + 1 : n - first;
    // A range starting after the last sample holds nothing; never read past the samples.
    count = std::clamp<qint64>(count, 0, std::max<qint64>(0, n - first));

    const bool has1 = HistoryCodec::HasChannel1(deviceType);
    const bool has2 = HistoryCodec::HasChannel2(deviceType);
    rangeFirst = static_cast<int>(std::min<qint64>(first, kCapacity));
    rangeCount = static_cast<int>(count);
    if (count == 0) {
        ch1Max = ch1Min = ch1Avg = ch2Max = ch2Min = ch2Avg = kNoValue;
        return 1;
    }

    const int begin = rangeFirst;
    const int end = rangeFirst + rangeCount;
    auto stats = [begin, end](const float *v, float &mx, float &mn, float &avg) {
        float hi = v[begin];
        float lo = v[begin];
        double sum = 0.0;
        for (int i = begin; i < end; ++i) {
            const float x = v[i];
            sum += x;
            hi = x > hi ? x : hi;
            lo = x < lo ? x : lo;
        }
        mx = hi;
        mn = lo;
        avg = static_cast<float>(sum / (end - begin));
    };
    if (has1)
        stats(m_ch1.get(), ch1Max, ch1Min, ch1Avg);
    else
        ch1Max = ch1Min = ch1Avg = kNoValue;
    if (has2)
        stats(m_ch2.get(), ch2Max, ch2Min, ch2Avg);
    else
        ch2Max = ch2Min = ch2Avg = kNoValue;
    return 1;
}
