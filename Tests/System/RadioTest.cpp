// The radio flown through the bench: the knobs to the host's COM frequency and back through the
// host's answer, the volume switch, and the radio battery.
#include "Support/Flight.h"

#include <gtest/gtest.h>

using testing_support::Fly;

namespace {

constexpr const char* kRadioBattery = "[power]\nbatteryRadio=1\nmasterswitch=True\n";
constexpr std::uint32_t kComFrequency = 0x100AB;

std::string Flight(double duration, const std::string& settings, const std::string& actions) {
    nlohmann::json s = {{"duration", duration}, {"host", {{"token:60", 1.0}}}};
    if (!settings.empty()) {
        s["settings"] = settings;
    }
    s["actions"] =
        nlohmann::json::parse(R"([{"at": 0.0, "system_event": "SimStart"})" + actions + "]");
    return s.dump();
}

// The values of one host event the module sent, in order.
std::vector<std::uint32_t> Sent(const testing_support::FlightLog& log, std::uint32_t id) {
    std::vector<std::uint32_t> values;
    for (const auto& e : log.Of("key")) {
        if (e.value("id", 0u) == id) {
            values.push_back(e.value("value", 0u));
        }
    }
    return values;
}

std::string Key(double at, std::uint32_t id) {
    return ",{\"at\": " + std::to_string(at) + ", \"key\": " + std::to_string(id) + "}";
}

} // namespace

TEST(Radio, TheKnobsSendTheFrequencyAsBcdAndFollowTheHostBack) {
    // From 118.000: up to 118.025 and 118.075; five outer steps and 26 inner ones to 123.725; a
    // frequency from elsewhere whose last digit is no 25 kHz step leaves that knob alone.
    std::string actions = Key(0.5, 0x11061) + Key(0.6, 0x11061) + Key(0.7, 0x11061);
    for (int i = 0; i < 6; ++i) {
        actions += Key(1.0 + 0.1 * i, 0x11059);
    }
    actions += Key(1.6, 0x11058);
    for (int i = 0; i < 26; ++i) {
        actions += Key(2.0 + 0.02 * i, 0x11061);
    }
    actions += R"(,{"at": 2.8, "expect": {"lvar:zelvan_radio_main": 5, "lvar:zelvan_radio_01": 7,
                   "lvar:zelvan_radio_001": 2, "lvar:zelvan_radio_aux": 2}}
                 ,{"at": 3.0, "set": {"token:23": 4660}}
                 ,{"at": 3.1, "expect": {"lvar:zelvan_radio_main": -6, "lvar:zelvan_radio_01": 3,
                                         "lvar:zelvan_radio_001": 2}})";
    const auto log = Fly(Flight(3.5, "", actions));
    ASSERT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    const auto sent = Sent(log, kComFrequency);
    ASSERT_EQ(sent.size(), 37u);
    EXPECT_EQ(sent[0], 0x1800u) << "118.00 at start";
    EXPECT_EQ(sent[1], 0x1802u) << ".x25 is sent as .x2";
    EXPECT_EQ(sent[3], 0x1807u) << ".x75 is sent as .x7";
    EXPECT_EQ(sent[9], 0x2407u);
    EXPECT_EQ(sent[10], 0x2307u);
    EXPECT_EQ(sent.back(), 0x2372u) << "123.725";
    EXPECT_EQ(Sent(log, 0x103A0).size(), 2u);
    EXPECT_EQ(Sent(log, 0x1012C).size(), 1u);
}

TEST(Radio, TheKnobsStopAtTheirEndsAndTheInnerKnobCarriesOnlyIntoTheHundreds) {
    const auto log = Fly(Flight(2.0, "", R"(
        ,{"at": 0.5, "set": {"token:23": 13824}}
        ,{"at": 0.6, "key": 69721}
        ,{"at": 0.7, "set": {"token:23": 6295}}
        ,{"at": 0.8, "key": 69729}
        ,{"at": 1.0, "key": 69728}
        ,{"at": 1.2, "key": 69720}
        ,{"at": 1.3, "key": 69720})"));
    ASSERT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    const auto sent = Sent(log, kComFrequency);
    ASSERT_EQ(sent.size(), 6u);
    EXPECT_EQ(sent[1], 0x3600u) << "136 MHz is the top";
    EXPECT_EQ(sent[2], 0x1800u) << "118.975 up is 118.000";
    EXPECT_EQ(sent[3], 0x1897u) << "and down again 118.975";
    EXPECT_EQ(sent[4], 0x1897u) << "118 MHz is the bottom";
}

TEST(Radio, TheVolumeSwitchTurnsAPoweredRadioOnAndOffWithAClick) {
    // Volume 0.05 after one step: not yet on. The second step clicks and switches on. Losing the
    // master switches it off on the next update; regaining it switches it on again.
    std::string actions = Key(1.0, 0x11065) +
                          R"(,{"at": 1.0, "expect": {"lvar:zelvan_radio_volume": 0.05}})" +
                          Key(1.1, 0x11065) + Key(2.0, 69647) + Key(3.0, 69647);
    for (int i = 0; i < 25; ++i) {
        actions += Key(4.0 + 0.01 * i, 0x11065);
    }
    actions += R"(,{"at": 4.5, "expect": {"lvar:zelvan_radio_volume": 0.9500000000000003}})";
    for (int i = 0; i < 20; ++i) {
        actions += Key(5.0 + 0.01 * i, 0x11064);
    }
    actions += R"(,{"at": 5.5, "expect": {"lvar:zelvan_radio_volume": 0.0}})";
    const auto log = Fly(Flight(6.0, kRadioBattery, actions));
    ASSERT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    const std::vector<std::uint32_t> power = {0, 1, 0, 1, 0};
    EXPECT_EQ(Sent(log, 0x103A2), power) << "start, on, master off, master on, volume down";
    EXPECT_EQ(Sent(log, 0x1039F).size(), 2u);
    EXPECT_EQ(Sent(log, 0x103A0).size(), 2u + 2u);
    int clicks = 0;
    for (const auto& e : log.Of("sound")) {
        clicks += e.value("op", "") == "play" && e.value("name", "") == "sw_click.wav" ? 1 : 0;
    }
    EXPECT_EQ(clicks, 2 + 2) << "two master toggles, the volume switch on and off";
}

TEST(Radio, ARunningRadioDrainsItsBatteryAndAnEmptyOneSilencesIt) {
    const auto drained = Fly(Flight(3.0, kRadioBattery, Key(1.0, 0x11065) + Key(1.0, 0x11065)));
    ASSERT_EQ(drained.result.status, bench::kRunOk) << drained.result.error;
    // 201 updates at a load of 10, written with six significant digits.
    EXPECT_NE(drained.settings.find("batteryRadio=0.997441\n"), std::string::npos)
        << drained.settings;

    const auto empty = Fly(Flight(3.0, "[power]\nbatteryRadio=0.00002\nmasterswitch=True\n",
                                  Key(1.0, 0x11065) + Key(1.0, 0x11065)));
    const std::vector<std::uint32_t> power = {0, 1, 0};
    EXPECT_EQ(Sent(empty, 0x103A2), power) << "on, then off when the battery ran out";
}
