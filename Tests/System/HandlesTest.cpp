// The spoiler, flap and gear handles flown through the bench: what reaches the host at every
// step, the handle sound, the ground lock of the gear, drags, axes, pedals and the settings.
#include "Support/Flight.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using testing_support::FlightLog;
using testing_support::Fly;

namespace {

constexpr std::uint32_t kSpoilersSet = 65786;
constexpr std::uint32_t kGearSet = 65700;
constexpr int kFlapsLeft = 0x10010;
constexpr double kStep = 910.16;
constexpr double kFull = 16383.0;

// A flight from a "SimStart" at 0; token 60 as given (1 on the ground, 0 in the air).
std::string Flight(double duration, double token60, const std::string& actions,
                   const std::string& settings = "") {
    nlohmann::json s = {{"duration", duration}, {"host", {{"token:60", token60}}}};
    if (!settings.empty()) {
        s["settings"] = settings;
    }
    s["actions"] = nlohmann::json::parse(
        R"([{"at": 0.0, "load": true}, {"at": 0.0, "system_event": "SimStart"})" + actions + "]");
    return s.dump();
}

// The values of the key events with this id, in the order they were sent.
std::vector<std::uint32_t> Keys(const FlightLog& log, std::uint32_t id, double from = 0.0) {
    std::vector<std::uint32_t> values;
    for (const auto& e : log.Of("key")) {
        if (e["id"] == id && e["t"].get<double>() >= from - 1e-9) {
            values.push_back(e["value"].get<std::uint32_t>());
        }
    }
    return values;
}

std::vector<double> FlapPercents(const FlightLog& log, double from = 0.0) {
    std::vector<double> values;
    for (const auto& e : log.Of("simconnect", "SetDataOnSimObject")) {
        if (e["define"] == kFlapsLeft && e["t"].get<double>() >= from - 1e-9) {
            values.push_back(e["value"].get<double>());
        }
    }
    return values;
}

// The handle sound's operations from `from` on: "play" or "stop".
std::vector<std::string> HandleSound(const FlightLog& log, double from) {
    std::vector<std::string> ops;
    for (const auto& e : log.Of("sound")) {
        if (e.value("name", "") == "zelvan_flaps.wav" && e["t"].get<double>() >= from - 1e-9) {
            ops.push_back(e["op"].get<std::string>());
        }
    }
    return ops;
}

} // namespace

