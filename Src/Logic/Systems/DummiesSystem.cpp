#include "Logic/Systems/DummiesSystem.h"

#include "Lib/FSX/GaugeTokens.h"
#include "Lib/FSX/KeyEvents.h"
#include "Lib/FSX/PanelServices.h"
#include "Logic/ModuleState.h"
#include "Logic/Options.h"
#include "Logic/SimParameters.h"
#include "Logic/SystemRegistry.h"
#include "Logic/Systems/SoundSystem.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr const char* kSection = "handles";
// A handle moving by itself steps in every update, so one update without a step means it has
// stopped: a cancelled request, or the gear held by token 60.
constexpr int kStepRestUpdates = 2;

// The system's process-wide values, zero when the module loads and never saved.
struct Shared {
    int flapStage = 0;           // 0 up, 1 half (from up), 2 full, 3 half (from full)
    bool spoilersMoving = false; // in a movement started from an end
    bool gearMoving = false;
    bool spoilersRetracting = false; // that movement goes towards 0
    bool gearRetracting = false;
};
Shared shared;

std::uint32_t Trunc(double position) {
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(position));
}

// Keeps a position on the handle's scale, whatever the cockpit model left in a grip variable.
double Limit(double position) {
    return std::isnan(position) ? 0.0 : std::clamp(position, 0.0, DummiesSystem::kFullTravel);
}

// The gear moves only while the host reports token 60 as exactly 0.
bool GearFree() {
    return fsx::AirborneExactly(module::ReadGaugeVar(fsx::token::kOnGround));
}

// A stored handle position, as a fraction of full travel. An edited file cannot put a handle
// beyond its ends (nor send the host a position outside its scale).
double StoredFraction(const char* section, const char* key, double defaultValue,
                      const std::string& file) {
    const double value = Options::ReadDouble(section, key, defaultValue, file);
    return std::isfinite(value) ? std::clamp(value, 0.0, 1.0) : defaultValue;
}

} // namespace

HandleState& DummiesSystem::State(Which which) {
    switch (which) {
    case Which::Spoilers:
        return spoilers;
    case Which::Flaps:
        return flaps;
    case Which::Gear:
        break;
    }
    return gear;
}

const except::NamedVariable& DummiesSystem::Mechanism(Which which) const {
    switch (which) {
    case Which::Spoilers:
        return vars->spoilers;
    case Which::Flaps:
        return vars->flaps;
    case Which::Gear:
        break;
    }
    return vars->gear;
}

const except::NamedVariable& DummiesSystem::Grip(Which which) const {
    switch (which) {
    case Which::Spoilers:
        return vars->spoilersGrip;
    case Which::Flaps:
        return vars->flapsGrip;
    case Which::Gear:
        break;
    }
    return vars->gearGrip;
}

void DummiesSystem::Send(Which which, double position) const {
    switch (which) {
    case Which::Spoilers:
        fsx::TriggerKeyEvent(fsx::hostkey::kSpoilersSet, Trunc(position));
        break;
    case Which::Gear:
        fsx::TriggerKeyEvent(fsx::hostkey::kGearSet, Trunc(position));
        break;
    case Which::Flaps:
        if (module::connection != nullptr) {
            module::connection->SetFlapsPercent(position / kFullTravel * 100.0);
        }
        break;
    }
}

void DummiesSystem::Show(Which which, double position) const {
    Mechanism(which).Set(position / kFullTravel);
    Grip(which).Set(position / kFullTravel);
}

DummiesSystem::Variables::Variables() = default;

void DummiesSystem::Moving(Which which, int restUpdates) {
    soundUpdates[static_cast<std::size_t>(which)] = restUpdates;
    PlayCockpitSound(kSound);
}

void DummiesSystem::Rested(Which which) {
    soundUpdates[static_cast<std::size_t>(which)] = 0;
    // One sound for three handles: stopping it while another still moves would restart it from
    // its spin-up on that handle's next step.
    if (std::all_of(soundUpdates.begin(), soundUpdates.end(), [](int n) { return n == 0; })) {
        StopCockpitSound(kSound);
    }
}

void DummiesSystem::CountRestingUpdates() {
    for (const Which which : {Which::Spoilers, Which::Flaps, Which::Gear}) {
        int& left = soundUpdates[static_cast<std::size_t>(which)];
        if (left > 0 && --left == 0) {
            Rested(which);
        }
    }
}

void DummiesSystem::start() {
    vars.emplace();
    fsx::TriggerKeyEvent(fsx::hostkey::kSpoilersSet, 0);
    spoilers = HandleState{};
    flaps = HandleState{};
    gear = HandleState{};
    vars->spoilers.Set(0.0);
    vars->spoilersGrip.Set(0.0);
    vars->flaps.Set(0.0);
    vars->flapsGrip.Set(0.0);
    vars->gear.Set(1.0);
    vars->gearGrip.Set(1.0);
    flapsRetracting = false;
    flapsLower = 0.0;
    flapsUpper = 0.0;
    soundUpdates = {};
}

