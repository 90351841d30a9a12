#include "Logic/CockpitState.h"

ServicePanelSelectionRecord ServicePanelSelection;
std::int32_t coversState = kCoversOff;
bool coversLock = false;
