#pragma once

#include "Bench/Output/StepHistogram.h"

#include <chrono>
#include <cstdint>
#include <ostream>

namespace bench {

// The speed figures of a run, as --stats prints them.
struct RunStats {
    double simulatedSeconds = 0.0;
    double wallSeconds = 0.0;
    std::uint64_t ticks = 0;
    double nsPerTick = 0.0;
    double allocationsPerTick = 0.0;
    double nsPerFourSecondStep = 0.0; // median wall time of the steps that handled a "4sec"
    long peakRssKb = 0;
    double allocationsPerPlainTick = 0.0; // of the steps that handled no "4sec"
    double baselineNsPerTick = 0.0;       // median step of the stand-in making the same host calls
    // Paced flights only: how long after its due wall time a step began (median, the 99th
    // percentile and the worst).
    double lateNsMedian = 0.0;
    double lateNsP99 = 0.0;
    double lateNsMax = 0.0;
    bool paced = false;
    int frameMs = 10; // the host's frame, as the run flew it
    // Application ticks times the module's 0.055 s time step, per host second: 1 when the
    // module's time runs with the host's.
    double moduleSecondsPerHostSecond = 0.0;
};

void PrintStats(const RunStats& stats, std::ostream& out);

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

// Counts heap allocations of the process; the bench program installs one, tests run without.
using AllocationCounter = std::uint64_t (*)();
void SetAllocationCounter(AllocationCounter counter);
// The heap allocations the process has made so far; 0 without a counter installed.
std::uint64_t CountAllocations();

} // namespace bench
