// The attitude indicators, turn-and-slip indicators and yaw string flown through the bench: the
// gyro's caging, erection and toppling in host time, their power, knobs and settings.
#include "Support/Flight.h"

#include <gtest/gtest.h>

#include <sstream>

using testing_support::Fly;

namespace {

// Everything switched on and charged; both arresters pushed (the gyros run from the start).
constexpr const char* kPowered =
    "[power]\nbattery1=1\nbattery2=1\nbatteryRadio=1\nbattery1switch=True\n"
    "battery2switch=True\nmasterswitch=True\nagd1switch=True\nagd2switch=True\n"
    "[cabin]\novi_arrester_switch=1\novi_arrester_switch_2=1\n";

std::string Flight(double duration, const nlohmann::json& host, const std::string& settings,
                   const std::string& actions) {
    nlohmann::json s = {{"duration", duration}, {"host", host}};
    if (!settings.empty()) {
        s["settings"] = settings;
    }
    s["actions"] =
        nlohmann::json::parse(R"([{"at": 0.0, "system_event": "SimStart"})" + actions + "]");
    return s.dump();
}

// One column of the trace, one value per step.
std::vector<double> Column(const std::string& csv, const std::string& name) {
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    std::istringstream header(line);
    std::size_t index = 0;
    for (std::string cell; std::getline(header, cell, ',') && cell != name;) {
        ++index;
    }
    std::vector<double> values;
    while (std::getline(in, line)) {
        std::istringstream row(line + ",");
        std::string cell;
        for (std::size_t i = 0; i <= index; ++i) {
            std::getline(row, cell, ',');
        }
        values.push_back(cell.empty() ? std::nan("") : std::stod(cell));
    }
    return values;
}

std::size_t Step(double t) {
    return static_cast<std::size_t>(std::lround(t / 0.01));
}

} // namespace

TEST(AttitudeIndicators, WithoutAFileBothAreCagedLevelAndTheNeedlesCentred) {
    const auto log = Fly(Flight(1.0, {{"token:60", 1}, {"token:79", 12}, {"token:937", 4}}, "",
                                R"(,{"at": 0.5, "expect": {
        "lvar:ovi_pitch_scale": 0.5, "lvar:ovi_bank_indicator": 0.5, "lvar:ovi_agd_h_line": 0.5,
        "lvar:att_turn_needle_1": 0.5, "lvar:ovi_pitch_scale_2": 0.5,
        "lvar:ovi_bank_indicator_2": 0.5, "lvar:ovi_agd_h_line_2": 0.5,
        "lvar:att_turn_needle_2": 0.5, "lvar:ovi_arrester_switch": 0,
        "lvar:ovi_turnkey_needle": 0.5, "lvar:zelvan_turnkey_needle_2": 0.5}})"));
    EXPECT_EQ(log.result.status, bench::kRunOk) << log.result.error;

    // Texts that are no number read as the defaults.
    const auto garbled = Fly(Flight(1.0, {{"token:60", 1}},
                                    "[cabin]\novi_agd_h_line=high\novi_arrester_switch=in\n"
                                    "ovi_agd_h_line_2=\n",
                                    R"(,{"at": 0.5, "expect": {"lvar:ovi_agd_h_line": 0.5,
        "lvar:ovi_arrester_switch": 0, "lvar:ovi_agd_h_line_2": 0.5}})"));
    EXPECT_EQ(garbled.result.status, bench::kRunOk) << garbled.result.error;
}