TEST(Handles, ASpoilerToggleRunsOutInEighteenStepsAndStopsItsSoundAtTheEnd) {
    const auto log = Fly(Flight(2.0, 1.0, R"(
        ,{"at": 0.1, "key": 65589}
        ,{"at": 0.5, "expect": {"lvar:zelvan_spoilers": 0.9999926753341878,
                                "lvar:zelvan_spoilers_grip": 0.9999926753341878}, "tol": 1e-12}
        ,{"at": 1.0, "key": 65589})"));
    ASSERT_EQ(log.result.status, bench::kRunOk);
    const auto out = Keys(log, kSpoilersSet, 0.1);
    ASSERT_GE(out.size(), 18u);
    for (std::size_t k = 0; k < 18; ++k) {
        EXPECT_EQ(out[k], static_cast<std::uint32_t>((k + 1) * kStep)) << k;
    }
    EXPECT_EQ(out[17], 16382u);
    // Back in: 18 more steps, the last one 0.12 above the end.
    ASSERT_EQ(out.size(), 36u);
    EXPECT_EQ(out[18], static_cast<std::uint32_t>(kFull - kStep));
    EXPECT_EQ(out[35], 0u);
    const auto sound = HandleSound(log, 0.1);
    ASSERT_FALSE(sound.empty());
    EXPECT_EQ(sound.back(), "stop");
    EXPECT_EQ(std::count(sound.begin(), sound.end(), "stop"), 2) << "one stop at each end";
    EXPECT_EQ(std::count(sound.begin(), sound.end(), "play"), 36);
}

TEST(Handles, ASecondToggleHoldsTheHandleAndAThirdGoesOnTheSameWay) {
    const auto log = Fly(Flight(2.0, 1.0, R"(
        ,{"at": 0.1, "key": 65589}
        ,{"at": 0.15, "key": 65589}
        ,{"at": 0.5, "key": 65589})"));
    ASSERT_EQ(log.result.status, bench::kRunOk);
    const auto out = Keys(log, kSpoilersSet, 0.1);
    ASSERT_EQ(out.size(), 18u) << "held part way, then out to the end";
    for (std::size_t k = 1; k < out.size(); ++k) {
        EXPECT_GT(out[k], out[k - 1]);
    }
    EXPECT_TRUE(Keys(log, kSpoilersSet, 0.16).size() < 18u);
    EXPECT_EQ(Keys(log, kSpoilersSet, 0.16).size(), Keys(log, kSpoilersSet, 0.5).size())
        << "nothing moves between the second and third toggle";
}

TEST(Handles, AHandleRestingBetweenTheEndsGoesToTheNearerOne) {
    // Restored at 0.5 (8191.5): exactly half counts as nearer to the full end.
    const auto log =
        Fly(Flight(1.5, 1.0, R"(,{"at": 0.1, "key": 65589})", "[handles]\nspoilers=0.5\n"));
    const auto out = Keys(log, kSpoilersSet, 0.1);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.front(), static_cast<std::uint32_t>(8191.5 + kStep));
    EXPECT_GT(out.back(), 15000u);
    const auto low =
        Fly(Flight(1.5, 1.0, R"(,{"at": 0.1, "key": 65589})", "[handles]\nspoilers=0.4\n"));
    const auto in = Keys(low, kSpoilersSet, 0.1);
    ASSERT_FALSE(in.empty());
    EXPECT_LT(in.front(), static_cast<std::uint32_t>(0.4 * kFull));
    EXPECT_EQ(in.size(), 7u) << "0.4 of the travel is 7 steps and a bit from 0";
}

TEST(Handles, FlapStagesGoHalfFullHalfUpAndIgnoreRequestsAtTheirEnds) {
    const auto log = Fly(Flight(5.0, 0.0, R"(
        ,{"at": 0.1, "key": 65759}
        ,{"at": 0.2, "key": 65595}
        ,{"at": 0.3, "key": 65758}
        ,{"at": 1.0, "key": 65758}
        ,{"at": 1.9, "key": 65758}
        ,{"at": 2.0, "key": 65603}
        ,{"at": 2.1, "key": 65759}
        ,{"at": 3.0, "key": 65759})"));
    ASSERT_EQ(log.result.status, bench::kRunOk);
    const double half = 8191.5 / kFull * 100.0;
    // Up at stage 0 and fully up at 0 do nothing.
    EXPECT_TRUE(FlapPercents(log, 0.1).size() == FlapPercents(log, 0.3).size());
    const auto toHalf = FlapPercents(log, 0.3);
    ASSERT_GE(toHalf.size(), 9u);
    EXPECT_NEAR(toHalf[8], 9 * kStep / kFull * 100.0, 1e-9);
    EXPECT_LT(toHalf[8], half) << "the tenth step stops at half without a write";
    const auto toFull = FlapPercents(log, 1.0);
    EXPECT_EQ(toFull.size() - FlapPercents(log, 1.9).size(), 9u);
    EXPECT_NEAR(toFull[0], (8191.5 + kStep) / kFull * 100.0, 1e-9);
    // At full, one more stage down and fully down do nothing; up gives half, then up.
    EXPECT_EQ(FlapPercents(log, 1.9).size(), FlapPercents(log, 2.1).size());
    const auto toHalfAgain = FlapPercents(log, 2.1);
    EXPECT_EQ(toHalfAgain.size() - FlapPercents(log, 3.0).size(), 9u);
    EXPECT_GT(toHalfAgain[8], half);
    const auto up = FlapPercents(log, 3.0);
    ASSERT_EQ(up.size(), 9u);
    EXPECT_NEAR(up.back(), (8191.5 - 9 * kStep) / kFull * 100.0, 1e-9);
    EXPECT_EQ(HandleSound(log, 4.0).size(), 0u);
    EXPECT_EQ(HandleSound(log, 0.0).back(), "stop");
}

TEST(Handles, FlapStagesAreNotRestoredSoAStageDownAfterLoadingFullRetracts) {
    const auto log = Fly(Flight(2.0, 0.0, R"(,{"at": 0.1, "key": 65758})", "[handles]\nflaps=1\n"));
    const auto moved = FlapPercents(log, 0.1);
    ASSERT_EQ(moved.size(), 18u);
    EXPECT_NEAR(moved.front(), (kFull - kStep) / kFull * 100.0, 1e-9);
    EXPECT_LT(moved.back(), 1.0);
}

TEST(Handles, TheGearMovesOnlyWhileToken60IsZeroAndIsDownAfterALoadOnTheGround) {
    const auto ground = Fly(Flight(2.0, 1.0, R"(
        ,{"at": 0.1, "key": 65570}
        ,{"at": 0.2, "key": 69992}
        ,{"at": 0.3, "key": 69993})",
                                   "[handles]\ngear=0\n"));
    ASSERT_EQ(ground.result.status, bench::kRunOk);
    EXPECT_EQ(Keys(ground, kGearSet), (std::vector<std::uint32_t>{16383}))
        << "the load puts the gear down; toggle and drags change nothing";
    const auto air = Fly(Flight(2.0, 0.0, R"(
        ,{"at": 0.1, "key": 65570}
        ,{"at": 1.5, "key": 69992}
        ,{"at": 1.6, "key": 69993})",
                                "[handles]\ngear=1\n"));
    const auto gear = Keys(air, kGearSet);
    ASSERT_EQ(gear.size(), 1u + 18u + 1u);
    EXPECT_EQ(gear[0], 16383u);
    EXPECT_EQ(gear[18], 0u);
    EXPECT_EQ(gear[19], 227u) << "dragged out from 0 after the dragged-in end sent nothing";
}

