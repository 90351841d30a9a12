#pragma once

#include <cstddef>
#include <optional>

namespace replay {

// One point of a log as read: the time and what the logger recorded there; a value it did not
// record stays empty and is derived from the others.
struct LoggedPoint {
    double t = 0.0;                          // seconds since the log's first point
    std::size_t line = 0;                    // where it stands in the file, for messages
    double altitudeM = 0.0;                  // pressure altitude, else the GNSS altitude
    std::optional<double> gnssAltitudeM;     // what a satellite logger recorded beside it
    std::optional<double> pressureAltitudeM; // a logger's barometric altitude, where it has one
    std::optional<double> latitudeDeg;
    std::optional<double> longitudeDeg;
    std::optional<double> iasKph;
    std::optional<double> tasKph;
    std::optional<double> groundSpeedKph; // the logger's own (satellite Doppler)
    std::optional<double> totalEnergyMs;  // a compensated variometer's reading, kept as read
    std::optional<double> headingDeg;
    std::optional<double> verticalSpeedMs;
    std::optional<double> pitchDeg;
    std::optional<double> bankDeg;
    std::optional<double> turnRateDps;
    std::optional<double> slipDeg;
    std::optional<double> lateralAccelG;
    std::optional<bool> onGround;
};

// Where a state's airspeed came from: the logger (IAS, or TAS brought to IAS), the ground
// velocity less the wind found from the drift of the circles, or the ground speed alone (no
// wind known yet).
enum class AirspeedSource { Logged, Wind, Ground };

// The compare file's word for each source.
constexpr const char* AirspeedSourceName(AirspeedSource source) {
    switch (source) {
    case AirspeedSource::Logged:
        return "logged";
    case AirspeedSource::Wind:
        return "wind";
    case AirspeedSource::Ground:
        break;
    }
    return "ground";
}

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
    AirspeedSource iasSource = AirspeedSource::Ground;
};

} // namespace replay
