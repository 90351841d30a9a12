#include "Logic/Systems/SwitchesSystem.h"

#include "Lib/FSX/PanelServices.h"

bool SwitchesSystem::onKeyEvent(std::uint32_t eventId, std::uint32_t) {
    if (eventId == kClick) {
        fsx::TriggerKeyEvent(kHostEvent, 1);
    }
    return false;
}
