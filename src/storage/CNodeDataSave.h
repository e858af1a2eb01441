#pragma once

#include "base/ValueFormat.h"

#include <QString>
#include <QtGlobal>

#include <memory>

// The sample store: the one loaded history (a stored record or a data file) with its sample
// times, the selected range and that range's statistics. Its sample blocks are allocated once
// with the store and never resized; the history view, its pages, the data file and the
// spreadsheet export all read it.
class CNodeDataSave {
public:
    static constexpr int kCapacity = 200000; // samples per channel

    CNodeDataSave();
    CNodeDataSave(const CNodeDataSave &) = delete;
    CNodeDataSave &operator=(const CNodeDataSave &) = delete;

    // Empties the record: no samples, no range, identity and limits cleared.
    void Clear();

    // Appends the samples of one stored segment: 16-bit little-endian values in hundredths,
    // byteCount bytes of 'bytes' (at least that many must be given). A dual-channel type takes
    // the values alternately for channel 1 and channel 2, starting with channel 1 in every
    // segment. Values beyond the capacity are dropped. Running maxima and minima follow.
    void AppendSegmentSamples(const quint8 *bytes, qint64 byteCount);

    // Fills time[i] = record start + i x interval for the whole block (zeros when the start or
    // the interval is 0).
    void FillSampleTimes();

    // Selects the samples between two times (seconds) and computes their statistics.
    // Returns 1 when the range was accepted, 0 when refused (statistics left as they were).
    int ComputeRangeStatistics(qint64 from, qint64 to);

    // The record's sample count n: the channel 1 count for a type with channel 1, else the
    // channel 2 count for a type with channel 2, else 0.
    [[nodiscard]] int SampleCount() const;
    // A range is loaded: first >= 0 and count >= 1.
    [[nodiscard]] bool HasRange() const { return rangeFirst >= 0 && rangeCount >= 1; }

    float *ch1() { return m_ch1.get(); }
    float *ch2() { return m_ch2.get(); }
    qint64 *times() { return m_times.get(); }
    [[nodiscard]] const float *ch1() const { return m_ch1.get(); }
    [[nodiscard]] const float *ch2() const { return m_ch2.get(); }
    [[nodiscard]] const qint64 *times() const { return m_times.get(); }

    qint64 recordStart = 0;
    qint64 recordEnd = 0;
    qint64 interval = 0;
    int ch1Count = 0;
    int ch2Count = 0;
    int rangeFirst = 0;
    int rangeCount = 0;
    QString name;
    quint8 deviceType = 0;
    QString nodeKey;
    quint8 alarmFlag = 0;
    float ch1Lower = kNoValue;
    float ch1Upper = kNoValue;
    float ch2Lower = kNoValue;
    float ch2Upper = kNoValue;
    float ch1Max = kNoValue;
    float ch1Min = kNoValue;
    float ch1Avg = kNoValue;
    float ch2Max = kNoValue;
    float ch2Min = kNoValue;
    float ch2Avg = kNoValue;

private:
    std::unique_ptr<float[]> m_ch1;
    std::unique_ptr<float[]> m_ch2;
    std::unique_ptr<qint64[]> m_times;
};
