#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace bench {

struct ReadingTime {
    double t;
    const char* phase;
};

// The instruments of both cockpits (pressure instruments, compass, attitude and turn
// indicators, ball, yaw string, the radio's frequency) at the given times of a run, read back
// from its trace and shown in the units the pilot reads them in.
void PrintInstrumentReadings(const std::string& tracePath, const std::vector<ReadingTime>& times,
                             std::ostream& out);

// The battery charges and switches the module stored in its settings file when it stopped.
void PrintBatteries(const std::string& settingsPath, std::ostream& out);

} // namespace bench
