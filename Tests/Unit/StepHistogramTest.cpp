// The bench's step-time histogram: its median stays within a percent of the exact one over the
// whole range of step times, and values beyond either end are still counted.
#include "Bench/Output/StepHistogram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

TEST(StepHistogram, TheMedianIsWithinAPercentOfTheExactOne) {
    EXPECT_EQ(bench::StepHistogram().Median(), 0.0);
    std::mt19937_64 random(5);
    for (const double typical : {900.0, 25'000.0, 3.0e6, 2.0e9}) {
        std::lognormal_distribution<double> spread(std::log(typical), 0.6);
        bench::StepHistogram histogram;
        std::vector<std::int64_t> values;
        for (int i = 0; i < 20001; ++i) {
            values.push_back(static_cast<std::int64_t>(spread(random)));
            histogram.Add(values.back());
        }
        std::nth_element(values.begin(), values.begin() + 10000, values.end());
        const double exact = static_cast<double>(values[10000]);
        EXPECT_NEAR(histogram.Median(), exact, exact * 0.01) << typical;
        std::nth_element(values.begin(), values.begin() + 19800, values.end());
        const double p99 = static_cast<double>(values[19800]);
        EXPECT_NEAR(histogram.Quantile(0.99), p99, p99 * 0.01) << typical;
        EXPECT_EQ(histogram.Count(), 20001u);
    }
    // Below the first bin and beyond the last: counted at the edges, never lost.
    bench::StepHistogram edges;
    for (const std::int64_t ns : {0LL, 5LL, 1'000'000'000'000LL}) {
        edges.Add(ns);
    }
    EXPECT_LT(edges.Median(), 65.0);
    edges.Add(1'000'000'000'000LL);
    edges.Add(1'000'000'000'000LL);
    EXPECT_GT(edges.Median(), 60e9);
}
