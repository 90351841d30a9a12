#pragma once

// Reads: aircraft variables "AIRSPEED INDICATED" (kph), "PITOT ICE PCT" (percent) and
//        "INDICATED ALTITUDE" (m, for a blocked pitot); the failures system (pitot, static ports,
//        airspeed needles 1 and 2); the C runtime's generator (a wandering needle); the pause
//        flag.
// Writes: "zelvan_speed_needle", "zelvan_speed_needle_2".

#include "Lib/FSX/GaugeAbi.h"
#include "Lib/FSX/NamedVariable.h"
#include "Logic/SystemBase.h"

#include <array>
#include <cstdint>
#include <optional>

// The two airspeed indicators, one per cockpit. Each needle shows the host's indicated airspeed
// less the pitot icing, unless a failure has changed how it reads: a blocked pitot makes both
// follow the altitude instead, a blocked static port makes its cockpit's needle wander, and a
// stuck needle stays where it is. What a failure did to an indicator stays for the module's life.
class SpeedNeedleSystem : public DefaultSystem {
public:
    SpeedNeedleSystem() : DefaultSystem(2) {}

    void start() override;
    void update(double stepDt, bool first) override;

private:
    double IndicatedAltitude() const;

    std::uint32_t airspeedVariable = fsx::kInvalidId;
    std::uint32_t icingVariable = fsx::kInvalidId;
    std::uint32_t altitudeVariable = fsx::kInvalidId;
    std::uint32_t unitKph = fsx::kInvalidId;
    std::uint32_t unitPercent = fsx::kInvalidId;
    std::uint32_t unitM = fsx::kInvalidId;
    // One needle per cockpit, made when the system starts.
    std::array<std::optional<except::NamedVariable>, 2> needles;
};
