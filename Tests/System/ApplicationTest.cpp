// The application on the bench: started by "SimStart", ticked every 10 ms, resting the glider
// on a wing tip on the ground, keeping the camera on the active pilot's seat.
#include "Support/Flight.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using testing_support::Fly;

namespace {

constexpr int kLeftTip = 0x1000D;
constexpr int kRightTip = 0x1000E;
constexpr double kPound = 0.453592;

// The wing-tip ballast written in the step at time t, as (station 3, station 4) in kilograms.
std::vector<std::pair<double, double>> TipWrites(const testing_support::FlightLog& log, double t) {
    std::vector<std::pair<double, double>> writes;
    double left = -1.0;
    for (const auto& e : log.Of("simconnect", "SetDataOnSimObject")) {
        if (std::fabs(e["t"].get<double>() - t) > 1e-9) {
            continue;
        }
        const double kg = e["value"].get<double>() * kPound;
        if (e["define"] == kLeftTip) {
            left = kg;
        } else if (e["define"] == kRightTip) {
            writes.emplace_back(left, kg);
        }
    }
    return writes;
}

} // namespace

TEST(Application, SimStartTwiceMakesOneApplicationAndTheNextTickAFirstTickAgain) {
    const auto log = Fly(R"({"duration": 2.0, "actions": [
        {"at": 0.0, "system_event": "SimStart"},
        {"at": 1.0, "system_event": "SimStart"}]})");
    ASSERT_EQ(log.result.status, bench::kRunOk);
    EXPECT_EQ(log.KeysSent(0x100B6), 4) << "the application starts once";
    // Each first tick sets the eye point: one after each "SimStart".
    const auto camera = log.Of("simconnect", "CameraSetRelative6DOF");
    ASSERT_EQ(camera.size(), 2u);
    EXPECT_DOUBLE_EQ(camera[0]["z"].get<double>(), 0.15);
    EXPECT_GE(camera[1]["t"].get<double>(), 1.0);
    EXPECT_EQ(camera[0]["pitch"].get<double>(), 3.4028235e38);
    EXPECT_TRUE(log.Diagnostics().empty());
}

TEST(Application, WingRestBallastsOneTipUntilTheWingIsDown) {
    const auto log = Fly(R"({"duration": 3.0, "host": {"token:60": 1, "token:79": 3}, "actions": [
        {"at": 0.0, "system_event": "SimStart"},
        {"at": 1.0, "set": {"token:79": -7}},
        {"at": 2.0, "set": {"token:79": 9}}]})");
    ASSERT_EQ(log.result.status, bench::kRunOk);
    const auto firstTick = TipWrites(log, 0.02);
    ASSERT_EQ(firstTick.size(), 1u);
    const auto [left, right] = firstTick[0];
    EXPECT_TRUE((std::fabs(left - 40.0) < 1e-9 && right == 0.0) ||
                (left == 0.0 && std::fabs(right - 40.0) < 1e-9))
        << left << " " << right;
    const bool onLeft = left > 0.0;
    // Between 6 and 8 degrees of bank the ballast halves, on the same side.
    const auto banked = TipWrites(log, 1.5);
    ASSERT_EQ(banked.size(), 1u);
    EXPECT_NEAR(onLeft ? banked[0].first : banked[0].second, 20.0, 1e-9);
    EXPECT_EQ(onLeft ? banked[0].second : banked[0].first, 0.0);
    // Past 8 degrees both tips are cleared and the procedure ends.
    const auto down = TipWrites(log, 2.0);
    ASSERT_EQ(down.size(), 2u);
    EXPECT_EQ(down[1], (std::pair<double, double>{0.0, 0.0}));
    EXPECT_TRUE(TipWrites(log, 2.01).empty());
    // The station written through the connection reads 40 kg as 88.18498 lb.
    double firstTipPounds = 0.0;
    for (const auto& e : log.Of("simconnect", "SetDataOnSimObject")) {
        if (e["define"] == kLeftTip || e["define"] == kRightTip) {
            firstTipPounds += e["value"].get<double>();
            if (e["define"] == kRightTip) {
                break;
            }
        }
    }
    EXPECT_NEAR(firstTipPounds, 88.18498, 1e-5);
}

