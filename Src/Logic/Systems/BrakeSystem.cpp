#include "Logic/Systems/BrakeSystem.h"

#include "Lib/FSX/GaugeTokens.h"
#include "Lib/FSX/KeyEvents.h"
#include "Lib/FSX/PanelServices.h"
#include "Logic/ModuleState.h"

void BrakeSystem::start() {
    lever.emplace("zelvan_brake");
}

void BrakeSystem::update(double stepDt, bool first) {
    DefaultSystem::update(stepDt, first);
    if (!enabled || module::SimulationPaused() || !lever) {
        return;
    }
    lever->Set(module::ReadGaugeVar(fsx::token::kBrake) / kBrakeRange);
}

bool BrakeSystem::onKeyEvent(std::uint32_t eventId, std::uint32_t) {
    if (eventId != fsx::key::kBrakeLeverClick) {
        return false;
    }
    fsx::TriggerKeyEvent(fsx::hostkey::kBrakes, 0);
    return true;
}
