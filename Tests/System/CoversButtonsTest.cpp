// The two covers buttons of the service panel start and confirm the parking procedure.
#include "Support/Flight.h"

#include <gtest/gtest.h>

using testing_support::Fly;

TEST(CoversButtons, StartingWithLevelWingsMakesTheCoversReady) {
    const auto log = Fly(R"({"duration": 1.0, "host": {"token:60": 1, "token:79": -1.5},
        "actions": [{"at": 0.2, "mouse": {"x": 16, "y": 168}},
                    {"at": 0.3, "expect": {"lvar:zelvan_covers_ready": 1}}]})");
    EXPECT_EQ(log.result.status, bench::kRunOk);
    EXPECT_EQ(log.KeysSent(0x1001F), 1) << "the cockpit view follows the click";
}

TEST(CoversButtons, StartingOnABankedWingLevelsItFirstAndEmptiesTheFrontSeat) {
    const auto log = Fly(R"({"duration": 1.0, "host": {"token:60": 1, "token:79": 1.6},
        "actions": [{"at": 0.1, "set": {"lvar:zelvan_front_seat": 1}},
                    {"at": 0.2, "mouse": {"x": 84, "y": 204}},
                    {"at": 0.3, "expect": {"lvar:zelvan_front_seat": 0}}]})");
    EXPECT_EQ(log.result.status, bench::kRunOk);
    const auto ready = Fly(R"({"duration": 1.0, "host": {"token:60": 1, "token:79": 1.6},
        "actions": [{"at": 0.1, "set": {"lvar:zelvan_covers_ready": 0}},
                    {"at": 0.2, "mouse": {"x": 84, "y": 204}},
                    {"at": 0.3, "expect": {"lvar:zelvan_covers_ready": 0}}]})");
    EXPECT_EQ(ready.result.status, bench::kRunOk) << "levelling does not ready the covers";
}

TEST(CoversButtons, ConfirmingOutsideTheLockedStateChangesNothingAndMissesClickNothing) {
    const auto log = Fly(R"({"duration": 1.0, "host": {"token:60": 1},
        "actions": [{"at": 0.1, "mouse": {"x": 100, "y": 180}},
                    {"at": 0.2, "mouse": {"x": 87, "y": 180}},
                    {"at": 0.3, "mouse": {"x": 30, "y": 180, "flags": 8192}}]})");
    EXPECT_EQ(log.result.status, bench::kRunOk);
    EXPECT_EQ(log.KeysSent(0x1001F), 0);
    EXPECT_EQ(log.events.size(), log.Of("simconnect").size() + log.Of("load").size() +
                                     log.Of("unload").size() + log.Of("sleep").size())
        << "a wheel turn is not a click, and a point between the buttons hits nothing";
}
