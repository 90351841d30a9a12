#include "Logic/Systems/RadioSystem.h"

#include "Lib/FSX/GaugeTokens.h"
#include "Lib/FSX/KeyEvents.h"
#include "Lib/FSX/PanelServices.h"
#include "Logic/ModuleState.h"
#include "Logic/Systems/PowerSystem.h"
#include "Logic/Systems/SoundSystem.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMainMax = 18;         // 136 MHz
constexpr int kMainBase = 18;        // the knob's 0 is 118 MHz
constexpr int kBaseFrequency = 1800; // 118.00 MHz
constexpr double kVolumeStep = 0.05;
constexpr double kVolumeTop = 0.95;
constexpr double kSwitchPoint = 0.05;
// The 10 kHz digit of each 25 kHz knob step (0, 2, 4, 6): .x00, .x25, .x50, .x75.
constexpr int kTenKilohertz[4] = {0, 2, 5, 7};

// The volume switch's click state, one copy for the module: it is never reset by a start.
struct Shared {
    bool volumeSwitchOff = true;
    bool volumeSwitchOn = false;
};
Shared shared;

// A knob's value as read: truncated towards zero.
int Knob(const except::NamedVariable& variable) {
    const double v = std::trunc(variable.Get());
    return std::isfinite(v) ? static_cast<int>(std::clamp(v, -1e6, 1e6)) : 0;
}

bool RadioBatteryPowered() {
    const PowerSystem* power = RegisteredPower();
    return power != nullptr && PowerSystem::IsPowered(power->batteryRadio);
}

} // namespace

RadioSystem::RadioSystem()
    : DefaultSystem(11), main("zelvan_radio_main"), digit01("zelvan_radio_01"),
      digit001("zelvan_radio_001"), aux("zelvan_radio_aux"), volume("zelvan_radio_volume") {}

std::uint32_t RadioSystem::Bcd(int number) {
    // Four digits: a knob outside its range cannot send more than the host's field holds.
    int n = std::clamp(number, 0, 9999);
    std::uint32_t bcd = 0;
    for (int shift = 0; shift < 16; shift += 4) {
        bcd |= static_cast<std::uint32_t>(n % 10) << shift;
        n /= 10;
    }
    return bcd;
}

void RadioSystem::start() {
    volume.Set(0.0);
    fsx::TriggerKeyEvent(fsx::hostkey::kComRadioSet, Bcd(kBaseFrequency));
    radioOn = false;
    fsx::TriggerKeyEvent(fsx::hostkey::kRadioPower, 0);
    fsx::TriggerKeyEvent(fsx::hostkey::kRadioOff, 0);
    fsx::TriggerKeyEvent(fsx::hostkey::kRadioOff, 0);
    fsx::TriggerKeyEvent(fsx::hostkey::kAtRadioStart, 0);
}

void RadioSystem::SwitchOn() {
    if (PowerSystem* power = RegisteredPower()) {
        power->AddLoad(power->batteryRadio, kLoad);
    }
    radioOn = true;
    fsx::TriggerKeyEvent(fsx::hostkey::kRadioPower, 1);
    fsx::TriggerKeyEvent(fsx::hostkey::kRadioOn, 0);
}

void RadioSystem::SwitchOff() {
    if (PowerSystem* power = RegisteredPower()) {
        power->RemoveLoad(power->batteryRadio, kLoad);
    }
    radioOn = false;
    fsx::TriggerKeyEvent(fsx::hostkey::kRadioPower, 0);
    fsx::TriggerKeyEvent(fsx::hostkey::kRadioOff, 0);
}

void RadioSystem::ApplyFrequency() const {
    // A 25 kHz knob outside 0 to 6 reads as the nearest step.
    const int step = std::clamp(Knob(digit001) / 2, 0, 3);
    const int n = 100 * (Knob(main) + kMainBase) + 10 * Knob(digit01) + kTenKilohertz[step];
    fsx::TriggerKeyEvent(fsx::hostkey::kComRadioSet, Bcd(n));
}

