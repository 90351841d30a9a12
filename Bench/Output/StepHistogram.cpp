#include "Bench/Output/StepHistogram.h"

#include <algorithm>
#include <cmath>

namespace bench {

void StepHistogram::Add(std::int64_t nanoseconds) {
    const double ns = std::max(static_cast<double>(nanoseconds), kLowest);
    const double bin = std::floor(std::log2(ns / kLowest) * kBinsPerOctave);
    bins[static_cast<std::size_t>(std::min(bin, static_cast<double>(kBins - 1)))] += 1;
    ++count;
}

double StepHistogram::Quantile(double q) const {
    if (count == 0) {
        return 0.0;
    }
    // Index of the wanted value among the sorted values.
    const std::uint64_t wanted =
        std::min(count - 1, static_cast<std::uint64_t>(
                                std::floor(std::clamp(q, 0.0, 1.0) * static_cast<double>(count))));
    std::uint64_t seen = 0;
    std::size_t bin = 0;
    for (; bin < kBins - 1; ++bin) {
        seen += bins[bin];
        if (seen > wanted) {
            break;
        }
    }
    return kLowest * std::exp2((static_cast<double>(bin) + 0.5) / kBinsPerOctave);
}

} // namespace bench
