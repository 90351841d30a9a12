#pragma once

#include <cstddef>
#include <optional>

namespace replay {

// One point of a log as read: the time and what the logger recorded there; a value it did not
// record stays empty and is derived from the others.
struct LoggedPoint {
    double t = 0.0;                      // seconds since the log's first point
    std::size_t line = 0;                // where it stands in the file, for messages
    double altitudeM = 0.0;              // pressure altitude, else the GNSS altitude
    std::optional<double> gnssAltitudeM; // what a satellite logger recorded beside it
    std::optional<double> latitudeDeg;
    std::optional<double> longitudeDeg;
    std::optional<double> iasKph;
    std::optional<double> tasKph;
    std::optional<double> headingDeg;
    std::optional<double> verticalSpeedMs;
    std::optional<double> pitchDeg;
    std::optional<double> bankDeg;
    std::optional<double> turnRateDps;
    std::optional<double> slipDeg;
    std::optional<double> lateralAccelG;
    std::optional<bool> onGround;
};

// What the host tells the cockpit at one moment of the flight, every value filled in.
struct FlightState {
    double t = 0.0;         // seconds since the log's first point
    double altitudeM = 0.0; // indicated (pressure) altitude
    double verticalSpeedMs = 0.0;
    double iasKph = 0.0;
    double headingDeg = 0.0;  // 0 to 360
    double bankDeg = 0.0;     // right wing down +
    double pitchDeg = 0.0;    // nose up +
    double turnRateDps = 0.0; // right +
    double slipDeg = 0.0;
    double lateralAccelG = 0.0; // body y, right +
    double groundSpeedKph = 0.0;
    bool onGround = false;
};

} // namespace replay
