// The electrics flown through the bench: switches from the cockpit's key events, the clicks, the
// debounce, the drain over the time step, the settings across an unload, a second "SimStart".
#include "Support/Flight.h"

#include <gtest/gtest.h>

using testing_support::Fly;
using testing_support::GroundFlight;
using testing_support::Saved;

namespace {

constexpr double kDrainPerUpdate = 10.0 * 0.055 / 43200.0; // one consumer, as a fraction

bool Has(const std::string& text, const std::string& line) {
    return text.find(line + "\n") != std::string::npos;
}

int Clicks(const testing_support::FlightLog& log) {
    int n = 0;
    for (const auto& e : log.Of("sound")) {
        n += e.value("op", "") == "play" && e.value("name", "") == "sw_click.wav" ? 1 : 0;
    }
    return n;
}

} // namespace

TEST(Power, ABatterySwitchClicksOnceDrainsByItsLoadAndIgnoresASecondToggleWithinASecond) {
    // Battery 1 on at 1.5 s; the toggle at 2.0 s falls within the debounce, battery 2's does not
    // share battery 1's timestamp; battery 1's at 2.6 s is accepted and switches it off again.
    const auto log = Fly(GroundFlight(4.0, "[power]\nbattery1=1\nbattery2=0.5\n", R"(
        ,{"at": 1.5, "key": 69637}
        ,{"at": 1.6, "expect": {"lvar:zelvan_battery1_switch": 1}}
        ,{"at": 2.0, "key": 69637}
        ,{"at": 2.0, "key": 69737}
        ,{"at": 2.1, "expect": {"lvar:zelvan_battery1_switch": 1,
                                "lvar:zelvan_battery2_switch": 1}}
        ,{"at": 2.6, "key": 69637}
        ,{"at": 2.7, "expect": {"lvar:zelvan_battery1_switch": 0}})"));
    EXPECT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    EXPECT_EQ(Clicks(log), 3) << "the ignored toggle makes no sound";
    // Battery 1 drained over the updates from 1.50 to 2.59 s, battery 2 from 2.00 s to the end.
    EXPECT_NEAR(Saved(log.settings, "battery1"), 1.0 - 110 * kDrainPerUpdate, 2e-6) << log.settings;
    EXPECT_NEAR(Saved(log.settings, "battery2"), 0.5 - 201 * kDrainPerUpdate, 2e-6) << log.settings;
    EXPECT_TRUE(Has(log.settings, "battery1switch=False")) << log.settings;
    EXPECT_TRUE(Has(log.settings, "battery2switch=True")) << log.settings;
}

TEST(Power, SwitchesAndChargesSurviveAnUnloadAndAFreshLoad) {
    const auto log = Fly(R"({"duration": 6.0, "host": {"token:60": 1},
        "settings": "[power]\nbatteryRadio=0.25\n",
        "actions": [
        {"at": 0.0, "load": true}, {"at": 0.0, "system_event": "SimStart"},
        {"at": 1.5, "key": 69637}, {"at": 1.5, "key": 69647}, {"at": 1.5, "key": 70001},
        {"at": 3.0, "unload": true},
        {"at": 3.5, "load": true}, {"at": 3.5, "system_event": "SimStart"},
        {"at": 3.6, "expect": {"lvar:zelvan_battery1_switch": 1,
                               "lvar:zelvan_master_battery_switch": 1,
                               "lvar:zelvan_agd2_switch_on": 1,
                               "lvar:zelvan_agd1_switch_on": 0,
                               "lvar:zelvan_battery2_switch": 0}}]})");
    EXPECT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    for (const char* line :
         {"battery1switch=True", "masterswitch=True", "agd2switch=True", "agd1switch=False",
          "battery2switch=False", "battery1=-1", "battery2=-1"}) {
        EXPECT_TRUE(Has(log.settings, line)) << line << "\n" << log.settings;
    }
    // The radio battery carried the second attitude indicator's load in both lifetimes; the
    // batteries without a charge record stay without one although battery 1 was switched on.
    EXPECT_NEAR(Saved(log.settings, "batteryRadio"), 0.25 - 400 * kDrainPerUpdate,
                4 * kDrainPerUpdate)
        << log.settings;
}

