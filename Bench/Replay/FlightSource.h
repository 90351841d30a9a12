#pragma once

#include "Bench/Replay/Derivation.h"
#include "Bench/Replay/FlightState.h"

#include <array>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace replay {

// A recorded flight as the host flies it: the state at any moment, asked for with time moving
// forward (one frame of the host after another), interpolated between the log's points. A runner or
// a server loop asks At(t) each step and hands the values to the host (see HostFeed).
class FlightSource {
public:
    virtual ~FlightSource() = default;
    // Seconds from the log's first point to its last.
    virtual double Duration() const = 0;
    // The calendar time of the first point, seconds since 1970, when the log gives its date.
    virtual std::optional<double> StartEpoch() const = 0;
    // The state at t seconds into the flight, t not before the last call's; clamped to the log.
    // Throws ReplayError when the log cannot be read on.
    virtual FlightState At(double t) = 0;
};

// A log file read twice: once whole, to check it, to find where the glider stood on the ground
// and the circles that tell the wind, then point by point as the flight goes on. On the ground
// the airspeed is the ground speed: standing still, the glider's track says nothing of where
// its nose points into the wind. Throws ReplayError (naming file and line)
// when the log is damaged, before anything is flown.
class LogFlight : public FlightSource {
public:
    // A stretch slower over the ground than this is on the ground when it begins or ends the
    // log, or lasts kLandedS (a landing in the middle of the log); at walking pace a glider
    // is not flying.
    static constexpr double kTakeoffKph = 30.0;
    static constexpr double kLandedS = 60.0;

    explicit LogFlight(const std::string& path);

    double Duration() const override { return duration; }
    std::optional<double> StartEpoch() const override { return epoch; }
    FlightState At(double t) override;

    // The stretches on the ground, seconds into the flight.
    const std::vector<std::pair<double, double>>& GroundStretches() const { return ground; }
    // Every circle that told the wind, in flight order.
    const std::vector<CircleWind>& Circles() const { return circles; }
    // How many of the log's points took their airspeed from each source (an AirspeedSource).
    const std::array<std::size_t, 3>& AirspeedSources() const { return sources; }
    // Why the log's last line was passed over (it was cut off), or empty.
    const std::string& Warning() const { return warning; }

private:
    bool OnGround(double t);

    std::string path;
    double duration = 0.0;
    std::optional<double> epoch;
    bool loggedGround = false;
    std::vector<std::pair<double, double>> ground;
    std::vector<CircleWind> circles;
    std::array<std::size_t, 3> sources{};
    std::string warning;
    std::unique_ptr<Derivation> states;
    FlightState before;
    FlightState after;
    bool afterValid = false;
    bool ended = false;
    std::size_t groundIndex = 0;
};

// A paragraph for the replay's summary: where the flight's airspeed came from and, where the
// circles told it, the wind.
void PrintAirspeedSummary(const LogFlight& flight, std::ostream& out);

} // namespace replay
