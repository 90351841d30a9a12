// A log flown as the host flies it: where the glider stood on the ground, the values between
// the log's points, and the comparison's file and summary.
#include "Bench/Replay/FlightSource.h"
#include "Bench/Replay/Comparison.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

fs::path TempFile(const std::string& name) {
    return fs::temp_directory_path() / ("zelvan-replay-" + std::to_string(::getpid()) + "-" + name);
}

} // namespace

TEST(LogFlight, FindsTheGroundAtStartLandingInTheMiddleAndEndAndInterpolatesBetweenPoints) {
    // A record at 1 Hz: 30 s standing, 300 s flying at 80 km/h, 90 s landed in a field, 100 s
    // flying again, then 20 s rolled out. A 20 s slow stretch while flying is no landing.
    const fs::path file = TempFile("ground.csv");
    {
        std::ofstream out(file);
        out << "time_s,altitude_m,ias_kph,heading_deg\n";
        for (int t = 0; t <= 540; ++t) {
            const bool flying = (t >= 30 && t < 330) || (t >= 420 && t < 520);
            const bool slowInFlight = t >= 100 && t < 120;
            out << t << "," << 400 + t << "," << (flying && !slowInFlight ? 80 : 5) << ","
                << (t % 2 == 0 ? 350 : 10) << "\n";
        }
    }
    replay::LogFlight flight(file.string());
    fs::remove(file);
    EXPECT_DOUBLE_EQ(flight.Duration(), 540.0);
    EXPECT_FALSE(flight.StartEpoch().has_value()); // a record has no date
    const auto& ground = flight.GroundStretches();
    ASSERT_EQ(ground.size(), 3u);
    EXPECT_DOUBLE_EQ(ground[0].first, 0.0);
    EXPECT_DOUBLE_EQ(ground[0].second, 30.0);
    EXPECT_DOUBLE_EQ(ground[1].first, 330.0);
    EXPECT_DOUBLE_EQ(ground[1].second, 420.0);
    EXPECT_DOUBLE_EQ(ground[2].first, 520.0);

    EXPECT_TRUE(flight.At(10.0).onGround);
    EXPECT_FALSE(flight.At(110.0).onGround);
    EXPECT_TRUE(flight.At(400.0).onGround);
    EXPECT_FALSE(flight.At(450.0).onGround);
    // Between two points: altitude on the straight line, heading the short way through north.
    const replay::FlightState between = flight.At(450.25);
    EXPECT_NEAR(between.altitudeM, 850.25, 1e-9);
    EXPECT_NEAR(between.headingDeg, 355.0, 1e-9);
    EXPECT_NEAR(flight.At(450.5).headingDeg, 0.0, 1e-9);
    EXPECT_TRUE(flight.At(530.0).onGround);
    EXPECT_DOUBLE_EQ(flight.At(600.0).t, 540.0); // past the end: the last point
}

TEST(Comparison, WritesItsFileOnlyWhenCompleteAndTakesTheCompassTheShortWay) {
    const fs::path file = TempFile("compare.csv");
    const auto reading = [](double t, double heading, double compass, double altimeter) {
        replay::CockpitReading r;
        r.t = t;
        r.values.fill(std::nan(""));
        r.values[replay::kHeading] = heading;
        r.values[replay::kCompass] = compass;
        r.values[replay::kAltitude] = 500.0;
        r.values[replay::kAltimeter1] = altimeter;
        return r;
    };
    {
        replay::Comparison abandoned(file.string());
        ASSERT_TRUE(abandoned.Open());
        abandoned.Add(reading(0.0, 1.0, 1.0, 500.0));
    }
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(fs::exists(file.string() + ".part"));

    replay::Comparison compare(file.string());
    ASSERT_TRUE(compare.Open());
    compare.Add(reading(0.0, 359.0, 1.0, 503.0));
    compare.Add(reading(1.0, 2.0, 358.0, 496.0));
    EXPECT_FALSE(fs::exists(file));
    ASSERT_TRUE(compare.Finish());
    std::ifstream in(file);
    std::string header;
    std::string row;
    std::getline(in, header);
    std::getline(in, row);
    fs::remove(file);
    EXPECT_EQ(header.substr(0, 33), "time_s,altitude_m,altimeter1_m,al");
    EXPECT_EQ(row.substr(0, 26), "0.00,500.0000,503.0000,,,,"); // no needle: an empty cell

    for (const replay::Comparison::Spread& s : compare.Spreads()) {
        if (s.instrument == replay::kCompass) {
            EXPECT_DOUBLE_EQ(s.largest, -4.0); // 2 to 358 the short way, not 356
            EXPECT_DOUBLE_EQ(s.largestAt, 1.0);
            EXPECT_DOUBLE_EQ(s.Rms(), std::sqrt((4.0 + 16.0) / 2.0));
        } else if (s.instrument == replay::kAltimeter1) {
            EXPECT_DOUBLE_EQ(s.largest, -4.0);
            EXPECT_DOUBLE_EQ(s.Rms(), std::sqrt((9.0 + 16.0) / 2.0));
        } else {
            EXPECT_EQ(s.count, 0u) << s.instrument;
        }
    }
    std::ostringstream summary;
    compare.PrintSummary(summary);
    EXPECT_NE(summary.str().find("compass_deg"), std::string::npos);
    EXPECT_EQ(summary.str().find("airspeed1_kph"), std::string::npos); // never shown
}
