// The seating part of the service panel: who sits where, whom the user flies as, and the masses
// of the crew and of the water tank in the back seat.
#include "Gauge/PanelCallback.h"
#include "Gauge/PanelElements.h"
#include "Lib/FSX/KeyEvents.h"
#include "Lib/FSX/PanelServices.h"
#include "Logic/CockpitState.h"
#include "Logic/ModuleState.h"

#include <algorithm>
#include <cstdio>

namespace {

using panel::ShowIf;

// The mass texts hold at most this many bytes, the end of the text included.
constexpr fsx::Word kMassTextBytes = 8;

ServicePanelSelectionRecord& Selection() {
    return ServicePanelSelection;
}

// The text "%2d" gives, written by hand for the masses the panel holds: the host draws the panel
// at every frame, and the general formatter costs more than the rest of the panel together.
double WriteMass(fsx::ElementHeader* element, bool shown, std::int32_t mass) {
    ShowIf(element, shown);
    if (element == nullptr || element->text == nullptr || element->textCapacity == 0) {
        return 0.0;
    }
    const fsx::Word capacity = std::min(element->textCapacity, kMassTextBytes);
    if (mass >= 0 && mass <= 99 && capacity >= 3) {
        element->text[0] = mass >= 10 ? static_cast<char>('0' + mass / 10) : ' ';
        element->text[1] = static_cast<char>('0' + mass % 10);
        element->text[2] = '\0';
    } else {
        std::snprintf(element->text, capacity, "%2d", mass);
    }
    return 0.0;
}

// ---- seat buttons ------------------------------------------------------------------------------

void FrontSeat() {
    auto& s = Selection();
    if (s.coversMode) {
        s.frontSeatSelection = 0;
        s.pilotSelection = 2;
        return;
    }
    if (s.frontSeatSelection == 0) {
        s.frontSeatSelection = 1;
        if (s.backSeatSelection != 1) {
            s.pilotSelection = 0;
        }
        return;
    }
    // Nobody stays in the back without a pilot in front.
    s.frontSeatSelection = 0;
    s.backSeatSelection = 0;
    if (module::CockpitViewShown()) {
        fsx::TriggerKeyEvent(fsx::hostkey::kPanelView, 0);
    }
}

void BackSeatPilot() {
    auto& s = Selection();
    if (s.coversMode) {
        s.backSeatSelection = 0;
        s.pilotSelection = 2;
        return;
    }
    const bool seat =
        (s.backSeatSelection == 0 || s.backSeatSelection == 2) && s.frontSeatSelection != 0;
    s.backSeatSelection = seat ? 1 : 0;
    if (s.frontSeatSelection == 1 && s.backSeatSelection != 1) {
        s.pilotSelection = 0;
    }
}

void BackSeatTank() {
    auto& s = Selection();
    if (s.coversMode) {
        s.backSeatSelection = 0;
        s.pilotSelection = 2;
        return;
    }
    const bool fill =
        (s.backSeatSelection == 0 || s.backSeatSelection == 1) && s.frontSeatSelection != 0;
    s.backSeatSelection = fill ? 2 : 0;
    if (s.frontSeatSelection == 1) {
        s.pilotSelection = 0;
    }
}

// ---- masses ------------------------------------------------------------------------------------

void StepFrontMass(std::int32_t step) {
    auto& s = Selection();
    s.pilot1Weight = std::clamp(s.pilot1Weight + step, s.weightMin, s.weightMax);
}

void StepBackMass(std::int32_t step) {
    auto& s = Selection();
    if (s.backSeatSelection == 1) {
        s.pilot2Weight = std::clamp(s.pilot2Weight + step, s.weightMin, s.weightMax);
    } else if (s.backSeatSelection == 2) {
        s.waterTankWeight = std::clamp(s.waterTankWeight + step, 0, s.waterTankMax);
    }
}

// The mass areas between the arrows take only the wheel.
std::int32_t WheelStep(std::uint32_t flags) {
    if (panel::WheelUp(flags)) {
        return 1;
    }
    return panel::WheelDown(flags) ? -1 : 0;
}

} // namespace

// ---- element values
// ------------------------------------------------------------------------------

double ZV_STDCALL FrontPilotOnlyView(fsx::ElementHeader* e) {
    return panel::ElementValue("front-pilot view", [e] {
        return ShowIf(e, Selection().frontSeatSelection == 1 && Selection().backSeatSelection == 0);
    });
}

double ZV_STDCALL FrontPilotAndTankView(fsx::ElementHeader* e) {
    return panel::ElementValue("front-pilot-and-tank view", [e] {
        return ShowIf(e, Selection().frontSeatSelection == 1 && Selection().backSeatSelection == 2);
    });
}

double ZV_STDCALL TwoPilotsView(fsx::ElementHeader* e) {
    return panel::ElementValue("two-pilots view", [e] {
        return ShowIf(e, Selection().frontSeatSelection == 1 && Selection().backSeatSelection == 1);
    });
}

