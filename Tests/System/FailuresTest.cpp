// Random failures over a long flight: with the calendar time pinned, the same instruments fail
// in every run.
#include "Support/Flight.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using testing_support::Fly;

namespace {

// Ten minutes: on the ground, then 100 s in the air, then landed again.
std::string TenMinutes(int slider) {
    nlohmann::json s = {{"duration", 600.0},
                        {"host", {{"token:60", 1.0}, {"avar:AIRSPEED INDICATED:kph", 100.0}}},
                        {"settings", "[failures]\nslider=" + std::to_string(slider) + "\n"}};
    s["actions"] = nlohmann::json::parse(R"([{"at": 0.0, "system_event": "SimStart"},
        {"at": 60.0, "set": {"token:60": 0}}, {"at": 160.0, "set": {"token:60": 1}}])");
    return s.dump();
}

// The failure keys the flight saved as failed.
std::string FailedKeys(const std::string& settings) {
    std::istringstream in(settings.substr(settings.find("[failures]") + 1));
    std::string failed;
    for (std::string line; std::getline(in, line) && !line.starts_with("[");) {
        if (line.ends_with("=True")) {
            failed += line.substr(0, line.size() - 5) + " ";
        }
    }
    return failed;
}

} // namespace

TEST(RandomFailures, APinnedCalendarTimeMakesTheSameInstrumentsFailInEveryRun) {
    constexpr double kEpoch = 1'700'000'000.0;
    const auto first = Fly(TenMinutes(125), true, kEpoch);
    const auto again = Fly(TenMinutes(125), true, kEpoch);
    ASSERT_EQ(first.result.status, bench::kRunOk);
    const std::string failed = FailedKeys(first.settings);
    const auto count = std::count(failed.begin(), failed.end(), ' ');
    EXPECT_GT(count, 0) << "100 s in the air at level 3 fail about four in ten";
    EXPECT_LT(count, 11) << failed;
    EXPECT_EQ(FailedKeys(again.settings), failed);
    EXPECT_TRUE(first.trace == again.trace) << "the instruments failed at the same moments";

    EXPECT_NE(FailedKeys(Fly(TenMinutes(125), false, kEpoch + 1).settings), failed);
    EXPECT_EQ(FailedKeys(Fly(TenMinutes(0), false, kEpoch).settings), "");
}
