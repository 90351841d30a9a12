// The parking procedure flown through the bench: levelling with ballast, the covers going on and
// off, the control locks as the simulator sees them, reloads in every state and the pause.
#include "Support/Flight.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testing_support::FlightLog;
using testing_support::Fly;

namespace {

constexpr double kPoundsPerKg = 1.0 / 0.453592;

// On the ground with the wing down past 8 degrees, so the first tick's wing rest ends at once;
// then the wings are level.
std::string Parked(double duration, const std::string& actions) {
    nlohmann::json s = {{"duration", duration}, {"host", {{"token:60", 1.0}, {"token:79", 9.0}}}};
    s["actions"] = nlohmann::json::parse(
        R"([{"at": 0.0, "load": true}, {"at": 0.0, "system_event": "SimStart"},
                                             {"at": 0.2, "set": {"token:79": 0.0}})" +
        actions + "]");
    return s.dump();
}

constexpr const char* kStart = R"(,{"at": T, "mouse": {"x": 30, "y": 180}})";
constexpr const char* kConfirm = R"(,{"at": T, "mouse": {"x": 100, "y": 180}})";

std::string At(const char* action, double t) {
    std::string text = action;
    text.replace(text.find('T'), 1, std::to_string(t));
    return text;
}

std::string Locked(int on) {
    const std::string v = std::to_string(on);
    return R"({"masked:AXIS_AILERONS_SET": )" + v + R"(, "masked:AXIS_ELEVATOR_SET": )" + v +
           R"(, "masked:AXIS_RUDDER_SET": )" + v + "}";
}

std::string Expect(double t, const std::string& values) {
    return R"(,{"at": )" + std::to_string(t) + R"(, "expect": )" + values + "}";
}

// Writes of payload station 3 or 4 (define 0x1000D or 0x1000E) in [from, to), in kilograms.
std::vector<double> Station(const FlightLog& log, int station, double from, double to) {
    std::vector<double> kg;
    for (const auto& e : log.Of("simconnect", "SetDataOnSimObject")) {
        const double t = e["t"].get<double>();
        if (e["define"] == 0x1000A + station && t >= from - 1e-9 && t < to - 1e-9) {
            kg.push_back(e["value"].get<double>() / kPoundsPerKg);
        }
    }
    return kg;
}

} // namespace

TEST(Covers, TheWholeProcedureLevelsCoversLocksAndSettlesOnAWing) {
    const auto log =
        Fly(Parked(3.0, R"(,{"at": 0.5, "set": {"token:79": 2.0}})" + At(kStart, 0.6) +
                            R"(,{"at": 1.0, "set": {"token:79": 0.0}})" + Expect(1.05, Locked(0)) +
                            Expect(1.05, R"({"lvar:zelvan_covers_visible": 1})") +
                            Expect(1.1, Locked(1)) + Expect(1.1, R"({"lvar:zelvan_covers": 1})") +
                            At(kConfirm, 1.5) + Expect(1.55, Locked(1)) + Expect(1.6, Locked(0)) +
                            Expect(1.6, R"({"lvar:zelvan_covers": 0,
                                                        "lvar:zelvan_covers_visible": 0})") +
                            R"(,{"at": 2.0, "set": {"token:79": 9.0}})"));
    ASSERT_EQ(log.result.status, bench::kRunOk);

    // Start: the three axes mapped, in group 0 as not maskable, at the highest maskable priority.
    const auto maps = log.Of("simconnect", "MapClientEventToSimEvent");
    ASSERT_EQ(maps.size(), 3u);
    EXPECT_EQ(maps[0]["name"], "AXIS_AILERONS_SET");
    EXPECT_EQ(maps[1]["name"], "AXIS_ELEVATOR_SET");
    EXPECT_EQ(maps[2]["name"], "AXIS_RUDDER_SET");
    const auto priority = log.Of("simconnect", "SetNotificationGroupPriority");
    ASSERT_EQ(priority.size(), 1u);
    EXPECT_EQ(priority[0]["priority"], 10000000);
    EXPECT_EQ(priority[0]["group"], 0);
    const auto adds = log.Of("simconnect", "AddClientEventToNotificationGroup");
    ASSERT_EQ(adds.size(), 9u) << "three at start, three to lock, three to unlock";
    for (std::size_t i = 0; i < adds.size(); ++i) {
        EXPECT_EQ(adds[i]["maskable"], i >= 3 && i < 6) << i;
        EXPECT_EQ(adds[i]["event"], 0x10008 + i % 3) << i;
    }

    // Levelling: a fifth of a kilogram more on station 4 every tick while the bank is 2.
    const auto levelling = Station(log, 4, 0.6, 1.0);
    ASSERT_GE(levelling.size(), 30u);
    for (std::size_t i = 0; i < levelling.size(); ++i) {
        EXPECT_NEAR(levelling[i], 0.2 * static_cast<double>(i + 1), 1e-9) << i;
    }
    for (const double kg : Station(log, 3, 0.6, 1.0)) {
        EXPECT_EQ(kg, 0.0);
    }
    EXPECT_EQ(Station(log, 4, 1.0, 1.01), (std::vector<double>{0.0}));
    std::vector<double> resync;
    for (const auto& e : log.Of("key")) {
        if (e["id"] == 0x10015) {
            resync.push_back(e["t"].get<double>());
            EXPECT_EQ(e["value"], 1);
        }
    }
    ASSERT_EQ(resync.size(), 2u) << "on the tick the wings came level and on the next";
    EXPECT_NEAR(resync[1] - resync[0], 0.01, 1e-9);
    for (const std::uint32_t id : {0x1009Eu, 0x100A0u, 0x1009Fu}) {
        EXPECT_EQ(log.KeysSent(id), 2) << "controls centred at lock and at unlock";
    }
    const auto masks = log.Of("mask");
    ASSERT_EQ(masks.size(), 6u);
    EXPECT_TRUE(masks[0]["masked"].get<bool>() && !masks[3]["masked"].get<bool>());

    // Settling: 40 kg on one tip while level; past 8 degrees both tips are cleared.
    const auto s3 = Station(log, 3, 1.6, 2.0);
    const auto s4 = Station(log, 4, 1.6, 2.0);
    ASSERT_FALSE(s3.empty());
    EXPECT_TRUE((s3.back() == 40.0 && s4.back() == 0.0) || (s3.back() == 0.0 && s4.back() == 40.0))
        << s3.back() << " " << s4.back();
    EXPECT_EQ(Station(log, 3, 2.0, 2.01).back(), 0.0);
    EXPECT_TRUE(Station(log, 3, 2.05, 3.0).empty()) << "back in state 0: nothing more is written";
    EXPECT_NE(log.settings.find("parkst=0"), std::string::npos);

    // The unload frees the group.
    EXPECT_EQ(log.Of("simconnect", "RemoveClientEvent").size(), 6u + 3u);
    EXPECT_EQ(log.Of("simconnect", "ClearNotificationGroup").size(), 1u);
}

