#pragma once

#include "Bench/Replay/FlightState.h"
#include "Bench/Replay/LineSource.h"
#include "Bench/Replay/ReplayError.h"

#include <memory>
#include <optional>
#include <string>

namespace replay {

// A flight log read point by point, in time order. Next throws ReplayError on a fault.
class LogReader {
public:
    virtual ~LogReader() = default;
    // The next point; false after the last.
    virtual bool Next(LoggedPoint& point) = 0;
    // The calendar time of the first point, seconds since 1970, where the log gives the date.
    virtual std::optional<double> StartEpoch() const { return std::nullopt; }
    // Why the log's last line was passed over, or empty. A logger that loses power in flight
    // leaves its last line cut off; the flight it holds ends at the line before.
    const std::string& Warning() const { return warning; }

protected:
    // A fault on the last line of the log (blank lines after it aside) is a line cut off: it
    // becomes the warning and the log ends there (true). Anywhere else the fault stands (false).
    bool PassOverCutLastLine(LineSource& lines, const ReplayError& fault) {
        if (!lines.AtLastLine()) {
            return false;
        }
        warning =
            std::string(fault.what()) + " (the last line, cut off: the flight ends before it)";
        return true;
    }

private:
    std::string warning;
};

// Which altitude an IGC log's points carry: the pressure altitude where the logger recorded one
// (a log whose pressure altitudes are all zero had no pressure sensor), else the GNSS altitude.
enum class IgcAltitude { Pressure, Gnss };

// Opens the log by its name: ".igc" is an IGC file, ".csv" or ".csv.gz" a flight record.
std::unique_ptr<LogReader> OpenLog(const std::string& path, IgcAltitude altitude);

// The readers over a source of lines, for tests and fuzzing.
std::unique_ptr<LogReader> ReadIgc(std::unique_ptr<LineSource> lines, IgcAltitude altitude);
std::unique_ptr<LogReader> ReadRecord(std::unique_ptr<LineSource> lines);

} // namespace replay
