#pragma once

#include <algorithm>

// The middle of a benchmark's samples (the upper middle of an even count); 0 without samples.
template <typename Samples>
double median(Samples samples) {
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}