TEST(Covers, AReloadWithTheCoversOnShowsThemButLeavesTheControlsFree) {
    const auto log =
        Fly(Parked(4.0, At(kStart, 0.5) + Expect(0.6, Locked(1)) +
                            R"(,{"at": 1.0, "unload": true},
                                            {"at": 1.5, "load": true},
                                            {"at": 1.5, "system_event": "SimStart"})" +
                            Expect(2.0, Locked(0)) + Expect(2.0, R"({"lvar:zelvan_covers": 1,
                                                        "lvar:zelvan_covers_visible": 1})") +
                            At(kConfirm, 2.5) + Expect(2.7, R"({"lvar:zelvan_covers": 0})") +
                            Expect(2.7, Locked(0))));
    ASSERT_EQ(log.result.status, bench::kRunOk);
    EXPECT_EQ(log.Of("mask").size(), 6u) << "locked before the unload, freed by it";
    EXPECT_NE(log.settings.find("parkst=5"), std::string::npos) << log.settings;
}

TEST(Covers, AReloadInTheAirTakesTheCoversAway) {
    const auto log = Fly(Parked(3.0, At(kStart, 0.5) +
                                         R"(,{"at": 1.0, "unload": true},
                                            {"at": 1.2, "set": {"token:60": 0}},
                                            {"at": 1.5, "load": true},
                                            {"at": 1.5, "system_event": "SimStart"})" +
                                         Expect(2.0, R"({"lvar:zelvan_covers": 0,
                                                        "lvar:zelvan_covers_visible": 0})")));
    ASSERT_EQ(log.result.status, bench::kRunOk);
    EXPECT_NE(log.settings.find("parkst=0"), std::string::npos) << log.settings;
}

