// The covers buttons of the service panel start and confirm the parking procedure.
#include "Gauge/PanelElements.h"

#include "Lib/FSX/NamedVariable.h"
#include "Lib/FSX/PanelServices.h"
#include "Lib/HostEntry.h"
#include "Logic/CockpitState.h"
#include "Logic/ModuleState.h"

#include <cmath>

namespace {

constexpr std::uint32_t kEventPanelView = 0x1001F;

void ShowCockpitFromPanel() {
    if (module::CockpitViewShown()) {
        fsx::TriggerKeyEvent(kEventPanelView, 0);
    }
}

void StartCovers() {
    ServicePanelSelection.frontSeatSelection = 0;
    ServicePanelSelection.backSeatSelection = 0;
    ServicePanelSelection.pilotSelection = 2;
    ServicePanelSelection.coversMode = true;
    if (coversState != 0) {
        return;
    }
    if (std::fabs(module::ReadGaugeVar(79)) > 1.5 && module::ReadGaugeVar(60) != 0.0) {
        // Banked on the ground: level the wings first.
        coversState = 1;
        ShowCockpitFromPanel();
        except::NamedVariable("zelvan_front_seat").Set(0.0);
        return;
    }
    except::NamedVariable("zelvan_covers_ready").Set(1.0);
    coversState = 2;
    ShowCockpitFromPanel();
}

void ConfirmCovers() {
    ServicePanelSelection.coversMode = false;
    if (coversState == 4) {
        except::NamedVariable("zelvan_covers_ready").Set(1.0);
        coversState = 3;
        ShowCockpitFromPanel();
    }
}

} // namespace

std::int32_t ZV_STDCALL CoversStartCallback(fsx::PixPoint*, std::uint32_t) {
    except::GuardHostEntry("covers-start button", StartCovers);
    return 0;
}

std::int32_t ZV_STDCALL CoversConfirmCallback(fsx::PixPoint*, std::uint32_t) {
    except::GuardHostEntry("covers-confirm button", ConfirmCovers);
    return 0;
}
