#include "Logic/Systems/VisualStaffSystem.h"

#include "Lib/FSX/GaugeTokens.h"
#include "Lib/FSX/KeyEvents.h"
#include "Lib/FSX/PanelServices.h"
#include "Lib/FSX/SimConnectWrapper.h"
#include "Lib/Platform/Platform.h"
#include "Logic/CockpitState.h"
#include "Logic/ModuleState.h"
#include "Logic/Options.h"
#include "Logic/SimParameters.h"
#include "Logic/SystemRegistry.h"
#include "Logic/WingRest.h"

#include <cmath>
#include <string>

namespace {

constexpr const char* kSection = "cabin";

struct AxisEvent {
    std::uint32_t id;
    const char* hostEvent;
};
// In the order they are mapped, added, removed and masked.
constexpr AxisEvent kAxes[3] = {{VisualStaffSystem::kAilerons, "AXIS_AILERONS_SET"},
                                {VisualStaffSystem::kElevator, "AXIS_ELEVATOR_SET"},
                                {VisualStaffSystem::kRudder, "AXIS_RUDDER_SET"}};

// The procedure's process-wide values; they outlive the system object, zero at module load.
struct Shared {
    bool levelling = false;
    double ballastStation3 = 0.0;     // kg
    double ballastStation4 = 0.0;     // kg
    std::int32_t lockCounter = 0;     // ticks since levelling ended
    std::int32_t coversDirection = 0; // +1 going on, -1 coming off, 0 still
};
Shared shared;

void SendResync() {
    fsx::TriggerKeyEvent(fsx::hostkey::kResync, 1);
}

} // namespace

VisualStaffSystem::Variables::Variables() = default;

void VisualStaffSystem::start() {
    vars.emplace();
    auto& simconnect = except::SimConnectWrapper::Instance();
    for (const AxisEvent& axis : kAxes) {
        simconnect.MapClientEventToSimEvent(axis.id, axis.hostEvent);
    }
    for (const AxisEvent& axis : kAxes) {
        simconnect.AddClientEventToNotificationGroup(kGroup, axis.id, false);
    }
    simconnect.SetNotificationGroupPriority(kGroup, kHighestMaskablePriority);
    wingSide = 0.0;
}

void VisualStaffSystem::stop() {
    auto& simconnect = except::SimConnectWrapper::Instance();
    for (const AxisEvent& axis : kAxes) {
        simconnect.RemoveClientEvent(kGroup, axis.id);
    }
    simconnect.ClearNotificationGroup(kGroup);
}

void VisualStaffSystem::SetControlsLocked(bool locked) const {
    for (std::uint32_t key : fsx::hostkey::kCentreControls) {
        fsx::TriggerKeyEvent(key, 0);
    }
    // While the axis events are maskable in this group, SimConnect withholds the host's own
    // axis events from the simulation: the controls stay where they are.
    auto& simconnect = except::SimConnectWrapper::Instance();
    for (const AxisEvent& axis : kAxes) {
        simconnect.RemoveClientEvent(kGroup, axis.id);
        simconnect.AddClientEventToNotificationGroup(kGroup, axis.id, locked);
    }
}

void VisualStaffSystem::update(double stepDt, bool first) {
    DefaultSystem::update(stepDt, first);
    if (!enabled || module::SimulationPaused() || !vars) {
        return;
    }
    switch (coversState) {
    case kCoversOff:
        vars->covers.Set(0.0);
        vars->visible.Set(0.0);
        break;
    case kCoversLevelling:
        LevellingStep();
        break;
    case kCoversGoingOn:
        vars->visible.Set(1.0);
        CoversStep();
        break;
    case kCoversComingOff:
        CoversStep();
        break;
    case kCoversOn:
        break;
    default:
        SettlingStep();
        break;
    }
}

