#pragma once

#include "Bench/Output/InstrumentReadings.h"

#include <ostream>
#include <string>
#include <vector>

namespace bench {

// The spoiler, flap and gear handles and the covers at the given times of a run, read back from
// its trace.
void PrintHandleReadings(const std::string& tracePath, const std::vector<ReadingTime>& times,
                         std::ostream& out);

} // namespace bench
