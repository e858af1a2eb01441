#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

class CNodeDataSave;
struct BeeNodeItem;

// One channel of the samples a curve shows. The arrays are not owned: the caller keeps them
// alive while the plot uses them.
struct CurveChannelData {
    const float *values = nullptr; // null when the logger has no such channel
    float min = 0.0f;              // extremes that fix the value axis
    float max = 0.0f;
    float lower = 0.0f; // alarm limits
    float upper = 0.0f;
    QString unit;
    bool fahrenheit = false; // labels and read-outs show value x 1.8 + 32
};

// The samples of one curve, whatever holds them: a contiguous range of arrays (the history
// sample store) or a ring whose positions wrap (the real-time ring of a logger).
struct CurveSamples {
    static constexpr int kChannels = 2;

    const qint64 *times = nullptr;
    std::array<CurveChannelData, kChannels> channel;
    int count = 0; // N
    int first = 0; // array position of sample 0
    int ring = 0;  // > 0: positions wrap at this size
    bool alarm = false;

    [[nodiscard]] int Position(int i) const
    {
        const int p = first + i;
        return (ring > 0 && p >= ring) ? p - ring : p;
    }
    [[nodiscard]] bool HasChannel(int c) const { return channel[size_t(c)].values != nullptr; }
    [[nodiscard]] float Value(int c, int i) const { return channel[size_t(c)].values[Position(i)]; }
    [[nodiscard]] qint64 Time(int i) const { return times ? times[Position(i)] : 0; }

    // The selected range of the history sample store with its limits and extremes; the unit
    // texts are the caller's.
    [[nodiscard]] static CurveSamples FromDataSet(const CNodeDataSave &set);
    // The real-time ring of a logger, oldest sample first, with its limits and extremes; the
    // unit texts are the caller's.
    [[nodiscard]] static CurveSamples FromRing(const BeeNodeItem &live);
};
