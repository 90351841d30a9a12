#include "Logic/Systems/AltimeterSystem.h"

#include "Lib/FSX/KeyEvents.h"
#include "Lib/FSX/PanelServices.h"
#include "Lib/FSX/Units.h"
#include "Logic/ModuleState.h"
#include "Logic/Systems/FailuresSystem.h"

#include <cmath>

namespace {

struct Cockpit {
    const char* meterName;
    const char* kiloName;
    const char* pressureName;
    const char* knobName;
    std::uint32_t failure;
};

constexpr Cockpit kCockpits[2] = {
    {"zelvan_alt_meter_needle", "zelvan_alt_kilo_needle", "zelvan_alt_press_scale",
     "zelvan_alt_rotary", FailuresSystem::kAltimeter1},
    {"zelvan_alt_meter_needle_2", "zelvan_alt_kilo_needle_2", "zelvan_alt_press_scale_2",
     "zelvan_alt_rotary_2", FailuresSystem::kAltimeter2},
};

// The cockpit model's needles and scales are written in this host unit, a fixed number.
constexpr std::uint32_t kNeedleUnits = 33;
// The pressure scale runs from 960 to 1070 mbar.
constexpr double kScaleLowMbar = 960.0;
constexpr double kScaleSpanMbar = 110.0;
// Ten knob steps make one turn.
constexpr double kKnobStep = 0.1;

// The needle values each altimeter last took.
struct Needles {
    double kilo = 0.0;  // altitude / 10 km
    double meter = 0.0; // the part above the last whole kilometre, in km
};

// The system's process-wide values, initialised when the module loads.
struct Shared {
    std::array<Needles, 2> needles;
};
Shared shared;

std::uint32_t Register(const char* name) {
    return fsx::CallOr<fsx::slot::RegisterNamedVariable>(fsx::kInvalidId, name);
}

void Write(std::uint32_t variable, double value) {
    fsx::CallVoid<fsx::slot::SetNamedVariableTypedValue>(variable, value, kNeedleUnits);
}

} // namespace

void AltimeterSystem::start() {
    for (std::size_t i = 0; i < variables.size(); ++i) {
        variables[i].meter = Register(kCockpits[i].meterName);
        variables[i].kilo = Register(kCockpits[i].kiloName);
        variables[i].pressure = Register(kCockpits[i].pressureName);
        variables[i].knob = Register(kCockpits[i].knobName);
    }
    altitudeVariable = fsx::GetAircraftVarEnum("INDICATED ALTITUDE");
    pressureSettingVariable = fsx::GetAircraftVarEnum("KOHLSMAN SETTING MB");
    unitM = fsx::GetUnitsEnum("m");
    unitMbars = fsx::GetUnitsEnum("mbars");
}

void AltimeterSystem::update(double stepDt, bool first) {
    DefaultSystem::update(stepDt, first);
    if (!enabled || module::SimulationPaused()) {
        return;
    }
    const double altitude = fsx::AircraftVarget(altitudeVariable, unitM, 0);
    const double kilometres = altitude / 1000.0;
    const double wholeKilometres = std::floor(kilometres);
    const double setting = fsx::AircraftVarget(pressureSettingVariable, unitMbars, 0);
    const double scale = (setting - kScaleLowMbar) / kScaleSpanMbar;

    // A failed altimeter keeps the values it last took.
    const FailuresSystem* failures = RegisteredFailures();
    for (std::size_t i = 0; i < shared.needles.size(); ++i) {
        if (!FailurePresent(failures, kCockpits[i].failure)) {
            shared.needles[i].kilo = kilometres / 10.0;
            shared.needles[i].meter = (altitude - wholeKilometres * 1000.0) / 1000.0;
        }
    }
    for (std::size_t i = 0; i < variables.size(); ++i) {
        Write(variables[i].kilo, shared.needles[i].kilo);
        Write(variables[i].meter, shared.needles[i].meter);
    }
    for (const Variables& v : variables) {
        Write(v.pressure, scale);
    }
}

bool AltimeterSystem::onKeyEvent(std::uint32_t eventId, std::uint32_t) {
    switch (eventId) {
    case fsx::key::kAltimeter1KnobDown:
        TurnKnob(variables[0].knob, false, fsx::hostkey::kKohlsmanDec);
        return true;
    case fsx::key::kAltimeter1KnobUp:
        TurnKnob(variables[0].knob, true, fsx::hostkey::kKohlsmanInc);
        return true;
    case fsx::key::kAltimeter2KnobUp:
        TurnKnob(variables[1].knob, true, fsx::hostkey::kKohlsmanInc);
        return true;
    case fsx::key::kAltimeter2KnobDown:
        TurnKnob(variables[1].knob, false, fsx::hostkey::kKohlsmanDec);
        return true;
    default:
        return false;
    }
}

void AltimeterSystem::TurnKnob(std::uint32_t knobVariable, bool up, std::uint32_t hostEvent) const {
    const std::uint32_t number = except::Units::Id(except::Unit::Number);
    double knob = fsx::CallOr<fsx::slot::GetNamedVariableTypedValue>(0.0, knobVariable, number);
    // The knob turns endlessly, ten steps a turn.
    if (up) {
        knob += kKnobStep;
        if (knob > 1.0) {
            knob -= 1.0;
        }
    } else {
        knob -= kKnobStep;
        if (knob < 0.0) {
            knob += 1.0;
        }
    }
    fsx::CallVoid<fsx::slot::SetNamedVariableTypedValue>(knobVariable, knob, number);
    fsx::TriggerKeyEvent(hostEvent, 0);
}
