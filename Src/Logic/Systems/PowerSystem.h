#pragma once

// Reads: key events 0x11005 (battery 1), 0x1100F (master), 0x11069 (battery 2), 0x11170/0x11171
//        (AGD 1/2 on), 0x11172/0x11173 (AGD 1/2 off push-buttons); gauge token 604 (host time);
//        the named variables it writes (switch states); the pause flag; the settings' stored
//        charge fractions (Options "battery1", "battery2", "batteryRadio").
// Writes: "zelvan_master_battery_switch", "zelvan_battery1_switch", "zelvan_battery2_switch",
//        "zelvan_agd1_switch_on", "zelvan_agd2_switch_on", "zelvan_agd1_switch_off",
//        "zelvan_agd2_switch_off", "zelvan_agd1_switch_off_triggered",
//        "zelvan_agd2_switch_off_triggered"; sound "sw_click.wav"; settings section "power":
//        "battery1switch", "battery2switch", "masterswitch", "agd1switch", "agd2switch".
// Asked by: the attitude indicators, the turn indicators, the radio and the service panel.

#include "Lib/FSX/NamedVariable.h"
#include "Logic/SystemBase.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// One battery. A load of L drains L charge units per second of update time.
struct Battery {
    double capacity = 43200.0;
    double charge = 0.0;     // always within [0, capacity]
    double load = 0.0;       // what the switched-on consumers draw; never below 0
    double chargeRate = 0.0; // units per second while on the ground charger
    bool switchedOn = false; // connected: only then drained, only then powering anything
};

// The glider's electrics: three batteries, the switches that connect them, and the two attitude
// indicators' power switches. Each update drains the switched-on batteries by their loads; the
// consumers ask whether their battery powers them.
class PowerSystem : public DefaultSystem {
public:
    // Index of a battery in hasChargeRecord and BatteryAt, the order of the settings keys.
    enum Index : std::size_t { kBattery1 = 0, kBattery2 = 1, kBatteryRadio = 2 };
    static constexpr std::size_t kBatteries = 3;
    // What each switched-on consumer draws.
    static constexpr double kConsumerLoad = 10.0;
    // Host seconds within which a second toggle of the same battery switch is ignored.
    static constexpr double kDebounceSeconds = 1.0;
    // The ground charger takes only a battery at or below this charge fraction.
    static constexpr double kChargerLimit = 0.18;

    PowerSystem();

    void start() override;
    void update(double stepDt, bool first) override;
    // Handles the seven switch events (true, also for a toggle the debounce ignores); false for
    // every other event.
    bool onKeyEvent(std::uint32_t eventId, std::uint32_t value) override;

    // The switch keys of section "power"; the stored charges are read by Options beforehand.
    void LoadSettings(const std::string& file) override;
    void SaveSettings(const std::string& file) override;

    // ---- asked by the other systems and the service panel ---------------------------------
    static bool IsPowered(const Battery& battery);
    static bool IsCharging(const Battery& battery);
    static double GetChargeFraction(const Battery& battery);
    static double GetCapacity(const Battery& battery);
    static void SetChargeRate(Battery& battery, double rate);
    // Loads placed by other consumers (the radio); they stay when the settings are reloaded.
    void AddLoad(Battery& battery, double amount);
    void RemoveLoad(Battery& battery, double amount);
    bool IsAgd1Powered() const;
    bool IsAgd2Powered() const;

    // The service panel's ground charger: a battery at or below 0.18 that is not charging fills
    // within one second of update time; every battery clicked gets a charge record.
    void ChargeOnGround(std::size_t index);

    Battery& BatteryAt(std::size_t index);
    const Battery& BatteryAt(std::size_t index) const;

    // Set while an AGD's "on" event came with its switch already on (agd 0 or 1); the attitude
    // indicators then ignore that event.
    static bool AgdOnRepeat(std::size_t agd);

    Battery battery1;
    Battery battery2;
    Battery batteryRadio;
    // The battery's charge came from the settings file or from the ground charger.
    std::array<bool, kBatteries> hasChargeRecord{};
    // Mirrors of the switch variables, refreshed on every update and set by the settings load.
    bool masterSwitch = false;
    bool battery1Switch = false;
    bool battery2Switch = false;
    bool agd1On = false;
    bool agd2On = false;

private:
    struct Agd {
        except::NamedVariable onSwitch;
        except::NamedVariable offButton;
        except::NamedVariable pressPulse;
    };

    void ToggleBattery(std::size_t index);
    void ToggleMaster();
    void AgdOn(std::size_t agd);
    void AgdOff(std::size_t agd);
    void ChargesFromSettings();
    // What the switches connect to the battery now: the loads the settings load replaces.
    double SwitchLoad(std::size_t index) const;
    // kBatteries for a battery that is none of the three.
    std::size_t IndexOf(const Battery& battery) const;

    except::NamedVariable masterVariable;
    std::array<except::NamedVariable, 2> batterySwitchVariables;
    std::array<Agd, 2> agds;
    // The part of each battery's load that other consumers placed through AddLoad.
    std::array<double, kBatteries> consumerLoad{};
};

// The registry's power system; null without a registry or when it could not be made.
PowerSystem* RegisteredPower();

// Takes the power system's present charges into the settings' battery values (-1 for a battery
// without a charge record). Done before every save, not only at shutdown: otherwise the periodic
// save keeps writing the charges of the last load, and a restart of the simulation, or a host
// that ends without unloading the module, gives back the charge the batteries have drained since.
void StoreBatteryCharges();
