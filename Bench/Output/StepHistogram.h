#pragma once

#include <array>
#include <cstdint>

namespace bench {

// Wall times of steps in constant memory, however long the run: a histogram of logarithmic
// bins, each about 1.1 % wide, from 64 ns to beyond a minute. The median comes back as the
// middle of its bin, so within about half a percent of the true one.
class StepHistogram {
public:
    void Add(std::int64_t nanoseconds);
    std::uint64_t Count() const { return count; }
    // The median (the value at index count / 2 in sorted order); 0 without values.
    double Median() const { return Quantile(0.5); }
    // The value at index q * count (rounded down, at most the last) in sorted order.
    double Quantile(double q) const;

private:
    static constexpr int kBinsPerOctave = 64;
    static constexpr double kLowest = 64.0; // ns: the lower edge of the first bin
    static constexpr std::size_t kBins = 32 * kBinsPerOctave;

    std::array<std::uint64_t, kBins> bins{};
    std::uint64_t count = 0;
};

} // namespace bench
