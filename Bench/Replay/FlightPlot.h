#pragma once

#include "Bench/Replay/CockpitReading.h"

#include <string>
#include <vector>

namespace replay {

// The readings kept for the picture: at most kMostRows, however long the flight; when full,
// every other row goes and from then on only every other row is kept, so the picture always
// covers the whole flight evenly.
class PlotRecorder {
public:
    static constexpr std::size_t kMostRows = 4000;
    void Add(const CockpitReading& reading);
    const std::vector<CockpitReading>& Rows() const { return rows; }

private:
    std::vector<CockpitReading> rows;
    std::size_t stride = 1;
    std::size_t seen = 0;
};

// One picture, a panel per quantity (altitude, vertical speed, airspeed, heading, bank, pitch,
// turn rate, slip ball): the flight's value and the instruments' readings against flight time,
// with labelled axes and a legend. False with `error` set when it cannot be written.
bool WriteFlightPlot(const std::vector<CockpitReading>& rows, const std::string& title,
                     const std::string& path, std::string& error);

} // namespace replay
