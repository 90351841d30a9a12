#pragma once

#include "Bench/Flight/Runner.h"
#include "Bench/Output/StepHistogram.h"

#include <chrono>
#include <cstdint>

namespace bench {

// The figures of --stats as the steps go by: each step's timers timed and their heap
// allocations counted, in the same memory however long the flight. Off, it does nothing.
class StepStats {
public:
    explicit StepStats(bool on) : enabled(on) {}

    void BeginStep();
    // `save`: the step handled a "4sec" event; `steady`: it came after the first second.
    void EndStep(bool save, bool steady);
    void Finish(RunStats& stats) const;

private:
    using Clock = std::chrono::steady_clock;

    bool enabled;
    Clock::time_point started{};
    std::uint64_t allocationsBefore = 0;
    StepHistogram stepNs;
    StepHistogram saveNs;
    std::uint64_t steadyAllocations = 0;
    std::uint64_t steadySteps = 0;
    std::uint64_t plainAllocations = 0; // of the steady steps without a save
    std::uint64_t plainSteps = 0;
};

// The heap allocations the process has made so far; 0 without a counter installed.
std::uint64_t CountAllocations();

} // namespace bench