void DummiesSystem::update(double stepDt, bool first) {
    dt = stepDt;
    firstTick = first;
    if (!enabled || !vars) {
        return;
    }
    if (!module::SimulationPaused()) {
        StepSpoilersOrGear(Which::Spoilers, shared.spoilersMoving, shared.spoilersRetracting);
        StepFlaps();
        // A gear at rest has nothing to do whatever token 60 says; read it only for a movement.
        if (gear.requested != gear.reached && GearFree()) {
            StepSpoilersOrGear(Which::Gear, shared.gearMoving, shared.gearRetracting);
        }
    }
    // Also while paused: a handle held by the pause is silent until it moves on.
    CountRestingUpdates();
}

void DummiesSystem::StepSpoilersOrGear(Which which, bool& moving, bool& retracting) {
    HandleState& h = State(which);
    if (h.requested == h.reached) {
        return;
    }
    double p = h.position;
    if (p <= 0.0) {
        moving = true;
        retracting = false;
    } else if (p >= kFullTravel) {
        moving = true;
        retracting = true;
    } else if (!moving) {
        // Left between the ends: head for the nearer one, choosing again on every update.
        retracting = p < kHalfTravel;
    }
    const double end = retracting ? 0.0 : kFullTravel;
    p += retracting ? -kStep : kStep;
    if (retracting ? p <= end : p >= end) {
        h.position = end;
        Rested(which);
        h.reached = h.requested;
        moving = false;
        return;
    }
    h.position = p;
    Send(which, p);
    Show(which, p);
    Moving(which, kStepRestUpdates);
}

void DummiesSystem::StepFlaps() {
    if (flaps.requested == flaps.reached) {
        return;
    }
    double p = flaps.position;
    // A request at an end, other than a stage move to half, travels to the other end.
    if (p <= 0.0 && flapsUpper != kHalfTravel) {
        flapsLower = 0.0;
        flapsUpper = kFullTravel;
        flapsRetracting = false;
    } else if (p >= kFullTravel && flapsLower != kHalfTravel) {
        flapsLower = 0.0;
        flapsUpper = 0.0;
        flapsRetracting = true;
    }
    const double end = flapsRetracting ? flapsLower : flapsUpper;
    p += flapsRetracting ? -kStep : kStep;
    if (flapsRetracting ? p <= end : p >= end) {
        flaps.position = end;
        Rested(Which::Flaps);
        flaps.reached = flaps.requested;
        return;
    }
    flaps.position = p;
    Send(Which::Flaps, p);
    Show(Which::Flaps, p);
    Moving(Which::Flaps, kStepRestUpdates);
}

void DummiesSystem::Drag(Which which, bool outwards) {
    const double end = outwards ? kFullTravel : 0.0;
    const double p = Limit(Grip(which).Get() * kFullTravel + (outwards ? kDragStep : -kDragStep));
    HandleState& h = State(which);
    h.position = p;
    Show(which, p);
    if (outwards ? p >= end : p <= end) {
        h.position = end;
        Rested(which);
        return;
    }
    Send(which, p);
    Moving(which, kDirectRestUpdates);
}

void DummiesSystem::Axis(Which which, std::uint32_t value) {
    const std::int64_t v = static_cast<std::int32_t>(value);
    const double half = static_cast<double>(std::llabs(v)) * 0.5;
    const double p = v >= 0 ? 8192.0 + half : 8192.0 - half;
    HandleState& h = State(which);
    if (p >= kFullTravel) {
        h.position = kFullTravel;
        Rested(which);
        return;
    }
    const bool lowerEnd = which == Which::Flaps ? p < 0.0 : p <= 0.0;
    const double before = h.position;
    h.position = lowerEnd ? 0.0 : p;
    Send(which, h.position);
    Show(which, h.position);
    if (lowerEnd) {
        Rested(which);
    } else if (h.position != before) {
        // An axis that repeats the value it stands at does not move the handle.
        Moving(which, kDirectRestUpdates);
    }
}

void DummiesSystem::StepPedals(double delta) const {
    double setting = vars->pedals.Get() + delta;
    if (setting < 0.0) {
        setting += 1.0;
    } else if (setting > 1.0) {
        setting -= 1.0;
    }
    vars->pedals.Set(setting);
}