TEST(AttitudeIndicators, ARunningGyroErectsIn20SecondsAndShowsLevelATenthAfterCaging) {
    // On the ground the references stay zero: the display creeps to the true 20 deg bank and
    // 9 deg pitch over 20 s. Caged at 21 s it is level 0.1 s later, with its pull sound.
    const auto log =
        Fly(Flight(22.0, {{"token:60", 1}, {"token:79", 20}, {"token:77", 9}}, kPowered, R"(
        ,{"at": 10.0, "expect": {"lvar:ovi_bank_indicator": 0.47222, "lvar:ovi_pitch_scale": 0.525},
          "tol": 2e-4}
        ,{"at": 20.5, "expect": {"lvar:ovi_bank_indicator": 0.44444444444444442,
                                 "lvar:ovi_pitch_scale": 0.55,
                                 "lvar:ovi_bank_indicator_2": 0.44444444444444442}}
        ,{"at": 21.0, "key": "0x1101D"}
        ,{"at": 21.04, "expect": {"lvar:ovi_bank_indicator": 0.47222222,
                                  "lvar:ovi_arrester_switch": 0}, "tol": 1e-6}
        ,{"at": 21.1, "expect": {"lvar:ovi_bank_indicator": 0.5, "lvar:ovi_pitch_scale": 0.5,
                                 "lvar:ovi_bank_indicator_2": 0.44444444444444442}})"));
    EXPECT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    const auto sounds = log.Of("sound");
    EXPECT_TRUE(std::any_of(sounds.begin(), sounds.end(), [](const nlohmann::json& e) {
        return e.value("op", "") == "play" && e.value("name", "") == "agd_arr_pull.wav";
    }));
}

TEST(AttitudeIndicators, ReleasedInFlightTheAttitudeOfTheMomentIsLevel) {
    // Caged at first, pushed in a steady 20 deg bank: the display stays level; rolled wings level
    // more than 20 s later it shows the 20 deg the other way.
    std::string settings = kPowered;
    settings.replace(settings.find("ovi_arrester_switch=1"), 21, "ovi_arrester_switch=0");
    const auto log = Fly(Flight(26.0, {{"token:60", 0}, {"token:79", 20}}, settings, R"(
        ,{"at": 1.0, "key": "0x1101D"}
        ,{"at": 1.2, "expect": {"lvar:ovi_bank_indicator": 0.5, "lvar:ovi_arrester_switch": 1}}
        ,{"at": 10.0, "expect": {"lvar:ovi_bank_indicator": 0.5}}
        ,{"at": 22.0, "set": {"token:79": 0}}
        ,{"at": 25.9, "expect": {"lvar:ovi_bank_indicator": 0.55555555555555558}})"));
    EXPECT_EQ(log.result.status, bench::kRunOk) << log.result.error;
}

TEST(AttitudeIndicators, WithoutPowerAGyroTopplesWithinASecondAndStaysToppled) {
    // The master goes off at 5 s; switched on again at 7 s the gyro stays toppled, because the
    // AGD "on" event finds its switch already on.
    const auto log = Fly(Flight(8.0, {{"token:60", 1}, {"token:937", 3}}, kPowered, R"(
        ,{"at": 4.9, "expect": {"lvar:att_turn_needle_1": 0.65, "lvar:att_turn_needle_2": 0.65}}
        ,{"at": 5.0, "key": 69647}
        ,{"at": 5.0, "expect": {"lvar:att_turn_needle_1": 0.5, "lvar:att_turn_needle_2": 0.5}}
        ,{"at": 7.0, "key": 69647}
        ,{"at": 7.0, "key": 70000})"),
                         true);
    ASSERT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    for (const char* suffix : {"", "_2"}) {
        const auto bank = Column(log.trace, std::string("lvar:ovi_bank_indicator") + suffix);
        const auto pitch = Column(log.trace, std::string("lvar:ovi_pitch_scale") + suffix);
        // Still moving half-way, there after a second, and there ever after.
        EXPECT_LT(pitch[Step(5.5)], pitch[Step(6.05)]);
        for (const double t : {6.05, 7.5, 8.0}) {
            EXPECT_GE(pitch[Step(t)], 0.5 + 20.0 / 180.0 - 1e-9) << t;
            EXPECT_LE(pitch[Step(t)], 0.5 + 40.0 / 180.0 + 1e-9) << t;
            EXPECT_LE(std::fabs(bank[Step(t)] - 0.5), 65.0 / 360.0 + 1e-9) << t;
            EXPECT_DOUBLE_EQ(pitch[Step(t)], pitch[Step(6.05)]) << t;
        }
    }
}

TEST(AttitudeIndicators, AnEmptyBatteryCutsTheGyrosAndTurnNeedles) {
    // The radio battery holds 0.432 charge units, battery 2 nothing: the first updates empty it.
    std::string settings = kPowered;
    settings.replace(settings.find("batteryRadio=1"), 14, "batteryRadio=0.00001");
    settings.replace(settings.find("battery2=1"), 10, "battery2=0");
    const auto log =
        Fly(Flight(2.0, {{"token:60", 1}, {"token:937", -10}, {"token:77", 9}}, settings, R"(
        ,{"at": 1.5, "expect": {"lvar:att_turn_needle_1": 0.5, "lvar:ovi_turnkey_needle": 0,
                                "lvar:zelvan_turnkey_needle_2": 0.5}})"),
            true);
    EXPECT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    const auto pitch = Column(log.trace, "lvar:ovi_pitch_scale");
    EXPECT_GE(pitch[Step(1.5)], 0.5 + 20.0 / 180.0 - 1e-9) << "toppled, not erected";
}

TEST(AttitudeIndicators, TheKnobsMoveTheirLinesAndSurviveARestart) {
    // The top clamps and reverses the shared step; the bottom reflects and reverses it again.
    const auto log = Fly(R"({"duration": 4.0, "host": {"token:60": 1},
        "settings": "[cabin]\novi_agd_h_line=0.98\novi_agd_h_line_2=0.01\n",
        "actions": [
        {"at": 0.0, "load": true}, {"at": 0.0, "system_event": "SimStart"},
        {"at": 1.0, "key": "0x1102B"},
        {"at": 1.0, "expect": {"lvar:ovi_agd_h_line": 1.0}},
        {"at": 1.1, "key": "0x1102B"},
        {"at": 1.1, "expect": {"lvar:ovi_agd_h_line": 0.95}},
        {"at": 1.2, "key": "0x1112B"},
        {"at": 1.2, "expect": {"lvar:ovi_agd_h_line_2": 0.04}},
        {"at": 1.3, "key": "0x1112B"},
        {"at": 1.3, "expect": {"lvar:ovi_agd_h_line_2": 0.09}},
        {"at": 1.4, "key": "0x1112C"},
        {"at": 1.4, "expect": {"lvar:ovi_agd_h_line_2": 0.04}},
        {"at": 1.5, "key": "0x1111D"},
        {"at": 2.0, "unload": true},
        {"at": 2.5, "load": true}, {"at": 2.5, "system_event": "SimStart"},
        {"at": 3.0, "expect": {"lvar:ovi_agd_h_line": 0.95, "lvar:ovi_agd_h_line_2": 0.04,
                               "lvar:ovi_arrester_switch_2": 1, "lvar:ovi_arrester_switch": 0}}
        ]})");
    EXPECT_EQ(log.result.status, bench::kRunOk) << log.result.error;
}

TEST(TurnAndSlip, NeedlesBallAndYawStringFollowTheHost) {
    // Cockpit 1's needle has its battery, cockpit 2's not. In flight the ball follows token 69;
    // on the ground the bank. At a speed of 45 the string flutters by 0.01 per update.
    std::string settings = kPowered;
    settings.replace(settings.find("battery2switch=True"), 19, "battery2switch=False");
    const auto log = Fly(Flight(1.8,
                                {{"token:60", 0},
                                 {"token:937", 3},
                                 {"token:926", 100},
                                 {"token:69", 127},
                                 {"token:61", 45}},
                                settings, R"(
        ,{"at": 0.5, "expect": {"lvar:ovi_turnkey_needle": 0.65,
                                "lvar:zelvan_turnkey_needle_2": 0.5,
                                "lvar:air_cord_angle": 0.3, "lvar:ovi_inclin_ball": 1.0}}
        ,{"at": 0.6, "set": {"token:937": 15, "token:926": -300, "token:60": 1, "token:79": 10}}
        ,{"at": 0.6, "expect": {"lvar:ovi_turnkey_needle": 1.25, "lvar:air_cord_angle": 1.0,
                                "lvar:ovi_inclin_ball": 0.3}}
        ,{"at": 0.7, "set": {"token:79": -10, "token:926": 400}}
        ,{"at": 0.7, "expect": {"lvar:ovi_inclin_ball": 0.7, "lvar:air_cord_angle": 0.0}})"),
                         true);
    EXPECT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    const auto phase = Column(log.trace, "lvar:air_cord");
    int wraps = 0;
    for (std::size_t i = Step(0.2); i < phase.size(); ++i) {
        if (phase[i] == 0.0) {
            ++wraps; // the update that passes 1.0 writes exactly 0, dropping the excess
        } else {
            EXPECT_NEAR(phase[i] - phase[i - 1], 0.01, 1e-9) << i;
        }
    }
    EXPECT_EQ(wraps, 1);
}

TEST(AttitudeIndicators, HostTimeGoingBackKeepsTheDisplayOnItsScaleAndErectsOnFromWhereItStood) {
    // Running from host time 5000 s towards a 30 deg bank; at 5 s the clock is set back to
    // 100 s. The display stands where it was (7.5 deg) and goes on to 30 deg in another 20 s.
    const auto log =
        Fly(Flight(27.0, {{"token:60", 1}, {"token:79", 30}, {"token:604", 5000}}, kPowered, R"(
        ,{"at": 5.0, "set": {"token:604": 100}}
        ,{"at": 5.0, "expect": {"lvar:ovi_bank_indicator": 0.479167}, "tol": 2e-4}
        ,{"at": 5.05, "expect": {"lvar:ovi_bank_indicator": 0.479167,
                                 "lvar:ovi_pitch_scale": 0.5}, "tol": 2e-4}
        ,{"at": 15.0, "expect": {"lvar:ovi_bank_indicator": 0.447917}, "tol": 2e-4}
        ,{"at": 25.5, "expect": {"lvar:ovi_bank_indicator": 0.41666666666666669,
                                 "lvar:ovi_bank_indicator_2": 0.41666666666666669}, "tol": 1e-9})"),
            true);
    EXPECT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    for (const char* name : {"lvar:ovi_bank_indicator", "lvar:ovi_pitch_scale",
                             "lvar:ovi_bank_indicator_2", "lvar:ovi_pitch_scale_2"}) {
        const auto values = Column(log.trace, name);
        ASSERT_GT(values.size(), Step(26.0)) << name;
        for (std::size_t i = Step(0.1); i < values.size(); ++i) {
            ASSERT_TRUE(values[i] >= 0.0 && values[i] <= 1.0) << name << " at step " << i;
        }
    }
}
