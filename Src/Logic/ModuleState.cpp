#include "Logic/ModuleState.h"

#include "Logic/Application.h"
#include "Logic/SimParameters.h"
#include "Logic/SystemRegistry.h"

namespace module {

std::unique_ptr<SimParameters> connection;
std::unique_ptr<SystemRegistry> registry;
std::unique_ptr<Application> application;
bool simStartPending = false;
bool settingsLoaded = false;

bool SimulationPaused() {
    return connection != nullptr && connection->paused;
}

} // namespace module
