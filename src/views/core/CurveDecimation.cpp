#include "views/core/CurveDecimation.h"

#include <algorithm>

namespace {

// Indices of the largest (first occurrence) and the smallest (last occurrence) value of channel
// c among samples [begin, end).
struct Extremes {
    int high;
    int low;
};

Extremes FindExtremes(const CurveSamples &s, int c, int begin, int end)
{
    const float *values = s.channel[size_t(c)].values;
    int pos = s.Position(begin);
    float high = values[pos];
    float low = high;
    Extremes e{begin, begin};
    for (int i = begin; i < end; ++i, ++pos) {
        if (s.ring > 0 && pos == s.ring)
            pos = 0;
        const float v = values[pos];
        if (v > high) {
            high = v;
            e.high = i;
        }
        if (v <= low) {
            low = v;
            e.low = i;
        }
    }
    return e;
}

// The window's one or two indices in time order.
int Ordered(const Extremes &e, int out[2])
{
    out[0] = std::min(e.high, e.low);
    out[1] = std::max(e.high, e.low);
    return e.high == e.low ? 1 : 2;
}

} // namespace

CurveDecimation CurveDecimation::Run(const CurveSamples &s, int first, int zoom, int plotWidth)
{
    CurveDecimation d;
    const int n = s.count;
    d.perScreen = n / std::max(1, zoom);
    if (plotWidth > 0 && plotWidth <= d.perScreen) {
        d.step = (2 * d.perScreen) / plotWidth + 1;
    } else if (d.perScreen >= 1) {
        d.pixelsPerPoint = std::max(1, plotWidth / d.perScreen);
    }
    if (!s.HasChannel(0) || plotWidth <= 0)
        return d;
    const bool two = s.HasChannel(1);
    const int limit = d.PointLimit(plotWidth);
    d.index[0].reserve(size_t(limit + 1));
    if (two)
        d.index[1].reserve(size_t(limit + 1));
    for (int i = std::max(0, first); d.points < limit && i < n; i += d.step) {
        const int end = std::min(i + d.step, n);
        int one[2];
        const int count1 = Ordered(FindExtremes(s, 0, i, end), one);
        d.index[0].insert(d.index[0].end(), one, one + count1);
        if (two) {
            int other[2];
            // Channel 2 fills the positions of channel 1's points: a single point is repeated,
            // a second point beyond channel 1's count has no position.
            const int count2 = Ordered(FindExtremes(s, 1, i, end), other);
            for (int k = 0; k < count1; ++k)
                d.index[1].push_back(other[std::min(k, count2 - 1)]);
        }
        d.points += count1;
    }
    return d;
}
