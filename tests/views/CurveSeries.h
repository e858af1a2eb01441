#pragma once

#include "views/core/CurveSamples.h"

#include <algorithm>
#include <vector>

namespace viewtest {

// Samples held by the test: times from 1000 s, one channel or two.
struct Series {
    std::vector<qint64> times;
    std::vector<float> ch1;
    std::vector<float> ch2;

    Series(int n, float value1, float value2 = 0.0f)
        : times(size_t(n)), ch1(size_t(n), value1), ch2(size_t(n), value2)
    {
        for (int i = 0; i < n; ++i)
            times[size_t(i)] = 1000 + i;
    }
    CurveSamples View(bool two = true) const
    {
        CurveSamples s;
        s.times = times.data();
        s.count = int(times.size());
        const auto fill = [](CurveChannelData &c, const std::vector<float> &v) {
            c.values = v.data();
            c.min = *std::min_element(v.begin(), v.end());
            c.max = *std::max_element(v.begin(), v.end());
            c.lower = c.min;
            c.upper = c.max;
        };
        fill(s.channel[0], ch1);
        if (two)
            fill(s.channel[1], ch2);
        return s;
    }
};

} // namespace viewtest