double ZV_STDCALL FrontPilotButton(fsx::ElementHeader* e) {
    return panel::ElementValue("front active-pilot button",
                               [e] { return ShowIf(e, Selection().frontSeatSelection != 0); });
}

double ZV_STDCALL FrontPilotButtonLit(fsx::ElementHeader* e) {
    return panel::ElementValue("front active-pilot lamp", [e] {
        return ShowIf(e, Selection().frontSeatSelection != 0 && Selection().pilotSelection == 0);
    });
}

double ZV_STDCALL BackPilotButton(fsx::ElementHeader* e) {
    return panel::ElementValue("back active-pilot button", [e] {
        const std::int32_t back = Selection().backSeatSelection;
        return ShowIf(e, back != 0 && back != 2);
    });
}

double ZV_STDCALL BackPilotButtonLit(fsx::ElementHeader* e) {
    return panel::ElementValue("back active-pilot lamp", [e] {
        const std::int32_t back = Selection().backSeatSelection;
        return ShowIf(e, back != 0 && back != 2 && Selection().pilotSelection == 1);
    });
}

double ZV_STDCALL FrontMassBackground(fsx::ElementHeader* e) {
    return panel::ElementValue("front mass display",
                               [e] { return ShowIf(e, Selection().frontSeatSelection != 0); });
}

double ZV_STDCALL BackMassBackground(fsx::ElementHeader* e) {
    return panel::ElementValue("back mass display",
                               [e] { return ShowIf(e, Selection().backSeatSelection != 0); });
}

double ZV_STDCALL FrontMassText(fsx::ElementHeader* e) {
    return panel::ElementValue("front mass", [e] {
        const auto& s = Selection();
        return WriteMass(e, s.frontSeatSelection != 0,
                         s.frontSeatSelection == 1 ? s.pilot1Weight : 0);
    });
}

double ZV_STDCALL BackMassText(fsx::ElementHeader* e) {
    return panel::ElementValue("back mass", [e] {
        const auto& s = Selection();
        std::int32_t mass = 0;
        if (s.backSeatSelection == 1) {
            mass = s.pilot2Weight;
        } else if (s.backSeatSelection == 2) {
            mass = s.waterTankWeight;
        }
        return WriteMass(e, s.backSeatSelection != 0, mass);
    });
}

// ---- mouse
// ---------------------------------------------------------------------------------------

std::int32_t ZV_STDCALL FrontSeatClick(fsx::PixPoint*, std::uint32_t) {
    return panel::MouseAction("front-seat button", FrontSeat);
}

std::int32_t ZV_STDCALL BackSeatPilotClick(fsx::PixPoint*, std::uint32_t) {
    return panel::MouseAction("back-seat pilot button", BackSeatPilot);
}

std::int32_t ZV_STDCALL BackSeatTankClick(fsx::PixPoint*, std::uint32_t) {
    return panel::MouseAction("back-seat tank button", BackSeatTank);
}

std::int32_t ZV_STDCALL FrontActivePilotClick(fsx::PixPoint*, std::uint32_t) {
    return panel::MouseAction("front active-pilot button", [] {
        if (Selection().frontSeatSelection == 1) {
            Selection().pilotSelection = 0;
        }
    });
}

std::int32_t ZV_STDCALL BackActivePilotClick(fsx::PixPoint*, std::uint32_t) {
    return panel::MouseAction("back active-pilot button", [] {
        if (Selection().backSeatSelection == 1) {
            Selection().pilotSelection = 1;
        }
    });
}

std::int32_t ZV_STDCALL FrontMassDown(fsx::PixPoint*, std::uint32_t flags) {
    return panel::MouseAction("front mass down",
                              [flags] { StepFrontMass(panel::WheelUp(flags) ? 1 : -1); });
}

std::int32_t ZV_STDCALL FrontMassUp(fsx::PixPoint*, std::uint32_t flags) {
    return panel::MouseAction("front mass up",
                              [flags] { StepFrontMass(panel::WheelDown(flags) ? -1 : 1); });
}

std::int32_t ZV_STDCALL FrontMassWheel(fsx::PixPoint*, std::uint32_t flags) {
    return panel::MouseAction("front mass wheel", [flags] {
        if (const std::int32_t step = WheelStep(flags); step != 0) {
            StepFrontMass(step);
        }
    });
}

std::int32_t ZV_STDCALL BackMassDown(fsx::PixPoint*, std::uint32_t flags) {
    return panel::MouseAction("back mass down",
                              [flags] { StepBackMass(panel::WheelUp(flags) ? 1 : -1); });
}

std::int32_t ZV_STDCALL BackMassUp(fsx::PixPoint*, std::uint32_t flags) {
    return panel::MouseAction("back mass up", [flags] {
        StepBackMass(panel::WheelDown(flags) && !panel::WheelUp(flags) ? -1 : 1);
    });
}

std::int32_t ZV_STDCALL BackMassWheel(fsx::PixPoint*, std::uint32_t flags) {
    return panel::MouseAction("back mass wheel", [flags] {
        if (const std::int32_t step = WheelStep(flags); step != 0) {
            StepBackMass(step);
        }
    });
}