TEST(Power, ASecondSimStartReloadsTheSwitchesWithoutAddingTheirLoadAgain) {
    const std::string settings =
        "[power]\nbattery1=1\nbatteryRadio=1\nbattery1switch=True\nmasterswitch=True\n"
        "agd1switch=True\n";
    const auto once = Fly(GroundFlight(8.0, settings, ""));
    const auto twice =
        Fly(GroundFlight(8.0, settings, R"(,{"at": 2.0, "system_event": "SimStart"})"));
    ASSERT_EQ(twice.result.status, bench::kRunOk) << twice.result.error;
    // About 800 updates at one consumer each. The reload at 2 s takes the charges from the file
    // again and drains over the 600 updates after it at one consumer's rate, not two.
    for (const char* key : {"battery1", "batteryRadio"}) {
        EXPECT_NEAR(Saved(once.settings, key), 1.0 - 800 * kDrainPerUpdate, 4 * kDrainPerUpdate)
            << key << "\n"
            << once.settings;
        EXPECT_NEAR(Saved(twice.settings, key), 1.0 - 600 * kDrainPerUpdate, 4 * kDrainPerUpdate)
            << key << "\n"
            << twice.settings;
    }
    // A reload after the periodic save at 4 s goes on from the charges that save stored, not
    // from those of the start: the drain of the first 400 updates is kept.
    const auto late =
        Fly(GroundFlight(8.0, settings, R"(,{"at": 6.0, "system_event": "SimStart"})"));
    EXPECT_NEAR(Saved(late.settings, "battery1"), 1.0 - 600 * kDrainPerUpdate, 4 * kDrainPerUpdate)
        << late.settings;
    // The running radio's load stays through the reload, beside the attitude indicator's.
    const auto withRadio = Fly(GroundFlight(8.0, settings, R"(
        ,{"at": 1.0, "key": 69733}, {"at": 1.0, "key": 69733}
        ,{"at": 2.0, "system_event": "SimStart"})"));
    EXPECT_NEAR(Saved(withRadio.settings, "batteryRadio"), 1.0 - 1200 * kDrainPerUpdate,
                6 * kDrainPerUpdate)
        << withRadio.settings;
}

TEST(Power, TheAttitudeIndicatorSwitchesLoadTheRadioBatteryOnlyWithTheMasterOn) {
    // AGD 1 on with the master off draws nothing; the master then connects it (one consumer);
    // the off button shows pressed until the third update after the press, and pressing it for
    // an AGD already off clicks without taking a load away.
    const auto log = Fly(GroundFlight(5.0, "[power]\nbatteryRadio=1\n", R"(
        ,{"at": 1.0, "key": 70000}
        ,{"at": 2.0, "key": 69647}
        ,{"at": 3.0, "key": 70003}
        ,{"at": 3.0, "expect": {"lvar:zelvan_agd2_switch_off": 0.5,
                                "lvar:zelvan_agd2_switch_off_triggered": 1}}
        ,{"at": 3.01, "expect": {"lvar:zelvan_agd2_switch_off": 0.5}}
        ,{"at": 3.02, "expect": {"lvar:zelvan_agd2_switch_off": 0,
                                 "lvar:zelvan_agd2_switch_off_triggered": 0}}
        ,{"at": 3.5, "key": 70000}
        ,{"at": 3.6, "expect": {"lvar:zelvan_agd1_switch_on": 1,
                                "lvar:zelvan_master_battery_switch": 1}})"));
    EXPECT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    EXPECT_EQ(Clicks(log), 3) << "an \"on\" event for a switch already on is silent";
    EXPECT_NEAR(Saved(log.settings, "batteryRadio"), 1.0 - 301 * kDrainPerUpdate, 2e-6)
        << log.settings;
}

TEST(Power, OutOfRangeAndGarbledSettingsLoadSafely) {
    const auto log = Fly(GroundFlight(2.0,
                                      "[power]\nbattery1=7.5\nbattery2=-3\nbatteryRadio=lots\n"
                                      "battery1switch=maybe\nmasterswitch=ON\n",
                                      ""));
    EXPECT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    // 7.5 is a full battery, -3 and a text no battery at all; a switch reads true only for the
    // words that mean it.
    for (const char* line : {"battery1=1", "battery2=-1", "batteryRadio=-1", "battery1switch=False",
                             "masterswitch=True"}) {
        EXPECT_TRUE(Has(log.settings, line)) << line << "\n" << log.settings;
    }
}

TEST(Power, TenThousandSwitchEventsInOneStepKeepTheSwitchState) {
    std::string actions;
    for (int i = 0; i < 10000; ++i) {
        actions += R"(,{"at": 1.5, "key": 69637},{"at": 1.5, "key": 69647})";
    }
    actions += R"(,{"at": 1.5, "key": 69647})"; // an odd number of master toggles
    actions += R"(,{"at": 1.6, "expect": {"lvar:zelvan_battery1_switch": 1,
                                          "lvar:zelvan_master_battery_switch": 1}})";
    const auto log = Fly(GroundFlight(2.0, "[power]\nbattery1=1\n", actions));
    EXPECT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    EXPECT_TRUE(Has(log.settings, "battery1switch=True")) << log.settings;
    EXPECT_TRUE(Has(log.settings, "masterswitch=True")) << log.settings;
    EXPECT_EQ(Clicks(log), 1 + 10001) << "one accepted battery toggle, every master toggle";
}

