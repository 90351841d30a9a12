#include "Logic/Systems/ClimbNeedlesSystem.h"

#include "Lib/FSX/PanelServices.h"
#include "Logic/ModuleState.h"
#include "Logic/Systems/FailuresSystem.h"

namespace {

struct Cockpit {
    const char* precisionName;
    const char* climbName;
    std::uint32_t climbFailure;
    std::uint32_t precisionFailure;
};

constexpr Cockpit kCockpits[2] = {
    {"zelvan_prec_climb_needle", "zelvan_climb_needle", FailuresSystem::kClimbNeedle1,
     FailuresSystem::kClimbNeedlePrec1},
    {"zelvan_prec_climb_needle_2", "zelvan_climb_needle_2", FailuresSystem::kClimbNeedle2,
     FailuresSystem::kClimbNeedlePrec2},
};

// The scales, not clamped: the precision needle runs 0 to 100 over ±5 m/s, the normal one 0 to
// 120 over ±30 m/s; both rest at their middle in level flight.
double PrecisionScale(double metresPerSecond) {
    return metresPerSecond / 5.0 * 100.0 * 0.5 + 50.0;
}
double ClimbScale(double metresPerSecond) {
    return metresPerSecond / 30.0 * 120.0 * 0.5 + 60.0;
}

// The vertical speed each instrument last took, m/s.
struct Readings {
    double climb = 0.0;
    double precision = 0.0;
};

// The system's process-wide values, initialised when the module loads.
struct Shared {
    std::array<Readings, 2> readings;
};
Shared shared;

} // namespace

void ClimbNeedlesSystem::start() {
    verticalSpeedVariable = fsx::GetAircraftVarEnum("VERTICAL SPEED");
    unitMps = fsx::GetUnitsEnum("m/s");
    for (std::size_t i = 0; i < needles.size(); ++i) {
        needles[i].precision.emplace(kCockpits[i].precisionName);
        needles[i].precision->Set(PrecisionScale(0.0), except::Unit::Number);
        needles[i].climb.emplace(kCockpits[i].climbName);
        needles[i].climb->Set(ClimbScale(0.0), except::Unit::Number);
    }
}

void ClimbNeedlesSystem::update(double stepDt, bool first) {
    DefaultSystem::update(stepDt, first);
    if (!enabled || module::SimulationPaused()) {
        return;
    }
    const double verticalSpeed = fsx::AircraftVarget(verticalSpeedVariable, unitMps, 0);
    // A failed instrument keeps the value it last took.
    const FailuresSystem* failures = RegisteredFailures();
    for (std::size_t i = 0; i < shared.readings.size(); ++i) {
        if (!FailurePresent(failures, kCockpits[i].climbFailure)) {
            shared.readings[i].climb = verticalSpeed;
        }
        if (!FailurePresent(failures, kCockpits[i].precisionFailure)) {
            shared.readings[i].precision = verticalSpeed;
        }
    }
    for (std::size_t i = 0; i < needles.size(); ++i) {
        if (needles[i].precision && needles[i].climb) {
            needles[i].precision->Set(PrecisionScale(shared.readings[i].precision),
                                      except::Unit::Degrees);
            needles[i].climb->Set(ClimbScale(shared.readings[i].climb), except::Unit::Degrees);
        }
    }
}
