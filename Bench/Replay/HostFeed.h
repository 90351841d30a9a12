#pragma once

#include "Bench/Replay/FlightState.h"

#include <cstdint>

namespace bench {
class HostServices;
}

namespace replay {

// How the bench's host shows a flight to the cockpit, where the host's own numbering leaves the
// scale to it: the turn value (token 937) spans its -10 to +10 at two standard-rate turns, the
// slip ball (token 69) its -127 to +127 at a quarter g sideways, the yaw string (token 926) its
// -250 to +250 at 25 degrees of slip.
inline constexpr double kTurnValuePerDps = 10.0 / 6.0;
inline constexpr double kBallPerG = 127.0 / 0.25;
inline constexpr double kStringPerSlipDeg = 10.0;
inline constexpr double kStandardPressureMb = 1013.25;

// Writes a state into the host's aircraft variables and gauge variables, step after step.
class HostFeed {
public:
    void Write(const FlightState& state, bench::HostServices& host);

private:
    // The host's numbers for the aircraft variables and their units, looked up once per host.
    const bench::HostServices* resolvedFor = nullptr;
    std::uint32_t altitude = 0;
    std::uint32_t metres = 0;
    std::uint32_t verticalSpeed = 0;
    std::uint32_t metresPerSecond = 0;
    std::uint32_t airspeed = 0;
    std::uint32_t kph = 0;
};

} // namespace replay
