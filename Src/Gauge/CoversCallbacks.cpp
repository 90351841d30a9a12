// The covers buttons of the service panel start and confirm the parking procedure.
#include "Gauge/PanelElements.h"

#include "Lib/FSX/GaugeTokens.h"
#include "Lib/FSX/KeyEvents.h"
#include "Lib/FSX/NamedVariable.h"
#include "Lib/FSX/PanelServices.h"
#include "Lib/HostEntry.h"
#include "Logic/CockpitState.h"
#include "Logic/ModuleState.h"

#include <cmath>

namespace {

void ShowCockpitFromPanel() {
    if (module::CockpitViewShown()) {
        fsx::TriggerKeyEvent(fsx::hostkey::kPanelView, 0);
    }
}

void StartCovers() {
    ServicePanelSelection.frontSeatSelection = 0;
    ServicePanelSelection.backSeatSelection = 0;
    ServicePanelSelection.pilotSelection = 2;
    ServicePanelSelection.coversMode = true;
    if (coversState != kCoversOff) {
        return;
    }
    if (std::fabs(module::ReadGaugeVar(fsx::token::kBank)) > 1.5 &&
        fsx::TouchingGround(module::ReadGaugeVar(fsx::token::kOnGround))) {
        // Banked on the ground: level the wings first.
        coversState = kCoversLevelling;
        ShowCockpitFromPanel();
        except::NamedVariable("zelvan_front_seat").Set(0.0);
        return;
    }
    except::NamedVariable("zelvan_covers_ready").Set(1.0);
    coversState = kCoversGoingOn;
    ShowCockpitFromPanel();
}

void ConfirmCovers() {
    ServicePanelSelection.coversMode = false;
    if (coversState == kCoversOn) {
        except::NamedVariable("zelvan_covers_ready").Set(1.0);
        coversState = kCoversComingOff;
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
