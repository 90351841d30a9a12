// What the logger did not record is derived from what it did: a steady climbing turn logged as
// positions and altitudes gives back its climb, its turn rate, its heading and its bank.
#include "Bench/Replay/Derivation.h"
#include "Bench/Replay/FlightPlot.h"
#include "SyntheticIgc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using synthetic::kDeg;
using synthetic::kEarthRadiusM;

std::vector<replay::FlightState> Derive(std::unique_ptr<replay::LogReader> reader) {
    replay::Derivation derivation(std::move(reader));
    std::vector<replay::FlightState> states;
    replay::FlightState s;
    while (derivation.Next(s)) {
        states.push_back(s);
    }
    return states;
}

} // namespace

TEST(Derivation, AClimbingRightTurnFromPositionsAndAltitudes) {
    // 20 m/s round a circle at 10 degrees a second, clockwise, climbing 1.5 m/s.
    const double lat0 = 46.0;
    const double lon0 = 13.0;
    const double speed = 20.0;
    const double rate = 10.0 * kDeg;
    const double radius = speed / rate;
    std::string log = "HFDTE030416\n";
    for (int t = 0; t < 120; ++t) {
        const double east = radius * std::sin(rate * t);
        const double north = radius * std::cos(rate * t);
        const int altitude = static_cast<int>(std::floor(300.0 + 1.5 * t));
        log += synthetic::Fix(t, lat0 + north / kEarthRadiusM / kDeg,
                              lon0 + east / kEarthRadiusM / kDeg / std::cos(lat0 * kDeg), altitude,
                              altitude);
    }
    const auto states = Derive(replay::ReadIgc(
        std::make_unique<replay::LineSource>("circle.igc", log), replay::IgcAltitude::Pressure));
    ASSERT_EQ(states.size(), 120u);
    // The turn's rate and bank: tan(bank) = v x rate / g, the true airspeed the ground speed (no
    // wind); the airspeed indicated at the standard atmosphere's density.
    const double bank = std::atan(speed * rate / 9.80665) / kDeg;
    const double density = std::sqrt(std::pow(1.0 - 2.25577e-5 * 400.0, 4.2559));
    double sumTurn = 0.0;
    for (std::size_t i = 5; i < 115; ++i) {
        const replay::FlightState& s = states[i];
        EXPECT_NEAR(s.verticalSpeedMs, 1.5, 1e-9) << s.t;
        EXPECT_NEAR(s.turnRateDps, 10.0, 1.5) << s.t;
        EXPECT_NEAR(replay::HeadingChange(s.headingDeg, replay::WrapHeading(90.0 + 10.0 * s.t)),
                    0.0, 3.0)
            << s.t;
        // The speed along the chord over two seconds, brought back to the speed round the turn;
        // positions are logged to a thousandth of a minute (2 m).
        EXPECT_NEAR(s.iasKph, speed * 3.6 * density, 3.0) << s.t;
        EXPECT_NEAR(s.bankDeg, bank, 2.0) << s.t;
        EXPECT_GT(s.pitchDeg, 3.0) << s.t; // climbing: nose above the horizon
        sumTurn += s.turnRateDps;
    }
    EXPECT_NEAR(sumTurn / 110.0, 10.0, 0.2);
    // At the ends the differences look one way only and still see the climb.
    EXPECT_NEAR(states.front().verticalSpeedMs, 1.5, 0.3);
    EXPECT_NEAR(states.back().verticalSpeedMs, 1.5, 0.3);
}

TEST(Derivation, ARecordWithoutTurnRateOrBankTakesThemFromItsHeading) {
    // A left turn at 6 degrees a second through north, at 90 km/h indicated, sinking 1 m/s.
    std::string csv = "time_s,altitude_m,ias_kph,heading_deg\n";
    for (int i = 0; i <= 200; ++i) {
        const double t = i * 0.1;
        csv += std::to_string(t) + "," + std::to_string(1000.0 - t) + ",90," +
               std::to_string(replay::WrapHeading(60.0 - 6.0 * t)) + "\n";
    }
    const auto states =
        Derive(replay::ReadRecord(std::make_unique<replay::LineSource>("turn.csv", csv)));
    ASSERT_EQ(states.size(), 201u);
    const replay::FlightState& s = states[100];
    EXPECT_NEAR(s.turnRateDps, -6.0, 1e-6);
    EXPECT_NEAR(s.verticalSpeedMs, -1.0, 1e-6);
    EXPECT_NEAR(s.headingDeg, 0.0, 1e-6);
    const double tas = 25.0 / std::sqrt(std::pow(1.0 - 2.25577e-5 * 990.0, 4.2559));
    EXPECT_NEAR(s.bankDeg, -std::atan(tas * 6.0 * kDeg / 9.80665) / kDeg, 1e-6);
    EXPECT_NEAR(s.pitchDeg, -std::asin(1.0 / tas) / kDeg, 1e-6);
    EXPECT_DOUBLE_EQ(s.slipDeg, 0.0);
}

TEST(PlotRecorder, KeepsTheWholeFlightInBoundedMemory) {
    replay::PlotRecorder plot;
    for (int t = 0; t < 20000; ++t) {
        replay::CockpitReading r;
        r.t = t;
        plot.Add(r);
    }
    const auto& rows = plot.Rows();
    ASSERT_LE(rows.size(), replay::PlotRecorder::kMostRows);
    EXPECT_GE(rows.size(), replay::PlotRecorder::kMostRows / 2);
    EXPECT_EQ(rows.front().t, 0.0);
    EXPECT_GT(rows.back().t, 19990.0);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].t - rows[i - 1].t, rows[1].t - rows[0].t); // evenly spread
    }
}
