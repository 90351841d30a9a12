#include "Bench/Output/StepStats.h"

#include <ostream>

namespace bench {

namespace {
AllocationCounter allocationCounter = nullptr;

double PerStep(std::uint64_t count, std::uint64_t steps) {
    return steps == 0 ? 0.0 : static_cast<double>(count) / static_cast<double>(steps);
}
} // namespace

void SetAllocationCounter(AllocationCounter counter) {
    allocationCounter = counter;
}

std::uint64_t CountAllocations() {
    return allocationCounter != nullptr ? allocationCounter() : 0;
}

void StepStats::BeginStep() {
    if (enabled) {
        allocationsBefore = CountAllocations();
        started = Clock::now();
    }
}

void StepStats::EndStep(bool save, bool steady) {
    if (!enabled) {
        return;
    }
    const std::int64_t ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - started).count();
    stepNs.Add(ns);
    if (save) {
        saveNs.Add(ns);
    }
    if (steady) {
        const std::uint64_t allocations = CountAllocations() - allocationsBefore;
        steadyAllocations += allocations;
        ++steadySteps;
        if (!save) {
            plainAllocations += allocations;
            ++plainSteps;
        }
    }
}

void StepStats::Finish(RunStats& s) const {
    s.nsPerTick = stepNs.Median();
    s.nsPerFourSecondStep = saveNs.Median();
    s.allocationsPerTick = PerStep(steadyAllocations, steadySteps);
    s.allocationsPerPlainTick = PerStep(plainAllocations, plainSteps);
}

void PrintStats(const RunStats& s, std::ostream& out) {
    out << "simulated_s: " << s.simulatedSeconds << "\n";
    out << "wall_s: " << s.wallSeconds << "\n";
    out << "speedup: " << (s.wallSeconds > 0.0 ? s.simulatedSeconds / s.wallSeconds : 0.0) << "\n";
    out << "ticks: " << s.ticks << "\n";
    out << "ns_per_tick: " << s.nsPerTick << "\n";
    out << "allocations_per_tick: " << s.allocationsPerTick << "\n";
    out << "ns_per_4sec_step: " << s.nsPerFourSecondStep << "\n";
    out << "peak_rss_kb: " << s.peakRssKb << "\n";
    out << "allocations_per_plain_tick: " << s.allocationsPerPlainTick << "\n";
    out << "baseline_ns_per_tick: " << s.baselineNsPerTick << "\n";
    out << "tick_ratio: " << (s.baselineNsPerTick > 0.0 ? s.nsPerTick / s.baselineNsPerTick : 0.0)
        << "\n";
    out << "frame_ms: " << s.frameMs << "\n";
    out << "module_s_per_host_s: " << s.moduleSecondsPerHostSecond << "\n";
    if (s.paced) {
        out << "late_ns_median: " << s.lateNsMedian << "\n";
        out << "late_ns_p99: " << s.lateNsP99 << "\n";
        out << "late_ns_max: " << s.lateNsMax << "\n";
    }
}

} // namespace bench