TEST(Covers, AnUnloadWhileTheCoversMoveLeavesAStateTheNextFlightCanFinish) {
    // Going on (state 2): the next flight starts without covers and the button works again.
    const auto on = Fly(Parked(3.0, At(kStart, 0.5) +
                                        R"(,{"at": 0.53, "unload": true},
                                           {"at": 1.0, "load": true},
                                           {"at": 1.0, "system_event": "SimStart"})" +
                                        Expect(1.5, R"({"lvar:zelvan_covers": 0,
                                                       "lvar:zelvan_covers_visible": 0})") +
                                        At(kStart, 2.0) + Expect(2.2, Locked(1))));
    EXPECT_EQ(on.result.status, bench::kRunOk);
    // Levelling (state 1) resumes: the wings are levelled again and the covers go on.
    const auto levelling =
        Fly(Parked(3.0, R"(,{"at": 0.4, "set": {"token:79": 2.0}})" + At(kStart, 0.5) +
                            R"(,{"at": 0.6, "unload": true},
                                                  {"at": 0.7, "set": {"token:79": 9.0}},
                                                  {"at": 1.0, "load": true},
                                                  {"at": 1.0, "system_event": "SimStart"},
                                                  {"at": 1.5, "set": {"token:79": 0.0}})" +
                            At(kStart, 2.0) + Expect(2.2, Locked(1))));
    EXPECT_EQ(levelling.result.status, bench::kRunOk);
    // Coming off (state 3): the next flight settles the glider on a wing.
    const auto off = Fly(Parked(3.0, At(kStart, 0.5) + At(kConfirm, 1.0) +
                                         R"(,{"at": 1.03, "unload": true},
                                            {"at": 1.1, "set": {"token:79": 0.0}},
                                            {"at": 1.5, "load": true},
                                            {"at": 1.5, "system_event": "SimStart"})" +
                                         Expect(2.0, R"({"lvar:zelvan_covers": 0,
                                                        "lvar:zelvan_covers_visible": 0})") +
                                         Expect(2.0, Locked(0))));
    EXPECT_EQ(off.result.status, bench::kRunOk);
    EXPECT_NE(off.settings.find("parkst=5"), std::string::npos) << off.settings;
}

TEST(Covers, WhilePausedNothingMoves) {
    const auto log =
        Fly(Parked(2.0, R"(,{"at": 0.3, "system_event": "Pause", "data": 1})" + At(kStart, 0.5) +
                            Expect(0.9, R"({"lvar:zelvan_covers": 0})") + Expect(0.9, Locked(0)) +
                            R"(,{"at": 1.0, "system_event": "Pause", "data": 0})" +
                            Expect(1.2, R"({"lvar:zelvan_covers": 1})") + Expect(1.2, Locked(1))));
    EXPECT_EQ(log.result.status, bench::kRunOk);
}

TEST(Covers, WhatTheSimulatorMasksCanOnlyBeExpected) {
    const auto log = Fly(Parked(1.0, R"(,{"at": 0.5, "set": {"masked:AXIS_RUDDER_SET": 1}})"));
    EXPECT_EQ(log.result.status, bench::kBadInput);
    EXPECT_NE(log.result.error.find("can only be expected"), std::string::npos) << log.result.error;
}

TEST(Covers, AStoredLevellingResumesAndAStateBeyondTheProcedureSettlesTheGlider) {
    // Saved while levelling: the next flight levels the wings and puts the covers on.
    nlohmann::json levelling = {{"duration", 2.0},
                                {"host", {{"token:60", 1.0}, {"token:79", 2.0}}},
                                {"settings", "[cabin]\nparkst=1\n"}};
    levelling["actions"] = nlohmann::json::parse(R"([{"at": 0.0, "system_event": "SimStart"},
        {"at": 0.5, "set": {"token:79": 0.0}})" + Expect(1.2, R"({"lvar:zelvan_covers": 1,
                                                  "lvar:zelvan_covers_visible": 1})") +
                                                 Expect(1.2, Locked(1)) + "]");
    const auto resumed = Fly(levelling.dump());
    EXPECT_EQ(resumed.result.status, bench::kRunOk);
    EXPECT_NE(resumed.settings.find("parkst=4"), std::string::npos) << resumed.settings;

    // A state the procedure does not have is reported and settles the glider, as state 5 does.
    for (const char* stored : {"parkst=9", "parkst=-2"}) {
        nlohmann::json beyond = {{"duration", 1.0},
                                 {"host", {{"token:60", 1.0}}},
                                 {"settings", std::string("[cabin]\n") + stored + "\n"}};
        beyond["actions"] = nlohmann::json::parse(R"([{"at": 0.0, "system_event": "SimStart"}])");
        const auto log = Fly(beyond.dump());
        EXPECT_EQ(log.result.status, bench::kRunOk);
        ASSERT_EQ(log.Diagnostics().size(), 1u) << stored;
        EXPECT_NE(log.Diagnostics()[0].find("settles"), std::string::npos) << log.Diagnostics()[0];
        const auto ballast = Station(log, 3, 0.5, 1.0);
        ASSERT_FALSE(ballast.empty()) << stored;
        EXPECT_NEAR(ballast.back(), 40.0, 1e-9) << stored;
        EXPECT_NE(log.settings.find("parkst=5"), std::string::npos) << log.settings;
    }
}
