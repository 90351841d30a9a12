#include "Logic/Systems/PowerSystem.h"

#include "Lib/FSX/GaugeTokens.h"
#include "Lib/FSX/KeyEvents.h"
#include "Logic/ModuleState.h"
#include "Logic/Options.h"
#include "Logic/SystemRegistry.h"
#include "Logic/Systems/SoundSystem.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kSection = "power";
constexpr const char* kClick = "sw_click.wav";
// A charge at or below this counts as empty.
constexpr double kEmpty = 1e-10;
// The off push-button springs back on this update after the press.
constexpr int kPulseUpdates = 3;

struct AgdNames {
    const char* onSwitch;
    const char* offButton;
    const char* pressPulse;
};

constexpr AgdNames kAgdNames[2] = {
    {"zelvan_agd1_switch_on", "zelvan_agd1_switch_off", "zelvan_agd1_switch_off_triggered"},
    {"zelvan_agd2_switch_on", "zelvan_agd2_switch_off", "zelvan_agd2_switch_off_triggered"},
};

// The system's process-wide values, zero when the module loads.
struct Shared {
    std::array<double, 2> lastToggle{}; // host time of the last accepted battery toggle
    std::array<int, 2> offPulseTicks{}; // updates counted while an off button shows pressed
    std::array<bool, 2> onRepeat{};     // an AGD "on" came while its switch already was on
};
Shared shared;

// A switch variable's state: its value truncated to an integer, 0 meaning off.
bool SwitchState(const except::NamedVariable& variable) {
    return std::trunc(variable.Get()) != 0.0;
}

double Reduced(double load, double amount) {
    return std::max(load - amount, 0.0);
}

} // namespace

PowerSystem::PowerSystem()
    : DefaultSystem(6), masterVariable("zelvan_master_battery_switch"),
      batterySwitchVariables{except::NamedVariable("zelvan_battery1_switch"),
                             except::NamedVariable("zelvan_battery2_switch")},
      agds{Agd{except::NamedVariable(kAgdNames[0].onSwitch),
               except::NamedVariable(kAgdNames[0].offButton),
               except::NamedVariable(kAgdNames[0].pressPulse)},
           Agd{except::NamedVariable(kAgdNames[1].onSwitch),
               except::NamedVariable(kAgdNames[1].offButton),
               except::NamedVariable(kAgdNames[1].pressPulse)}} {}

Battery& PowerSystem::BatteryAt(std::size_t index) {
    return index == kBattery1 ? battery1 : index == kBattery2 ? battery2 : batteryRadio;
}

const Battery& PowerSystem::BatteryAt(std::size_t index) const {
    return index == kBattery1 ? battery1 : index == kBattery2 ? battery2 : batteryRadio;
}

void PowerSystem::ChargesFromSettings() {
    const Options& options = Options::Instance();
    const std::array<double, kBatteries> stored{options.battery1, options.battery2,
                                                options.batteryRadio};
    for (std::size_t i = 0; i < kBatteries; ++i) {
        Battery& battery = BatteryAt(i);
        // A fraction outside [0, 1] (or no number at all) still gives a charge within range.
        hasChargeRecord[i] = stored[i] >= 0.0;
        const double charge = battery.capacity * stored[i];
        battery.charge = std::isnan(charge) ? 0.0 : std::clamp(charge, 0.0, battery.capacity);
    }
}

void PowerSystem::start() {
    ChargesFromSettings();
}

void PowerSystem::update(double stepDt, bool first) {
    DefaultSystem::update(stepDt, first);
    if (!enabled || module::SimulationPaused()) {
        return;
    }
    for (std::size_t i = 0; i < agds.size(); ++i) {
        if (agds[i].pressPulse.Get() != 0.0 && ++shared.offPulseTicks[i] >= kPulseUpdates) {
            agds[i].pressPulse.Set(0.0);
            agds[i].offButton.Set(0.0);
            shared.offPulseTicks[i] = 0;
        }
    }
    masterSwitch = SwitchState(masterVariable);
    battery1Switch = SwitchState(batterySwitchVariables[0]);
    battery2Switch = SwitchState(batterySwitchVariables[1]);
    agd1On = SwitchState(agds[0].onSwitch);
    agd2On = SwitchState(agds[1].onSwitch);

    // A step that is no number (a host rate gone wild) passes no time for the batteries.
    const double seconds = std::isfinite(stepDt) ? stepDt : 0.0;
    for (std::size_t i = 0; i < kBatteries; ++i) {
        Battery& battery = BatteryAt(i);
        battery.charge = std::min(battery.charge + battery.chargeRate * seconds, battery.capacity);
        if (std::fabs(battery.charge - battery.capacity) < kEmpty) {
            battery.chargeRate = 0.0; // charging ends at full
        }
        if (battery.switchedOn) {
            battery.charge =
                std::clamp(battery.charge - battery.load * seconds, 0.0, battery.capacity);
        }
    }
}

