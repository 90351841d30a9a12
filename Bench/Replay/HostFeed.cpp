#include "Bench/Replay/HostFeed.h"

#include "Bench/Host/HostServices.h"
#include "Lib/FSX/GaugeTokens.h"

#include <algorithm>

namespace replay {

namespace {

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
    host.SetToken(fsx::token::kOnGround, s.onGround ? 1.0 : 0.0);
    host.SetToken(fsx::token::kSpeed, s.iasKph / 3.6);
    host.SetToken(fsx::token::kTurnBall, std::clamp(-s.lateralAccelG * kBallPerG, -127.0, 127.0));
    host.SetToken(fsx::token::kPitch, s.pitchDeg);
    host.SetToken(fsx::token::kBank, s.bankDeg);
    host.SetToken(fsx::token::kHeading, s.headingDeg);
    host.SetToken(fsx::token::kSimulationRate, kNormalRate);
    host.SetToken(fsx::token::kSideslip, std::clamp(s.slipDeg * kStringPerSlipDeg, -250.0, 250.0));
    host.SetToken(fsx::token::kCompassTiltSide, 0.0);
    host.SetToken(fsx::token::kCompassTiltFore, 0.0);
    host.SetToken(fsx::token::kTurnRate, s.turnRateDps * kTurnValuePerDps);
}

} // namespace replay