TEST(Power, AToggleAfterHostTimeWentBackIsTakenAndBecomesTheNewReference) {
    // Refused in the first second of host time; taken at 500 s; after the clock is set back to
    // 100 s the next toggle is taken at once, and one within a second of it is refused again.
    const auto log = Fly(GroundFlight(3.5, "[power]\nbattery1=1\n", R"(
        ,{"at": 0.5, "key": 69637}
        ,{"at": 0.55, "expect": {"lvar:zelvan_battery1_switch": 0}}
        ,{"at": 0.6, "set": {"token:604": 500}}
        ,{"at": 0.7, "key": 69637}
        ,{"at": 0.75, "expect": {"lvar:zelvan_battery1_switch": 1}}
        ,{"at": 0.8, "set": {"token:604": 100}}
        ,{"at": 0.9, "key": 69637}
        ,{"at": 0.95, "expect": {"lvar:zelvan_battery1_switch": 0}}
        ,{"at": 1.5, "key": 69637}
        ,{"at": 1.55, "expect": {"lvar:zelvan_battery1_switch": 0}}
        ,{"at": 2.5, "key": 69637}
        ,{"at": 2.55, "expect": {"lvar:zelvan_battery1_switch": 1}})"));
    EXPECT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    EXPECT_EQ(Clicks(log), 3);
}

TEST(Power, SwitchesTurnedWhilePausedAreSavedAndLoadNoPhantomOnTheRadioBattery) {
    // While paused: the master off and battery 2 on; AGD 1 on with the master on and then both
    // off again. The module is unloaded while still paused and a fresh one finds the switches
    // as the cockpit showed them.
    const auto saved = Fly(R"({"duration": 3.5, "host": {"token:60": 1, "token:604": 100},
        "settings": "[power]\nmasterswitch=True\nbattery1switch=True\n",
        "actions": [{"at": 0.0, "load": true}, {"at": 0.0, "system_event": "SimStart"},
        {"at": 0.5, "system_event": "Pause", "data": 1},
        {"at": 0.6, "key": 69647}, {"at": 0.6, "key": 69737}, {"at": 0.7, "key": 70000},
        {"at": 2.0, "unload": true}, {"at": 2.5, "load": true},
        {"at": 2.5, "system_event": "SimStart"},
        {"at": 3.0, "expect": {"lvar:zelvan_master_battery_switch": 0,
                               "lvar:zelvan_battery1_switch": 1, "lvar:zelvan_battery2_switch": 1,
                               "lvar:zelvan_agd1_switch_on": 1}}]})");
    EXPECT_EQ(saved.result.status, bench::kRunOk) << saved.result.error;
    for (const char* line : {"masterswitch=False", "battery1switch=True", "battery2switch=True",
                             "agd1switch=True", "agd2switch=False"}) {
        EXPECT_TRUE(Has(saved.settings, line)) << line << "\n" << saved.settings;
    }

    // Master on, AGD 1 on, master off, AGD 1 off, all while paused: nothing is on, so the
    // master switched on again after the pause connects no load at all.
    const auto phantom = Fly(GroundFlight(4.0, "[power]\nbatteryRadio=1\n", R"(
        ,{"at": 0.5, "system_event": "Pause", "data": 1}
        ,{"at": 0.6, "key": 69647}, {"at": 0.7, "key": 70000}
        ,{"at": 0.8, "key": 69647}, {"at": 0.9, "key": 70002}
        ,{"at": 1.0, "system_event": "Pause", "data": 0}
        ,{"at": 1.5, "key": 69647})"));
    EXPECT_EQ(phantom.result.status, bench::kRunOk) << phantom.result.error;
    EXPECT_EQ(Saved(phantom.settings, "batteryRadio"), 1.0) << phantom.settings;
}
