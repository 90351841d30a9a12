#pragma once

#include <array>
#include <string>
#include <string_view>

namespace bench {
class HostServices;
}

namespace replay {

// The cockpit's electric instruments, in the compare file's order.
enum Consumer : std::size_t {
    kAttitude1Power,
    kAttitude2Power,
    kTurn1Power,
    kTurn2Power,
    kRadioPower,
    kConsumers
};

// Their names in the summary ("attitude1") and their compare columns ("attitude1_powered").
extern const std::array<std::string_view, kConsumers> kConsumerNames;
extern const std::array<std::string_view, kConsumers> kPoweredColumns;
// The batteries' compare columns.
extern const std::array<std::string_view, 3> kBatteryColumns;

// What has power, as a pilot sees it in the cockpit: each battery's charge from the service
// panel's charge bars, and the switches from their named variables. Battery 1 feeds the front
// turn indicator, battery 2 the back one; the radio battery, behind the master switch, feeds the
// radio and each attitude indicator whose own switch is on.
struct PowerReading {
    // Percent of a full charge; NaN while the panel is not drawn.
    std::array<double, 3> batteryPct{};
    std::array<bool, kConsumers> powered{};
    // Why a consumer has no power ("radio battery flat"); empty while it has.
    std::array<std::string, kConsumers> why;
};

PowerReading ReadPower(const bench::HostServices& host);

} // namespace replay