void RadioSystem::ShowHostFrequency() const {
    const double value = module::ReadGaugeVar(fsx::token::kComFrequency);
    // Only four BCD digits are a frequency; anything else leaves the knobs as they are.
    if (!(value >= 0.0 && value <= 65535.0)) {
        return;
    }
    const auto f = static_cast<std::uint32_t>(value);
    main.SetInt(static_cast<int>(10 * ((f >> 12) & 0xF) + ((f >> 8) & 0xF)) - kMainBase);
    digit01.SetInt(static_cast<int>((f >> 4) & 0xF));
    const std::uint32_t last = f & 0xF;
    for (int step = 0; step < 4; ++step) {
        if (last == static_cast<std::uint32_t>(kTenKilohertz[step])) {
            digit001.SetInt(2 * step);
        }
    }
}

void RadioSystem::update(double stepDt, bool first) {
    DefaultSystem::update(stepDt, first);
    if (!enabled || module::SimulationPaused()) {
        return;
    }
    ShowHostFrequency();
    const bool powered = RadioBatteryPowered();
    if (!powered && radioOn) {
        SwitchOff();
        return;
    }
    if (powered && !radioOn && volume.Get() > kSwitchPoint) {
        SwitchOn();
    }
}

void RadioSystem::StepInnerKnob(bool up) const {
    int d = Knob(digit001);
    if (up && d <= 4) {
        d += 2;
    } else if (up) {
        d = 0; // carry into the 100 kHz digit, never into the megahertz
        const int k = Knob(digit01);
        digit01.SetInt(k <= 8 ? k + 1 : 0);
    } else if (d >= 2) {
        d -= 2;
    } else {
        d = 6; // borrow from the 100 kHz digit
        const int k = Knob(digit01);
        digit01.SetInt(k >= 1 ? k - 1 : 9);
    }
    digit001.SetInt(d);
    aux.SetInt(d);
    ApplyFrequency();
}

void RadioSystem::TurnVolume(bool up) {
    double v = volume.Get();
    if (up) {
        if (v <= kVolumeTop) {
            v += kVolumeStep;
        }
        if (v > kSwitchPoint) {
            if (shared.volumeSwitchOff) {
                shared.volumeSwitchOff = false;
                shared.volumeSwitchOn = true;
                PlayCockpitSound("sw_click.wav");
            }
            if (RadioBatteryPowered() && !radioOn) {
                SwitchOn();
            }
        }
    } else {
        if (v >= kVolumeStep) {
            v -= kVolumeStep;
        }
        if (v <= kSwitchPoint) {
            if (shared.volumeSwitchOn) {
                shared.volumeSwitchOff = true;
                shared.volumeSwitchOn = false;
                PlayCockpitSound("sw_click.wav");
            }
            if (radioOn) {
                SwitchOff();
                v = 0.0;
            }
        }
    }
    volume.Set(v);
}

bool RadioSystem::onKeyEvent(std::uint32_t eventId, std::uint32_t) {
    switch (eventId) {
    case fsx::key::kRadioOuterDown:
    case fsx::key::kRadioOuterUp: {
        int m = Knob(main);
        if (eventId == fsx::key::kRadioOuterDown && m >= 1) {
            --m;
        } else if (eventId == fsx::key::kRadioOuterUp && m < kMainMax) {
            ++m;
        }
        main.SetInt(m);
        ApplyFrequency();
        return true;
    }
    case fsx::key::kRadioInnerDown:
    case fsx::key::kRadioInnerUp:
        StepInnerKnob(eventId == fsx::key::kRadioInnerUp);
        return true;
    case fsx::key::kRadioVolumeDown:
    case fsx::key::kRadioVolumeUp:
        TurnVolume(eventId == fsx::key::kRadioVolumeUp);
        return true;
    case fsx::key::kRadioUnused:
        return true;
    default:
        return false;
    }
}
