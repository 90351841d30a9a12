#include "Gauge/ModuleLifecycle.h"

#include "Lib/FSX/NamedVariable.h"
#include "Lib/HostEntry.h"
#include "Logic/Application.h"
#include "Logic/ModuleState.h"
#include "Logic/SimParameters.h"
#include "Logic/SystemRegistry.h"

namespace {

// A connection that cannot open leaves the module inert: no connection, no timer, and the host
// flies on without the cockpit systems.
void OpenConnection() {
    if (module::connection != nullptr) {
        return;
    }
    auto connection = std::make_unique<SimParameters>();
    connection->Init();
    module::connection = std::move(connection);
    module::connection->startTimer(SimParameters::kTimerId, SimParameters::kTimerPeriodMs);
}

void HideCovers() {
    except::NamedVariable("zelvan_covers_visible").Set(0.0);
}

void ShutDown() {
    if (module::application != nullptr) {
        except::GuardHostEntry("stopping the application", [] { module::application->stop(); });
        module::application.reset();
    }
    module::registry.reset();
    if (module::connection != nullptr) {
        except::GuardHostEntry("closing the simulator connection",
                               [] { module::connection->Close(); });
        module::connection.reset();
    }
    module::settingsLoaded = false;
}

} // namespace

void ZV_STDCALL ModuleInitialise() {
    except::GuardHostEntry("opening the simulator connection", OpenConnection);
    except::GuardHostEntry("module initialisation", HideCovers);
}

void ZV_STDCALL ModuleDeinitialise() {
    except::GuardHostEntry("module shutdown", ShutDown);
}
