#pragma once

#include "Lib/FSX/Units.h"

#include <cstdint>
#include <memory>

class SimParameters;
class SystemRegistry;
class Application;

// The module's process-wide objects and lifecycle flags. The objects are created lazily
// (connection at initialisation, registry and application on the first "SimStart") and deleted
// in reverse order at de-initialisation.
namespace module {

extern std::unique_ptr<SimParameters> connection;
extern std::unique_ptr<SystemRegistry> registry;
extern std::unique_ptr<Application> application;

// A (re)start of the simulation has not yet been handled by the application.
extern bool simStartPending;
// The settings file was read in this module lifetime.
extern bool settingsLoaded;

// The connection's cockpit-view flag; a module without a connection acts as if the cockpit is
// shown, which is where the panel's callbacks can be clicked from.
bool CockpitViewShown();

// The connection's pause flag; a module without a connection counts as running.
bool SimulationPaused();

// A host gauge variable through the connection's readers (a one-off reader without one).
double ReadGaugeVar(std::uint32_t token, except::Unit unit = except::Unit::Number);

} // namespace module
