// The pressure instruments and the compass flown through the bench: what each needle shows,
// how the failures change it, the altimeter knobs end to end, and the pause.
#include "Support/Flight.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

using testing_support::Fly;

namespace {

// A flight in the air from a "SimStart" at 0; `host` is a JSON object, `actions` a JSON list's
// further entries (each preceded by a comma).
std::string InTheAir(double duration, const std::string& host, const std::string& actions,
                     const std::string& settings = "") {
    nlohmann::json s = {{"duration", duration}, {"host", nlohmann::json::parse(host)}};
    s["host"]["token:60"] = 0.0;
    if (!settings.empty()) {
        s["settings"] = settings;
    }
    s["actions"] =
        nlohmann::json::parse(R"([{"at": 0.0, "system_event": "SimStart"})" + actions + "]");
    return s.dump();
}

// The trace's columns by name, one value per step; an empty cell reads NaN.
std::map<std::string, std::vector<double>> Columns(const std::string& csv) {
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    std::vector<std::string> names;
    std::istringstream header(line);
    for (std::string name; std::getline(header, name, ',');) {
        names.push_back(name);
    }
    std::map<std::string, std::vector<double>> columns;
    while (std::getline(in, line)) {
        std::istringstream row(line + ",");
        std::string cell;
        for (std::size_t i = 0; i < names.size() && std::getline(row, cell, ','); ++i) {
            columns[names[i]].push_back(cell.empty() ? std::nan("") : std::stod(cell));
        }
    }
    return columns;
}

} // namespace

TEST(Instruments, ABlockedPitotDrivesTheAirspeedByTheAltitudeFromWhereItBegan) {
    // Recorded on the first update: 100 km/h at 500 m. Twice that 1000 m above, none 1000 m below.
    const auto log = Fly(InTheAir(1.6,
                                  R"({"avar:AIRSPEED INDICATED:kph": 100,
                                      "avar:INDICATED ALTITUDE:m": 500})",
                                  R"(
        ,{"at": 0.2, "expect": {"lvar:zelvan_speed_needle": 25, "lvar:zelvan_speed_needle_2": 25}}
        ,{"at": 0.3, "set": {"avar:INDICATED ALTITUDE:m": 1000, "avar:AIRSPEED INDICATED:kph": 60}}
        ,{"at": 0.4, "expect": {"lvar:zelvan_speed_needle": 37.5}}
        ,{"at": 0.5, "set": {"avar:INDICATED ALTITUDE:m": 2500}}
        ,{"at": 0.6, "expect": {"lvar:zelvan_speed_needle": 50, "lvar:zelvan_speed_needle_2": 50}}
        ,{"at": 0.7, "set": {"avar:INDICATED ALTITUDE:m": -2000}}
        ,{"at": 0.8, "expect": {"lvar:zelvan_speed_needle": 0}}
        ,{"at": 0.9, "set": {"avar:INDICATED ALTITUDE:m": 0}}
        ,{"at": 1.0, "expect": {"lvar:zelvan_speed_needle_2": 12.5}})",
                                  "[failures]\npitot=True\n"));
    EXPECT_EQ(log.result.status, bench::kRunOk);
}

TEST(Instruments, AWanderingNeedleCreepsATenthPerUpdateToANewTargetEvery750Updates) {
    const auto log = Fly(InTheAir(86.0, R"({"avar:AIRSPEED INDICATED:kph": 100})", R"(
        ,{"at": 24.0, "set": {"avar:AIRSPEED INDICATED:kph": 0.5}}
        ,{"at": 84.0, "set": {"avar:AIRSPEED INDICATED:kph": 0.05}})",
                                  "[failures]\nstatic_port_1=True\n"),
                         true, 1.7e9); // the pilot head draws from the same generator, by the clock
    auto columns = Columns(log.trace);
    const std::vector<double>& wandering = columns["lvar:zelvan_speed_needle"];
    const std::vector<double>& healthy = columns["lvar:zelvan_speed_needle_2"]; // the airspeed
    std::size_t first = 0; // the first tick's step: its first update draws at once
    while (!(healthy[first] > 0.0)) {
        ++first;
    }
    std::vector<std::size_t> turns;
    int creeps = 0;
    double lowest = 100.0;
    for (std::size_t i = first + 2; i < wandering.size(); ++i) {
        const double km = wandering[i] * 4.0;
        const double airspeed = healthy[i] * 4.0;
        if (airspeed == 100.0 && healthy[i - 2] == healthy[i]) {
            const double step = (wandering[i] - wandering[i - 1]) * 4.0;
            const double before = (wandering[i - 1] - wandering[i - 2]) * 4.0;
            creeps += std::fabs(std::fabs(step) - 0.1) < 1e-9 ? 1 : 0;
            // Moving off, turning round or jumping happens only when a new target is drawn.
            const bool moves = std::fabs(step) > 1e-9;
            if ((moves && (std::fabs(before) < 1e-9 || (step > 0) != (before > 0))) ||
                std::fabs(step) > 0.1 + 1e-9) {
                turns.push_back(i);
            }
            EXPECT_LE(std::fabs(km - airspeed), 20.0 + 1e-9) << "step " << i;
        } else if (airspeed == 0.5) {
            lowest = std::min(lowest, km);
        } else {
            EXPECT_EQ(wandering[i], healthy[i]) << "at 0.1 km/h or less it shows the airspeed";
        }
    }
    EXPECT_GT(creeps, 500);
    ASSERT_GE(turns.size(), 2u);
    for (const std::size_t turn : turns) {
        EXPECT_EQ((turn - first - 749) % 750, 0u) << "step " << turn;
    }
    // Eight targets drawn at 0.5 km/h: those below zero stop the needle at zero.
    EXPECT_EQ(lowest, 0.0);
}

