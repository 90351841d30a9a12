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

namespace {

// Key actions at `from`, `from + every`, ... with the values given.
std::string Series(std::uint32_t key, double from, double every,
                   const std::vector<std::int64_t>& values) {
    std::string actions;
    for (std::size_t i = 0; i < values.size(); ++i) {
        actions += R"(,{"at": )" + std::to_string(from + every * static_cast<double>(i)) +
                   R"(, "key": )" + std::to_string(key) + R"(, "value": )" +
                   std::to_string(values[i]) + "}";
    }
    return actions;
}

// Silence as rendered: the loopback device mixes nothing while no sound plays.
constexpr double kSilent = 1.0;
// The motor at the bank's volume, past its first tenth of a second of spin-up.
constexpr double kLoud = 300.0;

} // namespace

TEST(Handles, TheMotorRunsWhileAHandleMovesAndFallsSilentWhereverTheHandleComesToRest) {
    struct Way {
        const char* what;
        std::string actions;
        double movingFrom, movingTo; // the handle moves in between
        double silentFrom;           // the movement has ended and the tail has played
    };
    const std::vector<Way> ways = {
        {"spoilers axis swept to its middle",
         Series(66382, 1.0, 0.05, {-16384, -14000, -11000, -8000, -5000, -2000, 0}), 1.05, 1.3,
         2.2},
        {"spoilers toggle cancelled half way", Series(65589, 1.0, 0.1, {0, 0}), 1.05, 1.1, 1.6},
        {"flaps grip dragged part of the way", Series(69990, 1.0, 0.04, {0, 0, 0, 0, 0, 0, 0, 0}),
         1.05, 1.3, 2.2},
        {"flaps set by the host", Series(66806, 1.0, 0.1, {4000, 6000}), 1.05, 1.4, 2.2},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        const auto log = Fly(Flight(3.0, 1.0, way.actions), false, std::nullopt, true);
        ASSERT_EQ(log.result.status, bench::kRunOk) << log.result.error;
        EXPECT_GT(testing_support::AudioLevel(log, way.movingFrom, way.movingTo), kLoud);
        EXPECT_LT(testing_support::AudioLevel(log, way.silentFrom, 3.0), kSilent);
        const auto ops = HandleSound(log, 0.0);
        ASSERT_FALSE(ops.empty());
        EXPECT_EQ(ops.back(), "stop");
    }
}

TEST(Handles, InAnHourOfEveryHandleMovedEveryWayTheMotorAlwaysStopsSoonAfterItsLastMove) {
    // In the air, so that the gear moves too. Every 20 s: full movements by toggle and stage,
    // two handles at once, a toggle cancelled, both axes swept to places between their ends and
    // to their ends, drags of every grip both ways, the host's flap setting.
    std::string actions;
    for (int cycle = 0; cycle < 180; ++cycle) {
        const double t = 1.0 + 20.0 * cycle;
        const bool even = cycle % 2 == 0;
        const std::int64_t middle = (cycle * 2731) % 30000 - 15000;
        actions += Series(65589, t, 0.05, {0});                               // spoilers out or in
        actions += Series(even ? 65758 : 65759, t + 0.02, 0.1, {0});          // a flap stage
        actions += Series(65570, t + 1.5, 0.06, {0, 0});                      // gear, cancelled
        actions += Series(cycle % 3 == 0 ? 65603 : 65595, t + 3.0, 0.1, {0}); // flaps full, up
        actions += Series(66382, t + 4.5, 0.05, {-16384, middle / 2, middle});
        actions += Series(66534, t + 6.0, 0.05, {middle, -middle, 16383});
        actions += Series(even ? 69990 : 69991, t + 7.5, 0.03, {0, 0, 0, 0, 0});
        actions += Series(even ? 69738 : 69739, t + 9.0, 0.03, {0, 0, 0});
        actions += Series(even ? 69993 : 69992, t + 10.5, 0.03, {0, 0, 0, 0});
        actions += Series(66806, t + 12.0, 0.05, {middle, middle});
        actions += Series(65589, t + 13.5, 0.08, {0, 0});          // spoilers, cancelled
        actions += Series(66534, t + 13.52, 0.05, {-16384});       // flaps axis at its low
        actions += Series(65570, t + 15.0, 0.05, {0});             // gear all the way
        actions += Series(66382, t + 16.5, 0.05, {middle, 16383}); // spoilers to full
    }
    const auto log = Fly(Flight(3600.0, 0.0, actions));
    ASSERT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    std::vector<std::pair<double, std::string>> ops;
    for (const auto& e : log.Of("sound")) {
        if (e.value("name", "") == "zelvan_flaps.wav") {
            ops.emplace_back(e["t"].get<double>(), e["op"].get<std::string>());
        }
    }
    ASSERT_GT(ops.size(), 3000u) << "every cycle moved the handles";
    EXPECT_EQ(ops.back().second, "stop");
    // The longest movement is a stream of events 0.15 s long, then half a second without one.
    double lastStop = 3600.0;
    int droning = 0;
    for (auto op = ops.rbegin(); op != ops.rend(); ++op) {
        if (op->second == "stop") {
            lastStop = op->first;
        } else if (op->second == "play" && lastStop - op->first > 1.0) {
            ++droning;
        }
    }
    EXPECT_EQ(droning, 0) << "plays not followed by a stop within a second";
}
