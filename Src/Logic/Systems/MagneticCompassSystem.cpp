#include "Logic/Systems/MagneticCompassSystem.h"

#include "Lib/FSX/GaugeTokens.h"
#include "Logic/ModuleState.h"

#include <algorithm>

namespace {} // namespace

void MagneticCompassSystem::update(double stepDt, bool first) {
    DefaultSystem::update(stepDt, first);
    if (!enabled || module::SimulationPaused()) {
        return;
    }
    if (!scale) {
        scale.emplace("ovi_magnetic_scale");
        bank.emplace("zelvan_compass_bank");
        pitch.emplace("zelvan_compass_pitch");
    }
    // The heading is neither wrapped nor clamped; the card's tilts stop at the ends of travel.
    scale->Set(module::ReadGaugeVar(fsx::token::kHeading) / 360.0, except::Unit::Degrees);
    bank->Set(std::clamp(0.5 - module::ReadGaugeVar(fsx::token::kCompassTiltSide) / 10.0, 0.0, 1.0),
              except::Unit::Number);
    pitch->Set(std::clamp(0.5 + module::ReadGaugeVar(fsx::token::kCompassTiltFore) / 5.0, 0.0, 1.0),
               except::Unit::Number);
}
