#pragma once

#include "Bench/Flight/Runner.h"
#include "Bench/Flight/Scenario.h"

#include <ostream>
#include <string>

namespace bench {

// The bench's own flight: what the module can do, from load to unload.
Scenario BuiltinFlight();

// Fills in the module, the SimConnect client library and the sound bank built beside the bench.
void FindCompanions(RunOptions& options);

// A readable account of a run, from its event log, its trace and its settings folder.
void PrintSummary(const RunResult& result, const std::string& eventsPath,
                  const std::string& tracePath, const std::string& settingsDir, std::ostream& out);

} // namespace bench