TEST(Instruments, AirspeedFaultsAddUpAndALoadedStateNeverTakesThemAway) {
    const auto log = Fly(InTheAir(4.0, R"({"avar:AIRSPEED INDICATED:kph": 100})", R"(
        ,{"at": 0.5, "settings": "[failures]\nairspeed_needle_1=True\nstatic_port_2=True\n"}
        ,{"at": 0.5, "system_event": "SimStart"}
        ,{"at": 1.0, "set": {"avar:AIRSPEED INDICATED:kph": 150}}
        ,{"at": 2.0, "settings": "[failures]\nstatic_port_1=True\nairspeed_needle_2=True\n"}
        ,{"at": 2.0, "system_event": "SimStart"}
        ,{"at": 2.5, "set": {"avar:AIRSPEED INDICATED:kph": 50}}
        ,{"at": 3.0, "settings": "[failures]\n"}
        ,{"at": 3.0, "system_event": "SimStart"}
        ,{"at": 3.5, "set": {"avar:AIRSPEED INDICATED:kph": 80}})"),
                         true);
    auto columns = Columns(log.trace);
    const std::vector<double>& stuck = columns["lvar:zelvan_speed_needle"];
    const std::vector<double>& wanders = columns["lvar:zelvan_speed_needle_2"];
    // Stuck at 100 km/h, then stuck and wandering: stays stuck.
    for (std::size_t i = 50; i < stuck.size(); ++i) {
        EXPECT_EQ(stuck[i], 25.0) << "step " << i;
    }
    // Wandering (off the 150 km/h), then wandering and stuck: frozen where it was.
    EXPECT_NE(wanders[199], 37.5);
    for (std::size_t i = 201; i < wanders.size(); ++i) {
        EXPECT_EQ(wanders[i], wanders[200]) << "step " << i;
    }
}

TEST(Instruments, NeedlesFollowTheHostOnScalesWithoutClampAndFreezeUnderTheirFailures) {
    // Healthy: both airspeed needles, three variometers, the first altimeter, both scales.
    const auto log = Fly(InTheAir(1.0, R"({"avar:VERTICAL SPEED:m/s": 0,
        "avar:INDICATED ALTITUDE:m": 2345, "avar:KOHLSMAN SETTING MB:mbars": 1013.25,
        "avar:AIRSPEED INDICATED:kph": 200})",
                                  R"(
        ,{"at": 0.2, "expect": {"lvar:zelvan_speed_needle": 50, "lvar:zelvan_speed_needle_2": 50,
            "lvar:zelvan_prec_climb_needle": 50, "lvar:zelvan_climb_needle": 60,
            "lvar:zelvan_prec_climb_needle_2": 50, "lvar:zelvan_climb_needle_2": 60,
            "lvar:zelvan_alt_meter_needle": 0.345, "lvar:zelvan_alt_kilo_needle": 0.2345,
            "lvar:zelvan_alt_meter_needle_2": 0, "lvar:zelvan_alt_kilo_needle_2": 0}}
        ,{"at": 0.2, "expect": {"lvar:zelvan_alt_press_scale": 0.48409,
            "lvar:zelvan_alt_press_scale_2": 0.48409}, "tol": 1e-5}
        ,{"at": 0.3, "set": {"avar:VERTICAL SPEED:m/s": 2, "avar:INDICATED ALTITUDE:m": 3000,
            "avar:AIRSPEED INDICATED:kph": 480}}
        ,{"at": 0.4, "expect": {"lvar:zelvan_speed_needle": 120, "lvar:zelvan_prec_climb_needle": 50,
            "lvar:zelvan_climb_needle": 64, "lvar:zelvan_prec_climb_needle_2": 70,
            "lvar:zelvan_climb_needle_2": 64, "lvar:zelvan_alt_meter_needle": 0,
            "lvar:zelvan_alt_kilo_needle": 0.3, "lvar:zelvan_alt_kilo_needle_2": 0}}
        ,{"at": 0.5, "set": {"avar:VERTICAL SPEED:m/s": -5, "avar:INDICATED ALTITUDE:m": -200,
            "avar:KOHLSMAN SETTING MB:mbars": 960, "avar:PITOT ICE PCT:percent": 50}}
        ,{"at": 0.6, "expect": {"lvar:zelvan_speed_needle_2": 60, "lvar:zelvan_climb_needle": 50,
            "lvar:zelvan_prec_climb_needle_2": 0, "lvar:zelvan_alt_meter_needle": 0.8,
            "lvar:zelvan_alt_kilo_needle": -0.02, "lvar:zelvan_alt_press_scale_2": 0}}
        ,{"at": 0.7, "set": {"avar:VERTICAL SPEED:m/s": 8, "avar:KOHLSMAN SETTING MB:mbars": 1070,
            "avar:PITOT ICE PCT:percent": 100}}
        ,{"at": 0.8, "expect": {"lvar:zelvan_speed_needle": 0, "lvar:zelvan_prec_climb_needle_2": 130,
            "lvar:zelvan_climb_needle_2": 76, "lvar:zelvan_alt_press_scale_2": 1}})",
                                  "[failures]\nclimb_needle_prec_1=True\naltimeter_2=True\n"));
    EXPECT_EQ(log.result.status, bench::kRunOk);
}

