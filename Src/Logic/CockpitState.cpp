#include "Logic/CockpitState.h"

ServicePanelSelectionRecord ServicePanelSelection;
std::int32_t coversState = 0;
bool coversLock = false;
