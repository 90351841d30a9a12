#include "Logic/Systems/ServicePanelSystem.h"

#include "Lib/FSX/GaugeTokens.h"
#include "Lib/FSX/KeyEvents.h"
#include "Lib/FSX/PanelServices.h"
#include "Logic/CockpitState.h"
#include "Logic/ModuleState.h"
#include "Logic/Options.h"
#include "Logic/SimParameters.h"

#include <algorithm>
#include <cmath>

namespace {

// The system's process-wide values, initialised when the module loads.
struct Shared {
    // The host's toggle 65906 was raised and not yet answered.
    bool guardedToggleRaised = false;
    // The update answered a toggle left raised; that answer comes back through the key handler
    // as one more toggle, which is the answer itself and is not answered again.
    bool raisedToggleAnswered = false;
};
Shared shared;

bool BelowGuard() {
    return fsx::OffGround(module::ReadGaugeVar(fsx::token::kOnGround));
}

void SetStation(std::uint32_t define, double kilograms) {
    if (module::connection != nullptr) {
        module::connection->SetPayloadWeight(define, kilograms);
    }
}

} // namespace

ServicePanelSystem::ServicePanelSystem()
    : DefaultSystem(14), backSeatPilot("zelvan_back_seat_pilot"),
      backSeatTank("zelvan_back_seat_tank"), backSeat("zelvan_back_seat"),
      frontSeat("zelvan_front_seat") {}

void ServicePanelSystem::start() {
    unitBool = fsx::GetUnitsEnum("Bool");
    ballastValveVariable = fsx::GetAircraftVarEnum("WATER BALLAST VALVE");
    WriteSeatPattern(Options::Instance().backSeat);
}

// Closed without a connection: there is no host to ask.
bool ServicePanelSystem::BallastValveOpen() const {
    return module::connection != nullptr &&
           fsx::AircraftVarget(ballastValveVariable, unitBool, 1) >= 0.5;
}

void ServicePanelSystem::update(double stepDt, bool first) {
    DefaultSystem::update(stepDt, first);
    // A toggle left raised when the glider left the ground is answered once.
    if (shared.guardedToggleRaised && BelowGuard()) {
        shared.guardedToggleRaised = false;
        shared.raisedToggleAnswered = true;
        fsx::TriggerKeyEvent(fsx::hostkey::kBallastGuardToggle, 0);
    }
    if (!enabled || module::SimulationPaused()) {
        return;
    }
    const ServicePanelSelectionRecord& s = ServicePanelSelection;
    Options& options = Options::Instance();
    options.pilot1Weight =
        s.frontSeatSelection == 1 ? static_cast<std::uint32_t>(s.pilot1Weight) : 0;
    options.pilot2Weight =
        s.backSeatSelection == 1 ? static_cast<std::uint32_t>(s.pilot2Weight) : 0;
    options.waterTankWeight =
        s.backSeatSelection == 2 ? static_cast<std::uint32_t>(s.waterTankWeight) : 0;
    options.backSeat = s.backSeatSelection;
    options.frontSeat = s.frontSeatSelection != 0;

    WriteSeatPattern(options.backSeat);
    ShowPilotFigures();
    SetPayload();
}

void ServicePanelSystem::WriteSeatPattern(int seat) const {
    switch (seat) {
    case 0:
        backSeatPilot.Set(0.0);
        backSeatTank.Set(0.0);
        backSeat.Set(0.0);
        break;
    case 1:
        backSeatPilot.Set(1.0);
        backSeatTank.Set(0.0);
        backSeat.Set(1.0);
        break;
    case 2:
        backSeatPilot.Set(0.0);
        backSeatTank.Set(1.0);
        backSeat.Set(0.0);
        break;
    default:
        break;
    }
}

// The figure of the seat the user flies from is hidden while the user looks from the cockpit.
void ServicePanelSystem::ShowPilotFigures() const {
    const Options& options = Options::Instance();
    const bool inCockpit = module::CockpitViewShown();
    switch (ServicePanelSelection.pilotSelection) {
    case 0:
        frontSeat.SetBool(!inCockpit && options.frontSeat);
        break;
    case 1:
        backSeatPilot.SetBool(!inCockpit && options.backSeat == 1);
        frontSeat.SetBool(options.frontSeat);
        break;
    default:
        break;
    }
}

void ServicePanelSystem::SetPayload() {
    Options& options = Options::Instance();
    SetStation(SimParameters::kPayloadStation1, options.pilot1Weight);
    switch (options.backSeat) {
    case 0:
        SetStation(SimParameters::kPayloadStation2, 0.0);
        SetStation(SimParameters::kPayloadStation5, 0.0);
        break;
    case 1:
        SetStation(SimParameters::kPayloadStation2, options.pilot2Weight);
        SetStation(SimParameters::kPayloadStation5, 0.0);
        break;
    case 2:
        SetStation(SimParameters::kPayloadStation2, 0.0);
        if (!BallastValveOpen()) {
            SetStation(SimParameters::kPayloadStation5, options.waterTankWeight);
            break;
        }
        // The station keeps its last mass while the water runs; the tank empties and stays
        // empty, so neither the panel nor the settings file ever sees a negative mass.
        if (!waterMassKnown) {
            waterMass = options.waterTankWeight;
            waterMassKnown = true;
        }
        waterMass = std::max(waterMass - kDrainPerUpdate, 0.0);
        options.waterTankWeight = static_cast<std::uint32_t>(std::trunc(waterMass));
        ServicePanelSelection.waterTankWeight =
            std::clamp(static_cast<std::int32_t>(options.waterTankWeight), 0,
                       ServicePanelSelection.waterTankMax);
        break;
    default:
        break;
    }
}

bool ServicePanelSystem::onKeyEvent(std::uint32_t eventId, std::uint32_t) {
    switch (eventId) {
    case fsx::hostkey::kBallastGuardToggle:
        if (shared.raisedToggleAnswered) {
            shared.raisedToggleAnswered = false;
            return true;
        }
        // Below the guard every toggle is answered by a second one; the answer comes back
        // through here and only clears the flag.
        shared.guardedToggleRaised = !shared.guardedToggleRaised;
        if (shared.guardedToggleRaised && BelowGuard()) {
            fsx::TriggerKeyEvent(fsx::hostkey::kBallastGuardToggle, 0);
        }
        return true;
    case fsx::key::kCockpitBallastRefill:
        fsx::TriggerKeyEvent(fsx::hostkey::kBallastRefill, 0);
        [[fallthrough]];
    case fsx::hostkey::kBallastRefill:
        waterMass = Options::Instance().waterTankWeight;
        waterMassKnown = true;
        return true;
    default:
        return false;
    }
}