void DummiesSystem::RequestFlaps(std::uint32_t eventId) {
    switch (eventId) {
    case fsx::hostkey::kFlapsUp:
        if (flaps.position > 0.0) {
            flapsLower = 0.0;
            flapsUpper = 0.0;
            flapsRetracting = true;
            shared.flapStage = 0;
            flaps.requested = !flaps.requested;
        }
        return;
    case fsx::hostkey::kFlapsDown:
        if (flaps.position != kFullTravel) {
            flapsUpper = kFullTravel;
            flapsLower = 0.0;
            flapsRetracting = false;
            shared.flapStage = 2;
            flaps.requested = !flaps.requested;
        }
        return;
    case fsx::hostkey::kFlapsIncr:
        if (shared.flapStage == 2) {
            return;
        }
        flapsLower = 0.0;
        flapsUpper = shared.flapStage == 0 ? kHalfTravel : kFullTravel;
        shared.flapStage = shared.flapStage == 0 ? 1 : 2;
        flapsRetracting = false;
        flaps.requested = !flaps.requested;
        return;
    case fsx::hostkey::kFlapsDecr:
        if (shared.flapStage == 0) {
            return;
        }
        if (shared.flapStage == 2) {
            flapsLower = kHalfTravel;
            flapsUpper = kFullTravel;
            shared.flapStage = 3;
        } else {
            flapsLower = 0.0;
            flapsUpper = 0.0;
            shared.flapStage = 0;
        }
        flapsRetracting = true;
        flaps.requested = !flaps.requested;
        return;
    default:
        return;
    }
}

bool DummiesSystem::onKeyEvent(std::uint32_t eventId, std::uint32_t value) {
    if (!vars) {
        return false;
    }
    switch (eventId) {
    case fsx::hostkey::kGearToggle:
        if (GearFree()) {
            gear.requested = !gear.requested;
        }
        return true;
    case fsx::hostkey::kSpoilersToggle:
        spoilers.requested = !spoilers.requested;
        return true;
    case fsx::hostkey::kFlapsUp:
    case fsx::hostkey::kFlapsDown:
    case fsx::hostkey::kFlapsIncr:
    case fsx::hostkey::kFlapsDecr:
        RequestFlaps(eventId);
        return true;
    case fsx::hostkey::kAxisSpoilerSet:
        Axis(Which::Spoilers, value);
        return true;
    case fsx::hostkey::kAxisFlapsSet:
        Axis(Which::Flaps, value);
        return true;
    case fsx::hostkey::kHandleSound:
        // The host setting the flaps itself: they move, and come to rest like a grip drag.
        Moving(Which::Flaps, kDirectRestUpdates);
        return true;
    case fsx::key::kPedalsBack:
        StepPedals(-0.1);
        return true;
    case fsx::key::kPedalsForward:
        StepPedals(0.1);
        return true;
    case fsx::key::kSpoilersGripOut:
    case fsx::key::kSpoilersGripIn:
        Drag(Which::Spoilers, eventId == fsx::key::kSpoilersGripOut);
        return true;
    case fsx::key::kFlapsGripOut:
    case fsx::key::kFlapsGripIn:
        Drag(Which::Flaps, eventId == fsx::key::kFlapsGripOut);
        return true;
    case fsx::key::kGearGripOut:
    case fsx::key::kGearGripIn:
        if (GearFree()) {
            Drag(Which::Gear, eventId == fsx::key::kGearGripOut);
        }
        return true;
    default:
        return false;
    }
}

void DummiesSystem::LoadSettings(const std::string& file) {
    if (!vars) {
        return;
    }
    vars->spoilersGrip.Set(StoredFraction(kSection, "spoilers", 0.0, file));
    vars->flapsGrip.Set(StoredFraction(kSection, "flaps", 0.0, file));
    vars->gearGrip.Set(StoredFraction(kSection, "gear", 1.0, file));

    spoilers.position = Limit(vars->spoilersGrip.Get() * kFullTravel);
    Send(Which::Spoilers, spoilers.position);
    flaps.position = Limit(vars->flapsGrip.Get() * kFullTravel);
    Send(Which::Flaps, flaps.position);
    if (!GearFree()) {
        // On the ground the gear is down, whatever was stored.
        vars->gearGrip.Set(1.0);
    }
    gear.position = Limit(vars->gearGrip.Get() * kFullTravel);
    Send(Which::Gear, gear.position);
}

void DummiesSystem::SaveSettings(const std::string& file) {
    Options::WriteDouble(kSection, "spoilers", spoilers.position / kFullTravel, file);
    Options::WriteDouble(kSection, "flaps", flaps.position / kFullTravel, file);
    Options::WriteDouble(kSection, "gear", gear.position / kFullTravel, file);
}

DummiesSystem* RegisteredDummies() {
    if (module::registry == nullptr) {
        return nullptr;
    }
    return static_cast<DummiesSystem*>(module::registry->At(SystemRegistry::kDummies));
}
