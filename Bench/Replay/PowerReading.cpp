#include "Bench/Replay/PowerReading.h"

#include "Bench/Host/HostServices.h"

#include <cmath>

namespace replay {

const std::array<std::string_view, kConsumers> kConsumerNames = {"attitude1", "attitude2", "turn1",
                                                                 "turn2", "radio"};
const std::array<std::string_view, kConsumers> kPoweredColumns = {
    "attitude1_powered", "attitude2_powered", "turn1_powered", "turn2_powered", "radio_powered"};
const std::array<std::string_view, 3> kBatteryColumns = {"battery1_pct", "battery2_pct",
                                                         "radio_battery_pct"};

namespace {

// The service panel's charge bars of battery 1, battery 2 and the radio battery: a bar stands
// at the charge fraction times its 51 pixels.
constexpr std::uint32_t kChargeBars[3] = {16, 18, 20};
constexpr double kBarPixels = 51.0;

// What feeds a consumer: a battery, the switch that connects it, and the consumer's own switch.
struct Feed {
    std::size_t battery;
    const char* batterySwitch;
    const char* batterySwitchName;
    const char* ownSwitch; // none for the turn indicators and the radio
    const char* ownSwitchName;
};
constexpr const char* kBatteryNames[3] = {"battery 1", "battery 2", "radio battery"};
constexpr Feed kFeeds[kConsumers] = {
    {2, "zelvan_master_battery_switch", "master switch", "zelvan_agd1_switch_on", "AGD 1 switch"},
    {2, "zelvan_master_battery_switch", "master switch", "zelvan_agd2_switch_on", "AGD 2 switch"},
    {0, "zelvan_battery1_switch", "battery 1 switch", nullptr, nullptr},
    {1, "zelvan_battery2_switch", "battery 2 switch", nullptr, nullptr},
    {2, "zelvan_master_battery_switch", "master switch", nullptr, nullptr},
};

} // namespace

PowerReading ReadPower(const bench::HostServices& host) {
    PowerReading p;
    for (std::size_t b = 0; b < 3; ++b) {
        p.batteryPct[b] =
            host.PanelValue(kChargeBars[b], bench::ElementPart::Value) / kBarPixels * 100.0;
    }
    // A switch is on while its variable's whole part is not 0, as the module reads it.
    const auto on = [&host](const char* name) {
        return std::trunc(host.NamedValue(name).value_or(0.0)) != 0.0;
    };
    for (std::size_t c = 0; c < kConsumers; ++c) {
        const Feed& f = kFeeds[c];
        std::string why;
        const auto add = [&why](const std::string& reason) {
            why += (why.empty() ? "" : " and ") + reason;
        };
        if (!on(f.batterySwitch)) {
            add(std::string(f.batterySwitchName) + " off");
        }
        if (f.ownSwitch != nullptr && !on(f.ownSwitch)) {
            add(std::string(f.ownSwitchName) + " off");
        }
        if (std::isnan(p.batteryPct[f.battery])) {
            add(std::string(kBatteryNames[f.battery]) + " not shown");
        } else if (p.batteryPct[f.battery] <= 0.0) {
            add(std::string(kBatteryNames[f.battery]) + " flat");
        }
        p.powered[c] = why.empty();
        p.why[c] = std::move(why);
    }
    return p;
}

} // namespace replay
