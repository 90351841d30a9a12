#pragma once

#include "Bench/Replay/CirclingWind.h"
#include "Bench/Replay/FlightState.h"
#include "Bench/Replay/LogReader.h"

#include <deque>
#include <memory>

namespace replay {

// Turns a log's points into complete flight states, one per point, filling in what the logger
// did not record from what it did:
// - vertical speed: the central difference of altitude over kVarioHalfWindowS either side;
// - heading: the track over kTrackHalfWindowS either side (positions), else the logged heading;
// - ground speed: the distance over the same span;
// - airspeed: the logged IAS, else the logged TAS brought to IAS by the standard atmosphere at
//   the pressure altitude (the GNSS altitude where the logger has no pressure sensor); else the
//   ground velocity less the wind found from the circles flown so far (see CirclingWind),
//   brought to IAS the same way; before the first circle the ground speed, as if there were no
//   wind. The state says which (iasSource);
// - turn rate: the change of heading over kTurnHalfWindowS either side;
// - bank: tan(bank) = v x turn rate / g; pitch: the flight-path angle; slip and lateral
//   acceleration 0.
// Ground contact is left false unless the log records it; the caller knows the whole flight.
// Memory is a window of a few seconds of points, whatever the log's length.
class Derivation {
public:
    static constexpr double kVarioHalfWindowS = 2.0;
    static constexpr double kTrackHalfWindowS = 1.0;
    static constexpr double kTurnHalfWindowS = 2.0;

    explicit Derivation(std::unique_ptr<LogReader> reader);

    // The state at the next point of the log; false after the last.
    bool Next(FlightState& state);
    const LogReader& Reader() const { return *log; }
    // The wind found so far, from the circles of the points derived so far.
    const CirclingWind& Circling() const { return circling; }

private:
    struct Position {
        double latitude;
        double longitude;
    };
    bool Fill();
    double AltitudeAt(double t) const;
    std::optional<Position> PositionAt(double t) const;
    std::optional<double> LoggedHeadingAt(double t) const;
    // The track and ground speed about time t; nullopt without positions.
    std::optional<std::pair<double, double>> TrackAt(double t) const;
    double HeadingAt(double t) const;
    std::size_t Before(double t) const;

    std::unique_ptr<LogReader> log;
    CirclingWind circling;
    std::deque<LoggedPoint> window;
    std::size_t centre = 0;
    bool ended = false;
};

// The heading from a to b the short way round, degrees in (-180, 180].
double HeadingChange(double a, double b);
// A heading brought into [0, 360).
double WrapHeading(double h);

} // namespace replay
