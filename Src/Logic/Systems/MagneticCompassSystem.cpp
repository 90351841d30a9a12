#include "Logic/Systems/MagneticCompassSystem.h"

#include "Logic/ModuleState.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kHeadingToken = 83;
constexpr std::uint32_t kBankToken = 932;  // -5 to +5 spans the card's bank travel
constexpr std::uint32_t kPitchToken = 933; // -2.5 to +2.5 spans its pitch travel

} // namespace

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
    scale->Set(module::ReadGaugeVar(kHeadingToken) / 360.0, except::Unit::Degrees);
    bank->Set(std::clamp(0.5 - module::ReadGaugeVar(kBankToken) / 10.0, 0.0, 1.0),
              except::Unit::Number);
    pitch->Set(std::clamp(0.5 + module::ReadGaugeVar(kPitchToken) / 5.0, 0.0, 1.0),
               except::Unit::Number);
}
