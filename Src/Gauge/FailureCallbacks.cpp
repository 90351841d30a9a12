// The failures part of the service panel: the slider that sets how often the pressure
// instruments fail, and the lamp that shows a failure and repairs them all when clicked.
#include "Gauge/PanelCallback.h"
#include "Gauge/PanelElements.h"
#include "Logic/CockpitState.h"
#include "Logic/Systems/FailuresSystem.h"

#include <algorithm>

namespace {

void StepSlider(std::int32_t step) {
    auto& s = ServicePanelSelection;
    s.slider = std::clamp(s.slider + step, 0, s.sliderMax);
}

// Any failure present, on its own or through one it depends on. A failure present through
// another is present only because some failure down its chain has failed on its own, so asking
// every failure for its own flag gives the same answer without walking the chains (the lamp is
// drawn every step). Without a failures system (the simulation has not started) nothing has
// failed.
bool AnyFailurePresent() {
    const FailuresSystem* failures = RegisteredFailures();
    if (failures == nullptr) {
        return false;
    }
    for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(kFailureCount); ++i) {
        if (failures->GetFailure(i).failed) {
            return true;
        }
    }
    return false;
}

} // namespace

double ZV_STDCALL FailureSliderKnob(fsx::ElementHeader*) {
    return panel::ElementValue("failure slider",
                               [] { return static_cast<double>(ServicePanelSelection.slider); });
}

double ZV_STDCALL FailureLamp(fsx::ElementHeader* e) {
    return panel::ElementValue("failure lamp",
                               [e] { return panel::ShowIf(e, AnyFailurePresent()); });
}

std::int32_t ZV_STDCALL FailureSliderDown(fsx::PixPoint*, std::uint32_t flags) {
    return panel::MouseAction("failure slider down",
                              [flags] { StepSlider(panel::WheelUp(flags) ? 1 : -1); });
}

std::int32_t ZV_STDCALL FailureSliderUp(fsx::PixPoint*, std::uint32_t flags) {
    return panel::MouseAction("failure slider up",
                              [flags] { StepSlider(panel::WheelDown(flags) ? -1 : 1); });
}

// The bar takes the wheel like the arrows; a click or a drag puts the knob at the point.
std::int32_t ZV_STDCALL FailureSliderBar(fsx::PixPoint* point, std::uint32_t flags) {
    return panel::MouseAction("failure slider bar", [point, flags] {
        auto& s = ServicePanelSelection;
        if (panel::WheelUp(flags)) {
            StepSlider(1);
        } else if (panel::WheelDown(flags)) {
            StepSlider(-1);
        } else if (point != nullptr) {
            s.slider = std::clamp(point->x, 0, s.sliderMax);
        }
    });
}

std::int32_t ZV_STDCALL RepairClick(fsx::PixPoint*, std::uint32_t) {
    return panel::MouseAction("repair", [] { RepairFailures(); });
}