TEST(Application, InTheAirOrFastBothTipsAreClearedOnEveryTick) {
    const auto log = Fly(R"({"duration": 1.0, "host": {"token:60": 1, "token:61": 6}, "actions": [
        {"at": 0.0, "system_event": "SimStart"},
        {"at": 0.5, "set": {"token:61": 0, "token:60": 0}}]})");
    for (const double t : {0.3, 0.31, 0.7, 0.71}) {
        const auto writes = TipWrites(log, t);
        ASSERT_FALSE(writes.empty()) << t;
        EXPECT_EQ(writes.back(), (std::pair<double, double>{0.0, 0.0})) << t;
    }
}

TEST(Application, TheResyncKeyRearmsTheWingRestOnlyWithLevelWings) {
    // Banked past 8 degrees the rest ends at once; the resync key re-arms it only while the
    // wings are level within half a degree.
    const auto log = Fly(R"({"duration": 3.0, "host": {"token:60": 1, "token:79": 9}, "actions": [
        {"at": 0.0, "system_event": "SimStart"},
        {"at": 1.0, "set": {"token:79": 0.2}},
        {"at": 1.0, "key": "0x10015"},
        {"at": 1.5, "set": {"token:79": 9}},
        {"at": 2.0, "set": {"token:79": 0.7}},
        {"at": 2.0, "key": "0x10015"},
        {"at": 2.5, "set": {"token:79": -0.3}},
        {"at": 2.5, "key": "0x10015"}]})");
    EXPECT_TRUE(TipWrites(log, 0.5).empty());
    EXPECT_FALSE(TipWrites(log, 1.01).empty());
    EXPECT_TRUE(TipWrites(log, 1.6).empty());
    EXPECT_TRUE(TipWrites(log, 2.01).empty()) << "0.7 degrees is not level enough";
    EXPECT_FALSE(TipWrites(log, 2.51).empty());
}

TEST(Application, TheEyePointFollowsTheActivePilotWhileTheCockpitIsShown) {
    const auto log = Fly(R"({"duration": 1.0, "host": {"token:60": 1},
        "settings": "[cabin]\nbackSeat=1\nactivePilot=2\n",
        "actions": [{"at": 0.0, "system_event": "SimStart"},
                    {"at": 0.5, "key": "0x103E2"}]})");
    const auto camera = log.Of("simconnect", "CameraSetRelative6DOF");
    ASSERT_EQ(camera.size(), 2u);
    for (const auto& c : camera) {
        EXPECT_DOUBLE_EQ(c["x"].get<double>(), 0.0);
        EXPECT_DOUBLE_EQ(c["y"].get<double>(), 0.1);
        EXPECT_DOUBLE_EQ(c["z"].get<double>(), -1.1);
    }
}

TEST(Application, UnloadStopsTheApplicationThenTheSystemsThenTheConnection) {
    const auto log = Fly(R"({"duration": 1.0, "actions": [
        {"at": 0.0, "system_event": "SimStart"}]})");
    ASSERT_EQ(log.result.status, bench::kRunOk);
    EXPECT_TRUE(log.Diagnostics().empty()) << "no timer or key handler was left behind";
    EXPECT_NE(log.settings.find("[cabin]"), std::string::npos) << "saved once at shutdown";
    // The connection goes last: its close is the final SimConnect call, then the wait.
    std::string lastCall;
    for (const auto& e : log.events) {
        if (e["type"] == "simconnect") {
            lastCall = e["call"];
        }
    }
    EXPECT_EQ(lastCall, "Close");
    EXPECT_EQ(log.events[log.events.size() - 2]["type"], "sleep");
    EXPECT_EQ(log.events.back()["type"], "unload");
}
