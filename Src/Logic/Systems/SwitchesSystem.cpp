#include "Logic/Systems/SwitchesSystem.h"

#include "Lib/FSX/KeyEvents.h"
#include "Lib/FSX/PanelServices.h"

bool SwitchesSystem::onKeyEvent(std::uint32_t eventId, std::uint32_t) {
    if (eventId == fsx::key::kSwitchClick) {
        fsx::TriggerKeyEvent(fsx::hostkey::kSwitchAnswer, 1);
    }
    return false;
}
