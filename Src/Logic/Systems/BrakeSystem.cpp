#include "Logic/Systems/BrakeSystem.h"

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
    lever->Set(module::ReadGaugeVar(kBrakeToken) / kBrakeRange);
}

bool BrakeSystem::onKeyEvent(std::uint32_t eventId, std::uint32_t) {
    if (eventId != kLeverClick) {
        return false;
    }
    fsx::TriggerKeyEvent(kBrakes, 0);
    return true;
}
