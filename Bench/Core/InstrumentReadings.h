#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace bench {

struct ReadingTime {
    double t;
    const char* phase;
};

// The pressure instruments and the compass of both cockpits at the given times of a run, read
// back from its trace and shown in the units the pilot reads them in.
void PrintInstrumentReadings(const std::string& tracePath, const std::vector<ReadingTime>& times,
                             std::ostream& out);

} // namespace bench
