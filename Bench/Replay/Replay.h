#pragma once

#include "Bench/Flight/Runner.h"

#include <optional>
#include <ostream>
#include <string>

namespace replay {

struct ReplayOptions {
    std::string logPath;
    std::string comparePath; // empty: no compare file
    std::string plotPath;    // empty: no picture
    double from = 0.0;       // seconds into the flight
    std::optional<double> to;
    int failures = 0; // the service panel's failure slider, 0 (none) to 100
    // Progress on standard error for a replay longer than a second of wall time; the caller
    // decides whether anyone watches it.
    bool progress = false;
};

// Seconds of simulated time before the flight starts, the glider held at its first state,
// while the pilot sets the cockpit up.
inline constexpr double kLeadInS = 3.0;

// Replays the log through the cockpit: the module flown by the bench with the host's values
// taken from the log each step, the instruments read back every flight second into the
// comparison and the picture. Prints the comparison's summary on `out`. Returns the run's
// result; a damaged log is bad input (its message names file and line) and nothing is flown.
bench::RunResult RunReplay(const ReplayOptions& replay, const bench::RunOptions& run,
                           std::ostream& out);

} // namespace replay