bool PowerSystem::onKeyEvent(std::uint32_t eventId, std::uint32_t) {
    switch (eventId) {
    case fsx::key::kBattery1Toggle:
        ToggleBattery(kBattery1);
        return true;
    case fsx::key::kBattery2Toggle:
        ToggleBattery(kBattery2);
        return true;
    case fsx::key::kMasterToggle:
        ToggleMaster();
        return true;
    case fsx::key::kAgd1On:
        AgdOn(0);
        return true;
    case fsx::key::kAgd2On:
        AgdOn(1);
        return true;
    case fsx::key::kAgd1Off:
        AgdOff(0);
        return true;
    case fsx::key::kAgd2Off:
        AgdOff(1);
        return true;
    default:
        return false;
    }
}

void PowerSystem::ToggleBattery(std::size_t index) {
    const double now = module::ReadGaugeVar(fsx::token::kHostTime);
    double& last = shared.lastToggle[index];
    // Host time that went back (an earlier flight loaded, the clock set back) ends the debounce:
    // the click counts and becomes the new reference. In the first second of host time a toggle
    // is still refused, as the reference starts at 0.
    if (now >= last && now - last < kDebounceSeconds) {
        return;
    }
    last = now;
    const except::NamedVariable& variable = batterySwitchVariables[index];
    const bool on = !SwitchState(variable);
    variable.SetBool(on);
    Battery& battery = BatteryAt(index);
    battery.switchedOn = on;
    battery.load = on ? battery.load + kConsumerLoad : Reduced(battery.load, kConsumerLoad);
    PlayCockpitSound(kClick);
}

void PowerSystem::ToggleMaster() {
    const bool on = !SwitchState(masterVariable);
    masterVariable.SetBool(on);
    batteryRadio.switchedOn = on;
    // The attitude indicators draw by their switches as the cockpit shows them: the mirrors lag
    // behind while paused, and a load decided by them would outlive its switch.
    for (const Agd& agd : agds) {
        if (SwitchState(agd.onSwitch)) {
            batteryRadio.load =
                on ? batteryRadio.load + kConsumerLoad : Reduced(batteryRadio.load, kConsumerLoad);
        }
    }
    PlayCockpitSound(kClick);
}

void PowerSystem::AgdOn(std::size_t agd) {
    if (SwitchState(agds[agd].onSwitch)) {
        shared.onRepeat[agd] = true;
        return;
    }
    if (batteryRadio.switchedOn) {
        batteryRadio.load += kConsumerLoad;
    }
    agds[agd].onSwitch.Set(1.0);
    PlayCockpitSound(kClick);
}

void PowerSystem::AgdOff(std::size_t agd) {
    const bool wasOn = SwitchState(agds[agd].onSwitch);
    agds[agd].offButton.Set(0.5); // shown pressed
    agds[agd].onSwitch.Set(0.0);
    if (wasOn && batteryRadio.switchedOn) {
        batteryRadio.load = Reduced(batteryRadio.load, kConsumerLoad);
    }
    agds[agd].pressPulse.Set(1.0);
    PlayCockpitSound(kClick);
    shared.onRepeat[agd] = false;
}

double PowerSystem::SwitchLoad(std::size_t index) const {
    const Battery& battery = BatteryAt(index);
    if (!battery.switchedOn) {
        return 0.0;
    }
    if (index != kBatteryRadio) {
        return kConsumerLoad;
    }
    return (agd1On ? kConsumerLoad : 0.0) + (agd2On ? kConsumerLoad : 0.0);
}

