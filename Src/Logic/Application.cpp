#include "Logic/Application.h"

#include "Lib/FSX/GaugeTokens.h"
#include "Lib/FSX/KeyEvents.h"
#include "Lib/FSX/PanelServices.h"
#include "Lib/FSX/SimConnectWrapper.h"
#include "Lib/HostEntry.h"
#include "Logic/CockpitState.h"
#include "Logic/ModuleState.h"
#include "Logic/Options.h"
#include "Logic/SimParameters.h"
#include "Logic/SystemRegistry.h"
#include "Logic/Systems/PowerSystem.h"
#include "Logic/WingRest.h"

#include <cmath>
#include <limits>

namespace tick {
bool resyncRequested = false;
bool wingRestPending = false;
double wingRestSide = 0.0;
int lastActivePilot = 0;
bool lastActivePilotSet = false;
} // namespace tick

namespace {

template <typename Visit> void ForEachSystem(Visit visit) {
    // Index walk: a system may not add or remove systems, but the list is the process's.
    const auto& list = SystemBase::List();
    for (std::size_t i = 0; i < list.size(); ++i) {
        visit(*list[i]);
    }
}

// The ballast that rests the glider on one wing tip while it stands on the ground.
void WingRest() {
    if (fsx::AirborneExactly(module::ReadGaugeVar(fsx::token::kOnGround)) ||
        coversState == kCoversGoingOn || coversState == kCoversOn) {
        tick::wingRestSide = 0.0;
        tick::wingRestPending = false;
        return;
    }
    if (wingrest::Rest(tick::wingRestSide)) {
        tick::wingRestSide = 0.0;
        tick::wingRestPending = false;
    }
}

// Opens the connection's tick for the host reads of one application tick and closes it however
// the tick ends.
class TickReads {
public:
    TickReads() {
        if (module::connection != nullptr) {
            module::connection->BeginTick();
        }
    }
    ~TickReads() {
        if (module::connection != nullptr) {
            module::connection->EndTick();
        }
    }
    TickReads(const TickReads&) = delete;
    TickReads& operator=(const TickReads&) = delete;
};

} // namespace

Application::~Application() = default;

void Application::start() {
    Register();
    // A system that cannot start (the sound device, a damaged sound file) is reported and the
    // others start all the same: the cockpit flies on without it.
    ForEachSystem(
        [](SystemBase& s) { except::GuardHostEntry("starting a system", [&s] { s.start(); }); });
    for (int i = 0; i < 4; ++i) {
        fsx::TriggerKeyEvent(fsx::hostkey::kAtApplicationStart, 0);
    }
}

void Application::stop() {
    Unregister();
    Options& options = Options::Instance();
    StoreBatteryCharges();
    options.Save();
    ForEachSystem(
        [](SystemBase& s) { except::GuardHostEntry("stopping a system", [&s] { s.stop(); }); });
}

void Application::SetCameraEyePoint() {
    constexpr float kKeep = std::numeric_limits<float>::max();
    auto& simconnect = except::SimConnectWrapper::Instance();
    if (Options::Instance().activePilot == 2) {
        simconnect.CameraSetRelative6DOF(0.0f, 0.1f, -1.1f, kKeep, kKeep, kKeep);
    } else {
        simconnect.CameraSetRelative6DOF(0.0f, 0.0f, 0.15f, kKeep, kKeep, kKeep);
    }
}

bool Application::onKeyEvent(std::uint32_t eventId, std::uint32_t value) {
    if (eventId == fsx::hostkey::kResync && !coversLock) {
        if (std::fabs(module::ReadGaugeVar(fsx::token::kBank)) < 0.5 &&
            coversState != kCoversGoingOn && coversState != kCoversOn) {
            tick::resyncRequested = true;
        }
    } else if (eventId == fsx::hostkey::kEyePoint) {
        SetCameraEyePoint();
    }
    ForEachSystem([eventId, value](SystemBase& s) { s.onKeyEvent(eventId, value); });
    return true;
}

void Application::onTimer(std::uint32_t) {
    const TickReads reads;
    dt = kTimeStep;
    const double rate = module::ReadGaugeVar(fsx::token::kSimulationRate);
    if (rate > 256.0) {
        dt = dt * rate * 2.0;
    }
    if (module::simStartPending) {
        firstTick = true;
    }
    if (firstTick) {
        module::settingsLoaded = true;
        Options::Instance().Load();
        // The first tick updates every system twice: here on the settings just loaded, and
        // again with every tick's update below.
        ForEachSystem([this](SystemBase& s) { s.update(dt, true); });
        SetCameraEyePoint();
        tick::wingRestPending = true;
        tick::wingRestSide = wingrest::DrawSide();
        if (module::CockpitViewShown() &&
            (coversState != kCoversOff || ServicePanelSelection.frontSeatSelection == 0)) {
            fsx::TriggerKeyEvent2(fsx::hostkey::kPanelView, 0);
        }
        firstTick = false;
    }
    if (tick::resyncRequested || module::simStartPending) {
        tick::resyncRequested = false;
        module::simStartPending = false;
        tick::wingRestPending = true;
        tick::wingRestSide = wingrest::DrawSide();
    }
    if (tick::wingRestPending) {
        WingRest();
    }

    Options& options = Options::Instance();
    options.activePilot = ServicePanelSelection.pilotSelection + 1;
    options.frontSeat = ServicePanelSelection.frontSeatSelection != 0;
    if (!tick::lastActivePilotSet) {
        tick::lastActivePilot = options.activePilot;
        tick::lastActivePilotSet = true;
    } else if (options.activePilot != tick::lastActivePilot && module::CockpitViewShown()) {
        tick::lastActivePilot = options.activePilot;
        SetCameraEyePoint();
    }

    ForEachSystem([this](SystemBase& s) { s.update(dt, firstTick); });

    if (fsx::OffGround(module::ReadGaugeVar(fsx::token::kOnGround)) ||
        module::ReadGaugeVar(fsx::token::kSpeed) > 5.0) {
        wingrest::SetStations(0.0, 0.0);
    }
}
