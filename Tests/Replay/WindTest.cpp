// A log without airspeed: the wind comes from the drift of the circles, and the airspeed is the
// ground velocity less the wind; a logged TAS is brought to IAS at the pressure altitude.
#include "Bench/Replay/Derivation.h"
#include "Bench/Replay/IgcExtensions.h"
#include "SyntheticIgc.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using replay::AirspeedSource;
using synthetic::Stretch;

double Density(double altitudeM) {
    return std::pow(1.0 - 2.25577e-5 * altitudeM, 4.2559);
}

replay::Derivation DerivationOf(const std::string& log) {
    return replay::Derivation(replay::ReadIgc(std::make_unique<replay::LineSource>("w.igc", log),
                                              replay::IgcAltitude::Pressure));
}

} // namespace

TEST(CirclingWind, TheCirclesDriftGivesTheWindAndTheAirspeed) {
    // Turns short of a full circle first (they tell no wind), then five right-hand circles at
    // 15 degrees a second climbing, a glide with a turn of 90 degrees, four left-hand circles at
    // 18 degrees a second; 90 km/h true airspeed throughout.
    const std::vector<Stretch> flight = {
        {60, 0, -1}, {20, 15, -1}, {20, -15, -1}, {40, 0, -1},  {120, 15, 1.5},
        {60, 0, -1}, {9, -10, -1}, {60, 0, -1},   {80, -18, 2}, {60, 0, -1},
    };
    const double tasKph = 90.0;
    for (const synthetic::Air air :
         {synthetic::Air{20.0, 250.0}, synthetic::Air{35.0, 30.0}, synthetic::Air{8.0, 140.0}}) {
        replay::Derivation derivation = DerivationOf(synthetic::FlyThrough(air, tasKph, flight));
        replay::FlightState s;
        std::size_t circles = 0;
        double firstWind = -1.0;
        double circlingOff = 0.0;
        double straightOff = 0.0;
        double circlingRows = 0.0;
        double straightRows = 0.0;
        while (derivation.Next(s)) {
            const auto& circling = derivation.Circling();
            if (circling.Circles() > circles) {
                circles = circling.Circles();
                const replay::CircleWind& c = circling.LastCircle();
                EXPECT_NEAR(c.wind.SpeedKph(), air.windKph, 3.0) << s.t;
                EXPECT_NEAR(replay::HeadingChange(c.wind.FromDeg(), air.fromDeg), 0.0, 10.0) << s.t;
                EXPECT_NEAR(c.airspeedKph, tasKph, 3.0) << s.t;
                firstWind = firstWind < 0.0 ? s.t : firstWind;
            }
            if (s.t < 160.0) {
                // The turns short of a circle and the first circle's first turn.
                EXPECT_EQ(s.iasSource, AirspeedSource::Ground) << s.t;
            } else if (s.t > 170.0 && s.t < 525.0) {
                ASSERT_EQ(s.iasSource, AirspeedSource::Wind) << s.t;
                // Positions logged to a thousandth of a minute (2 m) a second apart put each
                // ground velocity out by up to 3 km/h; their mean is the airspeed.
                const double off = s.iasKph - tasKph * std::sqrt(Density(s.altitudeM));
                EXPECT_NEAR(off, 0.0, 5.0) << s.t;
                (std::fabs(s.turnRateDps) > 5.0 ? circlingOff : straightOff) += off;
                (std::fabs(s.turnRateDps) > 5.0 ? circlingRows : straightRows) += 1.0;
            }
        }
        EXPECT_NEAR(circlingOff / circlingRows, 0.0, 0.7);
        EXPECT_NEAR(straightOff / straightRows, 0.0, 0.7);
        EXPECT_GE(circles, 6u);
        EXPECT_GT(firstWind, 160.0);
        ASSERT_TRUE(derivation.Circling().Current());
        const replay::Wind held = *derivation.Circling().Current();
        EXPECT_NEAR(held.SpeedKph(), air.windKph, 3.0);
        EXPECT_NEAR(replay::HeadingChange(held.FromDeg(), air.fromDeg), 0.0, 10.0);
    }
}

TEST(CirclingWind, ALoggerWritingAFixEveryFourSecondsStillTellsTheWind) {
    // Six fixes a circle: the turn is seen between the fixes either side of each.
    const synthetic::Air air{20.0, 250.0};
    replay::Derivation derivation = DerivationOf(synthetic::FlyThrough(
        air, 90.0, {{60, 0, -1}, {200, 15, 1.5}, {60, 0, -1}, {200, -18, 1.5}, {60, 0, -1}}, 4));
    replay::FlightState s;
    while (derivation.Next(s)) {
    }
    EXPECT_GE(derivation.Circling().Circles(), 12u);
    ASSERT_TRUE(derivation.Circling().Current());
    const replay::Wind held = *derivation.Circling().Current();
    EXPECT_NEAR(held.SpeedKph(), air.windKph, 3.0);
    EXPECT_NEAR(replay::HeadingChange(held.FromDeg(), air.fromDeg), 0.0, 10.0);
}

TEST(CirclingWind, ALoggedTasIsIndicatedAtThePressureAltitude) {
    // Five digits of TAS in hundredths of km/h; a logger with no pressure sensor writes zero,
    // and its GNSS altitude stands in.
    std::string log = "ALXV\nI013640TAS\n";
    for (int t = 0; t < 10; ++t) {
        const double lat = 46.0 + t * 30.0 / synthetic::kEarthRadiusM / synthetic::kDeg;
        log += synthetic::Fix(t, lat, 13.0, t < 5 ? 2000 : 0, 2400, "10897");
    }
    replay::Derivation derivation = DerivationOf(log);
    replay::FlightState s;
    int points = 0;
    while (derivation.Next(s)) {
        EXPECT_EQ(s.iasSource, AirspeedSource::Logged);
        const double altitude = s.t < 5.0 ? 2000.0 : 2400.0;
        EXPECT_NEAR(s.iasKph, 108.97 * std::sqrt(Density(altitude)), 1e-6) << s.t;
        EXPECT_NEAR(s.groundSpeedKph, 108.0, 8.0) << s.t; // 30 m a second northwards
        ++points;
    }
    EXPECT_EQ(points, 10);
    // The table behind it: speeds have three whole digits, varios a sign and tenths; a width
    // whose decimals are unknown is not read.
    EXPECT_DOUBLE_EQ(replay::KnownExtension("TAS", 5)->scale, 0.01);
    EXPECT_DOUBLE_EQ(replay::KnownExtension("GSP", 3)->scale, 1.0);
    EXPECT_DOUBLE_EQ(replay::KnownExtension("VAT", 5)->scale, 0.01);
    EXPECT_DOUBLE_EQ(replay::KnownExtension("VAR", 3)->scale, 0.1);
    EXPECT_FALSE(replay::KnownExtension("TAS", 6));
    EXPECT_FALSE(replay::KnownExtension("ENL", 3));
}
