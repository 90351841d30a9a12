#include "Bench/Replay/CockpitReading.h"

#include "Bench/Host/HostServices.h"
#include "Bench/Replay/Derivation.h"
#include "Bench/Replay/HostFeed.h"

#include <algorithm>
#include <cmath>

namespace replay {

const std::array<std::string_view, kQuantities> kQuantityNames = {
    "altitude_m",         "altimeter1_m",   "altimeter2_m",
    "vertical_speed_ms",  "variometer1_ms", "variometer2_ms",
    "precision1_ms",      "precision2_ms",  "ias_kph",
    "airspeed1_kph",      "airspeed2_kph",  "heading_deg",
    "compass_deg",        "bank_deg",       "attitude1_bank_deg",
    "attitude2_bank_deg", "pitch_deg",      "attitude1_pitch_deg",
    "turn_rate_dps",      "turn1_needle",   "turn2_needle",
    "slip_ball"};

CockpitReading ReadCockpit(const FlightState& f, const bench::HostServices& host) {
    const auto lvar = [&host](std::string_view name) {
        return host.NamedValue(name).value_or(std::nan(""));
    };
    // The needles' scales: altitude in tens of kilometres; the variometers about 60 (30 m/s
    // over 60) and 50 (5 m/s over 50); airspeed in percent of 400 km/h; the compass card in
    // turns; bank over 360 and pitch over 180 about 0.5; the turn needles -10 to +10 over 0 to 1;
    // the ball -127 to +127 over 0 to 1. The turn needles, the ball and the variometers stop at
    // the ends of those scales.
    CockpitReading r;
    // A needle with stops: its variable held within the dial's range, and whether it was held.
    const auto stopped = [&r, &lvar](Quantity q, std::string_view name, double low, double high) {
        const double v = lvar(name);
        r.atStop[q] = v <= low || v >= high;
        return std::clamp(v, low, high);
    };
    const auto turn = [&stopped](Quantity q, std::string_view name) {
        return (stopped(q, name, 0.0, 1.0) * 20.0 - 10.0) / kTurnValuePerDps;
    };
    r.t = f.t;
    auto& v = r.values;
    v[kAltitude] = f.altitudeM;
    v[kAltimeter1] = lvar("zelvan_alt_kilo_needle") * 10000.0;
    v[kAltimeter2] = lvar("zelvan_alt_kilo_needle_2") * 10000.0;
    v[kVerticalSpeed] = f.verticalSpeedMs;
    v[kVariometer1] = (stopped(kVariometer1, "zelvan_climb_needle", 0.0, 120.0) - 60.0) / 2.0;
    v[kVariometer2] = (stopped(kVariometer2, "zelvan_climb_needle_2", 0.0, 120.0) - 60.0) / 2.0;
    v[kPrecision1] = (stopped(kPrecision1, "zelvan_prec_climb_needle", 0.0, 100.0) - 50.0) / 10.0;
    v[kPrecision2] = (stopped(kPrecision2, "zelvan_prec_climb_needle_2", 0.0, 100.0) - 50.0) / 10.0;
    v[kIas] = f.iasKph;
    v[kAirspeed1] = lvar("zelvan_speed_needle") * 4.0;
    v[kAirspeed2] = lvar("zelvan_speed_needle_2") * 4.0;
    v[kHeading] = f.headingDeg;
    v[kCompass] = WrapHeading(lvar("ovi_magnetic_scale") * 360.0);
    v[kBank] = f.bankDeg;
    v[kAttitude1Bank] = (0.5 - lvar("ovi_bank_indicator")) * 360.0;
    v[kAttitude2Bank] = (0.5 - lvar("ovi_bank_indicator_2")) * 360.0;
    v[kPitch] = f.pitchDeg;
    v[kAttitude1Pitch] = (lvar("ovi_pitch_scale") - 0.5) * 180.0;
    v[kTurnRate] = f.turnRateDps;
    v[kTurn1] = turn(kTurn1, "ovi_turnkey_needle");
    v[kTurn2] = turn(kTurn2, "zelvan_turnkey_needle_2");
    // The ball runs opposite to the sideways force it feels.
    v[kSlipBall] = -(stopped(kSlipBall, "ovi_inclin_ball", 0.0, 1.0) - 0.5) * 254.0 / kBallPerG;
    r.lateralAccelG = f.lateralAccelG;
    r.iasSource = f.iasSource;
    r.power = ReadPower(host);
    return r;
}

} // namespace replay
