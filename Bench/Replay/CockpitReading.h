#pragma once

#include "Bench/Replay/FlightState.h"
#include "Bench/Replay/PowerReading.h"

#include <array>
#include <string_view>

namespace bench {
class HostServices;
}

namespace replay {

// One moment of the flight beside what each instrument shows, read back from its needle into
// the flight's unit. The order is the compare file's columns after time_s.
enum Quantity : std::size_t {
    kAltitude,
    kAltimeter1,
    kAltimeter2,
    kVerticalSpeed,
    kVariometer1,
    kVariometer2,
    kPrecision1,
    kPrecision2,
    kIas,
    kAirspeed1,
    kAirspeed2,
    kHeading,
    kCompass,
    kBank,
    kAttitude1Bank,
    kAttitude2Bank,
    kPitch,
    kAttitude1Pitch,
    kTurnRate,
    kTurn1,
    kTurn2,
    kSlipBall,
    kQuantities
};

extern const std::array<std::string_view, kQuantities> kQuantityNames;

// The electric instrument whose power a reading needs; kConsumers for one that needs none (the
// flight's own quantities and the instruments without electrics).
constexpr Consumer PowerOf(std::size_t quantity) {
    switch (quantity) {
    case kAttitude1Bank:
    case kAttitude1Pitch:
        return kAttitude1Power;
    case kAttitude2Bank:
        return kAttitude2Power;
    case kTurn1:
        return kTurn1Power;
    case kTurn2:
        return kTurn2Power;
    default:
        return kConsumers;
    }
}

struct CockpitReading {
    double t = 0.0; // seconds into the flight
    std::array<double, kQuantities> values{};
    double lateralAccelG = 0.0;                        // what the slip ball should show
    AirspeedSource iasSource = AirspeedSource::Ground; // where the flight's airspeed came from
    // The needles that stood at a stop of their dial, and so read as the stop's value.
    std::array<bool, kQuantities> atStop{};
    PowerReading power;
};

// Reads the instruments after a step; an instrument whose needle does not exist reads NaN. A
// needle beyond the end of its dial stands at the dial's stop, as the cockpit model stops it.
CockpitReading ReadCockpit(const FlightState& flight, const bench::HostServices& host);

} // namespace replay