TEST(Instruments, AltimeterKnobsStepTheHostsPressureSettingAndTheNeedlesFollow) {
    std::string actions;
    for (int i = 0; i < 11; ++i) {
        actions += R"(,{"at": )" + std::to_string(0.1 + 0.05 * i) + R"(, "key": "0x1104D"})";
    }
    actions += R"(
        ,{"at": 0.6, "expect": {"lvar:zelvan_alt_rotary": 0.1}}
        ,{"at": 0.55, "expect": {"lvar:zelvan_alt_rotary": 1.0}, "tol": 1e-12}
        ,{"at": 0.7, "key": "0x11063"}
        ,{"at": 0.8, "expect": {"lvar:zelvan_alt_rotary_2": 0.9,
            "lvar:zelvan_alt_press_scale": 0.575, "lvar:zelvan_alt_press_scale_2": 0.575,
            "lvar:zelvan_alt_kilo_needle": 0}}
        ,{"at": 0.8, "expect": {"lvar:zelvan_alt_kilo_needle_2": 0.1081}, "tol": 1e-4})";
    // Eleven steps up and one down from 1013.25 mbar: the host reports about 8 m more per mbar.
    // The first altimeter has failed: its needles stay, its scale and knob work.
    const auto log = Fly(InTheAir(1.0,
                                  R"({"avar:INDICATED ALTITUDE:m": 1000,
                                      "avar:KOHLSMAN SETTING MB:mbars": 1013.25})",
                                  actions, "[failures]\naltimeter_1=True\n"));
    EXPECT_EQ(log.result.status, bench::kRunOk);
    EXPECT_EQ(log.KeysSent(0x1015B), 11);
    EXPECT_EQ(log.KeysSent(0x1015C), 1);
}

TEST(Instruments, TheCompassFollowsWithinItsTravelAndNothingIsWrittenWhilePaused) {
    const auto log = Fly(InTheAir(1.4,
                                  R"({"token:83": 90, "token:932": 2, "token:933": 1,
                                      "avar:AIRSPEED INDICATED:kph": 200,
                                      "avar:VERTICAL SPEED:m/s": 2,
                                      "avar:INDICATED ALTITUDE:m": 2345,
                                      "avar:KOHLSMAN SETTING MB:mbars": 1070})",
                                  R"(
        ,{"at": 0.2, "expect": {"lvar:ovi_magnetic_scale": 0.25, "lvar:zelvan_compass_bank": 0.3,
            "lvar:zelvan_compass_pitch": 0.7}}
        ,{"at": 0.3, "set": {"token:83": 360, "token:932": 7, "token:933": -3}}
        ,{"at": 0.4, "expect": {"lvar:ovi_magnetic_scale": 1, "lvar:zelvan_compass_bank": 0,
            "lvar:zelvan_compass_pitch": 0}}
        ,{"at": 0.5, "set": {"token:932": -6}}
        ,{"at": 0.7, "system_event": "Pause", "data": 1}
        ,{"at": 0.8, "set": {"token:83": 180, "token:932": 0, "token:933": 0,
            "avar:AIRSPEED INDICATED:kph": 100, "avar:VERTICAL SPEED:m/s": -2,
            "avar:INDICATED ALTITUDE:m": 500, "avar:KOHLSMAN SETTING MB:mbars": 960}}
        ,{"at": 1.0, "expect": {"lvar:ovi_magnetic_scale": 1, "lvar:zelvan_compass_bank": 1,
            "lvar:zelvan_compass_pitch": 0, "lvar:zelvan_speed_needle": 50,
            "lvar:zelvan_climb_needle": 64, "lvar:zelvan_alt_kilo_needle": 0.2345,
            "lvar:zelvan_alt_press_scale": 1}}
        ,{"at": 1.1, "system_event": "Pause", "data": 0}
        ,{"at": 1.2, "expect": {"lvar:ovi_magnetic_scale": 0.5, "lvar:zelvan_compass_bank": 0.5,
            "lvar:zelvan_compass_pitch": 0.5, "lvar:zelvan_speed_needle": 25,
            "lvar:zelvan_climb_needle": 56, "lvar:zelvan_alt_kilo_needle": 0.05,
            "lvar:zelvan_alt_press_scale": 0}})"));
    EXPECT_EQ(log.result.status, bench::kRunOk);
}
