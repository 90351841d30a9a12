#include "Logic/Systems/WindowsSystem.h"

#include "Lib/FSX/KeyEvents.h"
#include "Logic/Systems/SoundSystem.h"

#include <algorithm>

WindowsSystem::Variables::Variables() = default;

void WindowsSystem::start() {
    vars.emplace();
}

bool WindowsSystem::Toggle(const except::NamedVariable& window) {
    // A window part way open counts as closed and opens fully (its value truncates to 0).
    const double value = window.Get();
    const bool open = value > -1.0 && value < 1.0;
    window.Set(open ? 1.0 : 0.0);
    return open;
}

void WindowsSystem::ToggleSide(const except::NamedVariable& window) {
    // The engine does not restart a sound that still plays.
    PlayCockpitSound(Toggle(window) ? "slidew_open.wav" : "slidew_close.wav");
}

bool WindowsSystem::onKeyEvent(std::uint32_t eventId, std::uint32_t) {
    if (!vars) {
        return false;
    }
    switch (eventId) {
    case fsx::key::kWindowSideTwoToggle:
        ToggleSide(vars->two);
        return true;
    case fsx::key::kWindowSideOneToggle:
        ToggleSide(vars->one);
        return true;
    case fsx::key::kWindowFrontToggle:
        Toggle(vars->front);
        return true;
    case fsx::key::kWindowFrontOpen:
        vars->front.Set(std::min(vars->front.Get() + kFrontStep, 1.0));
        return true;
    case fsx::key::kWindowFrontClose:
        vars->front.Set(std::max(vars->front.Get() - kFrontStep, 0.0));
        return true;
    default:
        return false;
    }
}
