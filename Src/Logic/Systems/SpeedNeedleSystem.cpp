#include "Logic/Systems/SpeedNeedleSystem.h"

#include "Lib/FSX/PanelServices.h"
#include "Logic/ModuleState.h"
#include "Logic/Systems/FailuresSystem.h"

#include <algorithm>
#include <cstdlib>

namespace {

// How a failure makes an indicator read; the bits only ever accumulate.
enum Mode : std::uint32_t { kStuck = 1, kAltitudeDriven = 2, kWandering = 4 };

struct Cockpit {
    const char* needleName;
    std::uint32_t stuckFailure;
    std::uint32_t wanderFailure;
};

constexpr Cockpit kCockpits[2] = {
    {"zelvan_speed_needle", FailuresSystem::kAirspeedNeedle1, FailuresSystem::kStaticPort1},
    {"zelvan_speed_needle_2", FailuresSystem::kAirspeedNeedle2, FailuresSystem::kStaticPort2},
};

// The needle is a percentage of a 400 km/h scale, not clamped.
constexpr double kScaleKph = 400.0;
// A new wander target every 750 updates; the needle creeps 0.1 km/h per update towards it.
constexpr std::uint32_t kWanderPeriod = 750;
constexpr double kCreepKph = 0.1;
constexpr double kWanderMaxKph = 20.0;
// Below this effective airspeed a wandering needle shows the airspeed as it is.
constexpr double kWanderFloorKph = 0.1;

struct Indicator {
    double needle = 0.0;            // km/h shown
    std::uint32_t mode = 0;         // Mode bits
    double recordedSpeed = -1.0;    // km/h when the altitude-driven reading began; < 0: not yet
    double recordedAltitude = -1.0; // m at that moment
    double wanderOffset = 1.0;      // km/h, signed target offset of the wandering reading
    std::uint32_t wanderCounter = kWanderPeriod - 1; // the first wandering update draws at once
};

// The system's process-wide values, initialised when the module loads.
struct Shared {
    std::array<Indicator, 2> indicators;
    // The effective airspeed of the last completed update, shared by both indicators.
    double previousAirspeed = 0.0;
};
Shared shared;

// The C runtime's generator on its classic range 0 to 32767, whatever RAND_MAX is here.
int DrawRuntime() {
    return std::rand() % 32768;
}

void DrawWanderOffset(Indicator& indicator) {
    const double x = static_cast<double>(DrawRuntime()) / 32767.0 * kWanderMaxKph;
    const double magnitude = x > 1.0 ? x : 1.0;
    indicator.wanderOffset = DrawRuntime() % 2 != 0 ? magnitude : -magnitude;
}

void Wander(Indicator& indicator, double airspeed) {
    if (++indicator.wanderCounter >= kWanderPeriod) {
        DrawWanderOffset(indicator);
        indicator.wanderCounter = 0;
    }
    if (airspeed <= kWanderFloorKph) {
        indicator.needle = airspeed;
        return;
    }
    // Follows the airspeed's changes while creeping towards the target, and stays there.
    const double offset = indicator.wanderOffset;
    double needle = indicator.needle + (offset < 0.0 ? -kCreepKph : kCreepKph) +
                    (airspeed - shared.previousAirspeed);
    needle =
        offset < 0.0 ? std::max(needle, airspeed + offset) : std::min(needle, airspeed + offset);
    indicator.needle = std::max(needle, 0.0);
}

} // namespace

void SpeedNeedleSystem::start() {
    airspeedVariable = fsx::GetAircraftVarEnum("AIRSPEED INDICATED");
    icingVariable = fsx::GetAircraftVarEnum("PITOT ICE PCT");
    altitudeVariable = fsx::GetAircraftVarEnum("INDICATED ALTITUDE");
    unitKph = fsx::GetUnitsEnum("kph");
    unitPercent = fsx::GetUnitsEnum("percent");
    unitM = fsx::GetUnitsEnum("m");
    for (std::size_t i = 0; i < needles.size(); ++i) {
        needles[i].emplace(kCockpits[i].needleName);
        needles[i]->Set(0.0, except::Unit::Number);
    }
}

double SpeedNeedleSystem::IndicatedAltitude() const {
    return fsx::AircraftVarget(altitudeVariable, unitM, 0);
}

void SpeedNeedleSystem::update(double stepDt, bool first) {
    DefaultSystem::update(stepDt, first);
    if (!enabled || module::SimulationPaused()) {
        return;
    }
    const double icing = fsx::AircraftVarget(icingVariable, unitPercent, 0);
    const double indicated = fsx::AircraftVarget(airspeedVariable, unitKph, 0);
    const double airspeed = indicated + (0.0 - indicated) * (icing / 100.0);

    const FailuresSystem* failures = RegisteredFailures();
    const bool pitotBlocked = FailurePresent(failures, FailuresSystem::kPitot);
    for (std::size_t i = 0; i < shared.indicators.size(); ++i) {
        Indicator& indicator = shared.indicators[i];
        if (pitotBlocked) {
            indicator.mode |= kAltitudeDriven;
        }
        if (FailurePresent(failures, kCockpits[i].stuckFailure)) {
            indicator.mode |= kStuck;
        }
        if (FailurePresent(failures, kCockpits[i].wanderFailure)) {
            indicator.mode |= kWandering;
        }
    }

    for (Indicator& indicator : shared.indicators) {
        switch (indicator.mode) {
        case 0:
            indicator.needle = airspeed;
            break;
        case kAltitudeDriven:
            // Recorded once; from then on the needle reads the climb, not the airspeed: twice
            // the recorded speed 1000 m above, nothing 1000 m below.
            if (indicator.recordedSpeed < 0.0) {
                indicator.recordedSpeed = airspeed;
                indicator.recordedAltitude = IndicatedAltitude();
                indicator.needle = airspeed;
            } else {
                const double k = std::clamp(
                    (IndicatedAltitude() - indicator.recordedAltitude) / 1000.0, -1.0, 1.0);
                indicator.needle = indicator.recordedSpeed * (1.0 + k);
            }
            break;
        case kWandering:
            Wander(indicator, airspeed);
            break;
        default:
            break; // stuck, or more than one fault: the needle stays where it is
        }
    }

    for (std::size_t i = 0; i < needles.size(); ++i) {
        if (needles[i]) {
            needles[i]->Set(shared.indicators[i].needle / kScaleKph * 100.0, except::Unit::Degrees);
        }
    }
    shared.previousAirspeed = airspeed;
}