void PowerSystem::LoadSettings(const std::string& file) {
    battery1Switch = Options::ReadBool(kSection, "battery1switch", false, file);
    battery2Switch = Options::ReadBool(kSection, "battery2switch", false, file);
    masterSwitch = Options::ReadBool(kSection, "masterswitch", false, file);
    agd1On = Options::ReadBool(kSection, "agd1switch", false, file);
    agd2On = Options::ReadBool(kSection, "agd2switch", false, file);

    masterVariable.SetBool(masterSwitch);
    batterySwitchVariables[0].SetBool(battery1Switch);
    batterySwitchVariables[1].SetBool(battery2Switch);
    agds[0].onSwitch.SetBool(agd1On);
    agds[1].onSwitch.SetBool(agd2On);

    ChargesFromSettings();

    // The batteries are connected as the switches now stand, and each load is what the
    // switched-on consumers draw: a reload after another "SimStart" replaces the switches' share
    // instead of adding to it, and keeps what other consumers (the radio) placed.
    batteryRadio.switchedOn = masterSwitch;
    battery1.switchedOn = battery1Switch;
    battery2.switchedOn = battery2Switch;
    for (std::size_t i = 0; i < kBatteries; ++i) {
        BatteryAt(i).load = SwitchLoad(i) + consumerLoad[i];
    }
}

void PowerSystem::SaveSettings(const std::string& file) {
    // The switches as the cockpit shows them: the mirrors are not refreshed while paused, and a
    // switch turned while paused must not come back turned the other way in the next flight.
    Options::WriteBool(kSection, "battery1switch", SwitchState(batterySwitchVariables[0]), file);
    Options::WriteBool(kSection, "battery2switch", SwitchState(batterySwitchVariables[1]), file);
    Options::WriteBool(kSection, "masterswitch", SwitchState(masterVariable), file);
    Options::WriteBool(kSection, "agd1switch", SwitchState(agds[0].onSwitch), file);
    Options::WriteBool(kSection, "agd2switch", SwitchState(agds[1].onSwitch), file);
}

bool PowerSystem::IsPowered(const Battery& battery) {
    return battery.switchedOn && battery.charge > kEmpty;
}

bool PowerSystem::IsCharging(const Battery& battery) {
    return battery.chargeRate > kEmpty;
}

double PowerSystem::GetChargeFraction(const Battery& battery) {
    return battery.charge / battery.capacity;
}

double PowerSystem::GetCapacity(const Battery& battery) {
    return battery.capacity;
}

void PowerSystem::SetChargeRate(Battery& battery, double rate) {
    battery.chargeRate = std::fabs(rate);
}

std::size_t PowerSystem::IndexOf(const Battery& battery) const {
    return &battery == &battery1       ? kBattery1
           : &battery == &battery2     ? kBattery2
           : &battery == &batteryRadio ? kBatteryRadio
                                       : kBatteries;
}

void PowerSystem::AddLoad(Battery& battery, double amount) {
    battery.load += std::fabs(amount);
    if (const std::size_t i = IndexOf(battery); i < kBatteries) {
        consumerLoad[i] += std::fabs(amount);
    }
}

void PowerSystem::RemoveLoad(Battery& battery, double amount) {
    battery.load = Reduced(battery.load, amount);
    if (const std::size_t i = IndexOf(battery); i < kBatteries) {
        consumerLoad[i] = Reduced(consumerLoad[i], amount);
    }
}

bool PowerSystem::IsAgd1Powered() const {
    return IsPowered(batteryRadio) && agd1On && masterSwitch;
}

bool PowerSystem::IsAgd2Powered() const {
    return IsPowered(batteryRadio) && agd2On && masterSwitch;
}

void PowerSystem::ChargeOnGround(std::size_t index) {
    if (index >= kBatteries) {
        return;
    }
    Battery& battery = BatteryAt(index);
    if (!IsCharging(battery) && GetChargeFraction(battery) <= kChargerLimit) {
        SetChargeRate(battery, GetCapacity(battery));
    }
    hasChargeRecord[index] = true;
}

bool PowerSystem::AgdOnRepeat(std::size_t agd) {
    return agd < shared.onRepeat.size() && shared.onRepeat[agd];
}

PowerSystem* RegisteredPower() {
    return module::registry != nullptr ? module::registry->Power() : nullptr;
}

void StoreBatteryCharges() {
    const PowerSystem* power = RegisteredPower();
    if (power == nullptr) {
        return;
    }
    Options& options = Options::Instance();
    double* stored[PowerSystem::kBatteries] = {&options.battery1, &options.battery2,
                                               &options.batteryRadio};
    for (std::size_t i = 0; i < PowerSystem::kBatteries; ++i) {
        *stored[i] =
            power->hasChargeRecord[i] ? PowerSystem::GetChargeFraction(power->BatteryAt(i)) : -1.0;
    }
}
