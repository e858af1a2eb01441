#pragma once

#include "views/core/CurveSamples.h"

#include <array>
#include <vector>

// Min/max decimation of the samples on one screen: each window of `step` samples gives its
// largest and smallest sample (in time order, one point when they are the same sample), so a
// single-sample spike stays visible however many samples share a screen column.
struct CurveDecimation {
    int perScreen = 0;      // M = N / zoom
    int step = 2;           // K, samples per window
    int pixelsPerPoint = 1; // D
    int points = 0;         // points per channel
    // Sample indices (0-based in the samples) per channel; both have `points` entries when the
    // channel exists, channel 2 taking the positions of channel 1's points.
    std::array<std::vector<int>, CurveSamples::kChannels> index;

    // Decimates from sample `first` with the samples spread over `zoom` screens of `plotWidth`
    // pixels.
    [[nodiscard]] static CurveDecimation Run(const CurveSamples &samples, int first, int zoom, int plotWidth);
    // The most points one screen takes: plotWidth / D + 2.
    [[nodiscard]] int PointLimit(int plotWidth) const { return plotWidth / pixelsPerPoint + 2; }
};
