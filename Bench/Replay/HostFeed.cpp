#include "Bench/Replay/HostFeed.h"

#include "Bench/Core/HostServices.h"

#include <algorithm>

namespace replay {

namespace {

// Gauge variables the cockpit reads.
constexpr std::uint32_t kOnGround = 60;
constexpr std::uint32_t kSpeed = 61;
constexpr std::uint32_t kBall = 69;
constexpr std::uint32_t kPitch = 77;
constexpr std::uint32_t kBank = 79;
constexpr std::uint32_t kHeading = 83;
constexpr std::uint32_t kSimulationRate = 336;
constexpr std::uint32_t kYawString = 926;
constexpr std::uint32_t kCompassBank = 932;
constexpr std::uint32_t kCompassPitch = 933;
constexpr std::uint32_t kTurn = 937;
constexpr double kNormalRate = 256.0;

} // namespace

void HostFeed::Write(const FlightState& s, bench::HostServices& host) {
    if (resolvedFor != &host) {
        resolvedFor = &host;
        altitude = host.AircraftVarId("INDICATED ALTITUDE");
        metres = host.UnitId("m");
        verticalSpeed = host.AircraftVarId("VERTICAL SPEED");
        metresPerSecond = host.UnitId("m/s");
        airspeed = host.AircraftVarId("AIRSPEED INDICATED");
        kph = host.UnitId("kph");
    }
    host.SetAircraftVar(altitude, metres, 0, s.altitudeM);
    host.SetAircraftVar(verticalSpeed, metresPerSecond, 0, s.verticalSpeedMs);
    host.SetAircraftVar(airspeed, kph, 0, s.iasKph);
    host.SetToken(kOnGround, s.onGround ? 1.0 : 0.0);
    host.SetToken(kSpeed, s.iasKph / 3.6);
    host.SetToken(kBall, std::clamp(-s.lateralAccelG * kBallPerG, -127.0, 127.0));
    host.SetToken(kPitch, s.pitchDeg);
    host.SetToken(kBank, s.bankDeg);
    host.SetToken(kHeading, s.headingDeg);
    host.SetToken(kSimulationRate, kNormalRate);
    host.SetToken(kYawString, std::clamp(s.slipDeg * kStringPerSlipDeg, -250.0, 250.0));
    host.SetToken(kCompassBank, 0.0);
    host.SetToken(kCompassPitch, 0.0);
    host.SetToken(kTurn, s.turnRateDps * kTurnValuePerDps);
}

} // namespace replay