void VisualStaffSystem::LevellingStep() {
    const double bank = module::ReadGaugeVar(fsx::token::kBank);
    const double tilt = std::fabs(bank);
    if (tilt > 1.5 && fsx::TouchingGround(module::ReadGaugeVar(fsx::token::kOnGround))) {
        shared.levelling = true;
    }
    bool finished = false;
    if (bank > 0.4 && shared.levelling) {
        // The ballast grows on the high wing until the wings are level.
        shared.ballastStation4 += tilt / 10.0;
        shared.ballastStation3 = 0.0;
        wingrest::SetStations(shared.ballastStation3, shared.ballastStation4);
    } else if (bank < -0.4) {
        if (shared.levelling) {
            shared.ballastStation3 += tilt / 10.0;
            shared.ballastStation4 = 0.0;
            wingrest::SetStations(shared.ballastStation3, shared.ballastStation4);
        }
    } else if (shared.levelling) {
        shared.ballastStation3 = 0.0;
        shared.ballastStation4 = 0.0;
        wingrest::SetStations(0.0, 0.0);
        SendResync();
        coversLock = true;
        shared.levelling = false;
        finished = true;
    }
    if (!finished && !coversLock) {
        return;
    }
    // The covers start on the second tick after the wings came level.
    if (++shared.lockCounter > 1) {
        coversLock = false;
        shared.lockCounter = 0;
        SendResync();
        coversState = kCoversGoingOn;
        vars->ready.Set(1.0);
    }
}

void VisualStaffSystem::CoversStep() {
    // The request counts when its value truncates to a non-zero integer.
    const double ready = vars->ready.Get();
    double p = vars->covers.Get();
    if (std::fabs(ready) >= 1.0) {
        shared.coversDirection = p <= 0.0 ? 1 : -1;
        vars->ready.Set(0.0);
    }
    if (shared.coversDirection == 1) {
        p += kCoversStep;
        if (p >= 1.0) {
            p = 1.0;
            shared.coversDirection = 0;
            coversState = kCoversOn;
            SetControlsLocked(true);
        }
    } else if (shared.coversDirection == -1) {
        p -= kCoversStep;
        if (p <= 0.0) {
            p = 0.0;
            shared.coversDirection = 0;
            wingSide = wingrest::DrawSide();
            coversState = kCoversSettling;
            SetControlsLocked(false);
        }
    }
    vars->covers.Set(p);
}

void VisualStaffSystem::SettlingStep() {
    vars->visible.Set(0.0);
    if (wingrest::Rest(wingSide)) {
        wingSide = 0.0;
        coversState = kCoversOff;
    }
}

void VisualStaffSystem::LoadSettings(const std::string& file) {
    coversState = Options::ReadInt(kSection, "parkst", 0, file);
    if (coversState < kCoversOff || coversState > kCoversSettling) {
        // The update settles the glider from any state it does not know; stored as settling, the
        // value that every reader of the state understands.
        platform::WriteDiagnostic("settings: cabin/parkst " + std::to_string(coversState) +
                                  " is no parking state; the glider settles on a wing");
        coversState = kCoversSettling;
    }
    if (!vars) {
        return;
    }
    if (fsx::OffGround(module::ReadGaugeVar(fsx::token::kOnGround))) {
        coversState = kCoversOff;
        vars->covers.Set(0.0);
        vars->visible.Set(0.0);
    } else if (coversState == kCoversOn) {
        // The covers show as on; the controls stay free until they come off and go on again.
        vars->covers.Set(1.0);
        vars->visible.Set(1.0);
    } else {
        vars->covers.Set(0.0);
        vars->visible.Set(0.0);
        // A covers movement that was under way cannot be resumed: the covers show as off, so
        // one going on starts over from rest and one coming off goes on to settle the glider.
        // Levelling (state 1) resumes: it works from the attitude of the moment, and the seats
        // were emptied for the parking that it leads to.
        if (coversState == kCoversGoingOn) {
            coversState = kCoversOff;
        } else if (coversState == kCoversComingOff) {
            coversState = kCoversSettling;
        }
    }
}

void VisualStaffSystem::SaveSettings(const std::string& file) {
    if (vars) {
        Options::WriteDouble(kSection, "covers", vars->covers.Get(), file);
    }
    Options::WriteInt(kSection, "parkst", coversState, file);
}

VisualStaffSystem* RegisteredVisualStaff() {
    if (module::registry == nullptr) {
        return nullptr;
    }
    return static_cast<VisualStaffSystem*>(module::registry->At(SystemRegistry::kVisualStaff));
}
