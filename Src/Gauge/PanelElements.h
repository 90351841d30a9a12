#pragma once

#include "Lib/FSX/GaugeAbi.h"

// The 2D service panel of gauge "main": its element tree and its mouse rectangles.
extern fsx::ElementHeader* const panelElementList[2];
extern const fsx::MouseRect panelMouseRects[];

// Every callback runs its body through the host-entry guard and works before the simulation has
// started: what needs a system reads as absent without one, and clicks that need one do nothing.

// ---- element values
// ------------------------------------------------------------------------------ Seating: the three
// top views, the two active-pilot buttons (unlit and lit) per seat, the two mass backgrounds and
// the two mass texts.
double ZV_STDCALL FrontPilotOnlyView(fsx::ElementHeader* element);
double ZV_STDCALL FrontPilotAndTankView(fsx::ElementHeader* element);
double ZV_STDCALL TwoPilotsView(fsx::ElementHeader* element);
double ZV_STDCALL FrontPilotButton(fsx::ElementHeader* element);
double ZV_STDCALL FrontPilotButtonLit(fsx::ElementHeader* element);
double ZV_STDCALL BackPilotButton(fsx::ElementHeader* element);
double ZV_STDCALL BackPilotButtonLit(fsx::ElementHeader* element);
double ZV_STDCALL FrontMassBackground(fsx::ElementHeader* element);
double ZV_STDCALL BackMassBackground(fsx::ElementHeader* element);
double ZV_STDCALL FrontMassText(fsx::ElementHeader* element);
double ZV_STDCALL BackMassText(fsx::ElementHeader* element);
// Failures: the slider knob and the lamp.
double ZV_STDCALL FailureSliderKnob(fsx::ElementHeader* element);
double ZV_STDCALL FailureLamp(fsx::ElementHeader* element);
// Batteries: the state strip (0 no charge record, 51 flat, 102 charging or charged) and the
// charge bar (fraction x 51) of battery 1, battery 2 and the radio battery.
double ZV_STDCALL Battery1State(fsx::ElementHeader* element);
double ZV_STDCALL Battery1Bar(fsx::ElementHeader* element);
double ZV_STDCALL Battery2State(fsx::ElementHeader* element);
double ZV_STDCALL Battery2Bar(fsx::ElementHeader* element);
double ZV_STDCALL RadioBatteryState(fsx::ElementHeader* element);
double ZV_STDCALL RadioBatteryBar(fsx::ElementHeader* element);

// ---- mouse callbacks: the point is relative to the rectangle; they always return 0 ------------
std::int32_t ZV_STDCALL FrontSeatClick(fsx::PixPoint* point, std::uint32_t flags);
std::int32_t ZV_STDCALL BackSeatPilotClick(fsx::PixPoint* point, std::uint32_t flags);
std::int32_t ZV_STDCALL BackSeatTankClick(fsx::PixPoint* point, std::uint32_t flags);
std::int32_t ZV_STDCALL FrontActivePilotClick(fsx::PixPoint* point, std::uint32_t flags);
std::int32_t ZV_STDCALL BackActivePilotClick(fsx::PixPoint* point, std::uint32_t flags);
std::int32_t ZV_STDCALL FrontMassDown(fsx::PixPoint* point, std::uint32_t flags);
std::int32_t ZV_STDCALL FrontMassUp(fsx::PixPoint* point, std::uint32_t flags);
std::int32_t ZV_STDCALL FrontMassWheel(fsx::PixPoint* point, std::uint32_t flags);
std::int32_t ZV_STDCALL BackMassDown(fsx::PixPoint* point, std::uint32_t flags);
std::int32_t ZV_STDCALL BackMassUp(fsx::PixPoint* point, std::uint32_t flags);
std::int32_t ZV_STDCALL BackMassWheel(fsx::PixPoint* point, std::uint32_t flags);
std::int32_t ZV_STDCALL FailureSliderDown(fsx::PixPoint* point, std::uint32_t flags);
std::int32_t ZV_STDCALL FailureSliderBar(fsx::PixPoint* point, std::uint32_t flags);
std::int32_t ZV_STDCALL FailureSliderUp(fsx::PixPoint* point, std::uint32_t flags);
std::int32_t ZV_STDCALL RepairClick(fsx::PixPoint* point, std::uint32_t flags);
std::int32_t ZV_STDCALL ChargeBattery1Click(fsx::PixPoint* point, std::uint32_t flags);
std::int32_t ZV_STDCALL ChargeBattery2Click(fsx::PixPoint* point, std::uint32_t flags);
std::int32_t ZV_STDCALL ChargeRadioBatteryClick(fsx::PixPoint* point, std::uint32_t flags);
// The two covers buttons of the panel.
std::int32_t ZV_STDCALL CoversStartCallback(fsx::PixPoint* point, std::uint32_t flags);
std::int32_t ZV_STDCALL CoversConfirmCallback(fsx::PixPoint* point, std::uint32_t flags);