TEST(Handles, DragsAndAxesMoveAHandleDirectlyAndStopTheSoundAtAnEnd) {
    const auto log = Fly(Flight(1.0, 1.0, R"(
        ,{"at": 0.1, "key": 69739}
        ,{"at": 0.2, "key": 69738}
        ,{"at": 0.4, "key": 66382, "value": -16384}
        ,{"at": 0.45, "expect": {"lvar:zelvan_spoilers": 0, "lvar:zelvan_spoilers_grip": 0}}
        ,{"at": 0.5, "key": 66382, "value": 16382}
        ,{"at": 0.55, "expect": {"lvar:zelvan_spoilers": 0}}
        ,{"at": 0.6, "key": 66534, "value": 0}
        ,{"at": 0.65, "expect": {"lvar:zelvan_flaps_grip": 0.5000305194408838}, "tol": 1e-12}
        ,{"at": 0.7, "key": 69990})"));
    ASSERT_EQ(log.result.status, bench::kRunOk);
    // In at 0 sends nothing; out a drag step; the axis at -16384 sends 0; at 16382 it reads the
    // full end, which is neither sent nor written.
    EXPECT_EQ(Keys(log, kSpoilersSet, 0.1), (std::vector<std::uint32_t>{227, 0}));
    EXPECT_EQ(HandleSound(log, 0.1),
              (std::vector<std::string>{"stop", "play", "stop", "stop", "play", "play"}));
    const auto flaps = FlapPercents(log, 0.6);
    ASSERT_EQ(flaps.size(), 2u);
    EXPECT_NEAR(flaps[0], 8192.0 / kFull * 100.0, 1e-9);
    EXPECT_NEAR(flaps[1], (8192.0 + 227.54) / kFull * 100.0, 1e-6);
}

TEST(Handles, PedalSettingWrapsAroundInTenths) {
    const auto log = Fly(Flight(1.0, 1.0, R"(
        ,{"at": 0.1, "set": {"lvar:zelvan_pedals_setting": 0}}
        ,{"at": 0.2, "key": 69710}
        ,{"at": 0.3, "expect": {"lvar:zelvan_pedals_setting": 0.9}, "tol": 1e-12}
        ,{"at": 0.4, "set": {"lvar:zelvan_pedals_setting": 1}}
        ,{"at": 0.5, "key": 69711}
        ,{"at": 0.6, "expect": {"lvar:zelvan_pedals_setting": 0.1}, "tol": 1e-12})"));
    EXPECT_EQ(log.result.status, bench::kRunOk);
    EXPECT_TRUE(HandleSound(log, 0.1).empty()) << "the pedals make no sound";
}

TEST(Handles, PositionsAreSavedAndTheNextFlightRestoresThem) {
    const auto log = Fly(Flight(5.0, 0.0, R"(
        ,{"at": 0.1, "key": 65589}
        ,{"at": 0.2, "key": 65758}
        ,{"at": 0.3, "key": 65570}
        ,{"at": 2.0, "unload": true}
        ,{"at": 2.5, "load": true}
        ,{"at": 2.5, "system_event": "SimStart"}
        ,{"at": 3.0, "expect": {"lvar:zelvan_spoilers_grip": 1, "lvar:zelvan_flaps_grip": 0.5,
                                "lvar:zelvan_gear_grip": 0}})",
                                "[handles]\ngear=1\n"));
    ASSERT_EQ(log.result.status, bench::kRunOk);
    EXPECT_NE(log.settings.find("[handles]"), std::string::npos);
    EXPECT_NE(log.settings.find("spoilers=1"), std::string::npos) << log.settings;
    EXPECT_NE(log.settings.find("flaps=0.5"), std::string::npos) << log.settings;
    EXPECT_NE(log.settings.find("gear=0"), std::string::npos) << log.settings;
    EXPECT_EQ(Keys(log, kSpoilersSet, 2.5), (std::vector<std::uint32_t>{0, 16383}))
        << "start retracts, the load restores";
    EXPECT_EQ(Keys(log, kGearSet, 2.5), (std::vector<std::uint32_t>{0}));
    ASSERT_FALSE(FlapPercents(log, 2.5).empty());
    EXPECT_NEAR(FlapPercents(log, 2.5)[0], 50.0, 1e-9);
}

TEST(Handles, ADamagedSettingOrGripCannotPutAHandleBeyondItsEnds) {
    const auto log = Fly(Flight(1.0, 0.0, R"(
        ,{"at": 0.5, "set": {"lvar:zelvan_spoilers_grip": 1e12}}
        ,{"at": 0.6, "key": 69739})",
                                "[handles]\nspoilers=7\nflaps=-2\ngear=abc\n"));
    EXPECT_EQ(Keys(log, kSpoilersSet), (std::vector<std::uint32_t>{0, 16383, 16383}));
    ASSERT_FALSE(FlapPercents(log).empty());
    EXPECT_EQ(FlapPercents(log)[0], 0.0);
    EXPECT_EQ(Keys(log, kGearSet), (std::vector<std::uint32_t>{16383}));
}
