// The batteries on the service panel: each shows its state and its charge, and a click puts a
// flat one on the ground charger.
#include "Gauge/PanelCallback.h"
#include "Gauge/PanelElements.h"
#include "Logic/Systems/PowerSystem.h"

#include <cstddef>

namespace {

// The state strip holds three 51-pixel pictures side by side: no charge record, flat, and
// charging or charged.
constexpr double kStateWidth = 51.0;
constexpr double kNoRecord = 0.0;
constexpr double kFlat = kStateWidth;
constexpr double kCharged = 2.0 * kStateWidth;
// The charge bar moves this many pixels from empty to full.
constexpr double kBarTravel = 51.0;

// Without a power system (the simulation has not started) a battery has no charge record.
double State(std::size_t index) {
    const PowerSystem* power = RegisteredPower();
    if (power == nullptr || !power->hasChargeRecord[index]) {
        return kNoRecord;
    }
    const Battery& battery = power->BatteryAt(index);
    if (PowerSystem::IsCharging(battery) ||
        PowerSystem::GetChargeFraction(battery) > PowerSystem::kChargerLimit) {
        return kCharged;
    }
    return kFlat;
}

// Without a power system the bar stands at empty.
double Bar(std::size_t index) {
    const PowerSystem* power = RegisteredPower();
    return power != nullptr ? PowerSystem::GetChargeFraction(power->BatteryAt(index)) * kBarTravel
                            : 0.0;
}

void Charge(std::size_t index) {
    if (PowerSystem* power = RegisteredPower()) {
        power->ChargeOnGround(index);
    }
}

} // namespace

double ZV_STDCALL Battery1State(fsx::ElementHeader*) {
    return panel::ElementValue("battery 1 state", [] { return State(PowerSystem::kBattery1); });
}

double ZV_STDCALL Battery1Bar(fsx::ElementHeader*) {
    return panel::ElementValue("battery 1 charge", [] { return Bar(PowerSystem::kBattery1); });
}

double ZV_STDCALL Battery2State(fsx::ElementHeader*) {
    return panel::ElementValue("battery 2 state", [] { return State(PowerSystem::kBattery2); });
}

double ZV_STDCALL Battery2Bar(fsx::ElementHeader*) {
    return panel::ElementValue("battery 2 charge", [] { return Bar(PowerSystem::kBattery2); });
}

double ZV_STDCALL RadioBatteryState(fsx::ElementHeader*) {
    return panel::ElementValue("radio battery state",
                               [] { return State(PowerSystem::kBatteryRadio); });
}

double ZV_STDCALL RadioBatteryBar(fsx::ElementHeader*) {
    return panel::ElementValue("radio battery charge",
                               [] { return Bar(PowerSystem::kBatteryRadio); });
}

std::int32_t ZV_STDCALL ChargeBattery1Click(fsx::PixPoint*, std::uint32_t) {
    return panel::MouseAction("charge battery 1", [] { Charge(PowerSystem::kBattery1); });
}

std::int32_t ZV_STDCALL ChargeBattery2Click(fsx::PixPoint*, std::uint32_t) {
    return panel::MouseAction("charge battery 2", [] { Charge(PowerSystem::kBattery2); });
}

std::int32_t ZV_STDCALL ChargeRadioBatteryClick(fsx::PixPoint*, std::uint32_t) {
    return panel::MouseAction("charge the radio battery",
                              [] { Charge(PowerSystem::kBatteryRadio); });
}
